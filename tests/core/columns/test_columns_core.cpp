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
    void layoutRowsInStoredOrder();
    void captions();
    void copyKeepsFieldsAndOrder();
    void copyTakesAnyNameButATakenOne();

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
}

void TestColumnsCore::tableListRule()
{
    QFETCH(QString, name);
    QFETCH(bool, listed);
    QCOMPARE(tw::isListedTable(name), listed);
}

void TestColumnsCore::layoutRowsInStoredOrder()
{
    QCOMPARE(tw::readColumnSpecs(*m_db).error().number, tw::ErrorNumber::ObjectNotFound);
    QVERIFY(m_db->exec(QStringLiteral("CREATE TABLE tabwrite_settings (column_heading TEXT, get_data_from_column "
                                      "INTEGER, number_of_characters INTEGER, spaces_b4_next_column INTEGER, "
                                      "field_width INTEGER)")));
    // Empty and non-numeric number cells read as empty cells.
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
    // A table that lacks a field of the layout says which.
    QVERIFY(m_db->exec(QStringLiteral("ALTER TABLE tabwrite_settings DROP COLUMN field_width")));
    const tw::DbError missing = tw::readColumnSpecs(*m_db).error();
    QCOMPARE(missing.number, tw::ErrorNumber::ItemNotFound);
}

void TestColumnsCore::captions()
{
    QCOMPARE(tw::specPositionCaption(0, 0), QStringLiteral("Enter new record"));
    QCOMPARE(tw::specPositionCaption(1, 3), QStringLiteral("Record 2 of 3"));
    QCOMPARE(tw::specCriteriaCaption(1, 3), QStringLiteral("Criteria 2 of 3"));
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
    // More rows than one chunk of the copy, out of key order: they must come
    // over in table order.
    QVERIFY(m_db->exec(QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 0 UNION ALL SELECT x + 1 FROM c WHERE x < 11999) "
                                      "INSERT INTO \"Orders\" SELECT 'c' || (11999 - x), 11999 - x, x / 2.0 FROM c")));
    qint64 lastProgress = -1;
    QVERIFY(!(tw::copyTable(*m_db, QStringLiteral("orders"), QStringLiteral("Copy"),
                           [&](qint64 copied, qint64) { lastProgress = copied; })).isError());
    QCOMPARE(lastProgress, 12000);
    // Same names, types and sizes; empty texts taken everywhere.
    def.fields[0].allowZeroLength = true;
    QCOMPARE(m_db->fields(QStringLiteral("Copy")).value(), def.fields);
    QCOMPARE(m_db->queryValue(QStringLiteral("SELECT Qty FROM Copy ORDER BY rowid LIMIT 1 OFFSET 5000")).value(),
             QVariant(qlonglong(6999)));
    QCOMPARE(m_db->queryValue(QStringLiteral("SELECT count(*) FROM Copy")).value().toInt(), 12000);
}

void TestColumnsCore::copyTakesAnyNameButATakenOne()
{
    const QString evil = QStringLiteral("x\"; drop table y; --");
    QVERIFY(!(m_db->createTable({QStringLiteral("y"), {tw::FieldDef::text(QStringLiteral("a"))}})).isError());
    QVERIFY(!(m_db->createTable({evil, {tw::FieldDef::text(QStringLiteral("it's \"a\""))}})).isError());
    QVERIFY(m_db->exec(QStringLiteral("INSERT INTO \"x\"\"; drop table y; --\" VALUES ('v')")));
    QVERIFY(!(tw::copyTable(*m_db, evil, evil + u'2')).isError());
    QVERIFY(m_db->tableExists(QStringLiteral("y")));
    QCOMPARE(m_db->queryValue(QStringLiteral("SELECT count(*) FROM \"x\"\"; drop table y; --2\"")).value().toInt(), 1);

    QCOMPARE(tw::isTableNameTaken(*m_db, QStringLiteral("Y")).value(), true);
    QCOMPARE(tw::isTableNameTaken(*m_db, QStringLiteral("y2")).value(), false);
    QCOMPARE(tw::copyTable(*m_db, QStringLiteral("y"), QStringLiteral("Y")).number, tw::ErrorNumber::TableExists);
}

QTEST_GUILESS_MAIN(TestColumnsCore)
#include "test_columns_core.moc"
