// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/columns/tablesaver.h"
#include "core/db/database.h"
#include "core/db/identifier.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// tabwright-cli save run as a user runs it: one path through each of its
// options, its refusals and exit statuses, and a text streamed in blocks that
// gives the records the saver gives for the whole text. Which request is
// refused and what is asked is the save plan's, tested in core; how lines
// become records is the saver's.
class TestCliSave : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void saves_data();
    void saves();
    void refusals_data();
    void refusals();
    void bigTextMatchesTheSaverOnTheWholeText();

private:
    struct Run
    {
        int status = -1;
        QString err;
    };
    Run save(QStringList args, const QByteArray &text);
    QString contents(const QString &table);
    QString file(const QString &name, const QByteArray &bytes);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_db;
};

namespace {

const QString parse = QStringLiteral("databaseProcessMethod=Parse text using delimiter I specify");
const QString byColumns = QStringLiteral("databaseProcessMethod=Use column specs on the Tabwrite Text tab");
const QString comma = QStringLiteral("databaseDelimiter=,");
const QString abortMessage = QStringLiteral("You can use a database editor to enlarge the field size, then process "
                                            "the data again.  The maximum field size is 255.");

class Silent : public tw::SaveObserver
{
public:
    bool lineDone(qint64) override { return true; }
    tw::WarnMode valueTooLong(const QString &) override { return tw::WarnMode::SkipSilently; }
    bool recordRefused(const tw::DbError &) override { return false; }
};

} // namespace

void TestCliSave::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_db = m_dir->filePath(QStringLiteral("target.db"));
    // Three fields of five characters: A from column 1, B from 6, C from 11.
    file(QStringLiteral("columns.csv"), "A,1,5,0,5\nB,6,5,0,5\nC,11,5,0,5\n");
    file(QStringLiteral("empty.csv"), "");
    file(QStringLiteral("twice.csv"), "Id,1,2,0,2\nID,3,2,0,2\n");
}

// Runs save with @db, @NAME.csv and @notdb standing for files of the test.
TestCliSave::Run TestCliSave::save(QStringList args, const QByteArray &text)
{
    for (QString &arg : args) {
        if (arg == u"@db")
            arg = m_db;
        else if (arg == u"@notdb")
            arg = file(QStringLiteral("notes.txt"), "not a database\n");
        else if (arg.startsWith(u'@'))
            arg = m_dir->filePath(arg.mid(1));
    }
    const QString input = file(QStringLiteral("input.txt"), text);
    QProcess process;
    process.start(QStringLiteral(TABWRIGHT_CLI), QStringList{QStringLiteral("save")} + args + QStringList{input});
    if (!process.waitForStarted())
        qFatal("cannot start %s", TABWRIGHT_CLI);
    process.waitForFinished(60000);
    Run run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString TestCliSave::file(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir->filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// A table's records as "a|b|<null>;c|<null>|<null>", read through a
// connection of its own.
QString TestCliSave::contents(const QString &table)
{
    tw::Database reader;
    if (reader.open(m_db).isError())
        return QStringLiteral("<cannot open>");
    const tw::Result<QList<tw::FieldDef>> fields = reader.fields(table);
    if (!fields)
        return QStringLiteral("<no table>");
    QStringList cells;
    for (const tw::FieldDef &field : fields.value())
        cells << QStringLiteral("coalesce(%1, '<null>')").arg(tw::quoteIdentifier(field.name));
    const tw::Result<QVariant> rows = reader.queryValue(
        QStringLiteral("SELECT group_concat(r, ';') FROM (SELECT %1 AS r FROM %2 ORDER BY rowid)")
            .arg(cells.join(QStringLiteral(" || '|' || ")), tw::quoteIdentifier(table)));
    return rows ? rows.value().toString() : rows.error().description;
}

void TestCliSave::saves_data()
{
    QTest::addColumn<bool>("existing"); // a table Names holding "old" is there first
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("records");
    QTest::addColumn<QString>("summary");

    const QStringList create{"--create", "--columns", "@columns.csv"};
    const QString named = QStringLiteral("it's \"T\"");
    QTest::newRow("--create, cut at a delimiter")
        << false << QStringList{"--db", "@db", "--table", named, parse, comma} + create
        << QByteArray("a,,b\r\nc\r\n") << 0 << named << "a||b;c|<null>|<null>" << "2 records written, 0 values skipped";
    QTest::newRow("--create, cut by the column layout")
        << false << QStringList{"--db", "@db", "--table", "T", byColumns} + create
        << QByteArray("abcdefghijklmno\r\n\r\nabcdefg") << 0 << "T" << "abcde|fghij|klmno;<null>|<null>|<null>;abcde|fg|"
        << "3 records written, 0 values skipped";
    // The table is there, named in another case.
    QTest::newRow("there: --if-exists append is the default")
        << true << QStringList{"--db", "@db", "--table", "NAMES", parse, comma} << QByteArray("new") << 0 << "Names"
        << "old|<null>|<null>;new|<null>|<null>" << "1 records written";
    QTest::newRow("there: --if-exists replace")
        << true << QStringList{"--db", "@db", "--table", "NAMES", parse, comma, "--if-exists", "replace"}
        << QByteArray("new") << 0 << "Names" << "new|<null>|<null>" << "1 records written";
    QTest::newRow("there: --if-exists cancel")
        << true << QStringList{"--db", "@db", "--table", "NAMES", parse, comma, "--if-exists", "cancel"} + create
        << QByteArray("new") << 1 << "Names" << "old|<null>|<null>"
        << "This table name (NAMES) is already in %1; nothing was written (--if-exists cancel).";
    // A value longer than its field.
    const QByteArray misfits = "12345,1\r\n123456,2\r\nabcdefg,3\r\nlast,4";
    QTest::newRow("--too-long abort is the default, earlier records stay")
        << true << QStringList{"--db", "@db", "--table", "Names", parse, comma} << misfits << 1 << "Names"
        << "old|<null>|<null>;12345|1|<null>" << "1 records written, 0 values skipped\n" + abortMessage;
    QTest::newRow("--too-long skip leaves out every misfit")
        << true << QStringList{"--db", "@db", "--table", "Names", parse, comma, "--too-long", "skip"} << misfits << 0
        << "Names" << "old|<null>|<null>;12345|1|<null>;<null>|2|<null>;<null>|3|<null>;last|4|<null>"
        << "4 records written, 2 values skipped";
    QTest::newRow("--trim takes the padding off the values")
        << false << QStringList{"--db", "@db", "--table", "T", byColumns, "--trim"} + create
        << QByteArray("  abc  fg  xy   ") << 0 << "T" << "abc|fg|xy" << "1 records written, 0 values skipped";
}

void TestCliSave::saves()
{
    QFETCH(bool, existing);
    QFETCH(QStringList, args);
    QFETCH(QByteArray, text);
    QFETCH(int, status);
    QFETCH(QString, table);
    QFETCH(QString, records);
    QFETCH(QString, summary);
    if (existing) {
        tw::Database db;
        QVERIFY(!db.open(m_db, {}, {}, tw::Database::OpenMode::CreateIfMissing).isError());
        QVERIFY(!db.createTable({QStringLiteral("Names"), {tw::FieldDef::text(QStringLiteral("A"), 5),
                                                          tw::FieldDef::text(QStringLiteral("B"), 5),
                                                          tw::FieldDef::text(QStringLiteral("C"), 5)}})
                     .isError());
        QVERIFY(db.exec(QStringLiteral("INSERT INTO Names (A) VALUES ('old')")));
    }
    const Run run = save(args, text);
    QCOMPARE(run.status, status);
    QCOMPARE(contents(table), records);
    if (summary.contains(u'%')) {
        tw::Database db;
        QVERIFY(!db.open(m_db).isError());
        summary = summary.arg(db.name());
    }
    QVERIFY2(run.err.contains(summary), qPrintable(run.err));
}

void TestCliSave::refusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("databaseMade"); // an empty database file is there

    const QStringList target{"--db", "@db", "--table", "T"};
    const QStringList create{"--create", "--columns", "@columns.csv"};
    // What the request itself lacks is refused before the database is made.
    QTest::newRow("nothing to save") << target + QStringList{parse, comma} << QByteArray() << 1
                                     << "There is nothing to save." << false;
    QTest::newRow("no method") << target << QByteArray("a") << 1 << "Please specify a Process Method." << false;
    // A database file is made only when something is written to it.
    QTest::newRow("table not there") << target + QStringList{parse, comma} << QByteArray("a") << 1
                                     << "This table name (T) is not in " << false;
    QTest::newRow("a layout without rows") << target + QStringList{parse, comma, "--create", "--columns", "@empty.csv"}
                                           << QByteArray("a") << 1
                                           << "has no rows; its headings name the fields of the new table." << false;
    QTest::newRow("heading refused") << target + QStringList{parse, comma, "--create", "--columns", "@twice.csv"}
                                     << QByteArray("a") << 1 << "names a field a second time" << false;
    QTest::newRow("--create and a method that is neither")
        << target + QStringList{"databaseProcessMethod=other"} + create << QByteArray("a") << 2
        << "databaseProcessMethod takes one of" << false;
    // Mistakes in the command line, and a file that is not a database.
    QTest::newRow("no --db") << QStringList{"--table", "T", parse, comma} << QByteArray("a") << 2
                             << "tabwright-cli: save: --db FILE is required" << false;
    QTest::newRow("unknown field") << target + QStringList{"formatDelimiter=,"} << QByteArray("a") << 2
                                   << "unknown field 'formatDelimiter'" << false;
    QTest::newRow("a method not on the list")
        << target + QStringList{"databaseProcessMethod=Parse text"} << QByteArray("a") << 2
        << "databaseProcessMethod takes one of \"Parse text using delimiter I specify\", \"Use column specs on the "
           "Tabwrite Text tab\", not 'Parse text'" << false;
    QTest::newRow("bad --too-long") << target + QStringList{"--too-long", "maybe"} << QByteArray("a") << 2
                                    << "--too-long takes skip or abort" << false;
    QTest::newRow("bad --if-exists") << target + QStringList{"--if-exists", "merge"} << QByteArray("a") << 2
                                     << "--if-exists takes append, replace or cancel" << false;
    QTest::newRow("column method without a layout") << target + QStringList{byColumns} << QByteArray("a") << 2
                                                    << "the column layout method needs --columns FILE" << false;
    QTest::newRow("--create without a layout") << target + QStringList{parse, comma, "--create"} << QByteArray("a")
                                               << 2 << "--create needs --columns FILE" << false;
    QTest::newRow("not a database, left alone")
        << QStringList{"--db", "@notdb", "--table", "T", parse, comma} + create << QByteArray("a") << 2
        << "Unrecognized database format" << false;
}

void TestCliSave::refusals()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, text);
    QFETCH(int, status);
    QFETCH(QString, message);
    QFETCH(bool, databaseMade);
    const Run run = save(args, text);
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(QFile::exists(m_db), databaseMade);
    if (databaseMade) {
        tw::Database reader;
        QVERIFY(!reader.open(m_db).isError());
        QCOMPARE(reader.tableNames().value(), QStringList());
    }
    if (args.contains(QStringLiteral("@notdb"))) {
        QFile notes(m_dir->filePath(QStringLiteral("notes.txt")));
        QVERIFY(notes.open(QIODevice::ReadOnly));
        QCOMPARE(notes.readAll(), QByteArray("not a database\n"));
    }
}

void TestCliSave::bigTextMatchesTheSaverOnTheWholeText()
{
    // More than one block of input, with empty lines, lone CRs and LFs, and
    // misfits, so lines meet block joins in every way.
    QByteArray text;
    for (int i = 0; i < 60000; ++i) {
        switch (i % 7) {
        case 0: text += "\r\n"; break;
        case 1: text += "ab\rcd,e\r\n"; break;
        case 2: text += "x\ny,toolongvalue," + QByteArray::number(i) + "\r\n"; break;
        default: text += QByteArray::number(i) + ",v" + QByteArray::number(i % 100) + ",w\r\n";
        }
    }
    const Run run = save({QStringLiteral("--db"), QStringLiteral("@db"), QStringLiteral("--table"),
                          QStringLiteral("Big"), QStringLiteral("--create"), QStringLiteral("--columns"),
                          QStringLiteral("@columns.csv"), parse, comma, QStringLiteral("--too-long"),
                          QStringLiteral("skip")},
                         text);
    QCOMPARE(run.status, 0);
    const QString fromCli = contents(QStringLiteral("Big"));

    tw::Database db;
    QVERIFY(!db.open(m_db).isError());
    QVERIFY(db.exec(QStringLiteral("DELETE FROM Big")));
    Silent observer;
    const tw::SaveOutcome whole = tw::saveText(
        db, {QStringLiteral("Big"), tw::SaveMethod::Delimiter, QStringLiteral(","), {}}, QString::fromLatin1(text),
        observer);
    QCOMPARE(int(whole.end), int(tw::SaveOutcome::End::Done));
    db.close();
    QCOMPARE(qint64(fromCli.count(u';') + 1), whole.recordsWritten);
    QCOMPARE(fromCli, contents(QStringLiteral("Big")));
    QVERIFY2(run.err.contains(QStringLiteral("%1 records written, %2 values skipped")
                                  .arg(whole.recordsWritten)
                                  .arg(whole.valuesSkipped)),
             qPrintable(run.err));
}

QTEST_GUILESS_MAIN(TestCliSave)
#include "test_clisave.moc"
