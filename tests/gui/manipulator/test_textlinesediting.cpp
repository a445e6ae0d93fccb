// SPDX-License-Identifier: GPL-3.0-or-later
#include "frameharness.h"

#include "gui/shell/textbox.h"
#include "gui/documents/form5.h"
#include "gui/documents/textdocuments.h"
#include "gui/manipulator/manipulator.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPushButton>
#include <QtTest>

// Editing in the Text/Lines tab's text box: the program's own paste, the Tab
// key, Ctrl+F, the line-tool buttons and the mirror into the Text Viewer.
class TestTextLinesEditing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void ctrlVPaste_data();
    void ctrlVPaste();
    void pasteTakesPlainTextOnly();
    void tabInsertsTabAndKeepsFocus_data();
    void tabInsertsTabAndKeepsFocus();
    void ctrlFOpensSearch();
    void lineToolsFollowText();
    void focusDisablesUndoWhenNothingToUndo();
    void keyUpMirrorsIntoViewer();

private:
    MDIForm1 &frame() { return m_harness->frame(); }
    Manipulator &window() { return m_harness->manipulator(); }
    TextBox *box() { return window().RichTextBox1; }
    // The line-tool buttons, made here when the page does not have them yet.
    QList<QPushButton *> lineTools();

    std::unique_ptr<FrameHarness> m_harness;
};

void TestTextLinesEditing::init()
{
    m_harness = std::make_unique<FrameHarness>();
    QVERIFY(m_harness->start());
    box()->setFocus();
}

void TestTextLinesEditing::cleanup()
{
    // The windows go first, whatever the checks below find.
    const int unanswered = m_harness->toolkit().unanswered();
    const qsizetype pending = m_harness->toolkit().pendingAnswers();
    m_harness.reset();
    QCOMPARE(unanswered, 0);
    QCOMPARE(pending, 0);
}

QList<QPushButton *> TestTextLinesEditing::lineTools()
{
    QList<QPushButton *> buttons;
    for (const char *name : {"Command13", "Command14", "Command15"}) {
        auto button = window().findChild<QPushButton *>(QLatin1String(name));
        if (!button) {
            button = new QPushButton(window().page(Manipulator::TextLines));
            button->setObjectName(QLatin1String(name));
        }
        buttons << button;
    }
    return buttons;
}

void TestTextLinesEditing::ctrlVPaste_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<qsizetype>("caret"); // -1: at the end
    QTest::addColumn<qsizetype>("selection");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("clipboardAfter");
    QTest::newRow("end, lone CR gets its LF") << "abc\r" << qsizetype(-1) << qsizetype(0) << "12abc\r\n" << "abc\r\n";
    QTest::newRow("end, no line break: as it is") << "abc" << qsizetype(-1) << qsizetype(0) << "12abc" << "abc";
    QTest::newRow("middle, lone CR kept") << "abc\r" << qsizetype(1) << qsizetype(0) << "1abc\r2" << "abc\r";
    QTest::newRow("middle, replaces selection") << "x" << qsizetype(0) << qsizetype(1) << "x2" << "x";
    QTest::newRow("LF lines become CR LF") << "a\nb" << qsizetype(-1) << qsizetype(0) << "12a\r\nb" << "a\r\nb";
}

void TestTextLinesEditing::ctrlVPaste()
{
    QFETCH(QString, clipboard);
    QFETCH(qsizetype, caret);
    QFETCH(qsizetype, selection);
    QFETCH(QString, result);
    QFETCH(QString, clipboardAfter);
    m_harness->userSetsText(QStringLiteral("12"));
    frame().menuFileSaveFile->setEnabled(false);
    const qsizetype at = caret < 0 ? 2 : caret;
    box()->select(at, selection);
    QApplication::clipboard()->setText(clipboard);
    QTest::keyClick(box(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(window().working().text(), result);
    QCOMPARE(box()->selectionStart(), at);
    QCOMPARE(QApplication::clipboard()->text(), clipboardAfter);
    QVERIFY(frame().menuFileSaveFile->isEnabled());
    QCOMPARE(window().working().undoCopy(), QStringLiteral("12"));
    QVERIFY(!frame().state().paste);
}

void TestTextLinesEditing::pasteTakesPlainTextOnly()
{
    auto data = new QMimeData;
    data->setHtml(QStringLiteral("<b>bold</b> <i>text</i>"));
    data->setText(QStringLiteral("bold text"));
    QApplication::clipboard()->setMimeData(data);
    QTest::keyClick(box(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(window().working().text(), QStringLiteral("bold text"));
}

void TestTextLinesEditing::tabInsertsTabAndKeepsFocus_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("start");
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<QString>("result");
    QTest::newRow("at the start") << "ab" << qsizetype(0) << qsizetype(0) << "\tab";
    QTest::newRow("at the end") << "ab" << qsizetype(2) << qsizetype(0) << "ab\t";
    QTest::newRow("selection kept") << "abcd" << qsizetype(1) << qsizetype(2) << "a\tbcd";
    QTest::newRow("empty text: nothing") << "" << qsizetype(0) << qsizetype(0) << "";
}

void TestTextLinesEditing::tabInsertsTabAndKeepsFocus()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, start);
    QFETCH(qsizetype, length);
    QFETCH(QString, result);
    m_harness->userSetsText(text);
    box()->setFocus();
    box()->select(start, length);
    QTest::keyClick(box(), Qt::Key_Tab);
    QCOMPARE(window().working().text(), result);
    if (text.isEmpty()) {
        QVERIFY(!box()->hasFocus());
    } else {
        QVERIFY(box()->hasFocus());
        QCOMPARE(box()->selectionStart(), start + 1);
        QCOMPARE(box()->selectionLength(), 0);
    }
}

void TestTextLinesEditing::ctrlFOpensSearch()
{
    // Even with the menu entry off, Ctrl+F in the box opens the window.
    frame().menuSearchFind->setEnabled(false);
    QTest::keyClick(box(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(frame().documents()->searchVisible());
}

void TestTextLinesEditing::lineToolsFollowText()
{
    const QList<QPushButton *> tools = lineTools();
    QTest::keyClicks(box(), QStringLiteral("ab"));
    for (QPushButton *tool : tools)
        QVERIFY2(tool->isEnabled(), qPrintable(tool->objectName()));
    QTest::keyClick(box(), Qt::Key_Backspace);
    QTest::keyClick(box(), Qt::Key_Backspace);
    for (QPushButton *tool : tools)
        QVERIFY2(!tool->isEnabled(), qPrintable(tool->objectName()));
}

void TestTextLinesEditing::focusDisablesUndoWhenNothingToUndo()
{
    m_harness->userSetsText(QStringLiteral("same"));
    window().working().setUndoCopy(QStringLiteral("same"));
    window().Command1->setEnabled(true);
    frame().menuEditUndo->setEnabled(true);
    window().Command1->setFocus();
    box()->setFocus();
    QVERIFY(!window().Command1->isEnabled());
    QVERIFY(!frame().menuEditUndo->isEnabled());
}

void TestTextLinesEditing::keyUpMirrorsIntoViewer()
{
    m_harness->userSetsText(QStringLiteral("ab"));
    frame().menuViewTextViewer->trigger();
    box()->setFocus();
    box()->setCaret(2);
    QTest::keyClicks(box(), QStringLiteral("c"));
    Form5 *viewer = frame().documents()->textViewer();
    QCOMPARE(viewer->RichTextBox1->plainText(), QStringLiteral("abc"));
}

QTEST_MAIN(TestTextLinesEditing)
#include "test_textlinesediting.moc"
