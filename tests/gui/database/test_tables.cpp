// SPDX-License-Identifier: GPL-3.0-or-later
// The database half of the File menu through the real windows: opening
// another database with the Password Access window, the table list, the table
// window (sort, filter, delete, refresh), copying and deleting tables.
#include "frameharness.h"

#include "core/db/database.h"
#include "core/grids/gridmodel.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QtTest>

class TestTables : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void openDatabaseThroughPasswordWindow();
    void notADatabaseKeepsTheWindowAndTheDatabase();
    void switchingDatabasesClosesTheTableWindows();
    void headerClickSorts();
    void filterRefreshAndShowAll();
    void invalidFilterShowsTheEngineMessage();
    void deleteRowAsksFirst();
    void counterOfAnEmptyTable();
    void fractionsShownExactly();
    void saveTableAsRefusesNameInOtherCase();
    void saveTableAsCopiesAndShows();
    void deletingLastTableClosesList();
    void tableNamedLikeSqlIsHandledAsName();

private:
    // Presses a button of the Password Access window once it shows; Cancel
    // afterwards if it is still up (a failed open keeps it).
    void pressInPasswordWindow(const char *button, bool thenCancel = false);
    void useUserDatabase();
    void openTable(const QString &name);
    QStringList listed();
    QStringList column(int index);
    QTableView *grid();
    tw::GridModel *model();

    std::unique_ptr<FrameHarness> m_harness;
    QString m_userDb;
};

void TestTables::init()
{
    m_harness = std::make_unique<FrameHarness>();
    m_userDb = m_harness->path(QStringLiteral("user.db"));
    tw::Database db;
    QVERIFY(!db.open(m_userDb, {}, {}, tw::Database::OpenMode::CreateIfMissing).isError());
    for (const char *sql :
         {"CREATE TABLE Orders (OrderID INTEGER, CustName TEXT, OrderDate TEXT, Amount VARCHAR(10))",
          "INSERT INTO Orders VALUES (123, 'Panther', '2000-08-07', '10'), (150, 'Pantry', '1999-01-16', '2'),"
          " (201, 'Zebra', '2001-01-01', '1')",
          "CREATE TABLE y (a TEXT)", "CREATE TABLE MSysThing (a TEXT)", "CREATE TABLE Empty (a TEXT)",
          "CREATE TABLE Prices (p DOUBLE)",
          "INSERT INTO Prices VALUES (1499998.5), (0.1), (1234567.891), (-2.5e-7)"})
        QVERIFY2(db.exec(QString::fromLatin1(sql)), sql);
    db.close();
    QVERIFY(m_harness->start());
}

void TestTables::cleanup()
{
    m_harness.reset();
}

void TestTables::pressInPasswordWindow(const char *button, bool thenCancel)
{
    QTimer::singleShot(0, [button, thenCancel] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog && dialog->objectName() == QLatin1String("Form4"));
        QVERIFY(dialog->findChild<QLineEdit *>(QStringLiteral("Text1"))->text().isEmpty());
        dialog->findChild<QPushButton *>(QString::fromLatin1(button))->click();
        if (thenCancel && dialog->isVisible())
            dialog->findChild<QPushButton *>(QStringLiteral("Command2"))->click();
    });
}

void TestTables::useUserDatabase()
{
    QVERIFY(!m_harness->session().open(m_userDb).error.isError());
}

void TestTables::openTable(const QString &name)
{
    m_harness->openMenu(QStringLiteral("menuFile"));
    m_harness->action(QStringLiteral("menuFileOpenTable"))->trigger();
    QListWidget *list = m_harness->control<QListWidget>(QStringLiteral("Form3"), QStringLiteral("List1"));
    const QList<QListWidgetItem *> items = list->findItems(name, Qt::MatchExactly);
    QVERIFY2(items.size() == 1, qPrintable(name));
    list->setCurrentItem(items.first());
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(m_harness->isShown(QStringLiteral("Form13")));
}

QStringList TestTables::listed()
{
    QStringList names;
    QListWidget *list = m_harness->control<QListWidget>(QStringLiteral("Form3"), QStringLiteral("List1"));
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

QTableView *TestTables::grid()
{
    return m_harness->control<QTableView>(QStringLiteral("Form13"), QStringLiteral("grdDataGrid"));
}

tw::GridModel *TestTables::model()
{
    return qobject_cast<tw::GridModel *>(grid()->model());
}

QStringList TestTables::column(int index)
{
    QStringList values;
    for (int row = 0; row < model()->recordCount(); ++row)
        values << model()->data(model()->index(row, index)).toString();
    return values;
}

void TestTables::openDatabaseThroughPasswordWindow()
{
    m_harness->toolkit().answerFile(m_userDb);
    pressInPasswordWindow("Command1");
    m_harness->action(QStringLiteral("menuFileOpenDB"))->trigger();
    QCOMPARE(m_harness->toolkit().prompts().first().file.title, QStringLiteral("Tabwrite - Select database"));
    QCOMPARE(m_harness->session().currentPath(), m_userDb);
    m_harness->openMenu(QStringLiteral("menuFile"));
    m_harness->action(QStringLiteral("menuFileOpenTable"))->trigger();
    // The program's and the engine's tables are not listed.
    QCOMPARE(listed(), (QStringList{"Orders", "y", "Empty", "Prices"}));
    m_harness->openMenu(QStringLiteral("menuFile"));
    m_harness->action(QStringLiteral("menuFileUseOrig"))->trigger();
    QCOMPARE(m_harness->session().currentPath(), m_harness->defaultDbPath());
}

void TestTables::notADatabaseKeepsTheWindowAndTheDatabase()
{
    const QString junk = m_harness->path(QStringLiteral("junk.mdb"));
    QFile file(junk);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    m_harness->toolkit().answerFile(junk);
    pressInPasswordWindow("Command1", true);
    m_harness->action(QStringLiteral("menuFileOpenDB"))->trigger();
    QVERIFY(m_harness->toolkit().messageTexts().contains(
        QStringLiteral("The database you selected has a format that is unrecognizable to Tabwright.")));
    QCOMPARE(m_harness->session().currentPath(), m_harness->defaultDbPath());
    QVERIFY(m_harness->session().database().isOpen());
    QCOMPARE(QFileInfo(junk).size(), 4096);
}

void TestTables::switchingDatabasesClosesTheTableWindows()
{
    useUserDatabase();
    openTable(QStringLiteral("Orders"));
    m_harness->openMenu(QStringLiteral("menuFile"));
    m_harness->action(QStringLiteral("menuFileOpenTable"))->trigger();
    QVERIFY(m_harness->isShown(QStringLiteral("Form3")));
    QVERIFY(!m_harness->session().useDefault().isError());
    QVERIFY(!m_harness->isShown(QStringLiteral("Form13")));
    QVERIFY(!m_harness->isShown(QStringLiteral("Form3")));
    QVERIFY(!model()->isOpen());
}

void TestTables::headerClickSorts()
{
    useUserDatabase();
    openTable(QStringLiteral("Orders"));
    QWidget *window = m_harness->window(QStringLiteral("Form13"));
    QCOMPARE(window->windowTitle(), QStringLiteral("Table - Orders"));
    QCOMPARE(m_harness->control<QLabel>(QStringLiteral("Form13"), QStringLiteral("Data1"))->text(),
             QStringLiteral("Record: 1 of 3"));
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QHeaderView *header = grid()->horizontalHeader();
    const int amount = 3;
    const QPoint at(header->sectionViewportPosition(amount) + header->sectionSize(amount) / 2, header->height() / 2);
    // Numeric text sorts by value; Ctrl held at the press sorts the other way,
    // and the clicked heading stays under the pointer for the next click.
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(column(amount), (QStringList{"1", "2", "10"}));
    QCOMPARE(header->logicalIndexAt(at), amount);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
    QCOMPARE(column(amount), (QStringList{"10", "2", "1"}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(column(amount), (QStringList{"1", "2", "10"}));
}

void TestTables::filterRefreshAndShowAll()
{
    useUserDatabase();
    openTable(QStringLiteral("Orders"));
    const QString criterion = QStringLiteral("custname like ''pant*'' and OrderDate >= #8/7/00#");
    m_harness->toolkit().answerText(criterion);
    m_harness->click(QStringLiteral("Form13"), QStringLiteral("cmdFilter"));
    QCOMPARE(column(0), QStringList{"123"});
    auto refresh = m_harness->control<QPushButton>(QStringLiteral("Form13"), QStringLiteral("cmdRefresh"));
    auto showAll = m_harness->control<QPushButton>(QStringLiteral("Form13"), QStringLiteral("Command1"));
    auto caption = m_harness->control<QLabel>(QStringLiteral("Form13"), QStringLiteral("grdDataGridCaption"));
    QCOMPARE(refresh->text(), QStringLiteral("Re-Filter"));
    QVERIFY(showAll->isEnabled());
    QCOMPARE(caption->text(), QStringLiteral("Record(s) meeting this criterion: ") + criterion);

    // Re-Filter reads the rows again under the same criterion.
    QVERIFY(m_harness->session().database().exec(
        QStringLiteral("INSERT INTO Orders (OrderID, CustName, OrderDate) VALUES (999, 'Pantheon', '2003-01-01')")));
    refresh->click();
    QCOMPARE(column(0), (QStringList{"123", "999"}));
    showAll->click();
    QCOMPARE(column(0).size(), 4);
    QCOMPARE(refresh->text(), QStringLiteral("&Refresh"));
    QVERIFY(caption->text().isEmpty());

    // An empty answer changes nothing.
    m_harness->toolkit().answerText(QString());
    m_harness->click(QStringLiteral("Form13"), QStringLiteral("cmdFilter"));
    QCOMPARE(column(0).size(), 4);
    QVERIFY(!showAll->isEnabled());
}

void TestTables::invalidFilterShowsTheEngineMessage()
{
    useUserDatabase();
    openTable(QStringLiteral("Orders"));
    m_harness->toolkit().answerText(QStringLiteral("OrderID = = 3"));
    m_harness->click(QStringLiteral("Form13"), QStringLiteral("cmdFilter"));
    QCOMPARE(m_harness->toolkit().lastPrompt().message.title, QStringLiteral("Tabwright - Sorry..."));
    QVERIFY(!m_harness->toolkit().lastPrompt().message.text.isEmpty());
    QCOMPARE(column(0).size(), 3);
}

void TestTables::deleteRowAsksFirst()
{
    useUserDatabase();
    openTable(QStringLiteral("Orders"));
    grid()->setCurrentIndex(model()->index(1, 0));
    m_harness->toolkit().answer(Answer::No);
    QTest::keyClick(grid(), Qt::Key_Delete);
    QCOMPARE(m_harness->toolkit().lastPrompt().message.text, QStringLiteral("Delete Current Row?"));
    QCOMPARE(column(0), (QStringList{"123", "150", "201"}));
    m_harness->toolkit().answer(Answer::Yes);
    QTest::keyClick(grid(), Qt::Key_Delete);
    QCOMPARE(column(0), (QStringList{"123", "201"}));
    QVERIFY(m_harness->control<QLabel>(QStringLiteral("Form13"), QStringLiteral("Data1"))->text().endsWith(" of 2"));
}

void TestTables::counterOfAnEmptyTable()
{
    useUserDatabase();
    openTable(QStringLiteral("Empty"));
    QCOMPARE(m_harness->control<QLabel>(QStringLiteral("Form13"), QStringLiteral("Data1"))->text(),
             QStringLiteral("No record on file."));
}

void TestTables::fractionsShownExactly()
{
    // The grid shows, and offers for editing, the number that is stored, not
    // a rounding of it.
    useUserDatabase();
    openTable(QStringLiteral("Prices"));
    const QStringList expected{"1499998.5", "0.1", "1234567.891", "-2.5e-07"};
    QStringList shown;
    for (int row = 0; row < model()->recordCount(); ++row) {
        const QModelIndex index = model()->index(row, 0);
        auto delegate = qobject_cast<QStyledItemDelegate *>(grid()->itemDelegateForIndex(index));
        QVERIFY(delegate);
        shown << delegate->displayText(model()->data(index), QLocale());
    }
    QCOMPARE(shown, expected);
    QCOMPARE(model()->data(model()->index(0, 0), Qt::EditRole).toString(), expected.first());
}

void TestTables::saveTableAsRefusesNameInOtherCase()
{
    useUserDatabase();
    openTable(QStringLiteral("Orders"));
    m_harness->toolkit().answerText(QStringLiteral("ORDERS"));
    m_harness->toolkit().answer(Answer::No);
    m_harness->openMenu(QStringLiteral("menuFile"));
    m_harness->action(QStringLiteral("menuFileSaveTableAs"))->trigger();
    QCOMPARE(m_harness->toolkit().prompts().first().inputDefault, QStringLiteral("Orders"));
    QCOMPARE(m_harness->toolkit().lastPrompt().message.text,
             QStringLiteral("This table name (ORDERS) is already in the database.  Would you like to enter another "
                            "name?"));
    QCOMPARE(m_harness->session().database().tableNames().value().size(), 5);
}

void TestTables::saveTableAsCopiesAndShows()
{
    useUserDatabase();
    openTable(QStringLiteral("Orders"));
    // A row being edited goes into the copy without the grid's question.
    QVERIFY(model()->setData(model()->index(0, 1), QStringLiteral("Edited")));
    m_harness->toolkit().answerText(QStringLiteral("Orders copy"));
    m_harness->openMenu(QStringLiteral("menuFile"));
    m_harness->action(QStringLiteral("menuFileSaveTableAs"))->trigger();
    QCOMPARE(m_harness->window(QStringLiteral("Form13"))->windowTitle(), QStringLiteral("Tables - Orders copy"));
    QCOMPARE(column(1), (QStringList{"Edited", "Pantry", "Zebra"}));
    const auto fields = m_harness->session().database().fields(QStringLiteral("Orders copy"));
    QCOMPARE(fields.value()[3].size, 10);
}

void TestTables::deletingLastTableClosesList()
{
    QVERIFY(!m_harness->session().open(m_userDb).error.isError());
    tw::Database &db = m_harness->session().database();
    for (const char *table : {"Orders", "Empty", "Prices"})
        QVERIFY(!db.dropTable(QString::fromLatin1(table)).isError());
    m_harness->openMenu(QStringLiteral("menuFile"));
    m_harness->action(QStringLiteral("menuFileDeleteTable"))->trigger();
    QVERIFY(m_harness->isShown(QStringLiteral("Form3")));
    QListWidget *list = m_harness->control<QListWidget>(QStringLiteral("Form3"), QStringLiteral("List1"));
    m_harness->toolkit().answer(Answer::Yes);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(m_harness->toolkit().lastPrompt().message.text, QStringLiteral("Delete this table: y?"));
    QCOMPARE(m_harness->toolkit().lastPrompt().message.title, QStringLiteral("Tabwright - Be careful"));
    QVERIFY(!m_harness->isShown(QStringLiteral("Form3")));
    QVERIFY(db.tableExists(QStringLiteral("MSysThing")));
}

void TestTables::tableNamedLikeSqlIsHandledAsName()
{
    const QString evil = QStringLiteral("x\"; drop table y; --");
    useUserDatabase();
    tw::Database &db = m_harness->session().database();
    QVERIFY(!db.createTable({evil, {tw::FieldDef::text(QStringLiteral("v"))}}).isError());
    QVERIFY(db.exec(QStringLiteral("INSERT INTO \"x\"\"; drop table y; --\" VALUES ('one')")));
    openTable(evil);
    QCOMPARE(model()->recordCount(), 1);
    m_harness->toolkit().answerText(evil + u'2');
    m_harness->openMenu(QStringLiteral("menuFile"));
    m_harness->action(QStringLiteral("menuFileSaveTableAs"))->trigger();
    QVERIFY(db.tableExists(evil + u'2'));
    m_harness->openMenu(QStringLiteral("menuFile"));
    m_harness->action(QStringLiteral("menuFileDeleteTable"))->trigger();
    QListWidget *list = m_harness->control<QListWidget>(QStringLiteral("Form3"), QStringLiteral("List1"));
    list->setCurrentItem(list->findItems(evil, Qt::MatchExactly).first());
    m_harness->toolkit().answer(Answer::Yes);
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(!db.tableExists(evil));
    QVERIFY(db.tableExists(QStringLiteral("y")));
}

QTEST_MAIN(TestTables)
#include "test_tables.moc"
