// SPDX-License-Identifier: GPL-3.0-or-later
#include "clirun.h"

#include "core/db/database.h"
#include "core/db/identifier.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

// tabwright-cli save when things go wrong: a replace that fails, aborts or is
// killed keeps the old records; another program holding the database, a full
// disk and a read-only file end the run with one message that says why and
// what was kept, and the summary never counts records that were rolled back.
class TestSaveSafety : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void replaceKeepsTheOldRecordsUnlessItGoesThrough_data();
    void replaceKeepsTheOldRecordsUnlessItGoesThrough();
    void killedReplaceLeavesTheOldRecordsOrTheNew();
    void failureSaysWhyAndWhatWasKept_data();
    void failureSaysWhyAndWhatWasKept();

private:
    QString file(const QString &name, const QByteArray &bytes);
    QStringList records(const QString &table);
    QStringList args(const QStringList &more);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_db;
};

namespace {

const QString parse = QStringLiteral("databaseProcessMethod=Parse text using delimiter I specify");
const QString comma = QStringLiteral("databaseDelimiter=,");
const QStringList oldRecords{"old0|", "old1|", "old2|", "old3|", "old4|", "old5|", "old6|", "old7|", "old8|",
                             "old9|"};

QByteArray lines(int count, const char *prefix = "new")
{
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += prefix + QByteArray::number(i) + ",v\r\n";
    return text;
}

} // namespace

void TestSaveSafety::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_db = m_dir->filePath(QStringLiteral("target.db"));
    tw::Database db;
    QVERIFY(!db.open(m_db, {}, {}, tw::Database::OpenMode::CreateIfMissing).isError());
    // Names(A, B) holds ten records; Strict's A takes no empty text.
    QVERIFY(!db.createTable({QStringLiteral("Names"),
                             {tw::FieldDef::text(QStringLiteral("A"), 9), tw::FieldDef::text(QStringLiteral("B"), 5)}})
                 .isError());
    QVERIFY(!db.createTable({QStringLiteral("Strict"), {tw::FieldDef::text(QStringLiteral("A"), 9, false),
                                                         tw::FieldDef::text(QStringLiteral("B"), 5)}})
                 .isError());
    for (const QString &table : {QStringLiteral("Names"), QStringLiteral("Strict")}) {
        for (int i = 0; i < 10; ++i)
            QVERIFY(db.exec(QStringLiteral("INSERT INTO %1 (A) VALUES ('old%2')").arg(table).arg(i)));
    }
}

QString TestSaveSafety::file(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir->filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// Every record as "A|B", in order, through a connection of its own.
QStringList TestSaveSafety::records(const QString &table)
{
    tw::Database reader;
    if (reader.open(m_db).isError())
        return {QStringLiteral("<cannot open>")};
    const tw::Result<QVariant> rows = reader.queryValue(
        QStringLiteral("SELECT group_concat(coalesce(A, '') || '|' || coalesce(B, ''), ';') FROM "
                       "(SELECT A, B FROM %1 ORDER BY rowid)")
            .arg(tw::quoteIdentifier(table)));
    if (!rows)
        return {rows.error().description};
    const QString text = rows.value().toString();
    return text.isEmpty() ? QStringList() : text.split(u';');
}

QStringList TestSaveSafety::args(const QStringList &more)
{
    return QStringList{QStringLiteral("save"), QStringLiteral("--db"), m_db} + more;
}

void TestSaveSafety::replaceKeepsTheOldRecordsUnlessItGoesThrough_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("replaced");

    const QStringList names{"--table", "names", parse, comma, "--if-exists", "replace"};
    QTest::newRow("a value too long on the first line, --too-long abort")
        << names << QByteArray("1234567890,x\r\nok,y") << 1 << "nothing was replaced: the table names keeps its old records"
        << false;
    QTest::newRow("a value too long after a thousand records")
        << names << lines(1000) + "1234567890,x\r\n" << 1 << "0 records written" << false;
    QTest::newRow("a record the database refuses")
        << QStringList{"--table", "Strict", parse, comma, "--if-exists", "replace"} << QByteArray("a,b\r\n,b\r\nc,d")
        << 1 << "Nothing was changed: the table Strict keeps its old records." << false;
    QTest::newRow("a misspelt method, refused before the table is touched")
        << QStringList{"--table", "Names", "databaseProcessMethod=Parse text using delimiter", comma, "--if-exists",
                       "replace"}
        << QByteArray("a,b") << 2
        << "databaseProcessMethod takes one of \"Parse text using delimiter I specify\", \"Use column specs on the "
           "Tabwrite Text tab\", not 'Parse text using delimiter'"
        << false;
    QTest::newRow("a replace that goes through") << names << QByteArray("a,b\r\nc,d") << 0
                                                 << "2 records written, 0 values skipped" << true;
}

void TestSaveSafety::replaceKeepsTheOldRecordsUnlessItGoesThrough()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArray, text);
    QFETCH(int, status);
    QFETCH(QString, message);
    QFETCH(bool, replaced);
    const QString table = options.at(1).toLower() == u"strict" ? QStringLiteral("Strict") : QStringLiteral("Names");
    const clirun::Run run = clirun::cli(args(options), text);
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(records(table), replaced ? (QStringList{"a|b", "c|d"}) : oldRecords);
}

void TestSaveSafety::killedReplaceLeavesTheOldRecordsOrTheNew()
{
    // Enough lines for the run to take a while; the process is killed as
    // soon as the table shows anything but its old records, or after a while.
    const int count = 400000;
    const QString input = file(QStringLiteral("many.txt"), lines(count));
    QProcess process;
    clirun::start(process, args({"--table", "Names", parse, comma, "--if-exists", "replace", input}));
    QElapsedTimer clock;
    clock.start();
    tw::Database reader;
    QVERIFY(!reader.open(m_db).isError());
    while (process.state() == QProcess::Running) {
        const tw::Result<QVariant> seen = reader.queryValue(QStringLiteral("SELECT count(*) FROM Names"));
        // Another count than the old one is a commit of the run; kill the run
        // right after it, or half a second into the run if none shows.
        if ((seen && seen.value().toInt() != 10) || clock.elapsed() > 500) {
            process.kill();
            break;
        }
        QThread::msleep(2);
    }
    process.waitForFinished();
    reader.close();
    const QStringList stored = records(QStringLiteral("Names"));
    if (stored != oldRecords) {
        QCOMPARE(stored.size(), count);
        QCOMPARE(stored.constLast(), QStringLiteral("new%1|v").arg(count - 1));
    }
    // The killed run's journal gives the file back whole.
    tw::Database again;
    QVERIFY(!again.open(m_db).isError());
    QVERIFY(again.exec(QStringLiteral("INSERT INTO Names (A) VALUES ('after')")));
}

void TestSaveSafety::failureSaysWhyAndWhatWasKept_data()
{
    QTest::addColumn<QString>("cause"); // "lock", "full", "readonly"
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("replace");

    const QStringList append{"--table", "Names", parse, comma};
    const QStringList replace = append + QStringList{"--if-exists", "replace"};
    QTest::newRow("another program holds the database") << "lock" << append
        << "The database %1 is locked by another program.  No records were written to the table Names." << false;
    QTest::newRow("another program holds the database, replace") << "lock" << replace
        << "The database %1 is locked by another program.  Nothing was changed: the table Names keeps its old "
           "records." << true;
    QTest::newRow("the disk is full") << "full" << append << "The disk is full: there is no space left to write to %1."
                                      << false;
    QTest::newRow("the disk is full, replace") << "full" << replace
        << "The disk is full: there is no space left to write to %1.  Nothing was changed: the table Names keeps "
           "its old records." << true;
    QTest::newRow("a read-only database") << "readonly" << append
        << "The database %1 is read-only.  No records were written to the table Names." << false;
}

void TestSaveSafety::failureSaysWhyAndWhatWasKept()
{
    QFETCH(QString, cause);
    QFETCH(QStringList, options);
    QFETCH(QString, message);
    QFETCH(bool, replace);
    clirun::Limits limits;
    tw::Database holder;
    if (cause == u"lock") {
        // A reader in the middle of its transaction: the run may write, but
        // never commit.
        QVERIFY(!holder.open(m_db).isError());
        QVERIFY(!holder.begin().isError());
        QVERIFY(holder.queryValue(QStringLiteral("SELECT count(*) FROM Names")));
    } else if (cause == u"full") {
        // The database may grow by a few pages only.
        limits.fileBytes = QFileInfo(m_db).size() + 32 * 1024;
    } else {
        // A file format newer than this engine writes: it may only be read.
        QFile header(m_db);
        QVERIFY(header.open(QIODevice::ReadWrite));
        QVERIFY(header.seek(18));
        QCOMPARE(header.write("\x03", 1), qint64(1));
    }
    const int count = cause == u"full" ? 200000 : 50;
    const clirun::Run run =
        clirun::cli(args(options + QStringList{file(QStringLiteral("in.txt"), lines(count))}), {}, limits);
    holder.close();
    if (cause == u"readonly") {
        QFile header(m_db);
        QVERIFY(header.open(QIODevice::ReadWrite) && header.seek(18) && header.write("\x01", 1) == 1);
    }

    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(message.arg(QFileInfo(m_db).absoluteFilePath())), qPrintable(run.err));
    QCOMPARE(run.err.count(u'\n'), 1);
    // What the message says was kept is what the table holds.
    const QStringList stored = records(QStringLiteral("Names"));
    QCOMPARE(stored.mid(0, 10), oldRecords);
    const qsizetype added = stored.size() - oldRecords.size();
    if (replace || added == 0) {
        QCOMPARE(added, 0);
    } else {
        QVERIFY2(run.err.contains(QStringLiteral("The %1 records written to the table Names before that were kept")
                                      .arg(added)),
                 qPrintable(run.err));
        QCOMPARE(stored.constLast(), QStringLiteral("new%1|v").arg(added - 1));
    }
}

QTEST_GUILESS_MAIN(TestSaveSafety)
#include "test_savesafety.moc"
