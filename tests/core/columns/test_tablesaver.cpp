// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/columns/tablesaver.h"
#include "core/db/database.h"

#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace tw;

namespace {

// A save as the user sets it up and answers it, and how it must end.
struct Run {
    SaveMethod method = SaveMethod::Delimiter;
    QString delimiter = ",";
    ColumnSpecs columns = {};
    QString table = "T"; // named in lower case to the save
    QList<WarnMode> answers = {}; // to the size question, in turn
    bool goOn = false;       // after a refused record
    SaveOutcome::End end = SaveOutcome::End::Done;
    QStringList asked = {}; // fields the size question named
    qint64 skipped = 0;
    qint64 refused = 0;
    bool trim = false;
};

} // namespace

Q_DECLARE_METATYPE(Run)

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
    void save_data();
    void save();
    void piecesGiveTheLinesOfTheWholeText_data();
    void piecesGiveTheLinesOfTheWholeText();
    void runEndsMidWay_data();
    void runEndsMidWay();
    void replaceGoesWithItsNewRecords_data();
    void replaceGoesWithItsNewRecords();
    void failureMessageSaysWhyAndWhatWasKept_data();
    void failureMessageSaysWhyAndWhatWasKept();
    void layoutRowsAsFields_data();
    void layoutRowsAsFields();
    void deleteAllRecordsTakesAnyName();

private:
    QList<QStringList> readBack(const QString &table);
    QString m_path;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Database> m_db;
};

namespace {

// Answers like a user: the size question from a queue, Stop after a number
// of lines, an optional action on a given line.
class ScriptedObserver : public SaveObserver
{
public:
    QList<WarnMode> answers;
    QStringList askedFields;
    qint64 stopAfterLines = -1;
    bool goOnAfterRefusal = false;
    QList<qint64> positions;
    std::function<void(qint64)> onLine;

    bool lineDone(qint64 textPosition) override
    {
        positions << textPosition;
        if (onLine)
            onLine(positions.size());
        return stopAfterLines < 0 || positions.size() < stopAfterLines;
    }
    WarnMode valueTooLong(const QString &fieldName) override
    {
        askedFields << fieldName;
        return answers.isEmpty() ? WarnMode::Abort : answers.takeFirst();
    }
    bool recordRefused(const DbError &) override { return goOnAfterRefusal; }
};

ColumnSpec spec(const QString &heading, std::optional<int> from, std::optional<int> count,
                std::optional<int> width = 10)
{
    return ColumnSpec{heading, from, count, 0, width};
}

// "a|b;c|~": records separated by ';', values by '|', ~ for Null.
QList<QStringList> rows(const QString &text)
{
    QList<QStringList> list;
    if (text.isEmpty())
        return list;
    for (const QString &row : text.split(u';'))
        list << row.split(u'|');
    return list;
}

void addSave(const char *name, const QString &text, const QString &stored, const Run &run = {})
{
    QTest::newRow(name) << text << stored << run;
}

} // namespace

void TestTableSaver::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = m_dir->filePath("target.db");
    m_db = std::make_unique<Database>();
    QVERIFY(!m_db->open(m_path, {}, {}, Database::OpenMode::CreateIfMissing).isError());
    QVERIFY(!m_db->createTable({"T", {FieldDef::text("A", 5), FieldDef::text("B", 5), FieldDef::text("C", 5)}})
                 .isError());
    // Field A refuses the empty text.
    QVERIFY(!m_db->createTable({"Strict", {FieldDef::text("A", 5, false), FieldDef::text("B", 5)}}).isError());
}

void TestTableSaver::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

QList<QStringList> TestTableSaver::readBack(const QString &table)
{
    Database reader;
    if (reader.open(m_path).isError())
        return {{"<cannot open>"}};
    Result<Recordset> rs = reader.openRecordset(table, RecordsetType::Table);
    if (!rs)
        return {{rs.error().description}};
    QList<QStringList> result;
    for (Recordset &records = rs.value(); !records.isEof(); static_cast<void>(records.moveNext())) {
        QStringList row;
        for (int i = 0; i < records.fields().size(); ++i) {
            const QVariant value = records.value(i).value();
            row << (value.isNull() ? QStringLiteral("~") : value.toString());
        }
        result << row;
    }
    return result;
}

void TestTableSaver::save_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<Run>("run");

    addSave("final CR LF gives no record", "a,b\r\nc\r\n", "a|b|~;c|~|~");
    addSave("last line without a line end", "a\r\nb", "a|~|~;b|~|~");
    addSave("empty line: a record of empty fields", "a\r\n\r\nb", "a|~|~;~|~|~;b|~|~");
    addSave("a delimiter that ends the line gives no value", "a,b,", "a|b|~");
    addSave("values beyond the fields are dropped", "1,2,3,4,5", "1|2|3");
    addSave("values are not trimmed", " a , b", " a | b|~");
    addSave("trimmed: only the spaces and tabs around a value go", "  a b ,\t c\tx\t,   ", "a b|c\tx|",
            {.trim = true});
    addSave("trimmed before measured: padding does not make a value too long", "  abcde  ,x", "abcde|x|~",
            {.trim = true});
    addSave("a space delimiter, an empty value between two", "a b  c", "a|b|", {.delimiter = " "});
    addSave("delimiter of several characters", "a::b::", "a|b|~", {.delimiter = "::"});
    addSave("delimiter compared with case", "aXbxc", "aXb|c|~", {.delimiter = "x"});
    addSave("lone LF stays in the value", "a\nb,c", "a\nb|c|~");
    addSave("lone CR ends a line, the next character is kept", "ab\rcd", "ab|~|~;cd|~|~");
    addSave("values beyond ASCII", "\u00e9\u20ac,\U0001F600x", "\u00e9\u20ac|\U0001F600x|~");
    const QString withNul = QStringLiteral("a") + QChar(0) + u'b';
    addSave("a NUL character inside a value", withNul + ",c", withNul + "|c|~");

    const ColumnSpecs three = {spec("A", 1, 2), spec("B", 3, 3), spec("C", 6, 5)};
    const Run layout{.method = SaveMethod::ColumnLayout, .columns = three};
    addSave("layout: full line", "abcdefghij", "ab|cde|fghij", layout);
    addSave("layout: a short line gives fewer or none", "abcd", "ab|cd|", layout);
    addSave("layout: an empty line writes no field", "ab\r\n\r\ncd", "ab||;~|~|~;cd||", layout);
    addSave("layout: more fields than rows get empty values", "abcdef", "ab||",
            {.method = SaveMethod::ColumnLayout, .columns = {three.first()}});
    addSave("layout: empty or zero cells give empty values", "abcdef", "||",
            {.method = SaveMethod::ColumnLayout,
             .columns = {spec("A", std::nullopt, 2), spec("B", 0, 2), spec("C", 2, std::nullopt)}});
    addSave("layout: a character outside the BMP is one column", "x\U0001F600yz", "x\U0001F600|yz|", layout);

    addSave("exact fit is written", "abcde,12345", "abcde|12345|~");
    const QString fiveFaces = QString("\U0001F600").repeated(5);
    addSave("exact fit in characters outside the BMP", fiveFaces, fiveFaces + "|~|~");
    addSave("one too long, No aborts and keeps earlier records", "ok,1\r\nabcdef,2\r\nlater", "ok|1|~",
            {.answers = {WarnMode::Abort}, .end = SaveOutcome::End::Aborted, .asked = {"A"}});
    addSave("Yes then No skips later misfits silently", "abcdef,1\r\nx,123456\r\nabcdefg,y", "~|1|~;x|~|~;~|y|~",
            {.answers = {WarnMode::SkipSilently}, .asked = {"A"}, .skipped = 3});
    addSave("Yes then Yes asks again", "abcdef,1\r\nx,123456", "~|1|~;x|~|~",
            {.answers = {WarnMode::Ask, WarnMode::Ask}, .asked = {"A", "B"}, .skipped = 2});

    // The second line leaves the field that refuses empty texts empty.
    addSave("refused record: the reporter ends the run", "a,b\r\n,b\r\nc,d", "a|b",
            {.table = "Strict", .end = SaveOutcome::End::Failed});
    addSave("refused record: a silent error goes on", "a,b\r\n,b\r\nc,d", "a|b;c|d",
            {.table = "Strict", .goOn = true, .refused = 1});
    addSave("refused record: the layout passes it over and counts it", "a,b\r\nx\r\nc,d", "b|a;d|c",
            {.method = SaveMethod::ColumnLayout, .columns = {spec("A", 3, 1), spec("B", 1, 1)}, .table = "Strict",
             .refused = 1});
}

void TestTableSaver::save()
{
    QFETCH(QString, text);
    QFETCH(QString, stored);
    QFETCH(Run, run);
    ScriptedObserver observer;
    observer.answers = run.answers;
    observer.goOnAfterRefusal = run.goOn;
    const SaveOutcome outcome =
        saveText(*m_db, {run.table.toLower(), run.method, run.delimiter, run.columns, false, run.trim}, text,
                 observer);
    QCOMPARE(int(outcome.end), int(run.end));
    QCOMPARE(readBack(run.table), rows(stored));
    QCOMPARE(outcome.recordsWritten, qint64(rows(stored).size()));
    QCOMPARE(observer.askedFields, run.asked);
    QCOMPARE(outcome.valuesSkipped, run.skipped);
    QCOMPARE(outcome.recordsRefused, run.refused);
    if (run.refused)
        QCOMPARE(outcome.firstRefusal.number, int(ErrorNumber::ZeroLengthRefused));
    if (run.end == SaveOutcome::End::Failed)
        QCOMPARE(outcome.error.number, int(ErrorNumber::ZeroLengthRefused));
    // A whole run reaches the end of the text, or the carriage return of its
    // last line break.
    if (run.end == SaveOutcome::End::Done)
        QCOMPARE(observer.positions.constLast(), qint64(text.endsWith(u'\n') ? text.size() - 1 : text.size()));
}

void TestTableSaver::piecesGiveTheLinesOfTheWholeText_data()
{
    QTest::addColumn<QStringList>("pieces");
    // Blocks of whole lines of the working text, joined by CR LF.
    QTest::newRow("plain") << QStringList{"a,1\r\nb,2", "c,3"};
    QTest::newRow("empty lines at the joins") << QStringList{"a\r\n", QString(), "\r\nb"};
    QTest::newRow("lone CR before a join") << QStringList{"a\r", "b\rc"};
    QTest::newRow("text ends with a line break") << QStringList{"a", QString()};
}

void TestTableSaver::piecesGiveTheLinesOfTheWholeText()
{
    QFETCH(QStringList, pieces);
    const SaveRequest request{"T", SaveMethod::Delimiter, ",", {}};
    ScriptedObserver whole;
    QVERIFY(!saveText(*m_db, request, pieces.join("\r\n"), whole).error.isError());
    const QList<QStringList> expected = readBack("T");
    QVERIFY(!deleteAllRecords(*m_db, "T").isError());

    ScriptedObserver byPieces;
    TableSaver saver(*m_db, request, byPieces);
    QVERIFY(!saver.start().isError());
    for (qsizetype i = 0; i < pieces.size(); ++i)
        QVERIFY(saver.addText(pieces.at(i), i + 1 < pieces.size()));
    QCOMPARE(int(saver.finish().end), int(SaveOutcome::End::Done));
    QCOMPARE(readBack("T"), expected);
    QCOMPARE(byPieces.positions, whole.positions);
}

void TestTableSaver::runEndsMidWay_data()
{
    QTest::addColumn<bool>("stop"); // Stop at line 40; else the database closes there
    QTest::addColumn<bool>("commitRefused");
    QTest::addColumn<bool>("replace"); // of the table's one old record
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("kept"); // new records
    const int failed = int(SaveOutcome::End::Failed);
    QTest::newRow("Stop keeps what was written") << true << false << false << int(SaveOutcome::End::Stopped) << 0
                                                 << 40;
    QTest::newRow("Stop keeps what a replace wrote") << true << false << true << int(SaveOutcome::End::Stopped)
                                                     << 0 << 40;
    QTest::newRow("closing the database keeps what was written")
        << false << false << false << failed << int(ErrorNumber::InvalidOperation) << 40;
    QTest::newRow("closing the database gives a replace's old record back")
        << false << false << true << failed << int(ErrorNumber::InvalidOperation) << 0;
    QTest::newRow("a commit refused at the close tells why and counts nothing")
        << false << true << false << failed << int(ErrorNumber::ForeignKey) << 0;
}

void TestTableSaver::runEndsMidWay()
{
    QFETCH(bool, stop);
    QFETCH(bool, commitRefused);
    QFETCH(bool, replace);
    QFETCH(int, end);
    QFETCH(int, number);
    QFETCH(int, kept);
    if (replace)
        QVERIFY(m_db->exec("INSERT INTO T (A) VALUES ('old')"));
    if (commitRefused) {
        // Every value of A must name a row of K, checked at the commit.
        QVERIFY(m_db->exec("PRAGMA foreign_keys = ON"));
        QVERIFY(m_db->exec("CREATE TABLE K (k TEXT PRIMARY KEY)"));
        QVERIFY(!m_db->dropTable("T").isError());
        QVERIFY(m_db->exec("CREATE TABLE T (A TEXT REFERENCES K (k) DEFERRABLE INITIALLY DEFERRED)"));
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
    const SaveOutcome outcome =
        saveText(*m_db, {"T", SaveMethod::Delimiter, ",", {}, replace}, lines.join("\r\n"), observer);
    QCOMPARE(int(outcome.end), end);
    QCOMPARE(outcome.error.number, number);
    // The outcome counts what the table holds, nothing that was rolled back.
    QCOMPARE(outcome.recordsWritten, qint64(kept));
    QCOMPARE(outcome.oldRecordsKept, replace && kept == 0);
    QList<QStringList> stored = readBack("T");
    if (outcome.oldRecordsKept)
        QCOMPARE(stored.takeFirst().first(), QStringLiteral("old"));
    QCOMPARE(stored.size(), kept);
    if (kept)
        QCOMPARE(stored.constLast().first(), QString::number(kept - 1));
    // The handle closed cleanly: the file opens again for writing.
    if (!m_db->isOpen())
        QVERIFY(!m_db->open(m_path).isError());
    QVERIFY(m_db->exec("INSERT INTO T (A) VALUES (NULL)"));
}

void TestTableSaver::replaceGoesWithItsNewRecords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Run>("run");
    QTest::addColumn<QString>("stored"); // "old": the old records, as they were

    QTest::newRow("done: only the new records") << "a,b\r\nc" << Run{} << "a|b|~;c|~|~";
    QTest::newRow("aborted on a value too long: the old records")
        << "ok,1\r\nabcdef,2" << Run{.answers = {WarnMode::Abort}, .end = SaveOutcome::End::Aborted, .asked = {"A"}}
        << "old";
    QTest::newRow("a refused record ends it: the old records")
        << "a,b\r\n,b\r\nc,d" << Run{.table = "Strict", .end = SaveOutcome::End::Failed} << "old";
    QTest::newRow("values skipped after the question: the new records")
        << "abcdef,1\r\nx,y" << Run{.answers = {WarnMode::SkipSilently}, .asked = {"A"}, .skipped = 1}
        << "~|1|~;x|y|~";
}

void TestTableSaver::replaceGoesWithItsNewRecords()
{
    QFETCH(QString, text);
    QFETCH(Run, run);
    QFETCH(QString, stored);
    const bool strict = run.table == u"Strict";
    QVERIFY(m_db->exec(strict ? "INSERT INTO Strict (A, B) VALUES ('old', 'o')" : "INSERT INTO T (A, B) VALUES ('old', 'o')"));
    const QList<QStringList> before = readBack(run.table);
    ScriptedObserver observer;
    observer.answers = run.answers;
    const SaveOutcome outcome =
        saveText(*m_db, {run.table, run.method, run.delimiter, run.columns, true}, text, observer);
    QCOMPARE(int(outcome.end), int(run.end));
    QCOMPARE(observer.askedFields, run.asked);
    QCOMPARE(outcome.valuesSkipped, run.skipped);
    if (stored == u"old") {
        QCOMPARE(readBack(run.table), before);
        QVERIFY(outcome.oldRecordsKept);
        QCOMPARE(outcome.recordsWritten, qint64(0));
    } else {
        QCOMPARE(readBack(run.table), rows(stored));
        QVERIFY(!outcome.oldRecordsKept);
        QCOMPARE(outcome.recordsWritten, qint64(rows(stored).size()));
    }
}

void TestTableSaver::failureMessageSaysWhyAndWhatWasKept_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<qint64>("written");
    QTest::addColumn<bool>("oldKept");
    QTest::addColumn<QString>("message");

    QTest::newRow("full disk, some records kept")
        << int(ErrorNumber::DiskFull) << qint64(30857) << false
        << "The disk is full: there is no space left to write to /d/x.db.  The 30857 records written to the table "
           "T before that were kept; the lines after them were not saved.";
    QTest::newRow("locked, a replace") << int(ErrorNumber::CouldNotLock) << qint64(0) << true
        << "The database /d/x.db is locked by another program.  Nothing was changed: the table T keeps its old "
           "records.";
    QTest::newRow("read-only, nothing written") << int(ErrorNumber::ReadOnly) << qint64(0) << false
        << "The database /d/x.db is read-only.  No records were written to the table T.";
    QTest::newRow("the engine's own words, one record kept") << int(ErrorNumber::ForeignKey) << qint64(1) << false
        << "FOREIGN KEY constraint failed.  The one record written to the table T before that was kept; the lines "
           "after it were not saved.";
}

void TestTableSaver::failureMessageSaysWhyAndWhatWasKept()
{
    QFETCH(int, number);
    QFETCH(qint64, written);
    QFETCH(bool, oldKept);
    QFETCH(QString, message);
    SaveOutcome outcome;
    outcome.end = SaveOutcome::End::Failed;
    outcome.error = number == ErrorNumber::ForeignKey ? DbError{number, "FOREIGN KEY constraint failed"}
                                                      : DbError::make(number);
    outcome.recordsWritten = written;
    outcome.oldRecordsKept = oldKept;
    QCOMPARE(saveFailureMessage(outcome, "T", "/d/x.db"), message);
}

void TestTableSaver::layoutRowsAsFields_data()
{
    QTest::addColumn<ColumnSpecs>("columns");
    QTest::addColumn<QString>("named"); // in the refusal; "" when the layout is taken
    QTest::newRow("taken: text fields of the width, empty texts allowed, headings as stored")
        << ColumnSpecs{spec("it's \"x\"", 1, 1, 255), spec("b", 2, 1, 1)} << QString();
    QTest::newRow("empty heading") << ColumnSpecs{spec("A", 1, 1), spec(QString(), 2, 1)} << "Row 2";
    QTest::newRow("repeated in another case") << ColumnSpecs{spec("Name", 1, 1), spec("NAME", 2, 1)}
                                              << "\"NAME\" in row 2";
    QTest::newRow("leading space") << ColumnSpecs{spec(" x", 1, 1)} << "\" x\" in row 1";
    QTest::newRow("tab inside") << ColumnSpecs{spec("a\tb", 1, 1)} << "row 1";
    QTest::newRow("width over 255") << ColumnSpecs{spec("A", 1, 1, 256)} << "\"A\" in row 1";
    QTest::newRow("width empty") << ColumnSpecs{spec("A", 1, 1, std::nullopt)} << "\"A\" in row 1";
}

void TestTableSaver::layoutRowsAsFields()
{
    QFETCH(ColumnSpecs, columns);
    QFETCH(QString, named);
    const Result<TableDef> definition = tableFromColumns("New", columns);
    if (named.isEmpty()) {
        QList<FieldDef> fields;
        for (const ColumnSpec &row : columns)
            fields << FieldDef::text(row.column_heading, *row.field_width, true);
        QCOMPARE(definition.value().fields, fields);
        return;
    }
    QCOMPARE(definition.error().number, int(ErrorNumber::InvalidName));
    QVERIFY2(definition.error().description.contains(named), qPrintable(definition.error().description));
}

void TestTableSaver::deleteAllRecordsTakesAnyName()
{
    const QString name = "x\"; DROP TABLE T; --'";
    QVERIFY(!m_db->createTable({name, {FieldDef::text("A", 5)}}).isError());
    ScriptedObserver observer;
    QVERIFY(!saveText(*m_db, {name.toUpper(), SaveMethod::Delimiter, ",", {}}, u"1\r\n2", observer).error.isError());
    QCOMPARE(readBack(name).size(), 2);
    QVERIFY(!deleteAllRecords(*m_db, name.toUpper()).isError());
    QCOMPARE(readBack(name).size(), 0);
    QVERIFY(m_db->tableExists("T"));
}

QTEST_GUILESS_MAIN(TestTableSaver)
#include "test_tablesaver.moc"
