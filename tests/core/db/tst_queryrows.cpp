// SPDX-License-Identifier: GPL-3.0-or-later
// What a query gives, its rows read as a stream, and its rows for a grid:
// editable when they are one table's rows field by field, read lazily in
// either case.
#include "dbtestsupport.h"

#include "core/db/queryrows.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tw;

class TestQueryRows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void whatAQueryGives_data();
    void whatAQueryGives();
    void rowsOfAQuery_data();
    void rowsOfAQuery();
    void otherResultsAreCopiedAsTheyAreShown();
    void editsReachTheTableBehindTheColumns();
    void readRowsBindsParametersByName();
    void failures();

private:
    QStringList firstColumn(const QueryRows &rows, const QueryShape &shape = {});
    qint64 copiedRows();

    QTemporaryDir m_dir;
    Database m_db;
};

void TestQueryRows::init()
{
    QVERIFY(m_dir.isValid());
    const QString path = m_dir.filePath(QStringLiteral("queries.mdb"));
    QFile::remove(path);
    TW_VERIFY_OK(m_db.open(path, {}, {}, Database::OpenMode::CreateIfMissing));
    TW_VERIFY_OK(m_db.begin());
    TW_VERIFY_OK(m_db.createTable({"Stock",
                                   {FieldDef::text("Item", 8), FieldDef::text("Name", 20),
                                    FieldDef::of("Qty", FieldType::Long), FieldDef::of("Photo", FieldType::LongBinary)}}));
    TW_VERIFY_RESULT(m_db.exec("insert into Stock (Item, Name, Qty) values ('A1', 'hinge', 36), ('A2', 'bolt', 120), "
                               "('B1', 'nut', 340), ('B2', 'handle', 12), ('C1', 'tape', 48)"));
    TW_VERIFY_OK(m_db.createTable({"Orders", {FieldDef::text("Item", 8), FieldDef::of("Amount", FieldType::Long)}}));
    TW_VERIFY_RESULT(m_db.exec("insert into Orders values ('A1', 2), ('A1', 3), ('B1', 10)"));
    TW_VERIFY_RESULT(m_db.exec("create view Cheap as select * from Stock where Qty < 50"));
    TW_VERIFY_RESULT(m_db.exec("create table Big (n INTEGER)"));
    TW_VERIFY_RESULT(m_db.exec("with recursive c(x) as (select 1 union all select x + 1 from c where x < 5000) "
                               "insert into Big select x from c"));
    TW_VERIFY_OK(m_db.commit());
}

void TestQueryRows::cleanup()
{
    m_db.close();
}

QStringList TestQueryRows::firstColumn(const QueryRows &rows, const QueryShape &shape)
{
    const Result<std::vector<qint64>> keys = rows.rowids(shape);
    const Result<QHash<qint64, QVariantList>> values = rows.values(keys.value());
    QStringList column;
    for (const qint64 key : keys.value())
        column << values.value().value(key).value(0).toString();
    return column;
}

qint64 TestQueryRows::copiedRows()
{
    const QString table =
        m_db.queryValue("select name from temp.sqlite_master where name like 'tw\\_result\\_%' escape '\\'").value().toString();
    return m_db.queryValue("select count(*) from temp.\"" + table + "\"").value().toLongLong();
}

void TestQueryRows::whatAQueryGives_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("rows");
    QTest::addColumn<QStringList>("fields");
    // The first word decides nothing: the engine says whether rows come back.
    QTest::newRow("select after a blank") << " SELECT Item FROM Stock" << true << QStringList{"Item"};
    QTest::newRow("select after a line break") << "\r\nselect Qty, Qty * 2 from Stock" << true
                                               << QStringList{"Qty", "Qty * 2"};
    QTest::newRow("with") << "with x as (select 1 as n) select n from x" << true << QStringList{"n"};
    QTest::newRow("values") << "values (1, 'a')" << true << QStringList{"column1", "column2"};
    QTest::newRow("read-only pragma") << "pragma table_info(Orders)" << true
                                      << QStringList{"cid", "name", "type", "notnull", "dflt_value", "pk"};
    QTest::newRow("select into makes a table") << "select Item into Copy from Stock" << false << QStringList();
    QTest::newRow("action query") << "delete * from Orders" << false << QStringList();
    // Rows that come from a write are not rows to read again and again.
    QTest::newRow("insert returning") << "insert into Orders values ('C1', 1) returning Item" << false
                                      << QStringList{"Item"};
}

void TestQueryRows::whatAQueryGives()
{
    QFETCH(QString, sql);
    QFETCH(bool, rows);
    QFETCH(QStringList, fields);
    const Result<QueryDescription> description = m_db.describe(QueryDef({}, sql));
    TW_VERIFY_RESULT(description);
    QCOMPARE(description.value().returnsRows(), rows);
    QStringList names;
    for (const FieldDef &field : description.value().fields)
        names << field.name;
    QCOMPARE(names, fields);
    // Describing runs nothing.
    QVERIFY(!m_db.tableExists("Copy"));
    QCOMPARE(m_db.queryValue("select count(*) from Orders").value().toInt(), 3);
}

void TestQueryRows::rowsOfAQuery_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("all fields") << "select * from Stock" << "Stock" << QStringList{"A1", "A2", "B1", "B2", "C1"};
    QTest::newRow("aliases, condition, order")
        << "SELECT Name AS Label, Qty FROM Stock WHERE Qty > 40 ORDER BY Label DESC;" << "Stock"
        << QStringList{"tape", "nut", "bolt"};
    QTest::newRow("table alias and parameter") << "select s.Item from Stock s where s.Qty < :most" << "Stock"
                                               << QStringList{"A1", "B2", "C1"};
    QTest::newRow("condition on a column's alias") << "select Qty as q, Item from Stock where q > 100" << "Stock"
                                                   << QStringList{"120", "340"};
    QTest::newRow("calculated column") << "select Item, Qty * 2 from Stock where Qty > 300" << ""
                                       << QStringList{"B1"};
    QTest::newRow("distinct") << "select distinct substr(Item, 1, 1) from Stock" << "" << QStringList{"A", "B", "C"};
    QTest::newRow("grouped") << "select Item, sum(Amount) from Orders group by Item" << "" << QStringList{"A1", "B1"};
    QTest::newRow("join") << "select Stock.Item from Stock join Orders on Orders.Item = Stock.Item where Amount > 2"
                          << "" << QStringList{"A1", "B1"};
    QTest::newRow("limited") << "select Item from Stock limit 2" << "" << QStringList{"A1", "A2"};
    QTest::newRow("view") << "select Item from Cheap" << "" << QStringList{"A1", "B2", "C1"};
    QTest::newRow("values") << "values ('x'), ('y')" << "" << QStringList{"x", "y"};
    QTest::newRow("pragma") << "pragma table_info(Orders)" << "" << QStringList{"0", "1"};
}

void TestQueryRows::rowsOfAQuery()
{
    QFETCH(QString, sql);
    QFETCH(QString, table);
    QFETCH(QStringList, shown);
    QueryDef query({}, sql);
    if (!query.parameters().isEmpty())
        TW_VERIFY_OK(query.setParameter("most", 50));
    QueryRows rows;
    TW_VERIFY_OK(rows.open(m_db, query));
    QCOMPARE(rows.isEditable(), !table.isEmpty());
    QCOMPARE(rows.baseTable(), table);
    QCOMPARE(firstColumn(rows), shown);
}

void TestQueryRows::otherResultsAreCopiedAsTheyAreShown()
{
    QueryRows rows;
    TW_VERIFY_OK(rows.open(m_db, QueryDef({}, "select n * 2 as twice, n from Big")));
    QVERIFY(!rows.isEditable());
    const Result<std::vector<qint64>> keys = rows.rowids({});
    TW_VERIFY_RESULT(keys);
    // Every row is counted, a first few hundred are copied.
    QCOMPARE(keys.value().size(), size_t(5000));
    QVERIFY(copiedRows() < 1000);
    const Result<QHash<qint64, QVariantList>> last = rows.values({keys.value().back()});
    TW_VERIFY_RESULT(last);
    QCOMPARE(last.value().value(keys.value().back()), (QVariantList{10000, 5000}));
    QCOMPARE(copiedRows(), qint64(5000));

    // An order or a filter names the result's columns.
    QCOMPARE(firstColumn(rows, QueryShape().sortedBy("twice desc")).mid(0, 2), (QStringList{"10000", "9998"}));
    QCOMPARE(firstColumn(rows, QueryShape().filteredBy("n % 1000 = 0")),
             (QStringList{"2000", "4000", "6000", "8000", "10000"}));
    // Unshaped again, the query runs again: what changed meanwhile shows.
    TW_VERIFY_RESULT(m_db.exec("delete from Big where n > 3"));
    QCOMPARE(firstColumn(rows), (QStringList{"2", "4", "6"}));
    QCOMPARE(rows.update(1, {{0, 1}}).number, int(ErrorNumber::ReadOnly));
    QCOMPARE(rows.remove(1).number, int(ErrorNumber::ReadOnly));
}

void TestQueryRows::editsReachTheTableBehindTheColumns()
{
    QueryDef query({}, "select Name as Label, Qty from Stock where Qty > :least order by Label");
    TW_VERIFY_OK(query.setParameter("least", 40));
    QueryRows rows;
    TW_VERIFY_OK(rows.open(m_db, query));
    QVERIFY(rows.isEditable());
    QVERIFY(!rows.canAdd());
    // Each column carries its field's type and size, named as the query names it.
    QCOMPARE(rows.fields().first().name, QString("Label"));
    QCOMPARE(rows.fields().first().size, 20);
    QCOMPARE(rows.fields().last().type, FieldType::Long);

    const std::vector<qint64> keys = rows.rowids({}).value();
    QCOMPARE(firstColumn(rows), (QStringList{"bolt", "nut", "tape"}));
    TW_VERIFY_OK(rows.update(keys[0], {{0, QString("big bolt")}, {1, 121}}));
    QCOMPARE(m_db.queryValue("select Name || Qty from Stock where Item = 'A2'").value().toString(), QString("big bolt121"));
    QCOMPARE(rows.update(keys[0], {{0, QString("far too long for twenty")}}).number, int(ErrorNumber::ValueTooLong));
    TW_VERIFY_OK(rows.remove(keys[1]));
    QVERIFY(!m_db.queryValue("select 1 from Stock where Item = 'B1'").value().isValid());
    QCOMPARE(rows.insert({{0, QString("new")}}).error().number, int(ErrorNumber::ReadOnly));
    // A filter on an alias of the select list.
    QCOMPARE(firstColumn(rows, QueryShape().filteredBy("Label like 'b%'")), QStringList{"big bolt"});
}

void TestQueryRows::readRowsBindsParametersByName()
{
    QueryDef query({}, "select Item from Stock where Qty >= :n and Name <> :skip and Qty < :N + 300 order by Item");
    TW_VERIFY_OK(query.setParameter("skip", "nut"));
    TW_VERIFY_OK(query.setParameter("n", 40));
    QStringList items;
    const Result<qint64> read = m_db.readRows(query, [&](const QVariantList &row) {
        items << row.first().toString();
        return items.size() < 2;
    });
    TW_VERIFY_RESULT(read);
    // It stops when asked to.
    QCOMPARE(read.value(), qint64(2));
    QCOMPARE(items, (QStringList{"A2", "C1"}));
}

void TestQueryRows::failures()
{
    QueryRows rows;
    QCOMPARE(rows.open(m_db, QueryDef({}, "select * from Stock where Qty > :least")).number,
             int(ErrorNumber::TooFewParameters));
    QCOMPARE(rows.open(m_db, QueryDef({}, "update Stock set Qty = 0")).number, int(ErrorNumber::InvalidOperation));
    QCOMPARE(m_db.queryValue("select sum(Qty) from Stock").value().toInt(), 556);
    QVERIFY(rows.open(m_db, QueryDef({}, "select * from Nowhere")).isError());
    QCOMPARE(m_db.readRows(QueryDef({}, "delete from Stock"), [](const QVariantList &) { return true; }).error().number,
             int(ErrorNumber::InvalidOperation));
    // A database closed under the rows.
    TW_VERIFY_OK(rows.open(m_db, QueryDef({}, "select * from Stock")));
    m_db.close();
    QVERIFY(!rows.isOpen());
    QCOMPARE(rows.rowids({}).error().number, int(ErrorNumber::InvalidOperation));
}

QTEST_GUILESS_MAIN(TestQueryRows)
#include "tst_queryrows.moc"
