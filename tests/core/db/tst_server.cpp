// SPDX-License-Identifier: GPL-3.0-or-later
// The server engine against a real PostgreSQL server the test starts itself:
// connecting, the error numbers, names, and tabwright-cli save into it.
#include "dbtestsupport.h"
#include "pdftext.h"
#include "pgserver.h"

#include "core/columns/tablecopy.h"
#include "core/columns/tablesaver.h"
#include "core/db/dialect.h"
#include "core/db/database.h"
#include "core/db/identifier.h"
#include "core/db/queryrows.h"
#include "core/db/rowinserter.h"
#include "core/db/serveraddress.h"
#include "core/db/tablerows.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace tw;

class TestServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void openRefusals_data();
    void openRefusals();
    void passwordFromPgpass();
    void addressShownWithoutPassword_data();
    void addressShownWithoutPassword();
    void awkwardNameListedFoundDropped();
    void errorsOfStatements_data();
    void errorsOfStatements();
    void transactions();
    void tableRows_data();
    void tableRows();
    void refusedRowLeavesTheLoadGoing();
    void serverGoingDownKeepsCommittedRows();
    void cliSave_data();
    void cliSave();
    void savedQueryWithParameter_data();
    void savedQueryWithParameter();
    void adHocReportOfAServerQuery();

private:
    QString address(const QString &password = {}) const;

    PgServer m_server;
    Database m_db;
    QTemporaryDir m_dir;
};

namespace {
const QString checked = QStringLiteral("Checked");
const QString parse = QStringLiteral("databaseProcessMethod=Parse text using delimiter I specify");
const QString byColumns = QStringLiteral("databaseProcessMethod=Use column specs on the Tabwrite Text tab");
// Skips values too long for their field, and takes the server down after
// the given line.
class DownAfter : public SaveObserver
{
public:
    DownAfter(PgServer &server, int line) : m_server(server), m_line(line) {}
    bool lineDone(qint64) override
    {
        if (--m_line == 0)
            m_server.stop();
        return true;
    }
    WarnMode valueTooLong(const QString &) override { return WarnMode::SkipSilently; }
    bool recordRefused(const DbError &) override { return false; }

private:
    PgServer &m_server;
    int m_line;
};
} // namespace

QString TestServer::address(const QString &password) const
{
    QString text = m_server.address();
    if (!password.isEmpty())
        text.replace(PgServer::user() + u'@', PgServer::user() + u':' + password + u'@');
    return text;
}

void TestServer::initTestCase()
{
    const QString problem = m_server.start();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    // The database class finds the password where libpq looks: PGPASSWORD.
    qputenv("PGPASSWORD", PgServer::password().toUtf8());
    qputenv("PGPASSFILE", "/nonexistent/pgpass");
    QCOMPARE(m_server.psql(QStringLiteral("CREATE ROLE tw_reader NOLOGIN")), QString());
}

void TestServer::init()
{
    TW_VERIFY_OK(m_db.open(m_server.address()));
    TW_VERIFY_OK(m_db.createTable(TableDef{checked, {FieldDef::text(QStringLiteral("Code"), 3),
                                                     FieldDef::text(QStringLiteral("Name"), 20, false)}}));
}

void TestServer::cleanup()
{
    m_db.close();
    m_server.psql(QStringLiteral("DROP OWNED BY tw_reader; DROP SCHEMA public CASCADE; CREATE SCHEMA public; "
                                 "GRANT USAGE ON SCHEMA public TO PUBLIC"));
}

void TestServer::openRefusals_data()
{
    QTest::addColumn<QString>("address"); // %1: the server's port
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("number");
    QTest::newRow("wrong password") << "postgresql://tabwright@127.0.0.1:%1/postgres" << "wrong" << 3343;
    QTest::newRow("no such database") << "host=127.0.0.1 port=%1 dbname=nosuch user=tabwright" << "" << 3343;
    QTest::newRow("no such user") << "postgresql://nobody_here@127.0.0.1:%1/postgres" << "" << 3343;
    QTest::newRow("nothing listening") << "postgresql://tabwright@127.0.0.1:1/postgres" << "" << 3343;
    QTest::newRow("option the driver would change") << "host=127.0.0.1 port=%1 application_name='a;b'" << "" << 3343;
}

void TestServer::openRefusals()
{
    QFETCH(QString, address);
    QFETCH(QString, password);
    QFETCH(int, number);
    const QString before = m_db.name();
    const DbError error = m_db.open(address.replace(QStringLiteral("%1"), QString::number(m_server.port())), {}, password);
    QCOMPARE(error.number, number);
    QVERIFY(!error.description.isEmpty());
    // The database that was open stays open.
    QCOMPARE(m_db.name(), before);
    QVERIFY(m_db.tableExists(checked));

    // A password in the address is used and never shown.
    TW_VERIFY_OK(m_db.open(this->address(PgServer::password())));
    QVERIFY(!m_db.name().contains(PgServer::password()));
    QVERIFY(m_db.name().contains(QStringLiteral("127.0.0.1:%1").arg(m_server.port())));
}

void TestServer::passwordFromPgpass()
{
    QFile pgpass(m_dir.filePath(QStringLiteral("pgpass")));
    QVERIFY(pgpass.open(QIODevice::WriteOnly));
    pgpass.write(QStringLiteral("127.0.0.1:%1:*:%2:%3\n").arg(m_server.port()).arg(PgServer::user(), PgServer::password()).toUtf8());
    pgpass.close();
    pgpass.setPermissions(QFile::ReadOwner | QFile::WriteOwner); // libpq ignores a file others may read
    qunsetenv("PGPASSWORD");
    qputenv("PGPASSFILE", QFile::encodeName(pgpass.fileName()));
    const DbError withFile = m_db.open(QStringLiteral("host=127.0.0.1 port=%1 dbname=postgres user=%2")
                                           .arg(m_server.port()).arg(PgServer::user()));
    qputenv("PGPASSFILE", "/nonexistent/pgpass");
    const DbError without = m_db.open(QStringLiteral("host=127.0.0.1 port=%1 dbname=postgres user=%2 password=")
                                          .arg(m_server.port()).arg(PgServer::user()));
    qputenv("PGPASSWORD", PgServer::password().toUtf8());
    TW_VERIFY_OK(withFile);
    QCOMPARE(without.number, 3343);
    QCOMPARE(m_db.name(), QStringLiteral("user='%1' dbname='postgres' host='127.0.0.1' port='%2'")
                              .arg(PgServer::user()).arg(m_server.port()));
}

void TestServer::addressShownWithoutPassword_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("shown");
    QTest::newRow("file") << "/data/shop.mdb" << "/data/shop.mdb";
    QTest::newRow("uri") << "postgresql://sam:pa#ss?x@db:5432/sales" << "postgresql://sam@db:5432/sales";
    QTest::newRow("uri query") << "postgres://db/sales?password=pw&sslmode=require" << "postgres://db/sales?sslmode=require";
    QTest::newRow("key-value") << "host=db password='a b' dbname=sales" << "dbname='sales' host='db'";
    QTest::newRow("unreadable") << "host='db password=x" << "(a database server)";
}

void TestServer::addressShownWithoutPassword()
{
    QFETCH(QString, address);
    QFETCH(QString, shown);
    QCOMPARE(displayDatabaseName(address), shown);
}

void TestServer::awkwardNameListedFoundDropped()
{
    const QString name = QStringLiteral("Sales \"2024\"; DROP TABLE Checked");
    TW_VERIFY_OK(m_db.createTable(TableDef{name, {FieldDef::text(QStringLiteral("Region"), 7, false),
                                                  FieldDef::of(QStringLiteral("Notes"), FieldType::Memo),
                                                  FieldDef::of(QStringLiteral("Amount"), FieldType::Double)}}));
    QCOMPARE(m_db.tableNames().value(), (QStringList{checked, name}));
    QCOMPARE(m_db.findTable(name.toLower()).value(), name);
    QCOMPARE(m_db.createTable(TableDef{name.toUpper(), {FieldDef::text(QStringLiteral("X"))}}).number, 3010);
    const Result<QList<FieldDef>> fields = m_db.fields(name.toUpper());
    TW_VERIFY_RESULT(fields);
    QCOMPARE(fields.value(), (QList<FieldDef>{FieldDef::text(QStringLiteral("Region"), 7, false),
                                              FieldDef::of(QStringLiteral("Notes"), FieldType::Memo),
                                              FieldDef::of(QStringLiteral("Amount"), FieldType::Double)}));
    // The program's own tables and the system's are not listed.
    QVERIFY(!m_db.tableNames().value().contains(QStringLiteral("pg_class")));
    TW_VERIFY_OK(m_db.dropTable(name.toUpper()));
    QCOMPARE(m_db.tableNames().value(), QStringList{checked});
    QCOMPARE(m_db.dropTable(name).number, 3011);
    // A name the server would cut short is refused.
    QCOMPARE(m_db.createTable(TableDef{QString(64, u'x'), {FieldDef::text(QStringLiteral("X"))}}).number, 3125);
}

void TestServer::errorsOfStatements_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("number");
    QTest::newRow("no such table") << "SELECT * FROM \"Missing\"" << 3078;
    QTest::newRow("value too long") << "INSERT INTO \"Checked\" VALUES ('ABCD', 'x')" << 3163;
    QTest::newRow("zero-length refused") << "INSERT INTO \"Checked\" VALUES ('A', '')" << 3315;
    QTest::newRow("duplicate name") << "CREATE TABLE \"Checked\" (x int)" << 3010;
    QTest::newRow("permission refused") << "SET ROLE tw_reader; SELECT * FROM \"Checked\"" << 70;
    QTest::newRow("syntax") << "SELEKT 1" << 3131;
}

void TestServer::errorsOfStatements()
{
    QFETCH(QString, sql);
    QFETCH(int, number);
    const QStringList statements = sql.split(QStringLiteral("; "));
    for (qsizetype i = 0; i + 1 < statements.size(); ++i)
        TW_VERIFY_OK(m_db.exec(statements.at(i)).error());
    QCOMPARE(m_db.exec(statements.last()).error().number, number);
    QCOMPARE(m_db.queryValue(statements.last()).error().number, number);
}

void TestServer::transactions()
{
    QCOMPARE(m_db.commit().number, 3034);
    TW_VERIFY_OK(m_db.begin());
    TW_VERIFY_OK(m_db.exec(QStringLiteral("INSERT INTO \"Checked\" VALUES (?, ?)"), {QStringLiteral("A"), QStringLiteral("x")}).error());
    TW_VERIFY_OK(m_db.rollback());
    QCOMPARE(m_db.queryValue(QStringLiteral("SELECT count(*) FROM \"Checked\"")).value().toInt(), 0);
    // A statement that failed inside a transaction takes it down on the
    // server: the commit says so instead of passing for done.
    TW_VERIFY_OK(m_db.begin());
    TW_VERIFY_OK(m_db.exec(QStringLiteral("INSERT INTO \"Checked\" VALUES ('B', 'y')")).error());
    QCOMPARE(m_db.exec(QStringLiteral("INSERT INTO \"Checked\" VALUES ('B', '')")).error().number, 3315);
    QCOMPARE(m_db.commit().number, 3034);
    QCOMPARE(m_db.queryValue(QStringLiteral("SELECT count(*) FROM \"Checked\"")).value().toInt(), 0);
}

void TestServer::tableRows_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("count");
    QTest::newRow("primary key, a million rows") << " PRIMARY KEY" << 1000000;
    QTest::newRow("row place") << "" << 1000;
}

void TestServer::tableRows()
{
    QFETCH(QString, key);
    QFETCH(int, count);
    const QString name = QStringLiteral("Rows \"Of\"; Mixed");
    const QString made = m_server.psql(
        QStringLiteral("CREATE TABLE %1 (\"Id\" integer%2, \"Name\" varchar(20), \"Code\" varchar(5)); "
                       "INSERT INTO %1 SELECT g, 'name' || g, (4 - g % 4)::text FROM generate_series(1, %3) g")
            .arg(quoteIdentifier(name), key).arg(count));
    QVERIFY2(!made.startsWith(QStringLiteral("<error")), qPrintable(made));
    TableRows rows;
    TW_VERIFY_OK(rows.open(m_db, name.toUpper()));
    const auto listOf = [&](const QueryShape &shape) {
        const Result<std::vector<qint64>> keys = rows.rowids(shape);
        const Result<QHash<qint64, QVariantList>> values = keys ? rows.values(keys.value()) : keys.error();
        QStringList listed;
        for (qint64 k : keys.valueOr({}))
            listed << values.value().value(k).value(0).toString() + u'|' + values.value().value(k).value(1).toString();
        return listed;
    };
    const Result<std::vector<qint64>> all = rows.rowids(rows.shape());
    TW_VERIFY_RESULT(all);
    QCOMPARE(qsizetype(all.value().size()), count);
    QCOMPARE(rows.values({all.value()[0], all.value()[1]}).value().value(all.value()[1]),
             (QVariantList{2, QStringLiteral("name2"), QStringLiteral("2")}));
    // Filter and sort run on the server, written as users write them.
    const QueryShape shaped = rows.shape().filteredBy(translateUserSql(QStringLiteral("name like 'NAME1?'")))
                                  .sortedBy(translateUserSql(QStringLiteral("val([code])")) + QStringLiteral(" DESC"));
    QCOMPARE(listOf(shaped).join(u','), QStringLiteral("12|name12,16|name16,13|name13,17|name17,10|name10,14|name14,"
                                                       "18|name18,11|name11,15|name15,19|name19"));
    QCOMPARE(rows.rowids(rows.shape().sortedBy(QStringLiteral("[NoSuch]"))).error().number, 3061);

    // Edits: a changed row keeps the key it was listed under, however often
    // the server moves it.
    const qint64 second = all.value()[1];
    TW_VERIFY_OK(rows.update(second, {{1, QStringLiteral("changed")}}));
    TW_VERIFY_OK(rows.update(second, {{2, QStringLiteral("x")}}));
    QCOMPARE(rows.values({second}).value().value(second), (QVariantList{2, QStringLiteral("changed"), QStringLiteral("x")}));
    TW_VERIFY_OK(rows.remove(all.value()[0]));
    QVERIFY(rows.values({all.value()[0]}).value().isEmpty());
    const Result<qint64> added = rows.insert({{0, count + 1}, {1, QStringLiteral("new")}});
    TW_VERIFY_RESULT(added);
    QCOMPARE(rows.values({added.value()}).value().value(added.value()).value(1), QStringLiteral("new"));
    QCOMPARE(rows.update(all.value()[0], {{1, QStringLiteral("gone")}}).number, 3167);
    QCOMPARE(m_server.psql(QStringLiteral("SELECT count(*), min(\"Id\") FROM ") + quoteIdentifier(name)),
             QStringLiteral("%1|2").arg(count));

    // Save TABLE As copies within the server.
    TW_VERIFY_OK(copyTable(m_db, name, name + QStringLiteral(" copy")));
    QCOMPARE(m_server.psql(QStringLiteral("SELECT count(*), max(\"Name\") FILTER (WHERE \"Id\" = 2) FROM ")
                           + quoteIdentifier(name + QStringLiteral(" copy"))),
             QStringLiteral("%1|changed").arg(count));
}

void TestServer::refusedRowLeavesTheLoadGoing()
{
    // A table with a number field takes rows one at a time: the row the
    // server refuses is left out, the transaction goes on.
    TW_VERIFY_OK(m_db.createTable(TableDef{QStringLiteral("Mixed"), {FieldDef::text(QStringLiteral("Name"), 5),
                                                                     FieldDef::of(QStringLiteral("Amount"), FieldType::Double)}}));
    RowInserter inserter;
    TW_VERIFY_OK(inserter.open(m_db, QStringLiteral("mixed")));
    TW_VERIFY_OK(inserter.begin());
    const QStringList amounts = {QStringLiteral("1.5"), QStringLiteral("lots"), QStringLiteral("2")};
    QList<int> numbers;
    for (const QString &amount : amounts) {
        inserter.setText(0, QStringLiteral("row"));
        inserter.setText(1, amount);
        numbers << inserter.insert().number;
    }
    inserter.setText(0, QStringLiteral("toolong"));
    numbers << inserter.insert().number;
    TW_VERIFY_OK(inserter.commit());
    QCOMPARE(numbers, (QList<int>{0, 3464, 0, 3163}));
    QCOMPARE(m_server.psql(QStringLiteral("SELECT \"Amount\" FROM \"Mixed\" ORDER BY ctid")), QStringLiteral("1.5\n2"));
}

void TestServer::serverGoingDownKeepsCommittedRows()
{
    // The too-long value of line 3 has the run commit lines 1 and 2 before
    // it asks; lines 3 to 5 are on their way when the server goes down.
    SaveRequest request;
    request.table = checked;
    request.method = SaveMethod::Delimiter;
    request.delimiter = QStringLiteral(";");
    DownAfter observer(m_server, 5);
    const SaveOutcome outcome =
        saveText(m_db, request, u"A;1\r\nB;2\r\nTOOLONG;3\r\nC;4\r\nD;5\r\nE;6\r\nF;7\r\n", observer);
    QCOMPARE(int(outcome.end), int(SaveOutcome::End::Failed));
    QCOMPARE(outcome.error.number, 3343);
    QCOMPARE(outcome.recordsWritten, 2);
    const QString message = saveFailureMessage(outcome, checked, m_db.name());
    QVERIFY2(message.contains(QStringLiteral("The 2 records written to the table Checked before that were kept")),
             qPrintable(message));
    const QString restarted = m_server.restart();
    QVERIFY2(restarted.isEmpty(), qPrintable(restarted));
    QCOMPARE(m_server.psql(QStringLiteral("SELECT string_agg(\"Name\", ',' ORDER BY ctid) FROM \"Checked\"")),
             QStringLiteral("1,2"));
}

void TestServer::cliSave_data()
{
    QTest::addColumn<QStringList>("args"); // @db: the server, @columns: a layout file
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("rows"); // the table by psql, or "" when there is none
    QTest::addColumn<QString>("says");

    const QByteArray lines("ab   cdefg\r\nwx\tyz\\q\r\n\r\nlonger1234x\r\n");
    QTest::newRow("layout, created")
        << QStringList{byColumns, QStringLiteral("--create"), QStringLiteral("--too-long"), QStringLiteral("skip")}
        << lines << 0 << "ab   |cdefg\nwx\tyz|\\q\n|\nlonge|r1234" << "4 records written";
    QTest::newRow("delimiter, appended")
        << QStringList{parse, QStringLiteral("databaseDelimiter=,")} << QByteArray("1,one\r\n2,two,more\r\n3\r\n") << 0
        << "1|one\n2|two\n3|" << "3 records written";
    QTest::newRow("too long, skipped and counted")
        << QStringList{parse, QStringLiteral("databaseDelimiter=;"), QStringLiteral("--too-long"), QStringLiteral("skip")}
        << QByteArray("ABCD;kept\r\nABC;x\r\n") << 0 << "|kept\nABC|x" << "1 values skipped";
    QTest::newRow("too long, aborted")
        << QStringList{parse, QStringLiteral("databaseDelimiter=;")} << QByteArray("A;first\r\nABCD;x\r\nB;never\r\n")
        << 1 << "A|first" << "enlarge the field size";
    QTest::newRow("replaced")
        << QStringList{parse, QStringLiteral("databaseDelimiter=;"), QStringLiteral("--if-exists"),
                       QStringLiteral("replace")}
        << QByteArray("R;new\r\n") << 0 << "R|new" << "1 records written";
    QTest::newRow("zero-length, refused before it is sent")
        << QStringList{parse, QStringLiteral("databaseDelimiter=,")} << QByteArray("1,one\r\n2,,x\r\n3,three\r\n")
        << 1 << "1|one" << "zero-length";
}

void TestServer::cliSave()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, text);
    QFETCH(int, status);
    QFETCH(QString, rows);
    QFETCH(QString, says);
    // The table holds an old record the replace must take away.
    TW_VERIFY_OK(m_db.exec(QStringLiteral("INSERT INTO \"Checked\" VALUES ('OLD', 'old')")).error());
    QFile columns(m_dir.filePath(QStringLiteral("columns.csv")));
    QVERIFY(columns.open(QIODevice::WriteOnly));
    columns.write("Fixed,1,5,0,5\nRest,6,5,0,5\n");
    columns.close();
    QFile input(m_dir.filePath(QStringLiteral("input.txt")));
    QVERIFY(input.open(QIODevice::WriteOnly));
    input.write(text);
    input.close();

    const bool create = args.contains(QStringLiteral("--create"));
    const QString table = create ? QStringLiteral("New; \"Table\"") : QStringLiteral("checked");
    QProcess cli;
    cli.setProcessEnvironment(m_server.clientEnvironment());
    cli.start(QStringLiteral(TABWRIGHT_CLI),
              QStringList{QStringLiteral("save"), QStringLiteral("--db"), m_server.address(), QStringLiteral("--table"),
                          table, QStringLiteral("--columns"), columns.fileName()}
                  + args + QStringList{input.fileName()});
    QVERIFY(cli.waitForFinished(60000));
    const QString err = QString::fromUtf8(cli.readAllStandardError());
    QCOMPARE(cli.exitCode(), status);
    QVERIFY2(err.contains(says), qPrintable(err));
    QVERIFY(!err.contains(PgServer::password()));

    const QString stored = create ? QStringLiteral("New; \"Table\"") : checked;
    const QString expected = args.contains(QStringLiteral("replace")) || create ? rows : QStringLiteral("OLD|old\n") + rows;
    QCOMPARE(m_server.psql(QStringLiteral("SELECT * FROM %1 ORDER BY ctid")
                               .arg(quoteIdentifier(stored))),
             expected);
}

void TestServer::savedQueryWithParameter_data()
{
    QTest::addColumn<bool>("cli");
    QTest::newRow("in the program") << false;
    QTest::newRow("tabwright-cli query --saved") << true;
}

void TestServer::savedQueryWithParameter()
{
    QFETCH(bool, cli);
    TW_VERIFY_OK(m_db.exec(QStringLiteral("INSERT INTO \"Checked\" VALUES ('A1', 'one'), ('B2', 'two'), ('C3', 'three')"))
                     .error());
    // The catalog is made by the first save, not by listing.
    QCOMPARE(m_db.queryNames().value(), QStringList());
    QCOMPARE(m_server.psql(QStringLiteral("SELECT to_regclass('\"MSysQueries\"') IS NULL")), QStringLiteral("t"));
    // Names typed in any case, as in a database file.
    TW_VERIFY_RESULT(m_db.createQueryDef(QStringLiteral("From Code"),
                                         QStringLiteral("select [name], code from checked where Code >= :from order by CODE")));
    QCOMPARE(m_db.createQueryDef(QStringLiteral("FROM CODE"), QStringLiteral("select 1")).error().number, 3012);
    QCOMPARE(m_db.queryNames().value(), QStringList{QStringLiteral("From Code")});

    QStringList rows;
    if (cli) {
        QProcess process;
        process.setProcessEnvironment(m_server.clientEnvironment());
        process.start(QStringLiteral(TABWRIGHT_CLI), {QStringLiteral("query"), QStringLiteral("--db"), m_server.address(),
                                                      QStringLiteral("--saved"), QStringLiteral("from code"),
                                                      QStringLiteral("--param"), QStringLiteral("from=B")});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        rows = QString::fromUtf8(process.readAllStandardOutput()).trimmed().split(u'\n');
    } else {
        Result<QueryDef> query = m_db.queryDef(QStringLiteral("from code"));
        TW_VERIFY_RESULT(query);
        QCOMPARE(m_db.describe(query.value()).value().returnsRows(), true);
        QCOMPARE(QueryRows().open(m_db, query.value()).number, 3061); // no value yet
        TW_VERIFY_OK(query.value().setParameter(QStringLiteral("FROM"), QStringLiteral("B")));
        // The grid's rows: read-only on a server.
        QueryRows result;
        TW_VERIFY_OK(result.open(m_db, query.value()));
        QVERIFY(!result.isEditable());
        const Result<std::vector<qint64>> keys = result.rowids(QueryShape(QStringLiteral("x")).sortedBy(QStringLiteral("code DESC")));
        TW_VERIFY_RESULT(keys);
        const QHash<qint64, QVariantList> values = result.values(keys.value()).value();
        rows << QStringLiteral("Name,Code");
        for (qint64 key : keys.value())
            rows << values.value(key).value(0).toString() + u',' + values.value(key).value(1).toString();
        // Rows are streamed: a reader that stops early, and a failure after
        // the first rows, leave the connection ready for the next statement.
        const auto firstOnly = [](const QVariantList &) { return false; };
        QCOMPARE(m_db.readRows(QueryDef({}, QStringLiteral("select g from generate_series(1, 100000) g")), firstOnly)
                     .valueOr(-1),
                 1);
        QVERIFY(!m_db.readRows(QueryDef({}, QStringLiteral("select 1 / (3 - g) from generate_series(1, 5) g")),
                               [](const QVariantList &) { return true; })
                     .ok());
        // SELECT ... INTO makes its table on the server, parameters and all.
        QueryDef into({}, QStringLiteral("select * into [Picked; \"Rows\"] from checked where code < :to"));
        TW_VERIFY_OK(into.setParameter(QStringLiteral("to"), QStringLiteral("C")));
        const Result<QueryOutcome> made = m_db.run(into);
        TW_VERIFY_RESULT(made);
        QCOMPARE(made.value().rowsAffected, 2);
        QCOMPARE(m_server.psql(QStringLiteral("SELECT string_agg(\"Code\", ',' ORDER BY \"Code\") FROM \"Picked; \"\"Rows\"\"\"")),
                 QStringLiteral("A1,B2"));
    }
    const QStringList expected = cli ? QStringList{"Name,Code", "two,B2", "three,C3"}
                                     : QStringList{"Name,Code", "three,C3", "two,B2"};
    QCOMPARE(rows, expected);
}

void TestServer::adHocReportOfAServerQuery()
{
    TW_VERIFY_OK(m_db.exec(QStringLiteral("INSERT INTO \"Checked\" VALUES ('A1', 'one'), ('B2', 'two')")).error());
    // The report's own records go into a default database of this test's.
    const QString defaultDb = m_dir.filePath(QStringLiteral("report.mdb"));
    QFile::remove(defaultDb);
    QVERIFY(QFile::copy(qEnvironmentVariable("TABWRIGHT_DEFAULT_DB"), defaultDb));
    const QString pdf = m_dir.filePath(QStringLiteral("report.pdf"));
    QProcess process;
    process.setProcessEnvironment(m_server.clientEnvironment());
    process.start(QStringLiteral(TABWRIGHT_CLI),
                  {QStringLiteral("report"), QStringLiteral("--db"), m_server.address(),
                   QStringLiteral("select name, code from checked where code >= :from"), QStringLiteral("--param"),
                   QStringLiteral("from=B"), QStringLiteral("-o"), pdf, QStringLiteral("--default-db"), defaultDb});
    QVERIFY(process.waitForFinished(60000));
    QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
    const QString text = pdfText(pdf);
    QVERIFY2(text.contains(QLatin1String("two")) && text.contains(QLatin1String("B2")), qPrintable(text));
    QVERIFY(!text.contains(QLatin1String("one")));
    // The copy of the rows went with the report's connection.
    Database report;
    TW_VERIFY_OK(report.open(defaultDb));
    QVERIFY(!report.tableExists(QStringLiteral("~SSysAdHocTmp")));
}

QTEST_GUILESS_MAIN(TestServer)
#include "tst_server.moc"
