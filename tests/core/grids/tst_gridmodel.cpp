// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's model: rows written back as the view leaves them, and failures
// reported to the window once.
#include "core/db/dbtestsupport.h"
#include "core/db/querydef.h"
#include "core/grids/gridmodel.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tw;

class TestGridModel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void failedPageIsReportedOnce();
    void editsReachTheTable();
    void queryResultsAreEditableOnlyAsATablesRows();

private:
    QString cell(int row, int column) const { return m_model->data(m_model->index(row, column)).toString(); }

    QTemporaryDir m_dir;
    Database m_db;
    std::unique_ptr<GridModel> m_model;
};

void TestGridModel::init()
{
    QVERIFY(m_dir.isValid());
    const QString path = m_dir.filePath(QStringLiteral("grid.mdb"));
    QFile::remove(path);
    TW_VERIFY_OK(m_db.open(path, {}, {}, Database::OpenMode::CreateIfMissing));
    TW_VERIFY_OK(m_db.createTable({"T", {FieldDef::text("Name", 5), FieldDef::of("n", FieldType::Long)}}));
    // More rows than one page holds.
    TW_VERIFY_RESULT(m_db.exec("with recursive c(x) as (select 1 union all select x + 1 from c where x < 300) "
                               "insert into T select 'r' || x, x from c"));
    m_model = std::make_unique<GridModel>();
    TW_VERIFY_OK(m_model->open(m_db, QueryShape("t").filteredBy("n <= 200").sortedBy("n desc")));
}

void TestGridModel::cleanup()
{
    m_model.reset();
    m_db.close();
}

void TestGridModel::failedPageIsReportedOnce()
{
    QCOMPARE(m_model->tableName(), QString("T"));
    QCOMPARE(m_model->rowCount(), 200);
    QCOMPARE(cell(0, 0), QString("r200"));
    QSignalSpy errors(m_model.get(), &GridModel::errorOccurred);
    Database other;
    TW_VERIFY_OK(other.open(m_db.name()));
    TW_VERIFY_OK(other.dropTable("T"));

    // The view asks for every cell of the rows it paints, on two pages.
    for (int row = 150; row < 200; ++row) {
        for (int column = 0; column < 2; ++column)
            QVERIFY(cell(row, column).isEmpty());
    }
    // Reported after the view has drawn, once.
    QCOMPARE(errors.size(), 0);
    QTRY_COMPARE(errors.size(), 1);
    const auto error = errors.first().first().value<DbError>();
    QCOMPARE(error.number, int(ErrorNumber::InputTableNotFound));
    QCoreApplication::processEvents();
    QCOMPARE(errors.size(), 1);

    // Reading the rows again reads pages again.
    TW_VERIFY_OK(other.createTable({"T", {FieldDef::text("Name", 5), FieldDef::of("n", FieldType::Long)}}));
    TW_VERIFY_RESULT(other.exec("insert into T values ('x', 1)"));
    TW_VERIFY_OK(m_model->requery());
    QCOMPARE(m_model->rowCount(), 1);
    QCOMPARE(cell(0, 0), QString("x"));
    QCoreApplication::processEvents();
    QCOMPARE(errors.size(), 1);
}

void TestGridModel::editsReachTheTable()
{
    QSignalSpy errors(m_model.get(), &GridModel::errorOccurred);
    QSignalSpy written(m_model.get(), &GridModel::rowWritten);
    // A changed row is written when it is left, numbers as numbers.
    QVERIFY(m_model->setData(m_model->index(0, 1), "7"));
    QVERIFY(m_model->hasPendingEdit());
    QVERIFY(m_model->setData(m_model->index(1, 0), "next"));
    QCOMPARE(m_db.queryValue("select typeof(n) || n from T where Name = 'r200'").value().toString(), QString("integer7"));
    QVERIFY(m_model->submit());
    QCOMPARE(written.size(), 2);

    // The new-record row inserts; the new row stays shown.
    m_model->setAddRowEnabled(true);
    QVERIFY(m_model->isNewRecordRow(200));
    QVERIFY(m_model->setData(m_model->index(200, 0), "added"));
    QVERIFY(m_model->submit());
    QCOMPARE(written.last().first().toBool(), true);
    QCOMPARE(m_model->recordCount(), qint64(201));
    QCOMPARE(cell(200, 0), QString("added"));

    QVERIFY(m_model->removeRows(200, 1));
    QCOMPARE(m_db.queryValue("select count(*) from T where Name = 'added'").value().toInt(), 0);
    QCOMPARE(errors.size(), 0);

    // A word for a number is refused in its cell, naming the field, and the
    // row's other edits stay; a refusal at writing reaches the window and
    // drops the edit.
    QVERIFY(m_model->setData(m_model->index(0, 0), "kept"));
    QVERIFY(!m_model->setData(m_model->index(0, 1), "seven"));
    QCOMPARE(errors.last().first().value<DbError>().number, 3421);
    QVERIFY(errors.last().first().value<DbError>().description.endsWith(m_model->fields().at(1).name));
    QCOMPARE(m_model->pendingRow(), 0);
    m_model->revert();
    QVERIFY(m_model->setData(m_model->index(0, 0), "too long"));
    QVERIFY(!m_model->submit());
    QCOMPARE(errors.last().first().value<DbError>().number, int(ErrorNumber::ValueTooLong));
    QVERIFY(!m_model->hasPendingEdit());
    // A row another window deleted takes no edit.
    TW_VERIFY_RESULT(m_db.exec("delete from T where Name = 'next'"));
    QVERIFY(m_model->setData(m_model->index(1, 0), "lost"));
    QVERIFY(!m_model->submit());
    QCOMPARE(errors.last().first().value<DbError>().number, int(ErrorNumber::RecordDeleted));
    QCOMPARE(errors.size(), 3);
    QCOMPARE(written.size(), 3);
}

void TestGridModel::queryResultsAreEditableOnlyAsATablesRows()
{
    QSignalSpy errors(m_model.get(), &GridModel::errorOccurred);
    TW_VERIFY_OK(m_model->openQuery(m_db, QueryDef({}, "select n, Name as Label from T where n > 298")));
    QVERIFY(m_model->isEditable());
    QCOMPARE(m_model->rowCount(), 2);
    QVERIFY(m_model->flags(m_model->index(0, 1)) & Qt::ItemIsEditable);
    QVERIFY(m_model->setData(m_model->index(0, 1), "edit"));
    QVERIFY(m_model->submit());
    QCOMPARE(m_db.queryValue("select Name from T where n = 299").value().toString(), QString("edit"));
    // A query's result takes no new rows.
    m_model->setAddRowEnabled(true);
    QCOMPARE(m_model->rowCount(), 2);

    TW_VERIFY_OK(m_model->openQuery(m_db, QueryDef({}, "select count(*) as c from T")));
    QVERIFY(!m_model->isEditable());
    QCOMPARE(cell(0, 0), QString("300"));
    QVERIFY(!(m_model->flags(m_model->index(0, 0)) & Qt::ItemIsEditable));
    QVERIFY(!m_model->setData(m_model->index(0, 0), "1"));
    QVERIFY(!m_model->removeRows(0, 1));
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().first().value<DbError>().number, int(ErrorNumber::ReadOnly));
}

QTEST_GUILESS_MAIN(TestGridModel)
#include "tst_gridmodel.moc"
