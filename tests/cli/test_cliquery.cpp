// SPDX-License-Identifier: GPL-3.0-or-later
// tabwright-cli query and report run as a user runs them: the rows as CSV or
// TSV, parameters by name, action queries, refusals and exit statuses, and
// the report's PDF read back.
#include "core/db/database.h"
#include "support/pdftext.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestCliQuery : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void query_data();
    void query();
    void reportWritesThePdf();
    void reportRefusals_data();
    void reportRefusals();

private:
    struct Run
    {
        int status = -1;
        QString out;
        QString err;
    };
    Run cli(QStringList args);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_db;
    QString m_default;
};

void TestCliQuery::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_db = m_dir->filePath(QStringLiteral("shop.db"));
    tw::Database db;
    QVERIFY(!db.open(m_db, {}, {}, tw::Database::OpenMode::CreateIfMissing).isError());
    QVERIFY(db.begin().isError() == false);
    for (const char *sql :
         {"create table T (id INTEGER, name TEXT, note TEXT, price DOUBLE)",
          "insert into T values (1, 'Baker, Sons', 'say \"hi\"', 1.5), (2, 'Tab\there', 'two\nlines', 0.1), "
          "(3, 'plain', null, 2)"})
        QVERIFY2(db.exec(QString::fromLatin1(sql)), sql);
    QVERIFY(db.createQueryDef(QStringLiteral("between"),
                              QStringLiteral("select id from T where id >= :Low and id <= :high order by id")));
    QVERIFY(!db.commit().isError());
    db.close();
    m_default = m_dir->filePath(QStringLiteral("tabwright.mdb"));
    QVERIFY(QFile::copy(qEnvironmentVariable("TABWRIGHT_DEFAULT_DB"), m_default));
    QFile::setPermissions(m_default, QFile::ReadOwner | QFile::WriteOwner);
}

TestCliQuery::Run TestCliQuery::cli(QStringList args)
{
    for (QString &arg : args) {
        if (arg == u"@db")
            arg = m_db;
        else if (arg.startsWith(u'@'))
            arg = m_dir->filePath(arg.mid(1));
    }
    QProcess process;
    process.start(QStringLiteral(TABWRIGHT_CLI), args);
    if (!process.waitForStarted())
        qFatal("cannot start %s", TABWRIGHT_CLI);
    process.waitForFinished(60000);
    Run run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

void TestCliQuery::query_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err"); // a part of standard error

    QTest::newRow("csv quoting") << QStringList{"query", "--db", "@db", "select * from T order by id"} << 0
                                 << "id,name,note,price\n1,\"Baker, Sons\",\"say \"\"hi\"\"\",1.5\n"
                                    "2,Tab\there,\"two\nlines\",0.1\n3,plain,,2\n"
                                 << "";
    QTest::newRow("tsv escapes") << QStringList{"query", "--db", "@db", "--format", "tsv", "select name, note from T"}
                                 << 0 << "name\tnote\nBaker, Sons\tsay \"hi\"\nTab\\there\ttwo\\nlines\nplain\t\n" << "";
    QTest::newRow("a select after a line break") << QStringList{"query", "--db", "@db", "\n select id from T where id = 3"}
                                                 << 0 << "id\n3\n" << "";
    QTest::newRow("saved, parameters by name")
        << QStringList{"query", "--db", "@db", "--saved", "BETWEEN", "--param", "high=2", "--param", "low=1"} << 0
        << "id\n1\n2\n" << "";
    QTest::newRow("action query") << QStringList{"query", "--db", "@db", "update T set price = price * 2 where id < 3"}
                                  << 0 << "2\n" << "";
    QTest::newRow("a parameter without a value")
        << QStringList{"query", "--db", "@db", "--saved", "between", "--param", "low=1"} << 2 << ""
        << "no value for the parameter(s) high";
    QTest::newRow("a parameter the query has not")
        << QStringList{"query", "--db", "@db", "select 1", "--param", "x=1"} << 2 << "" << "no parameter named 'x'";
    QTest::newRow("no such saved query") << QStringList{"query", "--db", "@db", "--saved", "nope"} << 2 << ""
                                         << "no saved query named 'nope'";
    QTest::newRow("the engine refuses") << QStringList{"query", "--db", "@db", "select * from Nowhere"} << 1 << ""
                                        << "Nowhere";
    QTest::newRow("both saved and typed") << QStringList{"query", "--db", "@db", "--saved", "between", "select 1"} << 2
                                          << "" << "either --saved NAME or an SQL statement";
}

void TestCliQuery::query()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const Run run = cli(args);
    QCOMPARE(run.out, out);
    QVERIFY2(run.err.contains(err), qPrintable(run.err));
    QCOMPARE(run.status, status);
}

void TestCliQuery::reportWritesThePdf()
{
    const Run run = cli({"report", "--db", "@db", "--default-db", "@tabwright.mdb", "-o", "@report.pdf",
                         "select id, name\nfrom T where id >= :least", "--param", "least=2"});
    QCOMPARE(run.status, 0);
    QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
    const QString text = pdfText(m_dir->filePath("report.pdf"));
    for (const char *shown : {"select id, name from T where id >= :least", "Section 1 of 1", "id", "name", "Tab here",
                              "plain", "Page 1 of 1"})
        QVERIFY2(text.contains(QString::fromUtf8(shown)), qPrintable(text));
    QVERIFY(!text.contains("Baker"));
    // The report's objects went to the default database given.
    tw::Database written;
    QVERIFY(!written.open(m_default).isError());
    QCOMPARE(written.queryValue("select section from SSysAdHocReportTitle").value().toString(), QString("1 of 1"));
}

void TestCliQuery::reportRefusals_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("err");
    QTest::newRow("no rows") << "select * from T where id > 99" << 1 << "No data to print.";
    QTest::newRow("no FROM") << "select 1" << 1
                             << "The SQL statement does not contain a FROM clause, so printing in not possible.";
    QTest::newRow("an unknown table") << "select * from Nowhere" << 1 << "Nowhere";
}

void TestCliQuery::reportRefusals()
{
    QFETCH(QString, sql);
    QFETCH(int, status);
    QFETCH(QString, err);
    const Run run = cli({"report", "--db", "@db", "--default-db", "@tabwright.mdb", "-o", "@none.pdf", sql});
    QVERIFY2(run.err.contains(err), qPrintable(run.err));
    QCOMPARE(run.status, status);
    QVERIFY(!QFile::exists(m_dir->filePath("none.pdf")));
}

QTEST_GUILESS_MAIN(TestCliQuery)
#include "test_cliquery.moc"
