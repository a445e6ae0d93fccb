// SPDX-License-Identifier: GPL-3.0-or-later
// The frame window: finding tabwright.mdb at start-up, cleaning the column
// layout rows, the menus' states as the text, the windows and the databases
// change, and the ways the program ends.
#include "frameharness.h"

#include "core/db/database.h"
#include "gui/shell/textbox.h"

#include <QAction>
#include <QApplication>
#include <QScreen>
#include <QTabWidget>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QtTest>

class TestFrame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findsDatabaseInProgramFolderFromElsewhere();
    void acceptsDatabaseNameInAnyCase();
    void asksUntilFolderHoldsDatabase();
    void cancelEndsWithFatalMessage_data();
    void cancelEndsWithFatalMessage();
    void cleansFilledSpecificationRows();
    void entriesFollowTheText_data();
    void entriesFollowTheText();
    void tableCommandsFollowListedTables_data();
    void tableCommandsFollowListedTables();
    void useOriginalOfferedOnlyForAnotherDatabase();
    void closingTheManipulatorTakesTheTextMenus();
    void busyRunHoldsTheSwappingEntries();
    void exitAsksAboutUnsavedText_data();
    void exitAsksAboutUnsavedText();
    void fileGivenOpensAfterTheUnsavedQuestion();
    void menuAccessKeysWinOverTabs();
    void placedOnTheScreen();
    void frameCloseRefusedOnCancel();
};

namespace {
void runSql(const QString &path, const QStringList &statements)
{
    tw::Database db;
    QVERIFY(!db.open(path).isError());
    for (const QString &statement : statements)
        QVERIFY2(db.exec(statement), qPrintable(statement));
}

QStringList specificationHeadings(const QString &path)
{
    tw::Database db;
    if (db.open(path).isError())
        return {};
    tw::Result<tw::Recordset> rows = db.openRecordset(QStringLiteral("select column_heading from tabwrite_settings"));
    QStringList headings;
    if (!rows)
        return headings;
    for (tw::Recordset &set = rows.value(); !set.isEof(); (void)set.moveNext())
        headings << set.value(0).valueOr({}).toString();
    return headings;
}
} // namespace

void TestFrame::findsDatabaseInProgramFolderFromElsewhere()
{
    FrameHarness harness;
    QTemporaryDir elsewhere;
    QDir::setCurrent(elsewhere.path());
    QVERIFY(harness.start());
    QVERIFY(harness.toolkit().prompts().isEmpty());
    QCOMPARE(harness.session().defaultPath(), harness.defaultDbPath());
    QCOMPARE(harness.session().folder(), harness.programFolder() + u'/');
    QVERIFY(harness.session().database().isOpen());
    QVERIFY(harness.isShown(QStringLiteral("Manipulator")));
}

void TestFrame::acceptsDatabaseNameInAnyCase()
{
    FrameHarness harness;
    QVERIFY(QFile::rename(harness.defaultDbPath(), harness.path(QStringLiteral("Tabwright.MDB"))));
    QVERIFY(harness.start());
    QVERIFY(harness.toolkit().prompts().isEmpty());
    QCOMPARE(harness.session().defaultPath(), harness.path(QStringLiteral("Tabwright.MDB")));
}

void TestFrame::asksUntilFolderHoldsDatabase()
{
    FrameHarness harness;
    QVERIFY(QFile::remove(harness.defaultDbPath()));
    QTemporaryDir empty;
    QTemporaryDir good;
    QVERIFY(FrameHarness::copyDefaultDatabase(good.path()));
    // A database under another name in the folder does not count: only the
    // folder of the picked file is looked at, for tabwright.mdb.
    QVERIFY(FrameHarness::copyDefaultDatabase(empty.path(), QStringLiteral("customers.mdb")));

    ScriptedToolkit &toolkit = harness.toolkit();
    toolkit.answer(Answer::Ok);
    toolkit.answerFile(empty.filePath(QStringLiteral("customers.mdb")));
    toolkit.answer(Answer::Ok);
    toolkit.answerFile(good.filePath(QStringLiteral("whatever.mdb")));
    QVERIFY(harness.start());

    const QString question = QStringLiteral("Please find and open the database: tabwright.mdb");
    QCOMPARE(toolkit.messageTexts(), (QStringList{question, question}));
    const auto &first = toolkit.prompts().first();
    QCOMPARE(first.message.title, QStringLiteral("Tabwright - It's your choice..."));
    QCOMPARE(first.message.buttons, Buttons::OkCancel);
    QCOMPARE(first.message.icon, Icon::Information);
    QCOMPARE(toolkit.prompts().at(1).file.title, QStringLiteral("Tabwrite - Select database"));
    QCOMPARE(harness.session().defaultPath(), good.filePath(QStringLiteral("tabwright.mdb")));
    QVERIFY(!toolkit.programEnded());
}

void TestFrame::cancelEndsWithFatalMessage_data()
{
    QTest::addColumn<bool>("cancelTheQuestion");
    QTest::newRow("Cancel on the question") << true;
    QTest::newRow("Cancel in the file dialog") << false;
}

void TestFrame::cancelEndsWithFatalMessage()
{
    QFETCH(bool, cancelTheQuestion);
    FrameHarness harness;
    QVERIFY(QFile::remove(harness.defaultDbPath()));
    ScriptedToolkit &toolkit = harness.toolkit();
    toolkit.answer(cancelTheQuestion ? Answer::Cancel : Answer::Ok);
    if (!cancelTheQuestion)
        toolkit.answerFile(QString());
    QVERIFY(!harness.start());
    QVERIFY(toolkit.programEnded());
    const auto &last = toolkit.lastPrompt();
    QCOMPARE(last.message.text,
             QStringLiteral("This application cannot execute properly without the database tabwright.mdb.  "
                            "Please install this database on your system, and run the program again."));
    QCOMPARE(last.message.buttons, Buttons::Ok);
}

void TestFrame::cleansFilledSpecificationRows()
{
    FrameHarness harness;
    runSql(harness.defaultDbPath(),
           {QStringLiteral("insert into tabwrite_settings values ('filled', 1, 5, 1, 10)"),
            QStringLiteral("insert into tabwrite_settings values ('no column', null, 5, 1, 10)"),
            QStringLiteral("insert into tabwrite_settings values ('zero', 0, 5, 1, 10)"),
            QStringLiteral("insert into tabwrite_settings (column_heading) values ('heading only')")});
    QVERIFY(harness.start());
    QCOMPARE(specificationHeadings(harness.defaultDbPath()),
             (QStringList{QStringLiteral("no column"), QStringLiteral("heading only")}));
}

// The entries that follow the working text, after each step of a user.
void TestFrame::entriesFollowTheText_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QStringList>("disabled");

    QTest::newRow("start") << QString() << QStringList{"menuFileOpenFile", "menuFileOpenDB"}
                           << QStringList{"menuFileSaveFile", "menuFileSaveFileAs", "menuFileCloseFile",
                                          "menuEditUndo", "menuSearchFind", "menuFileUseOrig", "menuFilePrint"};
    QTest::newRow("typed") << "type"
                           << QStringList{"menuFileSaveFile", "menuEditUndo", "menuSearchFind"}
                           << QStringList{"menuFileSaveFileAs", "menuFileCloseFile"};
    QTest::newRow("undone") << "undo" << QStringList{"menuFileSaveFile"} << QStringList{"menuEditUndo"};
    QTest::newRow("saved") << "save"
                           << QStringList{"menuFileSaveFileAs", "menuFileCloseFile", "menuSearchFind"}
                           << QStringList{"menuFileSaveFile", "menuEditUndo"};
    QTest::newRow("closed") << "close" << QStringList{"menuFileOpenFile"}
                            << QStringList{"menuFileSaveFile", "menuFileSaveFileAs", "menuFileCloseFile",
                                           "menuSearchFind"};
}

void TestFrame::entriesFollowTheText()
{
    QFETCH(QString, step);
    QFETCH(QStringList, enabled);
    QFETCH(QStringList, disabled);

    FrameHarness harness;
    QVERIFY(harness.start());
    const QString saved = harness.path(QStringLiteral("saved.txt"));
    const QStringList steps{"type", "undo", "save", "close"};
    for (const QString &done : steps.mid(0, steps.indexOf(step) + 1)) {
        if (done == "type") {
            harness.userSetsText(QStringLiteral("a"));
            harness.userSetsText(QStringLiteral("ab"));
        } else if (done == "undo") {
            harness.action(QStringLiteral("menuEditUndo"))->trigger();
        } else if (done == "save") {
            harness.toolkit().answerFile(saved);
            harness.action(QStringLiteral("menuFileSaveFile"))->trigger();
        } else if (done == "close") {
            harness.action(QStringLiteral("menuFileCloseFile"))->trigger();
        }
    }
    harness.openMenu(QStringLiteral("menuFile"));
    for (const QString &name : enabled)
        QVERIFY2(harness.action(name)->isEnabled(), qPrintable(name));
    for (const QString &name : disabled)
        QVERIFY2(!harness.action(name)->isEnabled(), qPrintable(name));
}

void TestFrame::tableCommandsFollowListedTables_data()
{
    QTest::addColumn<QStringList>("tables");
    QTest::addColumn<bool>("offered");

    QTest::newRow("only the program's own tables") << QStringList{} << false;
    QTest::newRow("system, report and settings tables")
        << QStringList{"MSysExtra", "SSysReport", "TABWRITE_Weekly", "tabwrite_x"} << false;
    QTest::newRow("lower-case msys is listed") << QStringList{"msysnotes"} << true;
    QTest::newRow("a user table") << QStringList{"Customers"} << true;
}

void TestFrame::tableCommandsFollowListedTables()
{
    QFETCH(QStringList, tables);
    QFETCH(bool, offered);

    FrameHarness harness;
    QStringList statements;
    for (const QString &table : tables)
        statements << QStringLiteral("create table \"%1\" (a integer)").arg(table);
    runSql(harness.defaultDbPath(), statements);
    QVERIFY(harness.start());
    harness.openMenu(QStringLiteral("menuFile"));
    QCOMPARE(harness.action(QStringLiteral("menuFileOpenTable"))->isEnabled(), offered);
    QCOMPARE(harness.action(QStringLiteral("menuFileDeleteTable"))->isEnabled(), offered);
    // Save TABLE As needs the table window.
    QVERIFY(!harness.action(QStringLiteral("menuFileSaveTableAs"))->isEnabled());
}

void TestFrame::useOriginalOfferedOnlyForAnotherDatabase()
{
    FrameHarness harness;
    QVERIFY(harness.start());
    harness.openMenu(QStringLiteral("menuFile"));
    QVERIFY(!harness.action(QStringLiteral("menuFileUseOrig"))->isEnabled());

    QVERIFY(FrameHarness::copyDefaultDatabase(harness.programFolder(), QStringLiteral("other.mdb")));
    QVERIFY(!harness.session().open(harness.path(QStringLiteral("other.mdb"))).error.isError());
    harness.openMenu(QStringLiteral("menuFile"));
    QAction *useOriginal = harness.action(QStringLiteral("menuFileUseOrig"));
    QVERIFY(useOriginal->isEnabled());
    useOriginal->trigger();
    QVERIFY(!harness.session().isExternal());
    QVERIFY(!useOriginal->isEnabled());
}

void TestFrame::closingTheManipulatorTakesTheTextMenus()
{
    FrameHarness harness;
    QVERIFY(harness.start());
    harness.frame().closeChild(harness.window(QStringLiteral("Manipulator")));
    QVERIFY(!harness.isShown(QStringLiteral("Manipulator")));
    QVERIFY(!harness.menuShown(QStringLiteral("menuEdit")));
    QVERIFY(!harness.menuShown(QStringLiteral("menuSearch")));
    harness.openMenu(QStringLiteral("menuFile"));
    for (const char *name : {"menuFileOpenFile", "menuFileSaveFile", "menuFileSaveFileAs", "menuFileCloseFile"})
        QVERIFY2(!harness.action(QString::fromLatin1(name))->isEnabled(), name);

    harness.openMenu(QStringLiteral("menuView"));
    QAction *manipulator = harness.action(QStringLiteral("menuViewTabwrite"));
    QVERIFY(manipulator->isEnabled());
    manipulator->trigger();
    QVERIFY(harness.isShown(QStringLiteral("Manipulator")));
    QVERIFY(harness.menuShown(QStringLiteral("menuEdit")));
    harness.openMenu(QStringLiteral("menuView"));
    QVERIFY(!manipulator->isEnabled());
    QVERIFY(harness.action(QStringLiteral("menuViewTextViewer"))->isEnabled());
}

void TestFrame::busyRunHoldsTheSwappingEntries()
{
    FrameHarness harness;
    QVERIFY(harness.start());
    QVERIFY(FrameHarness::copyDefaultDatabase(harness.programFolder(), QStringLiteral("other.mdb")));
    QVERIFY(!harness.session().open(harness.path(QStringLiteral("other.mdb"))).error.isError());
    harness.openMenu(QStringLiteral("menuFile"));
    const QStringList held{"menuFileOpenFile", "menuFileUseOrig", "menuFileOpenDB", "menuFileOpenServer"};
    for (const QString &name : held)
        QVERIFY2(harness.action(name)->isEnabled(), qPrintable(name));
    harness.frame().busy().setBusy(true);
    for (const QString &name : held)
        QVERIFY2(!harness.action(name)->isEnabled(), qPrintable(name));
    harness.frame().busy().setBusy(false);
    for (const QString &name : held)
        QVERIFY2(harness.action(name)->isEnabled(), qPrintable(name));
}

void TestFrame::exitAsksAboutUnsavedText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("answer"); // 0: no question
    QTest::addColumn<bool>("ended");
    QTest::newRow("nothing unsaved") << QString() << 0 << true;
    QTest::newRow("unsaved, No") << "unsaved" << int(Answer::No) << true;
    QTest::newRow("unsaved, Cancel") << "unsaved" << int(Answer::Cancel) << false;
}

void TestFrame::exitAsksAboutUnsavedText()
{
    QFETCH(QString, text);
    QFETCH(int, answer);
    QFETCH(bool, ended);
    FrameHarness harness;
    QVERIFY(harness.start());
    if (!text.isEmpty())
        harness.userSetsText(text);
    if (answer)
        harness.toolkit().answer(answer);
    harness.action(QStringLiteral("menuExit"))->trigger();
    QCOMPARE(harness.toolkit().programEnded(), ended);
    QCOMPARE(harness.toolkit().messageTexts(),
             answer ? QStringList{"Would you like to save changes?"} : QStringList{});
    QCOMPARE(harness.document().text(), ended ? QString() : text);
}

void TestFrame::fileGivenOpensAfterTheUnsavedQuestion()
{
    FrameHarness harness;
    QVERIFY(harness.start());
    const QString path = harness.path(QStringLiteral("dropped.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("from the file\r\n") > 0);
    file.close();
    harness.userSetsText(QStringLiteral("unsaved"));
    // What a file dropped on the window or named on the command line does.
    const auto drop = [&] { harness.frame().openFile(path); };
    harness.toolkit().answer(Answer::Cancel);
    drop();
    QCOMPARE(harness.document().text(), QStringLiteral("unsaved"));
    harness.toolkit().answer(Answer::No);
    drop();
    QCOMPARE(harness.document().text(), QStringLiteral("from the file\r\n"));
    QCOMPARE(harness.toolkit().messageTexts(), QStringList(2, QStringLiteral("Would you like to save changes?")));
    // Its recent files' entry tells its folder in a tool tip.
    bool listed = false;
    for (QAction *entry : harness.frame().findChild<QMenu *>(QStringLiteral("menuFile"))->actions())
        listed = listed || (entry->text() == u"&1 dropped.txt" && entry->toolTip() == path);
    QVERIFY(listed);
}

void TestFrame::menuAccessKeysWinOverTabs()
{
    FrameHarness harness;
    QVERIFY(harness.start());
    auto tabs = harness.control<QTabWidget>(QStringLiteral("Manipulator"), QStringLiteral("SSTab1"));
    harness.manipulatorBox()->setFocus();
    // A tab keeps its key where no menu uses the letter.
    QTest::keyClick(harness.manipulatorBox(), Qt::Key_M, Qt::AltModifier);
    QCOMPARE(tabs->currentIndex(), 1);
    // F is the File menu's: Alt+F opens it and leaves the tabs alone.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(QApplication::activePopupWidget());
    QCOMPARE(QApplication::activePopupWidget()->objectName(), QStringLiteral("menuFile"));
    QCOMPARE(tabs->currentIndex(), 1);
    QApplication::activePopupWidget()->close();
}

void TestFrame::placedOnTheScreen()
{
    // Also run with the display scaled (see CMakeLists.txt): title bar and
    // menus stay on the screen whatever the scale.
    FrameHarness harness;
    QVERIFY(harness.start());
    QTRY_VERIFY(harness.frame().isVisible());
    const QRect screen = harness.frame().screen()->availableGeometry();
    QVERIFY2(screen.contains(harness.frame().frameGeometry()),
             qPrintable(QStringLiteral("%1,%2 %3x%4 outside %5x%6")
                            .arg(harness.frame().frameGeometry().x())
                            .arg(harness.frame().frameGeometry().y())
                            .arg(harness.frame().frameGeometry().width())
                            .arg(harness.frame().frameGeometry().height())
                            .arg(screen.width())
                            .arg(screen.height())));
}

void TestFrame::frameCloseRefusedOnCancel()
{
    FrameHarness harness;
    QVERIFY(harness.start());
    harness.userSetsText(QStringLiteral("unsaved"));
    harness.toolkit().answer(Answer::Cancel);
    QVERIFY(!harness.frame().close());
    QVERIFY(harness.isShown(QStringLiteral("Manipulator")));
    QCOMPARE(harness.document().text(), QStringLiteral("unsaved"));
    QCOMPARE(harness.toolkit().lastPrompt().message.text, QStringLiteral("Would you like to save changes?"));
}

QTEST_MAIN(TestFrame)
#include "test_frame.moc"
