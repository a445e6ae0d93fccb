// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/columns/columnspecs.h"
#include "core/columns/tablecopy.h"
#include "core/columns/tablelist.h"
#include "core/db/database.h"

#include <QTemporaryDir>
#include <QtTest>

// The column layout rows, the table-list rule and table copies on real files.
class TestColumnsCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void tableListRule_data();
    void tableListRule();
    void readsRowsInStoredOrderWithEmptyCells();
    void captions();
    void copyKeepsFieldsAndOrder();
    void nameTakenInAnyCase();
    void copiesTableNamedLikeSql();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<tw::Database> m_db;
};

void TestColumnsCore::init()
{
    m_db = std::make_unique<tw::Database>();
    const QString path = m_dir.filePath(QStringLiteral("t%1.db").arg(QDateTime::currentMSecsSinceEpoch()));
    QVERIFY(!(m_db->open(path, {}, {}, tw::Database::OpenMode::CreateIfMissing)).isError());
}

void TestColumnsCore::tableListRule_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("listed");
    QTest::newRow("msysdata") << "msysdata" << true;
    QTest::newRow("MSysQueries") << "MSysQueries" << false;
    QTest::newRow("SSysAdHocReportTitle") << "SSysAdHocReportTitle" << false;
    QTest::newRow("TABWRITE_x") << "TABWRITE_x" << false;
    QTest::newRow("tabwrite") << "tabwrite" << true;
    QTest::newRow("sql-like") << "x\"; drop table y; --" << true;
}

void TestColumnsCore::tableListRule()
{
    QFETCH(QString, name);
    QFETCH(bool, listed);
    QCOMPARE(tw::isListedTable(name), listed);
}

void TestColumnsCore::readsRowsInStoredOrderWithEmptyCells()
{
    QVERIFY(!(m_db->exec(QStringLiteral("CREATE TABLE tabwrite_settings (column_heading TEXT, get_data_from_column "
                                       "INTEGER, number_of_characters INTEGER, spaces_b4_next_column INTEGER, "
                                       "field_width INTEGER)"))
                 .error()).isError());
    QVERIFY(m_db->exec(QStringLiteral("INSERT INTO tabwrite_settings VALUES ('Qty', 10, 3, 0, 5), "
                                      "('Name', 1, 5, 2, NULL), ('x', NULL, 'abc', 1, 1)")));
    const auto rows = tw::readColumnSpecs(*m_db);
    QVERIFY(rows.ok());
    QCOMPARE(rows.value().size(), 3);
    QCOMPARE(rows.value()[0].column_heading, QStringLiteral("Qty"));
    QCOMPARE(rows.value()[1].get_data_from_column, std::optional<int>(1));
    QVERIFY(!rows.value()[1].field_width);
    QVERIFY(!rows.value()[2].get_data_from_column);
    QVERIFY(!rows.value()[2].number_of_characters);
}

void TestColumnsCore::captions()
{
    QCOMPARE(tw::specPositionCaption(0, 0), QStringLiteral("Enter new record"));
    QCOMPARE(tw::specPositionCaption(0, 3), QStringLiteral("Record 1 of 3"));
    QCOMPARE(tw::specPositionCaption(1, 3), QStringLiteral("Record 2 of 3"));
    QCOMPARE(tw::specGridCaption({}), QStringLiteral("Enter Column Specifications"));
    QCOMPARE(tw::specGridCaption(QStringLiteral("tabwrite_Weekly")), QStringLiteral("Settings: Weekly"));
}

void TestColumnsCore::copyKeepsFieldsAndOrder()
{
    tw::TableDef def{QStringLiteral("Orders"),
                     {tw::FieldDef::text(QStringLiteral("Cust"), 20, false),
                      tw::FieldDef::of(QStringLiteral("Qty"), tw::FieldType::Long),
                      tw::FieldDef::of(QStringLiteral("Price"), tw::FieldType::Double)}};
    QVERIFY(!(m_db->createTable(def)).isError());
    // Rows inserted out of key order must come over in table order.
    QVERIFY(!(m_db->begin()).isError());
    for (int i = 0; i < 12000; ++i)
        QVERIFY(m_db->exec(QStringLiteral("INSERT INTO \"Orders\" VALUES (?, ?, ?)"),
                           {QStringLiteral("c%1").arg(11999 - i), 11999 - i, i / 2.0}));
    QVERIFY(!(m_db->commit()).isError());
    qint64 lastProgress = -1;
    QVERIFY(!(tw::copyTable(*m_db, QStringLiteral("orders"), QStringLiteral("Copy"),
                           [&](qint64 copied, qint64) { lastProgress = copied; })).isError());
    QCOMPARE(lastProgress, 12000);
    const auto fields = m_db->fields(QStringLiteral("Copy"));
    QVERIFY(fields.ok());
    QCOMPARE(fields.value().size(), 3);
    QCOMPARE(fields.value()[0].name, QStringLiteral("Cust"));
    QCOMPARE(fields.value()[0].type, tw::FieldType::Text);
    QCOMPARE(fields.value()[0].size, 20);
    QVERIFY(fields.value()[0].allowZeroLength);
    QCOMPARE(fields.value()[1].type, tw::FieldType::Long);
    QCOMPARE(fields.value()[2].type, tw::FieldType::Double);
    QCOMPARE(m_db->queryValue(QStringLiteral("SELECT Qty FROM Copy ORDER BY rowid LIMIT 1 OFFSET 5000")).value(),
             QVariant(qlonglong(6999)));
    QCOMPARE(m_db->queryValue(QStringLiteral("SELECT count(*) FROM Copy")).value().toInt(), 12000);
    QVERIFY(m_db->exec(QStringLiteral("INSERT INTO Copy (Cust) VALUES ('')")));
}

void TestColumnsCore::nameTakenInAnyCase()
{
    QVERIFY(!(m_db->createTable({QStringLiteral("Sales"), {tw::FieldDef::text(QStringLiteral("a"))}})).isError());
    QCOMPARE(tw::isTableNameTaken(*m_db, QStringLiteral("SALES")).value(), true);
    QCOMPARE(tw::isTableNameTaken(*m_db, QStringLiteral("Sales2")).value(), false);
    QVERIFY((tw::copyTable(*m_db, QStringLiteral("Sales"), QStringLiteral("sALES"))).isError());
}

void TestColumnsCore::copiesTableNamedLikeSql()
{
    const QString evil = QStringLiteral("x\"; drop table y; --");
    QVERIFY(!(m_db->createTable({QStringLiteral("y"), {tw::FieldDef::text(QStringLiteral("a"))}})).isError());
    QVERIFY(!(m_db->createTable({evil, {tw::FieldDef::text(QStringLiteral("it's \"a\""))}})).isError());
    QVERIFY(m_db->exec(QStringLiteral("INSERT INTO \"x\"\"; drop table y; --\" VALUES ('v')")));
    QVERIFY(!(tw::copyTable(*m_db, evil, evil + u'2')).isError());
    QVERIFY(m_db->tableExists(QStringLiteral("y")));
    QCOMPARE(m_db->queryValue(QStringLiteral("SELECT count(*) FROM \"x\"\"; drop table y; --2\"")).value().toInt(), 1);
}

QTEST_GUILESS_MAIN(TestColumnsCore)
#include "test_columns_core.moc"
