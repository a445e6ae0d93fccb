// SPDX-License-Identifier: GPL-3.0-or-later
#include "frameharness.h"

#include "gui/shell/textbox.h"
#include "gui/documents/editmenu.h"
#include "gui/documents/form5.h"
#include "gui/documents/searchwindow.h"
#include "gui/documents/textdocuments.h"
#include "gui/manipulator/manipulator.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

// The Edit menu, the Text Viewer, the Search window and the caret's place on
// the status bar, through the real windows.
class TestViewerSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void editPaste_data();
    void editPaste();
    void editMenuEnabling();
    void deleteAllIsUndoable();
    void copyAndCutFollowVisibleWindows();
    void viewerOpensWithTextCaretAndCaption();
    void viewerTypingMirroredIntoManipulator();
    void viewerEscapeAndCloseGiveTextBack();
    void viewerCtrlVUsesPasteRules();
    void undoReachesViewer();
    void searchMenuRule();
    void findIgnoreCase_data();
    void findIgnoreCase();
    void findAgainReportsEndAndWraps();
    void wholeWordFind_data();
    void wholeWordFind();
    void findAllCountsAndColours_data();
    void findAllCountsAndColours();
    void resetColorClearsBeforeNextSearch();
    void searchWindowKeys();
    void statusBarShowsLineAndColumn_data();
    void statusBarShowsLineAndColumn();

private:
    MDIForm1 &frame() { return m_harness->frame(); }
    Manipulator &window() { return m_harness->manipulator(); }
    TextDocuments &documents() { return *frame().documents(); }
    Form5 &viewer() { return *documents().textViewer(); }
    SearchWindow &search() { return *documents().searchWindow(); }
    void typeInto(TextBox *box, const QString &text);
    QStringList messages() const { return m_harness->toolkit().messageTexts(); }
    static bool coloured(TextBox *box, qsizetype bytePosition);

    std::unique_ptr<FrameHarness> m_harness;
};

void TestViewerSearch::init()
{
    m_harness = std::make_unique<FrameHarness>();
    QVERIFY(m_harness->start());
    QApplication::clipboard()->clear();
}

void TestViewerSearch::cleanup()
{
    // The windows go first, whatever the checks below find.
    const int unanswered = m_harness->toolkit().unanswered();
    const qsizetype pending = m_harness->toolkit().pendingAnswers();
    m_harness.reset();
    QCOMPARE(unanswered, 0);
    QCOMPARE(pending, 0);
}

void TestViewerSearch::typeInto(TextBox *box, const QString &text)
{
    box->setFocus();
    box->setCaret(box->characterCount());
    QTest::keyClicks(box, text);
}

bool TestViewerSearch::coloured(TextBox *box, qsizetype bytePosition)
{
    return box->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT,
                              static_cast<unsigned long>(SearchWindow::matchIndicator()), long(bytePosition))
           != 0;
}

void TestViewerSearch::editPaste_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<qsizetype>("caret"); // -1: at the end
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("clipboardAfter");
    QTest::newRow("at the end, no final line break") << "xyz" << qsizetype(-1) << "ab\r\ncdxyz" << "xyz\r\n";
    QTest::newRow("at the end, lone CR") << "xyz\r" << qsizetype(-1) << "ab\r\ncdxyz\r\n" << "xyz\r\n";
    QTest::newRow("at the end, LF lines") << "x\ny\n" << qsizetype(-1) << "ab\r\ncdx\r\ny\r\n" << "x\r\ny\r\n";
    QTest::newRow("in the middle: unchanged") << "xyz\r" << qsizetype(1) << "axyz\rb\r\ncd" << "xyz\r";
}

void TestViewerSearch::editPaste()
{
    QFETCH(QString, clipboard);
    QFETCH(qsizetype, caret);
    QFETCH(QString, result);
    QFETCH(QString, clipboardAfter);
    m_harness->userSetsText(QStringLiteral("ab\r\ncd"));
    const qsizetype at = caret < 0 ? window().RichTextBox1->characterCount() : caret;
    window().RichTextBox1->setCaret(at);
    QApplication::clipboard()->setText(clipboard);
    frame().menuEditPaste->trigger();
    QCOMPARE(window().working().text(), result);
    QCOMPARE(window().RichTextBox1->selectionStart(), at);
    QCOMPARE(QApplication::clipboard()->text(), clipboardAfter);
    // One edit: Undo goes back to the text before the paste.
    QCOMPARE(window().working().undoCopy(), QStringLiteral("ab\r\ncd"));
    QVERIFY(frame().state().modified);
    QVERIFY(!frame().state().paste);
}

void TestViewerSearch::editMenuEnabling()
{
    const QList<QAction *> whole{frame().menuEditCut, frame().menuEditCopy, frame().menuEditSelectAll,
                                 frame().menuEditDeleteAll};
    auto check = [&](bool wholeOn, bool pasteOn) {
        documents().editMenu()->menuEdit_Click();
        for (QAction *entry : whole)
            QVERIFY2(entry->isEnabled() == wholeOn, qPrintable(entry->objectName()));
        QCOMPARE(frame().menuEditPaste->isEnabled(), pasteOn);
    };
    check(false, true); // empty text
    m_harness->userSetsText(QStringLiteral("text"));
    check(true, true);
    window().SSTab1->setCurrentIndex(Manipulator::ReplaceText);
    check(false, false);

    // With the Manipulator closed, the Text Viewer's text decides.
    window().SSTab1->setCurrentIndex(Manipulator::TextLines);
    frame().menuViewTextViewer->trigger();
    m_harness->toolkit().answer(Answer::No);
    window().parentWidget()->close();
    QVERIFY(documents().viewerVisible());
    check(true, true);
}

void TestViewerSearch::deleteAllIsUndoable()
{
    m_harness->userSetsText(QStringLiteral("all of it"));
    documents().editMenu()->menuEdit_Click();
    frame().menuEditDeleteAll->trigger();
    QVERIFY(window().working().isEmpty());
    QVERIFY(window().Command1->isEnabled());
    QVERIFY(frame().state().modified);
    window().Command1->click();
    QCOMPARE(window().working().text(), QStringLiteral("all of it"));
}

void TestViewerSearch::copyAndCutFollowVisibleWindows()
{
    m_harness->userSetsText(QStringLiteral("abcdef"));
    window().RichTextBox1->select(1, 2);
    documents().editMenu()->menuEdit_Click();
    frame().menuEditCopy->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("bc"));
    frame().menuEditCut->trigger();
    QCOMPARE(window().working().text(), QStringLiteral("adef"));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("bc"));

    // Both shown: the viewer's selection is what the clipboard holds.
    frame().menuViewTextViewer->trigger();
    window().RichTextBox1->select(0, 1);
    viewer().RichTextBox1->select(2, 2);
    frame().menuEditCopy->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("ef"));

    // Select All works on the window activated last.
    frame().menuEditSelectAll->trigger();
    QCOMPARE(frame().state().editTarget, QStringLiteral("Text Viewer"));
    QCOMPARE(viewer().RichTextBox1->selectionLength(), 4);
}

void TestViewerSearch::viewerOpensWithTextCaretAndCaption()
{
    m_harness->userSetsText(QStringLiteral("one\r\ntwo"));
    window().RichTextBox1->setCaret(5);
    frame().menuViewTextViewer->trigger();
    QVERIFY(documents().viewerVisible());
    QVERIFY(documents().textViewerWindow()->isMaximized());
    QVERIFY(frame().manipulatorVisible());
    QCOMPARE(viewer().RichTextBox1->plainText(), QStringLiteral("one\r\ntwo"));
    QCOMPARE(viewer().RichTextBox1->selectionStart(), 5);
    QCOMPARE(viewer().windowTitle(), QStringLiteral("Text Viewer"));
    QCOMPARE(frame().state().editTarget, QStringLiteral("Text Viewer"));
    QVERIFY(!frame().state().programmaticChange);

    frame().menuView_Click();
    QVERIFY(!frame().menuViewTextViewer->isEnabled());
    QVERIFY(frame().menuViewTabwrite->isEnabled());

    // A file's path becomes the viewer's caption.
    window().setWindowTitle(QStringLiteral("Manipulator - /tmp/a.txt"));
    frame().menuViewTextViewer_Click();
    QCOMPARE(viewer().windowTitle(), QStringLiteral("/tmp/a.txt"));
}

void TestViewerSearch::viewerTypingMirroredIntoManipulator()
{
    m_harness->userSetsText(QStringLiteral("abc"));
    frame().state().modified = false;
    frame().menuViewTextViewer->trigger();
    typeInto(viewer().RichTextBox1, QStringLiteral("de"));
    QCOMPARE(window().working().text(), QStringLiteral("abcde"));
    QCOMPARE(window().RichTextBox1->plainText(), QStringLiteral("abcde"));
    QVERIFY(frame().state().modified);
    QVERIFY(frame().menuFileSaveFile->isEnabled());
    QVERIFY(window().Command1->isEnabled());
    QCOMPARE(window().working().undoCopy(), QStringLiteral("abcd"));

    // A key that changes nothing copies nothing and marks nothing.
    frame().state().modified = false;
    QTest::keyClick(viewer().RichTextBox1, Qt::Key_Left);
    QVERIFY(!frame().state().modified);

    // With the Manipulator closed the edits stay in the viewer.
    window().parentWidget()->close();
    typeInto(viewer().RichTextBox1, QStringLiteral("f"));
    QCOMPARE(viewer().RichTextBox1->plainText(), QStringLiteral("abcdef"));
    QVERIFY(window().working().isEmpty());
}

void TestViewerSearch::viewerEscapeAndCloseGiveTextBack()
{
    m_harness->userSetsText(QStringLiteral("abc"));
    frame().menuViewTextViewer->trigger();
    typeInto(viewer().RichTextBox1, QStringLiteral("d"));
    viewer().RichTextBox1->setCaret(2);
    QTest::keyClick(viewer().RichTextBox1, Qt::Key_Escape);
    QVERIFY(!documents().viewerVisible());
    QVERIFY(frame().manipulatorVisible());
    QCOMPARE(window().working().text(), QStringLiteral("abcd"));
    QCOMPARE(window().RichTextBox1->selectionStart(), 2);
    QVERIFY(frame().menuEdit->menuAction()->isVisible());

    frame().menuViewTextViewer->trigger();
    viewer().RichTextBox1->setCaret(1);
    documents().textViewerWindow()->close();
    QVERIFY(!documents().viewerVisible());
    QCOMPARE(window().RichTextBox1->selectionStart(), 1);
    QVERIFY(!frame().state().programmaticChange);
}

void TestViewerSearch::viewerCtrlVUsesPasteRules()
{
    m_harness->userSetsText(QStringLiteral("ab"));
    frame().menuViewTextViewer->trigger();
    viewer().RichTextBox1->setFocus();
    viewer().RichTextBox1->setCaret(2);
    QApplication::clipboard()->setText(QStringLiteral("x\ny"));
    QTest::keyClick(viewer().RichTextBox1, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(viewer().RichTextBox1->plainText(), QStringLiteral("abx\r\ny"));
    QCOMPARE(window().working().text(), QStringLiteral("abx\r\ny"));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("x\r\ny\r\n"));
}

void TestViewerSearch::undoReachesViewer()
{
    m_harness->userSetsText(QStringLiteral("abc"));
    frame().menuViewTextViewer->trigger();
    typeInto(viewer().RichTextBox1, QStringLiteral("d"));
    frame().menuEditUndo->trigger();
    QCOMPARE(viewer().RichTextBox1->plainText(), QStringLiteral("abc"));
    QCOMPARE(window().working().text(), QStringLiteral("abc"));
    QVERIFY(!frame().menuEditUndo->isEnabled());
}

void TestViewerSearch::searchMenuRule()
{
    documents().menuSearch_Click();
    QVERIFY(!frame().menuSearchFind->isEnabled());
    m_harness->userSetsText(QStringLiteral("x"));
    documents().menuSearch_Click();
    QVERIFY(frame().menuSearchFind->isEnabled());
    QVERIFY(!frame().state().programmaticChange);

    // The window opens beside the right edge, Ignore case checked.
    frame().menuSearchFind->trigger();
    QVERIFY(documents().searchVisible());
    QVERIFY(search().Check1->isChecked());
    QVERIFY(!search().Check2->isChecked());
    QVERIFY(!search().Check3->isEnabled());
    QCOMPARE(search().windowTitle(), QStringLiteral("Tabwright - Search"));
    const QRect placed = documents().searchSubWindow()->geometry();
    QVERIFY(placed.right() < frame().mdiArea->viewport()->width());
    QVERIFY(placed.left() > frame().mdiArea->viewport()->width() / 3);
}

void TestViewerSearch::findIgnoreCase_data()
{
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<QString>("message"); // empty: found
    QTest::newRow("ignore case") << true << "";
    QTest::newRow("exact case") << false << "No occurance of cat found.";
}

void TestViewerSearch::findIgnoreCase()
{
    QFETCH(bool, ignoreCase);
    QFETCH(QString, message);
    m_harness->userSetsText(QString::fromUtf8("\xF0\x9F\x98\x80 CAT"));
    frame().menuSearchFind->setEnabled(true);
    frame().menuSearchFind->trigger();
    search().Check1->setChecked(ignoreCase);
    search().Text1->setText(QStringLiteral("cat"));
    search().Command1->click();
    if (message.isEmpty()) {
        QVERIFY(messages().isEmpty());
        QCOMPARE(window().RichTextBox1->selectionStart(), 2); // the emoji is one character
        QCOMPARE(window().RichTextBox1->selectedText(), QStringLiteral("CAT"));
        QVERIFY(search().Command2->isEnabled());
        QCOMPARE(search().lastMatch(), 4);
    } else {
        QCOMPARE(messages(), QStringList{message});
        QVERIFY(!search().Command2->isEnabled());
    }
}

void TestViewerSearch::findAgainReportsEndAndWraps()
{
    m_harness->userSetsText(QStringLiteral("ab ab"));
    frame().menuSearchFind->trigger();
    search().Text1->setText(QStringLiteral("ab"));
    search().Command1->click();
    QCOMPARE(window().RichTextBox1->selectionStart(), 0);
    search().Command2->click();
    QCOMPARE(window().RichTextBox1->selectionStart(), 3);
    QCOMPARE(search().matchCount(), 2);
    search().Command2->click();
    QCOMPARE(messages(), QStringList{QStringLiteral("No more occurances of ab found.")});
    QVERIFY(!search().Command2->isEnabled());
    // The next Find Again starts from the top again.
    QCOMPARE(search().lastMatch(), 0);
    search().Command2_Click();
    QCOMPARE(window().RichTextBox1->selectionStart(), 0);
}

void TestViewerSearch::wholeWordFind_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("selected"); // -1: not found
    QTest::newRow("digit after") << "cat9" << qsizetype(0);
    QTest::newRow("space after") << "cat x" << qsizetype(0);
    QTest::newRow("full stop after") << "the cat." << qsizetype(4);
    QTest::newRow("letter after") << "cats" << qsizetype(-1);
    QTest::newRow("letter before") << "scat" << qsizetype(-1);
    QTest::newRow("skips a part word") << "cats cat" << qsizetype(5);
}

void TestViewerSearch::wholeWordFind()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, selected);
    m_harness->userSetsText(text);
    frame().menuSearchFind->trigger();
    search().Check2->setChecked(true);
    search().Text1->setText(QStringLiteral("cat"));
    search().Command1->click();
    if (selected < 0) {
        QCOMPARE(messages(), QStringList{QStringLiteral("No occurance of cat found.")});
    } else {
        QCOMPARE(window().RichTextBox1->selectionStart(), selected);
        QCOMPARE(window().RichTextBox1->selectionLength(), 3);
    }
}

void TestViewerSearch::findAllCountsAndColours_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QList<int>>("colouredBytes");
    QTest::newRow("overlapping") << "xaaa" << "aa" << "2 occurances of aa found." << QList<int>{1, 2, 3};
    QTest::newRow("one") << "\xc3\xa9t\xc3\xa9 a" << "a" << "1 occurance of a found." << QList<int>{6};
    QTest::newRow("none") << "abc" << "z" << "No occurance of z was found." << QList<int>{};
}

void TestViewerSearch::findAllCountsAndColours()
{
    QFETCH(QString, text);
    QFETCH(QString, needle);
    QFETCH(QString, message);
    QFETCH(QList<int>, colouredBytes);
    m_harness->userSetsText(text);
    window().RichTextBox1->setCaret(1);
    frame().menuSearchFind->trigger();
    search().Text1->setText(needle);
    search().Command3->click();
    QCOMPARE(messages(), QStringList{message});
    TextBox *box = window().RichTextBox1;
    const qsizetype length = box->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    for (qsizetype byte = 0; byte < length; ++byte)
        QVERIFY2(coloured(box, byte) == colouredBytes.contains(int(byte)), qPrintable(QString::number(byte)));
    QCOMPARE(search().Check3->isEnabled(), !colouredBytes.isEmpty());
    QCOMPARE(box->selectionStart(), 1);
}

void TestViewerSearch::resetColorClearsBeforeNextSearch()
{
    m_harness->userSetsText(QStringLiteral("aa"));
    frame().menuSearchFind->trigger();
    search().Text1->setText(QStringLiteral("a"));
    search().Command3->click();
    TextBox *box = window().RichTextBox1;
    QVERIFY(coloured(box, 0));
    search().Check3->setChecked(true);
    search().Command1->click();
    QVERIFY(!coloured(box, 0));
    QVERIFY(!coloured(box, 1));
    QVERIFY(!search().Check3->isChecked());
    QVERIFY(!search().Check3->isEnabled());
    QCOMPARE(box->selectionStart(), 0);
}

void TestViewerSearch::searchWindowKeys()
{
    m_harness->userSetsText(QStringLiteral("abc"));
    frame().menuSearchFind->trigger();
    search().Text1->setText(QStringLiteral("b"));
    search().Command1->click();
    QVERIFY(search().Command2->isEnabled());
    QTest::keyClicks(search().Text1, QStringLiteral("c"));
    QVERIFY(!search().Command2->isEnabled());
    QVERIFY(search().Command1->isEnabled());
    search().Text1->setText(QStringLiteral("c"));
    QTest::keyClick(search().Text1, Qt::Key_Return);
    QCOMPARE(window().RichTextBox1->selectionStart(), 2);
    QTest::keyClick(search().Text1, Qt::Key_Escape);
    QVERIFY(!documents().searchVisible());
}

void TestViewerSearch::statusBarShowsLineAndColumn_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("caret");
    QTest::addColumn<QString>("shown");
    QTest::newRow("tab and non-BMP character")
        << QString::fromUtf8("x\r\n\t\xF0\x9F\x98\x80yz") << qsizetype(6) << "Line 2, Column 4";
    QTest::newRow("lone LF is one column") << "a\nb" << qsizetype(3) << "Line 1, Column 4";
}

void TestViewerSearch::statusBarShowsLineAndColumn()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, caret);
    QFETCH(QString, shown);
    m_harness->userSetsText(text);
    window().RichTextBox1->setCaret(caret);
    auto label = frame().findChild<QLabel *>(QStringLiteral("caretPosition"));
    QVERIFY(label);
    QTRY_COMPARE(label->text(), shown);

    // The Text Viewer's caret when it is the active window.
    frame().menuViewTextViewer->trigger();
    viewer().RichTextBox1->setCaret(0);
    QTRY_COMPARE(label->text(), QStringLiteral("Line 1, Column 1"));
}

QTEST_MAIN(TestViewerSearch)
#include "test_viewersearch.moc"
