// SPDX-License-Identifier: GPL-3.0-or-later
// What every Process button shares through the processing frame (the
// message for an empty text, the run state, one run at a time, Undo), the
// character counter, what the Text/Lines tab adds to editing in its box (its
// paste, Tab, Ctrl+F, Escape, Undo withdrawn on the focus, the line tools
// offered while there is a text) and the program's error messages.
#include "manipulatortesting.h"

#include "gui/shell/errorreporter.h"

#include <QAction>
#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QMimeData>
#include <QProgressBar>

using namespace manip;

class TestProcessingFrame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void emptyTextIsNothingToProcess_data();
    void emptyTextIsNothingToProcess();
    void progressBarOnlyForSeveralLines_data();
    void progressBarOnlyForSeveralLines();
    void runStateWhileRunning();
    void undoRestoresTheTextBeforeARun_data();
    void undoRestoresTheTextBeforeARun();
    void characterCounter_data();
    void characterCounter();
    void ctrlVPaste_data();
    void ctrlVPaste();
    void tabInsertsATabAndKeepsFocus_data();
    void tabInsertsATabAndKeepsFocus();
    void ctrlFOpensSearch();
    void escapeClosesTheWindow_data();
    void escapeClosesTheWindow();
    void escapeClosingADropDownKeepsTheWindow();
    void focusInWithdrawsUndo_data();
    void focusInWithdrawsUndo();
    void lineToolsOfferedWhileThereIsText();
    void errorMessages_data();
    void errorMessages();

private:
    FrameHarness &harness() { return *m_harness; }
    TextBox *box() { return m_harness->manipulatorBox(); }
    QWidget *focused() { return QApplication::focusWidget(); }
    QAction *editUndo() { return m_harness->action(QStringLiteral("menuEditUndo")); }

    std::unique_ptr<FrameHarness> m_harness;
};

namespace {
// Notes each time the progress bar appears, with the range it shows then.
class ProgressWatcher : public QObject
{
public:
    explicit ProgressWatcher(QProgressBar *bar) : m_bar(bar) { bar->installEventFilter(this); }
    int shows = 0;
    int minimum = 0;
    int maximum = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            ++shows;
            minimum = m_bar->minimum();
            maximum = m_bar->maximum();
        }
        return false;
    }

private:
    QProgressBar *m_bar;
};
} // namespace

void TestProcessingFrame::init()
{
    m_harness = std::make_unique<FrameHarness>();
    QVERIFY(m_harness->start());
    box()->setFocus();
}

void TestProcessingFrame::cleanup()
{
    m_harness.reset();
}

void TestProcessingFrame::emptyTextIsNothingToProcess_data()
{
    QTest::addColumn<int>("tabIndex");
    for (int i = 0; i < operationTabs().size(); ++i)
        if (operationTabs().at(i).after) // the line tools are off without a text
            QTest::newRow(operationTabs().at(i).name) << i;
}

void TestProcessingFrame::emptyTextIsNothingToProcess()
{
    QFETCH(int, tabIndex);
    const OperationTab &tab = operationTabs().at(tabIndex);
    harness().userSetsText(QStringLiteral("before"));
    QCOMPARE(process(harness(), tab.tab, tab.process, tab.enough, QString()), QString());
    QCOMPARE(harness().toolkit().messageTexts(),
             QStringList{"There is nothing to process.  Please open a file by selecting File menu/Open, or enter "
                         "text into the text box on the Text/Lines tab."});
    QCOMPARE(harness().toolkit().lastPrompt().message.title, QStringLiteral("Tabwright"));
    QCOMPARE(tabStrip(harness())->currentIndex(), int(Tab::TextLines));
    QCOMPARE(focused(), box());
    QCOMPARE(harness().document().undoCopy(), QStringLiteral("before"));
}

void TestProcessingFrame::progressBarOnlyForSeveralLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("shows");
    QTest::addColumn<int>("maximum");
    QTest::newRow("one line") << "abc" << 0 << 0;
    QTest::newRow("three lines") << "a\r\nb\r\nc" << 1 << 3;
}

void TestProcessingFrame::progressBarOnlyForSeveralLines()
{
    QFETCH(QString, text);
    QFETCH(int, shows);
    QFETCH(int, maximum);
    auto bar = control<QProgressBar>(harness(), "ProgressBar1");
    ProgressWatcher watcher(bar);
    QVERIFY(process(harness(), Tab::AddText, "Command3", {{"Text2", "+"}}, text) != text);
    QCOMPARE(watcher.shows, shows);
    if (shows) {
        QCOMPARE(watcher.minimum, 1);
        QCOMPARE(watcher.maximum, maximum);
    }
    QVERIFY(!bar->isVisible());
}

void TestProcessingFrame::runStateWhileRunning()
{
    struct Seen
    {
        bool busy = false, stop = false, progress = false, counter = true, readOnly = false, openFile = true;
        Qt::CursorShape windowCursor = Qt::ArrowCursor, stopCursor = Qt::WaitCursor;
        bool othersRefused = false;
    } seen;
    QWidget *stop = control(harness(), "Command17");
    QWidget *counter = control(harness(), "Text7");
    QWidget *progress = control(harness(), "ProgressBar1");
    QAction *openFile = harness().action(QStringLiteral("menuFileOpenFile"));

    tabStrip(harness())->setCurrentIndex(Tab::AddText);
    QVERIFY(setFields(harness(), {{"Text2", "+"}}));
    const QString text = clickWhileRunning(harness(), QStringLiteral("abc"), QStringLiteral("Command3"), [&] {
        harness().openMenu(QStringLiteral("menuFile"));
        seen = {harness().frame().busy().isBusy(), stop->isEnabled(), progress->isVisible(), counter->isVisible(),
                box()->isReadOnly(), openFile->isEnabled(), window(harness())->cursor().shape(),
                stop->cursor().shape()};
        // Another Process, a line tool and Undo wait for the run: each would
        // work on the text the run is about to replace.
        const QString before = harness().document().text();
        for (const char *other : {"Command3", "Command13", "Command1"})
            click(harness(), QString::fromLatin1(other));
        seen.othersRefused = harness().document().text() == before && harness().frame().busy().isBusy();
    });
    QVERIFY2(!text.isEmpty(), "no run let window events through");
    QVERIFY(seen.busy);
    QVERIFY(seen.stop);
    QVERIFY(seen.progress);
    QVERIFY(!seen.counter);
    QVERIFY(seen.readOnly);
    QVERIFY(!seen.openFile);
    QCOMPARE(seen.windowCursor, Qt::WaitCursor);
    QCOMPARE(seen.stopCursor, Qt::ArrowCursor);
    QVERIFY(seen.othersRefused);
    QCOMPARE(harness().document().text(), QString(text).replace(QStringLiteral("abc"), QStringLiteral("+abc")));

    // Idle again afterwards.
    QVERIFY(!harness().frame().busy().isBusy());
    QVERIFY(!stop->isEnabled());
    QVERIFY(!progress->isVisible());
    QVERIFY(counter->isVisible());
    QVERIFY(!box()->isReadOnly());
    QCOMPARE(window(harness())->cursor().shape(), Qt::ArrowCursor);
    harness().openMenu(QStringLiteral("menuFile"));
    QVERIFY(openFile->isEnabled());
}

void TestProcessingFrame::undoRestoresTheTextBeforeARun_data()
{
    QTest::addColumn<bool>("fromTheMenu");
    QTest::newRow("the Undo button") << false;
    QTest::newRow("Edit > Undo") << true;
}

void TestProcessingFrame::undoRestoresTheTextBeforeARun()
{
    QFETCH(bool, fromTheMenu);
    const QString text = QStringLiteral("one\r\ntwo\r\n");
    QCOMPARE(process(harness(), Tab::AddText, "Command3", {{"Text2", "+"}}, text), QStringLiteral("+one\r\n+two\r\n"));
    QWidget *undo = control(harness(), "Command1");
    harness().openMenu(QStringLiteral("menuEdit"));
    QVERIFY(undo->isEnabled());
    QVERIFY(editUndo()->isEnabled());

    tabStrip(harness())->setCurrentIndex(Tab::MoveText);
    if (fromTheMenu)
        editUndo()->trigger();
    else
        click(harness(), QStringLiteral("Command1"));
    QCOMPARE(harness().document().text(), text);
    QCOMPARE(box()->plainText(), text);
    QVERIFY(!undo->isEnabled());
    QVERIFY(!editUndo()->isEnabled());
    QCOMPARE(tabStrip(harness())->currentIndex(), int(Tab::TextLines));
    QCOMPARE(focused(), box());
}

void TestProcessingFrame::characterCounter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("count");
    QTest::newRow("nothing") << "" << "0";
    QTest::newRow("a line break counts two") << "ab\nc" << "5";
    QTest::newRow("a character beyond the BMP counts one") << QString::fromUtf8("\xF0\x9F\x98\x80") << "1";
}

void TestProcessingFrame::characterCounter()
{
    QFETCH(QString, typed);
    QFETCH(QString, count);
    auto text7 = control<QPlainTextEdit>(harness(), "Text7");
    text7->setPlainText(QStringLiteral("x"));
    text7->setPlainText(typed);
    QCOMPARE(control<QLineEdit>(harness(), "Text8")->text(), count);
}

void TestProcessingFrame::ctrlVPaste_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<qsizetype>("caret"); // -1: at the end
    QTest::addColumn<qsizetype>("selection");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("clipboardAfter");
    QTest::newRow("at the end, a lone CR gets its LF") << "abc\r" << qsizetype(-1) << qsizetype(0) << "12abc\r\n"
                                                       << "abc\r\n";
    QTest::newRow("at the end, no line break: as it is") << "abc" << qsizetype(-1) << qsizetype(0) << "12abc"
                                                         << "abc";
    QTest::newRow("inside, over the selection, a lone CR kept") << "x\r" << qsizetype(0) << qsizetype(1) << "x\r2"
                                                                << "x\r";
    QTest::newRow("LF line breaks become CR LF") << "a\nb" << qsizetype(-1) << qsizetype(0) << "12a\r\nb" << "a\r\nb";
}

void TestProcessingFrame::ctrlVPaste()
{
    QFETCH(QString, clipboard);
    QFETCH(qsizetype, caret);
    QFETCH(qsizetype, selection);
    QFETCH(QString, result);
    QFETCH(QString, clipboardAfter);
    harness().userSetsText(QStringLiteral("12"));
    const qsizetype at = caret < 0 ? 2 : caret;
    box()->select(at, selection);
    // Plain text only: the formatted form the clipboard also offers is left.
    auto data = new QMimeData;
    data->setText(clipboard);
    data->setHtml(QStringLiteral("<b>formatted</b>"));
    QApplication::clipboard()->setMimeData(data);
    QTest::keyClick(box(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(harness().document().text(), result);
    QCOMPARE(box()->selectionStart(), at);
    QCOMPARE(QApplication::clipboard()->text(), clipboardAfter);
    QCOMPARE(harness().document().undoCopy(), QStringLiteral("12")); // one edit
}

void TestProcessingFrame::tabInsertsATabAndKeepsFocus_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("start");
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<QString>("result");
    QTest::newRow("at the start") << "ab" << qsizetype(0) << qsizetype(0) << "\tab";
    QTest::newRow("at the end") << "ab" << qsizetype(2) << qsizetype(0) << "ab\t";
    QTest::newRow("in front of a selection, which stays") << "abcd" << qsizetype(1) << qsizetype(2) << "a\tbcd";
    QTest::newRow("an empty text: the focus moves on") << "" << qsizetype(0) << qsizetype(0) << "";
}

void TestProcessingFrame::tabInsertsATabAndKeepsFocus()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, start);
    QFETCH(qsizetype, length);
    QFETCH(QString, result);
    harness().userSetsText(text);
    box()->setFocus();
    box()->select(start, length);
    QTest::keyClick(box(), Qt::Key_Tab);
    QCOMPARE(harness().document().text(), result);
    if (text.isEmpty()) {
        QVERIFY(!box()->hasFocus());
        return;
    }
    QVERIFY(box()->hasFocus());
    QCOMPARE(box()->selectionStart(), start + 1);
    QCOMPARE(box()->selectionLength(), 0);
}

void TestProcessingFrame::ctrlFOpensSearch()
{
    // Even while Search > Find is off (there is no text), Ctrl+F in the box
    // opens the window.
    harness().openMenu(QStringLiteral("menuSearch"));
    QVERIFY(!harness().action(QStringLiteral("menuSearchFind"))->isEnabled());
    QTest::keyClick(box(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(harness().isShown(QStringLiteral("SearchWindow")));
}

void TestProcessingFrame::escapeClosesTheWindow_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("answer"); // 0: no question
    QTest::addColumn<bool>("closed");
    QTest::newRow("nothing to save") << "RichTextBox1" << "" << 0 << true;
    QTest::newRow("unsaved, No") << "RichTextBox1" << "abc" << int(Answer::No) << true;
    QTest::newRow("unsaved, Cancel") << "RichTextBox1" << "abc" << int(Answer::Cancel) << false;
    QTest::newRow("from a field of a tab") << "Text2" << "abc" << int(Answer::No) << true;
}

void TestProcessingFrame::escapeClosesTheWindow()
{
    QFETCH(QString, from);
    QFETCH(QString, text);
    QFETCH(int, answer);
    QFETCH(bool, closed);
    if (!text.isEmpty())
        harness().userSetsText(text);
    if (answer)
        harness().toolkit().answer(answer);
    if (from == u"Text2")
        tabStrip(harness())->setCurrentIndex(Tab::AddText);
    QWidget *where = control(harness(), from);
    where->setFocus();
    QTest::keyClick(where, Qt::Key_Escape);
    QCOMPARE(harness().isShown(QStringLiteral("Manipulator")), !closed);
    QCOMPARE(harness().toolkit().messageTexts(),
             answer ? QStringList{"Would you like to save changes?"} : QStringList{});
    QCOMPARE(harness().document().text(), closed ? QString() : text);
}

void TestProcessingFrame::escapeClosingADropDownKeepsTheWindow()
{
    tabStrip(harness())->setCurrentIndex(Tab::MoveText);
    auto combo = control<QComboBox>(harness(), "Combo1");
    combo->setFocus();
    combo->showPopup();
    QWidget *popup = combo->view();
    QVERIFY(QTest::qWaitForWindowExposed(popup->window()));
    QTest::keyClick(popup, Qt::Key_Escape);
    QTRY_VERIFY(!popup->isVisible());
    QVERIFY(harness().isShown(QStringLiteral("Manipulator")));
    // With nothing open the same key closes the window.
    QTest::keyClick(combo, Qt::Key_Escape);
    QVERIFY(!harness().isShown(QStringLiteral("Manipulator")));
}

void TestProcessingFrame::focusInWithdrawsUndo_data()
{
    QTest::addColumn<QString>("fromColumn");
    QTest::addColumn<bool>("undoKept");
    QTest::newRow("a run that changed nothing") << "" << false;
    QTest::newRow("a run that changed the text") << "2" << true;
}

void TestProcessingFrame::focusInWithdrawsUndo()
{
    QFETCH(QString, fromColumn);
    QFETCH(bool, undoKept);
    // The run stays on its tab, away from the text.
    control<QCheckBox>(harness(), "Check5")->click();
    process(harness(), Tab::MoveText, "Command2",
            {{"Combo1", "General Move"}, {"MaskEdBox1", fromColumn}, {"MaskEdBox2", "4"}}, QStringLiteral("abc"));
    QWidget *undo = control(harness(), "Command1");
    QVERIFY(undo->isEnabled());
    QVERIFY(!box()->hasFocus());

    tabStrip(harness())->setCurrentIndex(Tab::TextLines);
    box()->setFocus();
    QCOMPARE(undo->isEnabled(), undoKept);
    QCOMPARE(editUndo()->isEnabled(), undoKept);
}

void TestProcessingFrame::lineToolsOfferedWhileThereIsText()
{
    const QStringList tools{"Command13", "Command14", "Command15"};
    auto offered = [&](bool expected) {
        QStringList wrong;
        for (const QString &tool : tools)
            if (control(harness(), tool)->isEnabled() != expected)
                wrong << tool;
        return wrong;
    };
    QCOMPARE(offered(false), QStringList{});
    harness().userSetsText(QStringLiteral("ab"));
    QCOMPARE(offered(true), QStringList{});
    harness().userSetsText(QString());
    QCOMPARE(offered(false), QStringList{});
    // Undo brings the text back, and the tools with it, with no click in the box.
    tabStrip(harness())->setCurrentIndex(Tab::MoveText);
    click(harness(), QStringLiteral("Command1"));
    QCOMPARE(harness().document().text(), QStringLiteral("ab"));
    QCOMPARE(offered(true), QStringList{});
}

void TestProcessingFrame::errorMessages_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("message"); // empty: passed over in silence

    QTest::newRow("55") << 55 << "The file is open and could NOT be deleted.";
    QTest::newRow("70") << 70 << "Permission denied.";
    QTest::newRow("75") << 75 << "Path/file access error.";
    QTest::newRow("3163") << 3163
                          << "Field is too small for the amount of data.  Increase the field size on the Tabwrite "
                             "tab, or use a database editor, such as Microsoft Access, to modify the size of the "
                             "field to allow it to accept the required amount of data.";
    QTest::newRow("3219") << 3219 << "Tabwright performed an invalid operation.";
    QTest::newRow("3315") << 3315
                          << "Field can't be a zero-length string.  Using a database editor, such as Microsoft "
                             "Access, modify the field (usually by clicking a check-box) to allow it to accept "
                             "zero-length strings.";
    QTest::newRow("3343") << 3343 << "The database you selected has a format that is unrecognizable to Tabwright.";
    QTest::newRow("any other: the engine's own words") << 3078 << "engine description";
    QTest::newRow("3021: silent") << 3021 << QString();
}

void TestProcessingFrame::errorMessages()
{
    QFETCH(int, number);
    QFETCH(QString, message);
    // The hourglass goes before anything is said.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool told = errors::report(number, QStringLiteral("engine description"));
    const bool hourglassLeft = QApplication::overrideCursor() != nullptr;
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    QVERIFY(!hourglassLeft);
    QCOMPARE(told, !message.isEmpty());
    if (message.isEmpty()) {
        QVERIFY(harness().toolkit().prompts().isEmpty());
        return;
    }
    QCOMPARE(harness().toolkit().prompts().size(), 1);
    const MessagePrompt &prompt = harness().toolkit().lastPrompt().message;
    QCOMPARE(prompt.text, message);
    QCOMPARE(prompt.title, QStringLiteral("Tabwright - Sorry..."));
    QCOMPARE(prompt.icon, Icon::Information);
    QCOMPARE(prompt.buttons, Buttons::Ok);
}

QTEST_MAIN(TestProcessingFrame)
#include "test_processingframe.moc"
