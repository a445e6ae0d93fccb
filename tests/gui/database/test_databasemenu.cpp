// SPDX-License-Identifier: GPL-3.0-or-later
#include "frameharness.h"

#include "gui/shell/mdiform1.h"
#include "core/db/database.h"
#include "gui/database/databasemenu.h"
#include "gui/database/form3.h"
#include "gui/database/form4.h"
#include "gui/database/form13.h"
#include "core/grids/gridmodel.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

// The database menu through the real windows: opening another database,
// the table list, deleting and copying tables.
class TestDatabaseMenu : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void opensSqliteFileWithEmptyDetails();
    void notADatabaseLeavesWindowOpen();
    void saveTableAsRefusesNameInOtherCase();
    void saveTableAsCopiesAndShows();
    void deletingLastTableClosesList();
    void tableNamedLikeSqlIsHandledAsName();

private:
    // Presses a button of the Password Access window once it shows.
    void pressInPasswordWindow(const char *button, bool thenCancel = false);
    QStringList listed();

    std::unique_ptr<FrameHarness> m_harness;
    QString m_userDb;
};

void TestDatabaseMenu::init()
{
    m_harness = std::make_unique<FrameHarness>();
    m_userDb = QDir(m_harness->programFolder()).filePath(QStringLiteral("user.db"));
    {
        tw::Database db;
        QVERIFY(!(db.open(m_userDb, {}, {}, tw::Database::OpenMode::CreateIfMissing)).isError());
        QVERIFY(db.exec(QStringLiteral("CREATE TABLE Sales (Cust VARCHAR(20), Qty INTEGER)")));
        QVERIFY(db.exec(QStringLiteral("INSERT INTO Sales VALUES ('b', 2), ('a', 1), ('c', 3)")));
        QVERIFY(db.exec(QStringLiteral("CREATE TABLE y (a TEXT)")));
        QVERIFY(db.exec(QStringLiteral("CREATE TABLE MSysThing (a TEXT)")));
    }
    QVERIFY(m_harness->start());
}

void TestDatabaseMenu::cleanup()
{
    m_harness.reset();
}

void TestDatabaseMenu::pressInPasswordWindow(const char *button, bool thenCancel)
{
    QTimer::singleShot(0, [button, thenCancel] {
        auto dialog = qobject_cast<Form4 *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QVERIFY(dialog->Text1->text().isEmpty() && dialog->Text2->text().isEmpty());
        dialog->findChild<QPushButton *>(QString::fromLatin1(button))->click();
        if (thenCancel && dialog->isVisible())
            dialog->Command2->click();
    });
}

QStringList TestDatabaseMenu::listed()
{
    QStringList names;
    QListWidget *list = DatabaseMenu::of(m_harness->frame()).tableList()->List1;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

void TestDatabaseMenu::opensSqliteFileWithEmptyDetails()
{
    m_harness->toolkit().answerFile(m_userDb);
    pressInPasswordWindow("Command1");
    m_harness->frame().menuFileOpenDB->trigger();
    QCOMPARE(m_harness->frame().currentDatabase()->name(), m_userDb);
    QCOMPARE(m_harness->frame().state().currentDbPath, m_userDb);
    DatabaseMenu::of(m_harness->frame()).menuFileOpenTable_Click();
    QCOMPARE(listed(), (QStringList{"Sales", "y"}));
    // Back to the default database.
    m_harness->frame().menuFile_Click();
    m_harness->frame().menuFileUseOrig->trigger();
    QCOMPARE(m_harness->frame().currentDatabase()->name(), m_harness->defaultDbPath());
}

void TestDatabaseMenu::notADatabaseLeavesWindowOpen()
{
    const QString junk = QDir(m_harness->programFolder()).filePath(QStringLiteral("junk.mdb"));
    QFile file(junk);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    m_harness->toolkit().answerFile(junk);
    pressInPasswordWindow("Command1", true);
    m_harness->frame().menuFileOpenDB->trigger();
    QVERIFY(m_harness->toolkit().messageTexts().contains(
        QStringLiteral("The database you selected has a format that is unrecognizable to Tabwright.")));
    QCOMPARE(m_harness->frame().currentDatabase()->name(), m_harness->defaultDbPath());
    QCOMPARE(m_harness->frame().state().currentDbPath, m_harness->defaultDbPath());
    QCOMPARE(QFileInfo(junk).size(), 4096);
}

void TestDatabaseMenu::saveTableAsRefusesNameInOtherCase()
{
    QVERIFY(!(m_harness->frame().openCurrentDatabase(m_userDb)).isError());
    m_harness->frame().state().currentDbPath = m_userDb;
    DatabaseMenu &menu = DatabaseMenu::of(m_harness->frame());
    menu.menuFileOpenTable_Click();
    menu.List1_DblClick(QStringLiteral("Sales"));
    m_harness->toolkit().answerText(QStringLiteral("SALES"));
    m_harness->toolkit().answer(Answer::No);
    m_harness->frame().menuFileSaveTableAs->trigger();
    QCOMPARE(m_harness->toolkit().prompts().first().inputDefault, QStringLiteral("Sales"));
    QCOMPARE(m_harness->toolkit().lastPrompt().message.text,
             QStringLiteral("This table name (SALES) is already in the database.  Would you like to enter another name?"));
    QCOMPARE(m_harness->frame().currentDatabase()->tableNames().value().size(), 3);
}

void TestDatabaseMenu::saveTableAsCopiesAndShows()
{
    QVERIFY(!(m_harness->frame().openCurrentDatabase(m_userDb)).isError());
    m_harness->frame().state().currentDbPath = m_userDb;
    DatabaseMenu &menu = DatabaseMenu::of(m_harness->frame());
    menu.menuFileOpenTable_Click();
    menu.List1_DblClick(QStringLiteral("Sales"));
    m_harness->toolkit().answerText(QStringLiteral("Sales copy"));
    m_harness->frame().menuFileSaveTableAs->trigger();
    Form13 *window = menu.tableWindow();
    QCOMPARE(window->windowTitle(), QStringLiteral("Tables - Sales copy"));
    QCOMPARE(window->model()->recordCount(), 3);
    QCOMPARE(window->model()->data(window->model()->index(0, 0)).toString(), QStringLiteral("b"));
    const auto fields = m_harness->frame().currentDatabase()->fields(QStringLiteral("Sales copy"));
    QCOMPARE(fields.value()[0].size, 20);
    QCOMPARE(fields.value()[1].type, tw::FieldType::Long);
    QVERIFY(!m_harness->frame().state().tableCopy);
}

void TestDatabaseMenu::deletingLastTableClosesList()
{
    QVERIFY(!(m_harness->frame().openCurrentDatabase(m_userDb)).isError());
    m_harness->frame().state().currentDbPath = m_userDb;
    DatabaseMenu &menu = DatabaseMenu::of(m_harness->frame());
    menu.menuFileDeleteTable_Click();
    QVERIFY(menu.tableListVisible());
    m_harness->toolkit().answer(Answer::Yes);
    menu.List1_DblClick(QStringLiteral("Sales"));
    QCOMPARE(m_harness->toolkit().lastPrompt().message.title, QStringLiteral("Tabwright - Be careful"));
    QCOMPARE(listed(), QStringList{"y"});
    QVERIFY(menu.tableListVisible());
    m_harness->toolkit().answer(Answer::Yes);
    menu.List1_DblClick(QStringLiteral("y"));
    QVERIFY(!menu.tableListVisible());
    QVERIFY(m_harness->frame().currentDatabase()->tableExists(QStringLiteral("MSysThing")));
}

void TestDatabaseMenu::tableNamedLikeSqlIsHandledAsName()
{
    const QString evil = QStringLiteral("x\"; drop table y; --");
    QVERIFY(!(m_harness->frame().openCurrentDatabase(m_userDb)).isError());
    m_harness->frame().state().currentDbPath = m_userDb;
    tw::Database *db = m_harness->frame().currentDatabase();
    QVERIFY(!(db->createTable({evil, {tw::FieldDef::text(QStringLiteral("v"))}})).isError());
    QVERIFY(db->exec(QStringLiteral("INSERT INTO \"x\"\"; drop table y; --\" VALUES ('one')")));
    DatabaseMenu &menu = DatabaseMenu::of(m_harness->frame());
    menu.menuFileOpenTable_Click();
    QVERIFY(listed().contains(evil));
    menu.List1_DblClick(evil);
    QCOMPARE(menu.tableWindow()->model()->recordCount(), 1);
    m_harness->toolkit().answerText(evil + u'2');
    m_harness->frame().menuFileSaveTableAs->trigger();
    QVERIFY(db->tableExists(evil + u'2'));
    menu.menuFileDeleteTable_Click();
    m_harness->toolkit().answer(Answer::Yes);
    menu.List1_DblClick(evil);
    QVERIFY(!db->tableExists(evil));
    QVERIFY(db->tableExists(QStringLiteral("y")));
    QCOMPARE(m_harness->toolkit().unanswered(), 0);
}

QTEST_MAIN(TestDatabaseMenu)
#include "test_databasemenu.moc"
