// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/columns/tablesaver.h"
#include "core/db/database.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

// The save run without a window: lines cut at a delimiter or by the column
// layout, values checked against their fields, the answers to the size
// question, Stop and the end of a run, each read back through a connection
// of its own.
class TestTableSaver : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void linesAndDelimiters_data();
    void linesAndDelimiters();
    void columnLayoutCutsByCharacters_data();
    void columnLayoutCutsByCharacters();
    void piecesGiveTheLinesOfTheWholeText_data();
    void piecesGiveTheLinesOfTheWholeText();
    void tooLongValues_data();
    void tooLongValues();
    void runEndsMidWay_data();
    void runEndsMidWay();
    void refusedRecords_data();
    void refusedRecords();
    void layoutRowsAsFields_data();
    void layoutRowsAsFields();
    void deleteAllRecordsTakesAnyName();

private:
    QList<QStringList> readBack(const QString &table);
    QString m_path;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<tw::Database> m_db;
};

namespace {

// Answers like a user: the size question from a queue, Stop after a number
// of lines, an optional action on a given line.
class ScriptedObserver : public tw::SaveObserver
{
public:
    QList<tw::WarnMode> answers;
    QStringList askedFields;
    qint64 stopAfterLines = -1;
    bool goOnAfterRefusal = false;
    QList<int> refusals;
    QList<qint64> positions;
    std::function<void(qint64)> onLine;

    bool lineDone(qint64 textPosition) override
    {
        positions << textPosition;
        if (onLine)
            onLine(positions.size());
        return stopAfterLines < 0 || positions.size() < stopAfterLines;
    }
    tw::WarnMode valueTooLong(const QString &fieldName) override
    {
        askedFields << fieldName;
        return answers.isEmpty() ? tw::WarnMode::Abort : answers.takeFirst();
    }
    bool recordRefused(const tw::DbError &error) override
    {
        refusals << error.number;
        return goOnAfterRefusal;
    }
};

const QString nullMark = QStringLiteral("<null>");

tw::ColumnSpec spec(const QString &heading, std::optional<int> from, std::optional<int> count,
                    std::optional<int> width = 10)
{
    return tw::ColumnSpec{heading, from, count, 0, width};
}

QList<QStringList> rows(const QString &text)
{
    // "a|b;c|d": records separated by ';', values by '|'.
    QList<QStringList> list;
    if (text.isEmpty())
        return list;
    for (const QString &row : text.split(u';'))
        list << row.split(u'|');
    return list;
}

} // namespace

void TestTableSaver::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = m_dir->filePath(QStringLiteral("target.db"));
    m_db = std::make_unique<tw::Database>();
    QVERIFY(!(m_db->open(m_path, {}, {}, tw::Database::OpenMode::CreateIfMissing)).isError());
    const tw::TableDef table{QStringLiteral("T"),
                             {tw::FieldDef::text(QStringLiteral("A"), 5), tw::FieldDef::text(QStringLiteral("B"), 5),
                              tw::FieldDef::text(QStringLiteral("C"), 5)}};
    QVERIFY(!(m_db->createTable(table)).isError());
}

void TestTableSaver::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

QList<QStringList> TestTableSaver::readBack(const QString &table)
{
    tw::Database reader;
    if ((reader.open(m_path)).isError())
        return {{QStringLiteral("<cannot open>")}};
    QSqlQuery query(reader.connection());
    QList<QStringList> result;
    if (!query.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(QString(table).replace(u'"', QStringLiteral("\"\"")))))
        return {{query.lastError().text()}};
    while (query.next()) {
        QStringList row;
        for (int i = 0; i < query.record().count(); ++i)
            row << (query.value(i).isNull() ? nullMark : query.value(i).toString());
        result << row;
    }
    return result;
}

void TestTableSaver::linesAndDelimiters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("expected");

    const QString n = nullMark;
    QTest::newRow("final CR LF gives no record") << QStringLiteral("a,b\r\nc\r\n") << QStringLiteral(",")
                                                 << QStringLiteral("a|b|%1;c|%1|%1").arg(n);
    QTest::newRow("last line without a line end") << QStringLiteral("a\r\nb") << QStringLiteral(",")
                                                  << QStringLiteral("a|%1|%1;b|%1|%1").arg(n);
    QTest::newRow("empty line: a record of empty fields") << QStringLiteral("a\r\n\r\nb") << QStringLiteral(",")
                                                          << QStringLiteral("a|%1|%1;%1|%1|%1;b|%1|%1").arg(n);
    QTest::newRow("a,b,") << QStringLiteral("a,b,") << QStringLiteral(",") << QStringLiteral("a|b|%1").arg(n);
    QTest::newRow("values beyond the fields are dropped") << QStringLiteral("1,2,3,4,5") << QStringLiteral(",")
                                                          << QStringLiteral("1|2|3");
    QTest::newRow("values are not trimmed") << QStringLiteral(" a , b") << QStringLiteral(",")
                                            << QStringLiteral(" a | b|%1").arg(n);
    QTest::newRow("a space delimiter, an empty value between two")
        << QStringLiteral("a b  c") << QStringLiteral(" ") << QStringLiteral("a|b|");
    QTest::newRow("delimiter of several characters") << QStringLiteral("a::b::") << QStringLiteral("::")
                                                     << QStringLiteral("a|b|%1").arg(n);
    QTest::newRow("delimiter compared with case") << QStringLiteral("aXbxc") << QStringLiteral("x")
                                                  << QStringLiteral("aXb|c|%1").arg(n);
    QTest::newRow("lone LF stays in the value") << QStringLiteral("a\nb,c") << QStringLiteral(",")
                                                << QStringLiteral("a\nb|c|%1").arg(n);
    QTest::newRow("lone CR ends a line, the next character is kept")
        << QStringLiteral("ab\rcd") << QStringLiteral(",") << QStringLiteral("ab|%1|%1;cd|%1|%1").arg(n);
    QTest::newRow("values beyond ASCII") << QStringLiteral("\u00e9\u20ac,\U0001F600x") << QStringLiteral(",")
                                         << QStringLiteral("\u00e9\u20ac|\U0001F600x|%1").arg(n);
    const QString withNul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    QTest::newRow("a NUL character inside a value") << withNul + QStringLiteral(",c") << QStringLiteral(",")
                                                    << withNul + QStringLiteral("|c|%1").arg(n);
}

void TestTableSaver::linesAndDelimiters()
{
    QFETCH(QString, text);
    QFETCH(QString, delimiter);
    QFETCH(QString, expected);
    ScriptedObserver observer;
    const tw::SaveOutcome outcome = tw::saveText(
        *m_db, {QStringLiteral("t"), tw::SaveMethod::Delimiter, delimiter, {}}, text, observer);
    QCOMPARE(int(outcome.end), int(tw::SaveOutcome::End::Done));
    QCOMPARE(readBack(QStringLiteral("T")), rows(expected));
    QCOMPARE(outcome.recordsWritten, qint64(rows(expected).size()));
    QCOMPARE(observer.positions.isEmpty() ? qint64(0) : observer.positions.constLast(),
             qint64(text.endsWith(u'\n') ? text.size() - 1 : text.size()));
}

void TestTableSaver::columnLayoutCutsByCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<tw::ColumnSpecs>("columns");
    QTest::addColumn<QString>("expected");

    const QString n = nullMark;
    const tw::ColumnSpecs three = {spec(QStringLiteral("A"), 1, 2), spec(QStringLiteral("B"), 3, 3),
                                   spec(QStringLiteral("C"), 6, 5)};
    QTest::newRow("full line") << QStringLiteral("abcdefghij") << three << QStringLiteral("ab|cde|fghij");
    QTest::newRow("short line gives fewer or none") << QStringLiteral("abcd") << three << QStringLiteral("ab|cd|");
    QTest::newRow("empty line writes no field") << QStringLiteral("ab\r\n\r\ncd") << three
                                                << QStringLiteral("ab||;%1|%1|%1;cd||").arg(n);
    QTest::newRow("more fields than rows: empty values") << QStringLiteral("abcdef") << tw::ColumnSpecs{three.first()}
                                                         << QStringLiteral("ab||");
    QTest::newRow("empty or zero cells give empty values")
        << QStringLiteral("abcdef")
        << tw::ColumnSpecs{spec(QStringLiteral("A"), std::nullopt, 2), spec(QStringLiteral("B"), 0, 2),
                           spec(QStringLiteral("C"), 2, std::nullopt)}
        << QStringLiteral("||");
    QTest::newRow("a character outside the BMP is one column")
        << QStringLiteral("x\U0001F600yz") << three << QStringLiteral("x\U0001F600|yz|");
}

void TestTableSaver::columnLayoutCutsByCharacters()
{
    QFETCH(QString, text);
    QFETCH(tw::ColumnSpecs, columns);
    QFETCH(QString, expected);
    ScriptedObserver observer;
    const tw::SaveOutcome outcome = tw::saveText(
        *m_db, {QStringLiteral("T"), tw::SaveMethod::ColumnLayout, {}, columns}, text, observer);
    QCOMPARE(int(outcome.end), int(tw::SaveOutcome::End::Done));
    QCOMPARE(readBack(QStringLiteral("T")), rows(expected));
}

void TestTableSaver::piecesGiveTheLinesOfTheWholeText_data()
{
    QTest::addColumn<QStringList>("pieces");
    // Blocks of whole lines of the working text, joined by CR LF.
    QTest::newRow("plain") << QStringList{QStringLiteral("a,1\r\nb,2"), QStringLiteral("c,3")};
    QTest::newRow("empty lines at the joins") << QStringList{QStringLiteral("a\r\n"), QString(), QStringLiteral("\r\nb")};
    QTest::newRow("lone CR before a join") << QStringList{QStringLiteral("a\r"), QStringLiteral("b\rc")};
    QTest::newRow("text ends with a line break") << QStringList{QStringLiteral("a"), QString()};
}

void TestTableSaver::piecesGiveTheLinesOfTheWholeText()
{
    QFETCH(QStringList, pieces);
    const tw::SaveRequest request{QStringLiteral("T"), tw::SaveMethod::Delimiter, QStringLiteral(","), {}};
    ScriptedObserver whole;
    QVERIFY(!(tw::saveText(*m_db, request, pieces.join(QStringLiteral("\r\n")), whole).error).isError());
    const QList<QStringList> expected = readBack(QStringLiteral("T"));
    QVERIFY(!(tw::deleteAllRecords(*m_db, QStringLiteral("T"))).isError());

    ScriptedObserver byPieces;
    tw::TableSaver saver(*m_db, request, byPieces);
    QVERIFY(!(saver.start()).isError());
    for (qsizetype i = 0; i < pieces.size(); ++i)
        QVERIFY(saver.addText(pieces.at(i), i + 1 < pieces.size()));
    QCOMPARE(int(saver.finish().end), int(tw::SaveOutcome::End::Done));
    QCOMPARE(readBack(QStringLiteral("T")), expected);
    QCOMPARE(byPieces.positions, whole.positions);
}

void TestTableSaver::tooLongValues_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<tw::WarnMode>>("answers");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<qint64>("skipped");

    const QList<tw::WarnMode> none;
    const auto done = int(tw::SaveOutcome::End::Done);
    const auto aborted = int(tw::SaveOutcome::End::Aborted);
    QTest::newRow("exact fit is written") << QStringLiteral("abcde,12345") << none << QStringList() << done
                                          << QStringLiteral("abcde|12345|<null>") << qint64(0);
    QTest::newRow("exact fit in characters outside the BMP")
        << QStringLiteral("\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600") << none << QStringList() << done
        << QStringLiteral("\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600|<null>|<null>") << qint64(0);
    QTest::newRow("one too long, No aborts and keeps earlier records")
        << QStringLiteral("ok,1\r\nabcdef,2\r\nlater") << QList<tw::WarnMode>{tw::WarnMode::Abort}
        << QStringList{QStringLiteral("A")} << aborted << QStringLiteral("ok|1|<null>") << qint64(0);
    QTest::newRow("Yes then No skips later misfits silently")
        << QStringLiteral("abcdef,1\r\nx,123456\r\nabcdefg,y") << QList<tw::WarnMode>{tw::WarnMode::SkipSilently}
        << QStringList{QStringLiteral("A")} << done
        << QStringLiteral("<null>|1|<null>;x|<null>|<null>;<null>|y|<null>") << qint64(3);
    QTest::newRow("Yes then Yes asks again")
        << QStringLiteral("abcdef,1\r\nx,123456") << QList<tw::WarnMode>{tw::WarnMode::Ask, tw::WarnMode::Ask}
        << QStringList{QStringLiteral("A"), QStringLiteral("B")} << done
        << QStringLiteral("<null>|1|<null>;x|<null>|<null>") << qint64(2);
}

void TestTableSaver::tooLongValues()
{
    QFETCH(QString, text);
    QFETCH(QList<tw::WarnMode>, answers);
    QFETCH(QStringList, asked);
    QFETCH(int, end);
    QFETCH(QString, expected);
    QFETCH(qint64, skipped);
    ScriptedObserver observer;
    observer.answers = answers;
    const tw::SaveOutcome outcome = tw::saveText(
        *m_db, {QStringLiteral("T"), tw::SaveMethod::Delimiter, QStringLiteral(","), {}}, text, observer);
    QCOMPARE(int(outcome.end), end);
    QCOMPARE(observer.askedFields, asked);
    QCOMPARE(readBack(QStringLiteral("T")), rows(expected));
    QCOMPARE(outcome.valuesSkipped, skipped);
}

void TestTableSaver::runEndsMidWay_data()
{
    QTest::addColumn<bool>("stop"); // Stop at line 40; else the database closes there
    QTest::addColumn<bool>("commitRefused");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("kept");
    const int failed = int(tw::SaveOutcome::End::Failed);
    QTest::newRow("Stop keeps what was written") << true << false << int(tw::SaveOutcome::End::Stopped) << 0 << 40;
    QTest::newRow("closing the database keeps what was written")
        << false << false << failed << int(tw::ErrorNumber::InvalidOperation) << 40;
    QTest::newRow("a commit refused at the close tells why")
        << false << true << failed << int(tw::ErrorNumber::ForeignKey) << 0;
}

void TestTableSaver::runEndsMidWay()
{
    QFETCH(bool, stop);
    QFETCH(bool, commitRefused);
    QFETCH(int, end);
    QFETCH(int, number);
    QFETCH(int, kept);
    if (commitRefused) {
        // Every value of A must name a row of K, checked at the commit.
        QVERIFY(m_db->exec(QStringLiteral("PRAGMA foreign_keys = ON")));
        QVERIFY(m_db->exec(QStringLiteral("CREATE TABLE K (k TEXT PRIMARY KEY)")));
        QVERIFY(m_db->exec(QStringLiteral("DROP TABLE T")));
        QVERIFY(m_db->exec(QStringLiteral("CREATE TABLE T (A TEXT REFERENCES K (k) DEFERRABLE INITIALLY DEFERRED)")));
    }
    QStringList lines;
    for (int i = 0; i < 100; ++i)
        lines << QString::number(i);
    ScriptedObserver observer;
    // Stop, or the user opens another database while the run lets events through.
    observer.stopAfterLines = stop ? 40 : -1;
    observer.onLine = [&](qint64 line) {
        if (line == 40 && !stop)
            m_db->close();
    };
    const tw::SaveOutcome outcome = tw::saveText(
        *m_db, {QStringLiteral("T"), tw::SaveMethod::Delimiter, QStringLiteral(","), {}},
        lines.join(QStringLiteral("\r\n")), observer);
    QCOMPARE(int(outcome.end), end);
    QCOMPARE(outcome.error.number, number);
    const QList<QStringList> stored = readBack(QStringLiteral("T"));
    QCOMPARE(stored.size(), kept);
    if (kept)
        QCOMPARE(stored.constLast().first(), QString::number(kept - 1));
    // The handle closed cleanly: the file opens again for writing.
    if (!m_db->isOpen())
        QVERIFY(!(m_db->open(m_path)).isError());
    QVERIFY(m_db->exec(QStringLiteral("INSERT INTO T (A) VALUES (NULL)")));
}

void TestTableSaver::refusedRecords_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("goOn");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("stored");
    QTest::addColumn<qint64>("refused");
    // Field A refuses zero-length texts; the second line leaves it empty.
    const QString delimited = QStringLiteral("a,b\r\n,b\r\nc,d");
    const QString cut = QStringLiteral("a,b\r\nx\r\nc,d");
    QTest::newRow("delimiter: the reporter ends the run") << int(tw::SaveMethod::Delimiter) << delimited << false
                                                          << int(tw::SaveOutcome::End::Failed) << 1 << qint64(0);
    QTest::newRow("delimiter: a silent error goes on") << int(tw::SaveMethod::Delimiter) << delimited << true
                                                       << int(tw::SaveOutcome::End::Done) << 2 << qint64(1);
    QTest::newRow("column layout: passed over and counted") << int(tw::SaveMethod::ColumnLayout) << cut << false
                                                            << int(tw::SaveOutcome::End::Done) << 2 << qint64(1);
}

void TestTableSaver::refusedRecords()
{
    QFETCH(int, method);
    QFETCH(QString, text);
    QFETCH(bool, goOn);
    QFETCH(int, end);
    QFETCH(int, stored);
    QFETCH(qint64, refused);
    QVERIFY(!(m_db->createTable({QStringLiteral("Strict"),
                                {tw::FieldDef::text(QStringLiteral("A"), 5, false), tw::FieldDef::text(QStringLiteral("B"), 5)}})).isError());
    ScriptedObserver observer;
    observer.goOnAfterRefusal = goOn;
    const tw::ColumnSpecs columns = {spec(QStringLiteral("A"), 3, 1), spec(QStringLiteral("B"), 1, 1)};
    const tw::SaveOutcome outcome = tw::saveText(
        *m_db, {QStringLiteral("Strict"), tw::SaveMethod(method), QStringLiteral(","), columns},
        text, observer);
    QCOMPARE(int(outcome.end), end);
    QCOMPARE(readBack(QStringLiteral("Strict")).size(), stored);
    QCOMPARE(outcome.recordsRefused, refused);
    if (refused)
        QCOMPARE(outcome.firstRefusal.number, int(tw::ErrorNumber::ZeroLengthRefused));
    if (end == int(tw::SaveOutcome::End::Failed))
        QCOMPARE(outcome.error.number, int(tw::ErrorNumber::ZeroLengthRefused));
}

void TestTableSaver::layoutRowsAsFields_data()
{
    QTest::addColumn<tw::ColumnSpecs>("columns");
    QTest::addColumn<QString>("named"); // in the refusal; "" when the layout is taken
    QTest::newRow("taken: text fields of the width, empty texts allowed, headings as stored")
        << tw::ColumnSpecs{spec(QStringLiteral("it's \"x\""), 1, 1, 255), spec(QStringLiteral("b"), 2, 1, 1)}
        << QString();
    QTest::newRow("empty heading") << tw::ColumnSpecs{spec(QStringLiteral("A"), 1, 1), spec(QString(), 2, 1)}
                                   << QStringLiteral("Row 2");
    QTest::newRow("repeated in another case")
        << tw::ColumnSpecs{spec(QStringLiteral("Name"), 1, 1), spec(QStringLiteral("NAME"), 2, 1)}
        << QStringLiteral("\"NAME\" in row 2");
    QTest::newRow("leading space") << tw::ColumnSpecs{spec(QStringLiteral(" x"), 1, 1)}
                                   << QStringLiteral("\" x\" in row 1");
    QTest::newRow("tab inside") << tw::ColumnSpecs{spec(QStringLiteral("a\tb"), 1, 1)} << QStringLiteral("row 1");
    QTest::newRow("width over 255") << tw::ColumnSpecs{spec(QStringLiteral("A"), 1, 1, 256)}
                                    << QStringLiteral("\"A\" in row 1");
    QTest::newRow("width empty") << tw::ColumnSpecs{spec(QStringLiteral("A"), 1, 1, std::nullopt)}
                                 << QStringLiteral("\"A\" in row 1");
}

void TestTableSaver::layoutRowsAsFields()
{
    QFETCH(tw::ColumnSpecs, columns);
    QFETCH(QString, named);
    const tw::Result<tw::TableDef> definition = tw::tableFromColumns(QStringLiteral("New"), columns);
    if (named.isEmpty()) {
        QList<tw::FieldDef> fields;
        for (const tw::ColumnSpec &row : columns)
            fields << tw::FieldDef::text(row.column_heading, *row.field_width, true);
        QCOMPARE(definition.value().fields, fields);
        return;
    }
    QCOMPARE(definition.error().number, int(tw::ErrorNumber::InvalidName));
    QVERIFY2(definition.error().description.contains(named), qPrintable(definition.error().description));
}

void TestTableSaver::deleteAllRecordsTakesAnyName()
{
    const QString name = QStringLiteral("x\"; DROP TABLE T; --'");
    QVERIFY(!(m_db->createTable({name, {tw::FieldDef::text(QStringLiteral("A"), 5)}})).isError());
    ScriptedObserver observer;
    QVERIFY(!(tw::saveText(*m_db, {name.toUpper(), tw::SaveMethod::Delimiter, QStringLiteral(","), {}},
                          QStringLiteral("1\r\n2"), observer).error).isError());
    QCOMPARE(readBack(name).size(), 2);
    QVERIFY(!(tw::deleteAllRecords(*m_db, name.toUpper())).isError());
    QCOMPARE(readBack(name).size(), 0);
    QVERIFY(m_db->tableExists(QStringLiteral("T")));
}

QTEST_GUILESS_MAIN(TestTableSaver)
#include "test_tablesaver.moc"
