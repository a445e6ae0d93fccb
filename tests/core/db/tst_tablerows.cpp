// SPDX-License-Identifier: GPL-3.0-or-later
// The rows of one table by rowid, as grids read and write them.
#include "dbtestsupport.h"

#include "core/db/tablerows.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tw;

class TestTableRows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_db.close(); }
    void rowidsOfAShape_data();
    void rowidsOfAShape();
    void readAndWriteByRowid();
    void failures();

private:
    QTemporaryDir m_dir;
    Database m_db;
    TableRows m_rows;
};

void TestTableRows::init()
{
    QVERIFY(m_dir.isValid());
    const QString path = m_dir.filePath(QStringLiteral("rows.mdb"));
    QFile::remove(path);
    TW_VERIFY_OK(m_db.open(path, {}, {}, Database::OpenMode::CreateIfMissing));
    // A field of its own called rowid: the row key is then reached by
    // another of its names.
    TW_VERIFY_OK(m_db.createTable({"T", {FieldDef::of("rowid", FieldType::Long), FieldDef::text("Name", 5)}}));
    TW_VERIFY_RESULT(m_db.exec("insert into T values (10, 'b'), (20, 'A'), (30, 'a'), (40, 'c')"));
    TW_VERIFY_OK(m_rows.open(m_db, "t"));
}

void TestTableRows::rowidsOfAShape_data()
{
    QTest::addColumn<QStringList>("filters");
    QTest::addColumn<QString>("sort");
    QTest::addColumn<QList<qint64>>("rowids");
    QTest::newRow("table order") << QStringList() << "" << QList<qint64>{1, 2, 3, 4};
    QTest::newRow("sort ignores case, ties in table order") << QStringList() << "Name" << QList<qint64>{2, 3, 1, 4};
    QTest::newRow("the field called rowid") << QStringList() << "\"rowid\" desc" << QList<qint64>{4, 3, 2, 1};
    QTest::newRow("every filter applies")
        << QStringList{"Name <> 'c'", "\"rowid\" > 10"} << "" << QList<qint64>{2, 3};
}

void TestTableRows::rowidsOfAShape()
{
    QFETCH(QStringList, filters);
    QFETCH(QString, sort);
    QFETCH(QList<qint64>, rowids);
    // The rows are the table's whatever table the shape names.
    QueryShape shape(QStringLiteral("elsewhere"));
    for (const QString &filter : filters)
        shape = shape.filteredBy(filter);
    const Result<std::vector<qint64>> read = m_rows.rowids(shape.sortedBy(sort));
    TW_VERIFY_RESULT(read);
    QCOMPARE(QList<qint64>(read.value().begin(), read.value().end()), rowids);
}

void TestTableRows::readAndWriteByRowid()
{
    QCOMPARE(m_rows.table(), QString("T"));
    QCOMPARE(m_rows.fields().size(), 2);
    // A rowid without a row has no entry.
    QHash<qint64, QVariantList> values = m_rows.values({3, 99, 1}).value();
    QCOMPARE(values.size(), 2);
    QCOMPARE(values.value(3), (QVariantList{30, "a"}));
    QCOMPARE(values.value(1), (QVariantList{10, "b"}));

    TW_VERIFY_OK(m_rows.update(2, {{1, "Z"}}));
    QCOMPARE(m_rows.values({2}).value().value(2), (QVariantList{20, "Z"}));
    const Result<qint64> added = m_rows.insert({{1, "new"}});
    QCOMPARE(added.valueOr(-1), qint64(5));
    values = m_rows.values({5}).value();
    QVERIFY(values.value(5).value(0).isNull());
    QCOMPARE(values.value(5).value(1), QVariant("new"));
    QCOMPARE(m_rows.insert({}).valueOr(-1), qint64(6));
    TW_VERIFY_OK(m_rows.remove(5));
    TW_VERIFY_OK(m_rows.remove(5)); // gone is gone
    QVERIFY(m_rows.values({5}).value().isEmpty());
    // The values of a row another window deleted go nowhere: that is an error.
    QCOMPARE(m_rows.update(5, {{1, "x"}}).number, int(ErrorNumber::RecordDeleted));
}

void TestTableRows::failures()
{
    TableRows other;
    QCOMPARE(other.open(m_db, "missing").number, int(ErrorNumber::ObjectNotFound));
    TW_VERIFY_OK(m_db.createTable({"keys", {FieldDef::text("rowid"), FieldDef::text("_rowid_"), FieldDef::text("oid")}}));
    QCOMPARE(other.open(m_db, "keys").number, int(ErrorNumber::InvalidOperation));
    QVERIFY(!other.isOpen());

    QCOMPARE(m_rows.rowids(m_rows.shape().filteredBy("Name = = 1")).error().number,
             int(ErrorNumber::SyntaxErrorInExpression));
    QCOMPARE(m_rows.rowids(m_rows.shape().sortedBy("nosuch")).error().number, int(ErrorNumber::TooFewParameters));
    QCOMPARE(m_rows.update(1, {{1, "too long"}}).number, int(ErrorNumber::ValueTooLong));
    QCOMPARE(m_rows.insert({{1, "too long"}}).error().number, int(ErrorNumber::ValueTooLong));

    // The table dropped by another connection: the engine's answer.
    Database second;
    TW_VERIFY_OK(second.open(m_db.name()));
    TW_VERIFY_OK(second.dropTable("T"));
    const DbError gone = m_rows.values({1}).error();
    QCOMPARE(gone.number, int(ErrorNumber::InputTableNotFound));
    QVERIFY2(gone.description.contains("T"), qPrintable(gone.description));

    // Once the database is closed every call fails cleanly.
    m_db.close();
    QVERIFY(m_rows.isOpen());
    QCOMPARE(m_rows.rowids(m_rows.shape()).error().number, int(ErrorNumber::InvalidOperation));
    QCOMPARE(m_rows.values({1}).error().number, int(ErrorNumber::InvalidOperation));
    QCOMPARE(m_rows.update(1, {{1, "x"}}).number, int(ErrorNumber::InvalidOperation));
    QCOMPARE(m_rows.insert({}).error().number, int(ErrorNumber::InvalidOperation));
    QCOMPARE(m_rows.remove(1).number, int(ErrorNumber::InvalidOperation));
}

QTEST_GUILESS_MAIN(TestTableRows)
#include "tst_tablerows.moc"
