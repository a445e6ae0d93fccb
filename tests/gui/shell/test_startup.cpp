// SPDX-License-Identifier: GPL-3.0-or-later
#include "frameharness.h"

#include "gui/shell/mdiform1.h"
#include "core/db/dberror.h"
#include "gui/manipulator/manipulator.h"

#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabWidget>
#include <QtTest>

// Start-up: finding tabwright.mdb, cleaning the column layout rows, the
// menus and their opening rules, and the ways the program ends.
class TestStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void findsDatabaseInProgramFolderFromElsewhere();
    void acceptsDatabaseNameInAnyCase();
    void asksUntilFolderHoldsDatabase();
    void cancelEndsWithFatalMessage_data();
    void cancelEndsWithFatalMessage();
    void pickedFileOnlyNamesTheFolder();
    void cleansFilledSpecificationRows();
    void showsFrameAndManipulator();
    void menuEntries_data();
    void menuEntries();
    void tableCommandsFollowListedTables_data();
    void tableCommandsFollowListedTables();
    void useOriginalIgnoresLetterCase();
    void fileMenuAfterManipulatorClosed();
    void viewMenuRules();
    void exitEndsWithoutQuestion();
};

namespace {
// Runs SQL on a database file through a connection of the test's own.
void runSql(const QString &path, const QStringList &statements)
{
    const QString name = QStringLiteral("test-%1").arg(quintptr(&statements));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        for (const QString &statement : statements) {
            QSqlQuery query(db);
            QVERIFY2(query.exec(statement), qPrintable(statement));
        }
    }
    QSqlDatabase::removeDatabase(name);
}

QStringList specificationHeadings(const QString &path)
{
    QStringList headings;
    const QString name = QStringLiteral("read-spec");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(QStringLiteral("select column_heading from tabwrite_settings order by rowid"), db);
            while (query.next())
                headings << query.value(0).toString();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return headings;
}
} // namespace

void TestStartup::init()
{
    QVERIFY2(QFile::exists(FrameHarness::shippedDatabase()), "the generated default database is missing");
}

void TestStartup::findsDatabaseInProgramFolderFromElsewhere()
{
    FrameHarness harness;
    QTemporaryDir elsewhere;
    QDir::setCurrent(elsewhere.path());
    QVERIFY(harness.start());
    QVERIFY(harness.toolkit().prompts().isEmpty());
    QCOMPARE(harness.frame().state().defaultDbPath, harness.defaultDbPath());
    QCOMPARE(harness.frame().state().dbFolder, harness.programFolder() + u'/');
    QVERIFY(harness.frame().currentDatabase());
}

void TestStartup::acceptsDatabaseNameInAnyCase()
{
    FrameHarness harness;
    QVERIFY(QFile::rename(harness.defaultDbPath(), harness.programFolder() + QStringLiteral("/Tabwright.MDB")));
    QVERIFY(harness.start());
    QVERIFY(harness.toolkit().prompts().isEmpty());
    QCOMPARE(harness.frame().state().defaultDbPath, harness.programFolder() + QStringLiteral("/Tabwright.MDB"));
    QVERIFY(harness.frame().currentDatabase());
}

void TestStartup::asksUntilFolderHoldsDatabase()
{
    FrameHarness harness;
    QVERIFY(QFile::remove(harness.defaultDbPath()));
    QTemporaryDir empty;
    QTemporaryDir good;
    QVERIFY(FrameHarness::copyDefaultDatabase(good.path()));

    ScriptedToolkit &toolkit = harness.toolkit();
    toolkit.answer(Answer::Ok);
    toolkit.answerFile(empty.filePath(QStringLiteral("whatever.mdb")));
    toolkit.answer(Answer::Ok);
    toolkit.answerFile(good.filePath(QStringLiteral("tabwright.mdb")));
    QVERIFY(harness.start());

    const QString question = QStringLiteral("Please find and open the database: tabwright.mdb");
    QCOMPARE(toolkit.messageTexts(), (QStringList{question, question}));
    const auto &first = toolkit.prompts().first();
    QCOMPARE(first.message.title, QStringLiteral("Tabwright - It's your choice..."));
    QCOMPARE(first.message.buttons, Buttons::OkCancel);
    QCOMPARE(first.message.icon, Icon::Information);
    const auto &dialog = toolkit.prompts().at(1);
    QCOMPARE(dialog.kind, ScriptedToolkit::Kind::File);
    QCOMPARE(dialog.file.title, QStringLiteral("Tabwrite - Select database"));
    QCOMPARE(dialog.file.filter, QStringLiteral("Microsoft database (*.mdb)|*.mdb|All files (*.*)|*.*"));
    QCOMPARE(harness.frame().state().defaultDbPath, good.filePath(QStringLiteral("tabwright.mdb")));
    QVERIFY(!toolkit.programEnded());
}

void TestStartup::cancelEndsWithFatalMessage_data()
{
    QTest::addColumn<bool>("cancelTheQuestion");
    QTest::newRow("Cancel on the question") << true;
    QTest::newRow("Cancel in the file dialog") << false;
}

void TestStartup::cancelEndsWithFatalMessage()
{
    QFETCH(bool, cancelTheQuestion);
    FrameHarness harness;
    QVERIFY(QFile::remove(harness.defaultDbPath()));
    ScriptedToolkit &toolkit = harness.toolkit();
    if (cancelTheQuestion) {
        toolkit.answer(Answer::Cancel);
    } else {
        toolkit.answer(Answer::Ok);
        toolkit.answerFile(QString());
    }
    QVERIFY(!harness.start());
    QVERIFY(toolkit.programEnded());
    const auto &last = toolkit.lastPrompt();
    QCOMPARE(last.message.text,
             QStringLiteral("This application cannot execute properly without the database tabwright.mdb.  "
                            "Please install this database on your system, and run the program again."));
    QCOMPARE(last.message.buttons, Buttons::Ok);
    QCOMPARE(last.message.icon, Icon::None);
    QCOMPARE(last.message.title, QStringLiteral("Tabwright"));
    QCOMPARE(toolkit.unanswered(), 0);
}

void TestStartup::pickedFileOnlyNamesTheFolder()
{
    FrameHarness harness;
    QVERIFY(QFile::remove(harness.defaultDbPath()));
    QTemporaryDir other;
    QVERIFY(FrameHarness::copyDefaultDatabase(other.path()));
    QVERIFY(FrameHarness::copyDefaultDatabase(other.path(), QStringLiteral("customers.mdb")));
    harness.toolkit().answer(Answer::Ok);
    harness.toolkit().answerFile(other.filePath(QStringLiteral("customers.mdb")));
    QVERIFY(harness.start());
    QCOMPARE(harness.frame().state().currentDbPath, other.filePath(QStringLiteral("tabwright.mdb")));
}

void TestStartup::cleansFilledSpecificationRows()
{
    FrameHarness harness;
    runSql(harness.defaultDbPath(),
           {QStringLiteral("insert into tabwrite_settings values ('filled', 1, 5, 1, 10)"),
            QStringLiteral("insert into tabwrite_settings values ('no column', null, 5, 1, 10)"),
            QStringLiteral("insert into tabwrite_settings values ('zero', 0, 5, 1, 10)"),
            QStringLiteral("insert into tabwrite_settings (column_heading) values ('heading only')")});
    QVERIFY(harness.start());
    harness.frame().close();
    QCOMPARE(specificationHeadings(harness.defaultDbPath()),
             (QStringList{QStringLiteral("no column"), QStringLiteral("heading only")}));
}

void TestStartup::showsFrameAndManipulator()
{
    FrameHarness harness;
    QVERIFY(harness.start());
    MDIForm1 &frame = harness.frame();
    QCOMPARE(frame.windowTitle(), QStringLiteral("Tabwright"));
    QVERIFY(frame.manipulatorVisible());
    auto tabs = frame.findChild<QTabWidget *>(QStringLiteral("SSTab1"));
    QVERIFY(tabs);
    const QStringList expected{"&Text/Lines", "&Move Text", "&Add Text", "&Replace Text", "&Delete Text",
                               "&Format Text", "&Tabwrite Text", "Sett&ings", "S&ave to Database"};
    QStringList captions;
    for (int i = 0; i < tabs->count(); ++i)
        captions << tabs->tabText(i);
    QCOMPARE(captions, expected);
    QCOMPARE(frame.state().activeChildName, QStringLiteral("Manipulator"));
}

void TestStartup::menuEntries_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("enabled");

    auto row = [](const char *name, const char *caption, bool visible, bool enabled, QKeySequence key = {}) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(caption) << key << visible
                            << enabled;
    };
    row("menuFileTabwrite", "&Tabwrite...", false, false);
    row("menuFileOpenFile", "&Open File...", true, true);
    row("menuFileSaveFile", "&Save File", true, false);
    row("menuFileSaveFileAs", "Save File &As...", true, false);
    row("menuFileCloseFile", "C&lose File", true, false);
    row("menuFileUseOrig", "Use O&riginal Database", true, false);
    row("menuFileOpenDB", "Open Access Database...", true, true);
    row("menuFileOpenTable", "Open &Table...", true, false);
    row("menuFileSaveTableAs", "Save TABLE &As...", true, false);
    row("menuFileDeleteTable", "&Delete Table...", true, false);
    row("menuFilePrinterSetup", "Printer Set&up...", false, false);
    row("menuFilePrint", "&Print...", true, false);
    row("menuExit", "E&xit", true, true);
    row("menuEditUndo", "&Undo", true, false);
    row("menuEditCut", "Cu&t", true, false);
    row("menuEditCopy", "&Copy", true, false);
    row("menuEditPaste", "&Paste", true, true);
    row("menuEditSelectAll", "&Select All", true, false);
    row("menuEditDeleteAll", "&Delete All", true, false);
    row("menuViewTextViewer", "&Text Viewer", true, true, QKeySequence(Qt::Key_F2));
    row("menuViewTabwrite", "&Manipulator", true, true, QKeySequence(Qt::Key_F3));
    row("menuSearchFind", "&Find...", true, false, QKeySequence(Qt::CTRL | Qt::Key_F));
    row("menuQueriesSelect", "&Select and Run...", true, true);
    row("menuQueriesDefine", "&Define and Run...", true, true);
    row("menuHelpTips", "&Tips", true, true, QKeySequence(Qt::Key_F1));
    row("menuHelpSample1", "Sample &1", true, true);
    row("menuHelpSample2", "Sample &2", true, true);
    row("menuHelpContact", "&Contact Us...", true, true);
    row("menuAbout", "&About Tabwright", true, true);
}

void TestStartup::menuEntries()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, key);
    QFETCH(bool, visible);
    QFETCH(bool, enabled);

    FrameHarness harness;
    QVERIFY(harness.start());
    auto action = harness.frame().findChild<QAction *>(name);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), key);
    QCOMPARE(action->isVisible(), visible);
    // A hidden entry cannot be chosen at all, so only shown ones have a state.
    if (visible)
        QCOMPARE(action->isEnabled(), enabled);
}

void TestStartup::tableCommandsFollowListedTables_data()
{
    QTest::addColumn<QStringList>("tables");
    QTest::addColumn<bool>("offered");

    QTest::newRow("only the program's own tables") << QStringList{} << false;
    QTest::newRow("system, report and settings tables")
        << QStringList{"MSysExtra", "SSysReport", "TABWRITE_Weekly", "tabwrite_x"} << false;
    QTest::newRow("lower-case msys is listed") << QStringList{"msysnotes"} << true;
    QTest::newRow("a user table") << QStringList{"Customers"} << true;
}

void TestStartup::tableCommandsFollowListedTables()
{
    QFETCH(QStringList, tables);
    QFETCH(bool, offered);

    FrameHarness harness;
    QStringList statements;
    for (const QString &table : tables)
        statements << QStringLiteral("create table \"%1\" (a integer)").arg(table);
    runSql(harness.defaultDbPath(), statements);
    QVERIFY(harness.start());
    MDIForm1 &frame = harness.frame();
    frame.menuFile_Click();
    QCOMPARE(frame.menuFileOpenTable->isEnabled(), offered);
    QCOMPARE(frame.menuFileDeleteTable->isEnabled(), offered);
    QVERIFY(!frame.menuFileSaveTableAs->isEnabled());
    QVERIFY(!frame.state().programmaticChange);
}

void TestStartup::useOriginalIgnoresLetterCase()
{
    FrameHarness harness;
    QVERIFY(harness.start());
    MDIForm1 &frame = harness.frame();
    frame.state().currentDbPath = frame.state().defaultDbPath.toUpper();
    frame.menuFile_Click();
    QVERIFY(!frame.menuFileUseOrig->isEnabled());

    QTemporaryDir other;
    QVERIFY(FrameHarness::copyDefaultDatabase(other.path(), QStringLiteral("other.mdb")));
    frame.state().currentDbPath = other.filePath(QStringLiteral("other.mdb"));
    QVERIFY(!(frame.openCurrentDatabase(frame.state().currentDbPath)).isError());
    frame.menuFile_Click();
    QVERIFY(frame.menuFileUseOrig->isEnabled());
}

void TestStartup::fileMenuAfterManipulatorClosed()
{
    FrameHarness harness;
    QVERIFY(harness.start());
    MDIForm1 &frame = harness.frame();
    frame.menuFile_Click();
    QVERIFY(frame.menuFileOpenFile->isEnabled());

    frame.mdiArea->activeSubWindow()->close();
    QVERIFY(!frame.manipulatorVisible());
    QVERIFY(!frame.menuEdit->menuAction()->isVisible());
    QVERIFY(!frame.menuSearch->menuAction()->isVisible());
    frame.menuFile_Click();
    for (QAction *entry : {frame.menuFileOpenFile, frame.menuFileSaveFile, frame.menuFileSaveFileAs,
                           frame.menuFileCloseFile})
        QVERIFY2(!entry->isEnabled(), qPrintable(entry->objectName()));

    frame.menuView_Click();
    QVERIFY(frame.menuViewTabwrite->isEnabled());
    frame.menuViewTabwrite->trigger();
    QVERIFY(frame.manipulatorVisible());
    QVERIFY(frame.menuEdit->menuAction()->isVisible());
    frame.menuView_Click();
    QVERIFY(!frame.menuViewTabwrite->isEnabled());
}

void TestStartup::viewMenuRules()
{
    FrameHarness harness;
    QVERIFY(harness.start());
    MDIForm1 &frame = harness.frame();
    frame.menuView_Click();
    QVERIFY(!frame.menuViewTabwrite->isEnabled());
    QVERIFY(frame.menuViewTextViewer->isEnabled());
    QVERIFY(!frame.state().programmaticChange);
}

void TestStartup::exitEndsWithoutQuestion()
{
    FrameHarness harness;
    QVERIFY(harness.start());
    harness.userSetsText(QStringLiteral("unsaved"));
    harness.frame().menuExit->trigger();
    QVERIFY(harness.toolkit().programEnded());
    QVERIFY(harness.toolkit().prompts().isEmpty());
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
