// SPDX-License-Identifier: GPL-3.0-or-later
// Print ALL fields: the sections of the ad-hoc report, the report objects it
// writes, and what it leaves behind in another database (nothing).
#include "core/db/dbtestsupport.h"
#include "core/grids/adhocreport.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tw;

namespace {

// What the pages would show.
struct RecordingSink : ReportSink
{
    QList<ReportSection> sections;
    QList<QList<QVariantList>> rows;
    void beginSection(const ReportSection &section) override
    {
        sections << section;
        rows << QList<QVariantList>();
    }
    bool row(const QVariantList &values) override
    {
        rows.last() << values;
        return true;
    }
    void endSection() override {}
};

} // namespace

class TestAdHocReport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void titleText_data();
    void titleText();
    void selectItem_data();
    void selectItem();
    void sections_data();
    void sections();
    void unsavedQueryIsSavedAsAdhocTmp();
    void nothingToPrint();
    void anotherDatabaseKeepsNothing();

private:
    QTemporaryDir m_dir;
    QString m_defaultPath;
    Database m_db;
};

void TestAdHocReport::init()
{
    QVERIFY(m_dir.isValid());
    QFile::remove(m_dir.filePath("tabwright.mdb"));
    m_defaultPath = copyOfDefaultDatabase(m_dir);
    QVERIFY(!m_defaultPath.isEmpty());
    TW_VERIFY_OK(m_db.open(m_defaultPath));
}

void TestAdHocReport::cleanup()
{
    m_db.close();
}

void TestAdHocReport::titleText_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("title");
    QTest::newRow("line breaks") << "select *\r\nfrom T\r\nwhere a = 1" << "select * from T where a = 1";
    QTest::newRow("lone line feeds too") << "select *\nfrom T" << "select * from T";
    QTest::newRow("three blanks, then two") << "select  *   from    T" << "select * from T";
    QTest::newRow("one pass each") << "a     b" << "a  b";
}

void TestAdHocReport::titleText()
{
    QFETCH(QString, sql);
    QFETCH(QString, title);
    QCOMPARE(reportTitleText(sql), title);
}

void TestAdHocReport::selectItem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("place");
    QTest::addColumn<QString>("item");
    QTest::newRow("already Fieldk") << "FIELD3" << 3 << "FIELD3";
    QTest::newRow("Fieldk in another place") << "field3" << 2 << "field3 as Field2";
    QTest::newRow("plain") << "Amount" << 1 << "Amount as Field1";
    QTest::newRow("blank in the name") << "Order Date" << 4 << "[Order Date] as Field4";
    QTest::newRow("keyword") << "select" << 5 << "[select] as Field5";
    QTest::newRow("bracket in the name") << "a]b" << 6 << "`a]b` as Field6";
}

void TestAdHocReport::selectItem()
{
    QFETCH(QString, name);
    QFETCH(int, place);
    QFETCH(QString, item);
    QCOMPARE(reportSelectItem(name, place), item);
}

void TestAdHocReport::sections_data()
{
    QTest::addColumn<QStringList>("columns"); // name and declared type
    QTest::addColumn<QList<QStringList>>("captions");
    QTest::addColumn<QString>("sectionQuery");
    const auto numbered = [](int from, int to) {
        QStringList names;
        for (int i = from; i <= to; ++i)
            names << QStringLiteral("c%1").arg(i);
        return names;
    };
    QStringList ten;
    for (const QString &name : numbered(1, 10))
        ten << name + " TEXT";
    QTest::newRow("ten fields, two sections") << ten << QList<QStringList>{numbered(1, 7), numbered(8, 10)}
                                              << "select c8 as Field1, c9 as Field2, c10 as Field3 from [all];";
    QTest::newRow("seven fields, one section")
        << ten.mid(0, 7) << QList<QStringList>{numbered(1, 7)}
        << "select c1 as Field1, c2 as Field2, c3 as Field3, c4 as Field4, c5 as Field5, c6 as Field6, c7 as "
           "Field7 from [all];";
    // The field named field3 in place 3 keeps its name; the long binary field
    // takes no place, and the section line counts only what prints.
    QTest::newRow("field3, a long binary, quoted names")
        << QStringList{"[Order Date] TEXT", "Picture BLOB", "[select] INTEGER", "field3 TEXT"}
        << QList<QStringList>{{"Order Date", "select", "field3"}}
        << "select [Order Date] as Field1, [select] as Field2, field3 from [all];";
    QStringList eight = ten.mid(0, 8);
    eight[1] = "Picture BLOB";
    QTest::newRow("eight fields, one a long binary") << eight
                                                     << QList<QStringList>{QStringList{"c1"} + numbered(3, 8)}
                                                     << "select c1 as Field1, c3 as Field2, c4 as Field3, c5 as "
                                                        "Field4, c6 as Field5, c7 as Field6, c8 as Field7 from [all];";
}

void TestAdHocReport::sections()
{
    QFETCH(QStringList, columns);
    QFETCH(QList<QStringList>, captions);
    QFETCH(QString, sectionQuery);
    TW_VERIFY_RESULT(m_db.exec("create table W (" + columns.join(", ") + ")"));
    QStringList values;
    for (qsizetype i = 0; i < columns.size(); ++i)
        values << QString::number(i + 1);
    TW_VERIFY_RESULT(m_db.exec("insert into W values (" + values.join(", ") + "), (" + values.join(", ") + ")"));
    TW_VERIFY_RESULT(m_db.createQueryDef("all", "select * from W"));

    AdHocReport report(m_db, m_defaultPath, m_db.queryDef("all").value());
    QCOMPARE(report.prepare(), AdHocReport::State::Ready);
    RecordingSink sink;
    TW_VERIFY_OK(report.print(sink));
    QCOMPARE(sink.sections.size(), captions.size());
    for (qsizetype s = 0; s < captions.size(); ++s) {
        QCOMPARE(sink.sections[s].captions, captions[s]);
        QCOMPARE(sink.sections[s].sectionLine, QString("%1 of %2").arg(s + 1).arg(captions.size()));
        QCOMPARE(sink.sections[s].title, QString("select * from W"));
        QCOMPARE(sink.rows[s].size(), 2);
        QCOMPARE(sink.rows[s].first().size(), captions[s].size());
    }
    // The last section's query is the one left behind: seven fields in
    // ~adhocbak, fewer in ~adhoc.
    const QString last = captions.last().size() == 7 ? "~adhocbak" : "~adhoc";
    QCOMPARE(m_db.queryDef(last).value().sql(), sectionQuery);
    QCOMPARE(m_db.queryValue("select section from SSysAdHocReportTitle").value().toString(),
             QString("%1 of %1").arg(captions.size()));
    QCOMPARE(m_db.queryValue("select count(*) from SSysAdHocReportTitle").value().toInt(), 1);
    // Nothing of the run stays on the connection.
    QCOMPARE(m_db.queryValue("select count(*) from temp.sqlite_master").value().toInt(), 0);
}

void TestAdHocReport::unsavedQueryIsSavedAsAdhocTmp()
{
    TW_VERIFY_RESULT(m_db.exec("create table T (a TEXT, b INTEGER)"));
    TW_VERIFY_RESULT(m_db.exec("insert into T values ('x', 1), ('y', 2), ('z', 3)"));
    TW_VERIFY_RESULT(m_db.exec("insert into SSysAdHocReportTitle (ReportTitle, Field5Name) values ('old', 'old')"));
    const QString sql = "select b, a\r\nfrom T\r\nwhere b >= 2";
    AdHocReport report(m_db, m_defaultPath, QueryDef({}, sql));
    QCOMPARE(report.prepare(), AdHocReport::State::Ready);
    RecordingSink sink;
    TW_VERIFY_OK(report.print(sink));
    QCOMPARE(m_db.queryDef("~adhocTmp").value().sql(), sql);
    QCOMPARE(m_db.queryDef("~adhoc").value().sql(), QString("select b as Field1, a as Field2 from [~adhocTmp];"));
    QCOMPARE(sink.rows.first(), (QList<QVariantList>{{2, "y"}, {3, "z"}}));
    // The record the report reads: its first one, rewritten.
    QCOMPARE(m_db.queryValue("select ReportTitle || '|' || Field1Name || '|' || Field2Name || '|' || "
                             "ifnull(Field5Name, '-') from SSysAdHocReportTitle")
                 .value()
                 .toString(),
             QString("select b, a from T where b >= 2|b|a|-"));
}

void TestAdHocReport::nothingToPrint()
{
    TW_VERIFY_RESULT(m_db.exec("create table T (a TEXT)"));
    AdHocReport noFrom(m_db, m_defaultPath, QueryDef({}, "select 1 + 1"));
    QCOMPARE(noFrom.prepare(), AdHocReport::State::NoFrom);
    AdHocReport noData(m_db, m_defaultPath, QueryDef({}, "select * from T"));
    QCOMPARE(noData.prepare(), AdHocReport::State::NoData);
    AdHocReport missing(m_db, m_defaultPath, QueryDef({}, "select * from T where a = :which"));
    QCOMPARE(missing.prepare(), AdHocReport::State::Failed);
    QCOMPARE(missing.error().number, int(ErrorNumber::TooFewParameters));
    QCOMPARE(m_db.queryValue("select count(*) from SSysAdHocReportTitle").value().toInt(), 0);
}

void TestAdHocReport::anotherDatabaseKeepsNothing()
{
    const QString userPath = m_dir.filePath("user.db");
    QFile::remove(userPath);
    Database user;
    TW_VERIFY_OK(user.open(userPath, {}, {}, Database::OpenMode::CreateIfMissing));
    TW_VERIFY_RESULT(user.exec("create table Sales (Region TEXT, Amount INTEGER)"));
    TW_VERIFY_RESULT(user.exec("insert into Sales values ('North', 10), ('South', 20), ('North', 5)"));
    const QStringList tablesBefore = user.tableNames().value();

    // An unsaved query with a parameter given its value.
    QueryDef query({}, "select Region, sum(Amount) as Total from Sales where Region = :region group by Region");
    TW_VERIFY_OK(query.setParameter("region", "North"));
    AdHocReport report(user, m_defaultPath, query);
    QCOMPARE(report.prepare(), AdHocReport::State::Ready);
    QCOMPARE(report.rowCount(), qint64(1));
    RecordingSink sink;
    TW_VERIFY_OK(report.print(sink));
    QCOMPARE(sink.sections.first().captions, (QStringList{"Region", "Total"}));
    QCOMPARE(sink.rows.first(), (QList<QVariantList>{{"North", 15}}));

    // The copy, the saved query and the catalog it needed are gone from the
    // user's database; the default database keeps only its own objects.
    QCOMPARE(user.tableNames().value(), tablesBefore);
    QCOMPARE(user.queryValue("select count(*) from temp.sqlite_master").value().toInt(), 0);
    QVERIFY(!m_db.tableExists("~SSysAdHocTmp"));
    QCOMPARE(m_db.queryDef("~adhoc").value().sql(), QString("select Region as Field1, Total as Field2 from [~SSysAdHocTmp];"));
    QCOMPARE(m_db.queryValue("select ReportTitle from SSysAdHocReportTitle").value().toString(), query.sql());
}

QTEST_GUILESS_MAIN(TestAdHocReport)
#include "tst_adhocreport.moc"
