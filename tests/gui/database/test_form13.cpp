// SPDX-License-Identifier: GPL-3.0-or-later
#include "frameharness.h"

#include "gui/shell/mdiform1.h"
#include "core/db/database.h"
#include "gui/database/databasemenu.h"
#include "gui/database/form3.h"
#include "gui/database/form13.h"
#include "core/grids/gridmodel.h"
#include "core/grids/gridrules.h"

#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

// The table window driven through the database menu on a database the
// program did not make.
class TestForm13 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void headerClickSorts();
    void filterExamples_data();
    void filterExamples();
    void emptyFilterChangesNothing();
    void emptyTableHasNoRecord();
    void deleteAnsweredNoKeepsRow();
    void refreshAndShowAllAfterFilter();
    void fractionsShownExactly();

private:
    Form13 *openTable(const QString &name);
    QStringList column(int index);

    std::unique_ptr<FrameHarness> m_harness;
};

void TestForm13::init()
{
    m_harness = std::make_unique<FrameHarness>();
    const QString path = QDir(m_harness->programFolder()).filePath(QStringLiteral("orders.db"));
    {
        tw::Database db;
        QVERIFY(!(db.open(path, {}, {}, tw::Database::OpenMode::CreateIfMissing)).isError());
        QVERIFY(db.exec(QStringLiteral(
            "CREATE TABLE Orders (OrderID INTEGER, SaleID INTEGER, CustomerID TEXT, CustName TEXT, "
            "OrderDate TEXT, moneyEarned REAL, cashFlow REAL, Amount VARCHAR(10))")));
        QVERIFY(db.exec(QStringLiteral(
            "INSERT INTO Orders VALUES "
            "(123, 456, 'ABC123', 'PantherEnterprises', '2000-08-07', 5000, 50, '10'),"
            "(150, 457, 'ABC456', 'Pantry', '1999-01-16', 200000, 150, '2'),"
            "(201, 458, 'xyz', 'Zebra', '2001-01-01', 100, 100, '1')")));
        QVERIFY(db.exec(QStringLiteral("CREATE TABLE Empty (a TEXT)")));
        QVERIFY(db.exec(QStringLiteral("CREATE TABLE Prices (p DOUBLE)")));
        QVERIFY(db.exec(QStringLiteral("INSERT INTO Prices VALUES (1499998.5), (0.1), (1234567.891), (-2.5e-7)")));
    }
    QVERIFY(m_harness->start());
    m_harness->frame().state().currentDbPath = path;
    QVERIFY(!(m_harness->frame().openCurrentDatabase(path)).isError());
}

void TestForm13::cleanup()
{
    m_harness.reset();
}

Form13 *TestForm13::openTable(const QString &name)
{
    DatabaseMenu &menu = DatabaseMenu::of(m_harness->frame());
    menu.menuFileOpenTable_Click();
    menu.List1_DblClick(name);
    return menu.tableWindow();
}

QStringList TestForm13::column(int index)
{
    Form13 *window = DatabaseMenu::of(m_harness->frame()).tableWindow();
    QStringList values;
    for (int row = 0; row < window->model()->recordCount(); ++row)
        values << window->model()->data(window->model()->index(row, index)).toString();
    return values;
}

void TestForm13::headerClickSorts()
{
    Form13 *window = openTable(QStringLiteral("Orders"));
    QCOMPARE(window->windowTitle(), QStringLiteral("Table - Orders"));
    QCOMPARE(window->Data1->text(), QStringLiteral("Record: 1 of 3"));
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QHeaderView *header = window->grdDataGrid->horizontalHeader();
    const int amount = 7;
    window->grdDataGrid->scrollTo(window->model()->index(0, amount));
    const QPoint at(header->sectionViewportPosition(amount) + header->sectionSize(amount) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    // Numeric text sorts by value.
    QCOMPARE(column(amount), (QStringList{"1", "2", "10"}));
    QVERIFY(window->sortRequest.isEmpty());
    // Ctrl held at the press sorts the other way.
    // The clicked heading stays where it was.
    QCOMPARE(header->logicalIndexAt(at), amount);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
    QCOMPARE(column(amount), (QStringList{"10", "2", "1"}));
    QVERIFY(window->sortRequest.isEmpty());
    // The modifier of one click does not carry over to the next.
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(column(amount), (QStringList{"1", "2", "10"}));
    // A text column of words sorts as text.
    QVERIFY(window->sortRecords(QStringLiteral("[CustName]")));
    QCOMPARE(column(3), (QStringList{"PantherEnterprises", "Pantry", "Zebra"}));
}

void TestForm13::filterExamples_data()
{
    QTest::addColumn<QString>("criterion");
    QTest::addColumn<QStringList>("orderIds");
    QTest::newRow("text in apostrophe pairs") << "OrderID = ''123''" << QStringList{"123"};
    QTest::newRow("number") << "SaleID = 456" << QStringList{"123"};
    QTest::newRow("or") << "CustomerID=''ABC123'' or customerid=''ABC456''" << QStringList{"123", "150"};
    QTest::newRow("date and number")
        << "CustName = ''PantherEnterprises'' and OrderDate >= #8/7/00# or moneyEarned < 100000.00"
        << QStringList{"123", "201"};
    QTest::newRow("like") << "customerID like ''abc*''" << QStringList{"123", "150"};
    QTest::newRow("like or") << "custname like ''pant*'' or OrDeRiD <> 123" << QStringList{"123", "150", "201"};
    QTest::newRow("between dates")
        << "orderDATE between #1/16/99# And #11/3/00# OR cashFlow >= 100" << QStringList{"123", "150", "201"};
    QTest::newRow("not like and between")
        << "custName not like ''Pan*'' AND orderID between 101 and 201" << QStringList{"201"};
    QTest::newRow("double quotes") << "CustName = \"Zebra\"" << QStringList{"201"};
}

void TestForm13::filterExamples()
{
    QFETCH(QString, criterion);
    QFETCH(QStringList, orderIds);
    Form13 *window = openTable(QStringLiteral("Orders"));
    m_harness->toolkit().answerText(criterion);
    window->cmdFilter->click();
    QCOMPARE(m_harness->toolkit().messageTexts(), QStringList());
    QCOMPARE(column(0), orderIds);
    QCOMPARE(window->cmdRefresh->text(), QStringLiteral("Re-Filter"));
    QVERIFY(window->Command1->isEnabled());
    QCOMPARE(window->grdDataGridCaption->text(), QStringLiteral("Record(s) meeting this criterion: ") + criterion);
}

void TestForm13::emptyFilterChangesNothing()
{
    Form13 *window = openTable(QStringLiteral("Orders"));
    m_harness->toolkit().answerText(QString());
    window->cmdFilter->click();
    QCOMPARE(m_harness->toolkit().lastPrompt().message.text.left(33), QStringLiteral("Enter FieldName =, <>, <, <=, >, "));
    QCOMPARE(column(0).size(), 3);
    QVERIFY(!window->Command1->isEnabled());
    QCOMPARE(window->cmdRefresh->text(), QStringLiteral("&Refresh"));
}

void TestForm13::emptyTableHasNoRecord()
{
    Form13 *window = openTable(QStringLiteral("Empty"));
    QCOMPARE(window->Data1->text(), QStringLiteral("No record on file."));
}

void TestForm13::deleteAnsweredNoKeepsRow()
{
    Form13 *window = openTable(QStringLiteral("Orders"));
    window->grdDataGrid->setCurrentIndex(window->model()->index(1, 0));
    m_harness->toolkit().answer(Answer::No);
    QTest::keyClick(window->grdDataGrid, Qt::Key_Delete);
    QCOMPARE(m_harness->toolkit().lastPrompt().message.text, QStringLiteral("Delete Current Row?"));
    QCOMPARE(column(0), (QStringList{"123", "150", "201"}));
    m_harness->toolkit().answer(Answer::Yes);
    QTest::keyClick(window->grdDataGrid, Qt::Key_Delete);
    QCOMPARE(column(0), (QStringList{"123", "201"}));
    QVERIFY(window->Data1->text().endsWith(QStringLiteral(" of 2")));
}

void TestForm13::refreshAndShowAllAfterFilter()
{
    Form13 *window = openTable(QStringLiteral("Orders"));
    m_harness->toolkit().answerText(QStringLiteral("OrderID > 123"));
    window->cmdFilter->click();
    QVERIFY(m_harness->frame().currentDatabase()->exec(QStringLiteral("INSERT INTO Orders (OrderID) VALUES (999), (5)")));
    window->cmdRefresh->click();
    QCOMPARE(column(0), (QStringList{"150", "201", "999"}));
    window->Command1->click();
    QCOMPARE(column(0).size(), 5);
    QCOMPARE(window->cmdRefresh->text(), QStringLiteral("&Refresh"));
    QVERIFY(window->grdDataGridCaption->text().isEmpty());
}

void TestForm13::fractionsShownExactly()
{
    // The grid must show, and offer for editing, the number that is stored,
    // not a rounding of it.
    openTable(QStringLiteral("Prices"));
    const QStringList expected{"1499998.5", "0.1", "1234567.891", "-2.5e-07"};
    Form13 *window = DatabaseMenu::of(m_harness->frame()).tableWindow();
    tw::GridModel *model = window->model();
    QStringList shown;
    for (int row = 0; row < model->recordCount(); ++row) {
        const QModelIndex index = model->index(row, 0);
        auto delegate = qobject_cast<QStyledItemDelegate *>(window->grdDataGrid->itemDelegateForIndex(index));
        QVERIFY(delegate);
        shown << delegate->displayText(model->data(index), QLocale());
    }
    QCOMPARE(shown, expected);
    QCOMPARE(model->data(model->index(0, 0), Qt::EditRole).toString(), expected.first());
}

QTEST_MAIN(TestForm13)
#include "test_form13.moc"
