// SPDX-License-Identifier: GPL-3.0-or-later
// The windows on the working text, driven through the real frame: the File
// menu's text-file commands with their dialogs and the question about unsaved
// changes, the Edit menu, the Text Viewer, the Search window and the caret on
// the status bar. How bytes become the text, how the text keeps its undo copy
// and the paste, search and column rules are tested without windows, in
// tests/core/text; here only what the windows add.
#include "frameharness.h"

#include "core/text/longlines.h"
#include "core/text/textdocument.h"
#include "gui/documents/searchwindow.h"
#include "gui/shell/textbox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QtTest>

#include <functional>

class TestDocuments : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup() { h.reset(); } // fails the test if a queued dialog answer was not used
    // File menu
    void openShowsTheFileAndSavesItBack();
    void openThatKeepsTheText_data();
    void openThatKeepsTheText();
    void unsavedChangesQuestion_data();
    void unsavedChangesQuestion();
    void savingATextFromNoFile();
    void failedSaveKeepsOldFileAndState_data();
    void failedSaveKeepsOldFileAndState();
    void closingTheManipulatorTakesTheSearchWindow_data();
    void closingTheManipulatorTakesTheSearchWindow();
    // Edit menu
    void editMenuOffers_data();
    void editMenuOffers();
    void editCommandsWithBothWindowsShown();
    void editPaste_data();
    void editPaste();
    // Text Viewer
    void viewerShowsTheTextAndGivesTheCaretBack();
    void typingInViewerIsInManipulatorAtOnce();
    void editsInTheBoxReachTheText();
    void veryLongLineIsShownInPieces();
    // Search
    void searchWindowOpens();
    void find_data();
    void find();
    void findAllCountsAndColours_data();
    void findAllCountsAndColours();
    void searchWindowKeys();
    void statusBarShowsLineAndColumn_data();
    void statusBarShowsLineAndColumn();

private:
    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(h->path(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }
    static QByteArray readBytes(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
    // Chooses a menu entry as a user does: its menu opens first and sets the
    // states it shows; a disabled entry does nothing.
    void choose(const char *entry)
    {
        h->action(openMenuOf(entry))->trigger();
    }
    bool offered(const char *entry)
    {
        return h->action(openMenuOf(entry))->isEnabled();
    }
    QString openMenuOf(const char *entry)
    {
        const QString name = QString::fromLatin1(entry);
        h->openMenu(name.left(name.indexOf(QRegularExpression(QStringLiteral("[A-Z]")), 5)));
        return name;
    }
    void open(const QString &path)
    {
        h->toolkit().answerFile(path);
        choose("menuFileOpenFile");
    }
    QString caption() { return h->window(QStringLiteral("Manipulator"))->windowTitle(); }
    static QString captionFor(const QString &path) { return QStringLiteral("Manipulator - ") + path; }
    static void typeAtEnd(TextBox *box, const QString &keys)
    {
        box->setFocus();
        box->setCaret(box->characterCount());
        QTest::keyClicks(box, keys);
    }
    template <typename T>
    T *searchControl(const char *name)
    {
        return h->control<T>(QStringLiteral("SearchWindow"), QString::fromLatin1(name));
    }
    void searchFor(const QString &text, const QString &needle)
    {
        h->userSetsText(text);
        choose("menuSearchFind");
        searchControl<QLineEdit>("Text1")->setText(needle);
    }
    static bool coloured(TextBox *box, qsizetype bytePosition)
    {
        return box->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT,
                                  static_cast<unsigned long>(SearchWindow::matchIndicator()), long(bytePosition));
    }

    std::unique_ptr<FrameHarness> h;
};

void TestDocuments::init()
{
    QApplication::clipboard()->clear();
    h = std::make_unique<FrameHarness>();
    QVERIFY(h->start());
}

// ---- File menu -------------------------------------------------------------

void TestDocuments::openShowsTheFileAndSavesItBack()
{
    // Windows-1252 with LF line ends: the encoding and the line ends both
    // travel through the window and back.
    const QByteArray bytes("caf\xE9\nna\xEFve\n");
    const QString source = writeFile(QStringLiteral("in.txt"), bytes);
    h->control<QPlainTextEdit>(QStringLiteral("Manipulator"), QStringLiteral("Text7"))->setFocus();
    open(source);
    const FileDialogRequest &dialog = h->toolkit().lastPrompt().file;
    QCOMPARE(dialog.title, QStringLiteral("Tabwright - Open text file to process"));
    QCOMPARE(dialog.filter, QStringLiteral("Text files (*.txt)|*.txt|All files (*.*)|*.*"));
    QVERIFY(!dialog.save);
    QCOMPARE(caption(), captionFor(source));
    QCOMPARE(h->manipulatorBox()->plainText(), QString::fromUtf8("caf\xC3\xA9\r\nna\xC3\xAFve\r\n"));
    QCOMPARE(QApplication::focusWidget(), h->manipulatorBox());
    QVERIFY(h->control<QPlainTextEdit>(QStringLiteral("Manipulator"), QStringLiteral("Text7"))->isVisible());
    QVERIFY(offered("menuFilePrint"));
    QVERIFY(!offered("menuFileSaveFile"));

    // An edit taken back by hand still counts as a change: Save writes the
    // same bytes in place, Save As elsewhere, and the caption follows.
    typeAtEnd(h->manipulatorBox(), QStringLiteral("x"));
    QTest::keyClick(h->manipulatorBox(), Qt::Key_Backspace);
    choose("menuFileSaveFile");
    QCOMPARE(readBytes(source), bytes);
    const QString copy = h->path(QStringLiteral("copy.txt"));
    h->toolkit().answerFile(copy);
    choose("menuFileSaveFileAs");
    QCOMPARE(readBytes(copy), bytes);
    QCOMPARE(caption(), captionFor(copy));

    // A character Windows-1252 has no byte for: the file becomes UTF-8, and
    // the user is told.
    TextBox *box = h->manipulatorBox();
    box->replaceRange(box->characterCount(), 0, QString(QChar(0x101)));
    choose("menuFileSaveFile");
    QCOMPARE(h->toolkit().lastPrompt().message.text,
             QStringLiteral("The text holds characters that Windows-1252 cannot store, so %1 was saved as UTF-8.")
                 .arg(copy));
    QCOMPARE(readBytes(copy), QByteArray("caf\xC3\xA9\nna\xC3\xAFve\n\xC4\x81"));
}

void TestDocuments::openThatKeepsTheText_data()
{
    QTest::addColumn<QString>("chosen");     // "": Cancel in the dialog
    QTest::addColumn<QByteArray>("bytes");   // null: no such file
    QTest::addColumn<bool>("captionFollows");
    QTest::addColumn<QString>("message");    // null: none; "": the reader's words, naming the file

    QTest::newRow("Cancel") << "" << QByteArray() << false << QString();
    QTest::newRow("empty file") << "empty.txt" << QByteArray("") << true << QString();
    QTest::newRow("missing file") << "gone.txt" << QByteArray() << false << "Path/file access error.";
    QTest::newRow("not a text file") << "bad.txt" << QByteArray("\xFF\xFEu\0t\0f\0", 8) << false << "";
}

void TestDocuments::openThatKeepsTheText()
{
    QFETCH(QString, chosen);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, captionFollows);
    QFETCH(QString, message);
    const QString mine = writeFile(QStringLiteral("mine.txt"), "mine");
    open(mine);
    auto tabs = h->control<QTabWidget>(QStringLiteral("Manipulator"), QStringLiteral("SSTab1"));
    tabs->setCurrentIndex(2);
    const QString path = chosen.isEmpty() ? QString() : h->path(chosen);
    if (!bytes.isNull())
        writeFile(chosen, bytes);
    h->toolkit().clear();
    open(path);

    QCOMPARE(h->manipulatorBox()->plainText(), QStringLiteral("mine"));
    QCOMPARE(caption(), captionFor(captionFollows ? path : mine));
    QVERIFY(offered("menuFileCloseFile"));
    QVERIFY(!offered("menuFileSaveFile"));
    // The open went back to the text's own tab, and the counter it hid is back.
    QCOMPARE(tabs->currentIndex(), 0);
    QVERIFY(h->control<QPlainTextEdit>(QStringLiteral("Manipulator"), QStringLiteral("Text7"))->isVisible());
    QCOMPARE(h->toolkit().messageTexts().size(), message.isNull() ? 0 : 1);
    if (!message.isNull()) {
        const MessagePrompt &shown = h->toolkit().lastPrompt().message;
        QCOMPARE(shown.title, QStringLiteral("Tabwright - Sorry..."));
        if (message.isEmpty())
            QVERIFY2(shown.text.contains(chosen), qPrintable(shown.text));
        else
            QCOMPARE(shown.text, message);
    }
}

// The question before Open File, Close File and closing the Manipulator
// (Escape in its text), for a typed "d" after a file's "abc\n" or in no file.
void TestDocuments::unsavedChangesQuestion_data()
{
    QTest::addColumn<QString>("command"); // open, close, window
    QTest::addColumn<bool>("fromFile");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("savedTo");      // the save dialog's answer; null: no dialog, "": Cancel
    QTest::addColumn<bool>("goesOn");          // the command went on after the question
    QTest::addColumn<QByteArray>("fileAfter"); // the text's file afterwards

    const QString none;
    QTest::newRow("Close File, Yes: saved") << "close" << true << Answer::Yes << none << true << QByteArray("abc\nd");
    QTest::newRow("Close File, No: discarded") << "close" << true << Answer::No << none << true << QByteArray("abc\n");
    QTest::newRow("Close File, Cancel: kept") << "close" << true << Answer::Cancel << none << false
                                              << QByteArray("abc\n");
    QTest::newRow("window, Yes: asks for a path") << "window" << false << Answer::Yes << "saved.txt" << true
                                                  << QByteArray("d");
    QTest::newRow("window, save dialog cancelled: stays open") << "window" << false << Answer::Yes << "" << false
                                                               << QByteArray();
    QTest::newRow("Open, Yes: saved, opened") << "open" << true << Answer::Yes << none << true << QByteArray("abc\nd");
    QTest::newRow("Open, Yes: asks for a path") << "open" << false << Answer::Yes << "saved.txt" << true
                                                << QByteArray("d");
    QTest::newRow("Open, No: discarded, opened") << "open" << false << Answer::No << none << true << QByteArray();
    // Opening now would replace the very text the user chose to keep.
    QTest::newRow("Open, Cancel: no open dialog") << "open" << true << Answer::Cancel << none << false
                                                  << QByteArray("abc\n");
}

void TestDocuments::unsavedChangesQuestion()
{
    QFETCH(QString, command);
    QFETCH(bool, fromFile);
    QFETCH(int, answer);
    QFETCH(QString, savedTo);
    QFETCH(bool, goesOn);
    QFETCH(QByteArray, fileAfter);
    QString file;
    if (fromFile)
        open(file = writeFile(QStringLiteral("doc.txt"), "abc\n"));
    typeAtEnd(h->manipulatorBox(), QStringLiteral("d"));
    const QString before = h->manipulatorBox()->plainText();
    const QString captionBefore = caption();
    const QString other = writeFile(QStringLiteral("other.txt"), "other");

    h->toolkit().clear();
    h->toolkit().answer(answer);
    if (!savedTo.isNull())
        h->toolkit().answerFile(file = savedTo.isEmpty() ? QString() : h->path(savedTo));
    if (command == QLatin1String("open")) {
        if (goesOn)
            h->toolkit().answerFile(other);
        choose("menuFileOpenFile");
    } else if (command == QLatin1String("close")) {
        choose("menuFileCloseFile");
    } else {
        QTest::keyClick(h->manipulatorBox(), Qt::Key_Escape);
    }

    const MessagePrompt &asked = h->toolkit().prompts().first().message;
    QCOMPARE(asked.text, QStringLiteral("Would you like to save changes?"));
    QCOMPARE(asked.title, QStringLiteral("Tabwright - It's your choice..."));
    QCOMPARE(asked.buttons, Buttons::YesNoCancel);
    QCOMPARE(asked.icon, Icon::Question);
    QCOMPARE(asked.defaultButton, Answer::Cancel);
    if (!savedTo.isNull())
        QCOMPARE(h->toolkit().prompts().at(1).file.title, QStringLiteral("Tabwright - Save file"));
    if (!file.isEmpty())
        QCOMPARE(readBytes(file), fileAfter);

    QCOMPARE(h->isShown(QStringLiteral("Manipulator")), command != QLatin1String("window") || !goesOn);
    if (!goesOn) {
        QCOMPARE(h->manipulatorBox()->plainText(), before);
        QCOMPARE(caption(), captionBefore);
        QVERIFY(offered("menuFileSaveFile"));
    } else if (command == QLatin1String("open")) {
        QCOMPARE(h->manipulatorBox()->plainText(), QStringLiteral("other"));
        QCOMPARE(caption(), captionFor(other));
    } else {
        QVERIFY(h->manipulatorBox()->isEmpty());
        QCOMPARE(caption(), QStringLiteral("Manipulator"));
        // Keys must not go on reaching a text that can no longer be seen.
        if (command == QLatin1String("window"))
            QVERIFY(!h->window(QStringLiteral("Manipulator"))->isAncestorOf(QApplication::focusWidget()));
    }
}

void TestDocuments::savingATextFromNoFile()
{
    h->userSetsText(QString::fromUtf8("\xC3\xA9t\xC3\xA9\r\n"));
    const QString path = h->path(QStringLiteral("a.txt"));
    h->toolkit().answerFile(path);
    choose("menuFileSaveFile");
    QCOMPARE(h->toolkit().lastPrompt().file.title, QStringLiteral("Tabwright - Save file"));
    QVERIFY(h->toolkit().lastPrompt().file.save);
    QCOMPARE(readBytes(path), QByteArray("\xC3\xA9t\xC3\xA9\n"));
    QCOMPARE(caption(), captionFor(path));
    QVERIFY(offered("menuFileCloseFile"));

    // The next Save goes to the same file without asking.
    const qsizetype asked = h->toolkit().prompts().size();
    typeAtEnd(h->manipulatorBox(), QStringLiteral("x"));
    choose("menuFileSaveFile");
    QCOMPARE(h->toolkit().prompts().size(), asked);
    QCOMPARE(readBytes(path), QByteArray("\xC3\xA9t\xC3\xA9\nx"));

    // Save As cancelled writes nothing, and the caption goes on showing the
    // file; but the next Save asks where to, and the caption follows.
    typeAtEnd(h->manipulatorBox(), QStringLiteral("y"));
    h->toolkit().answerFile(QString());
    choose("menuFileSaveFileAs");
    QCOMPARE(h->toolkit().lastPrompt().file.title, QStringLiteral("Tabwright - Save file as"));
    QVERIFY(h->toolkit().lastPrompt().file.save);
    QCOMPARE(readBytes(path), QByteArray("\xC3\xA9t\xC3\xA9\nx"));
    QCOMPARE(caption(), captionFor(path));
    const QString elsewhere = h->path(QStringLiteral("b.txt"));
    h->toolkit().answerFile(elsewhere);
    choose("menuFileSaveFile");
    QCOMPARE(h->toolkit().lastPrompt().file.title, QStringLiteral("Tabwright - Save file"));
    QCOMPARE(readBytes(elsewhere), QByteArray("\xC3\xA9t\xC3\xA9\nxy"));
    QCOMPARE(caption(), captionFor(elsewhere));
}

void TestDocuments::failedSaveKeepsOldFileAndState_data()
{
    QTest::addColumn<bool>("fromFile"); // Save As of doc.txt's text; otherwise Save of a text from no file
    QTest::newRow("Save File, text from no file") << false;
    QTest::newRow("Save File As, text from a file") << true;
}

void TestDocuments::failedSaveKeepsOldFileAndState()
{
    QFETCH(bool, fromFile);
    const QString doc = writeFile(QStringLiteral("doc.txt"), "old text\n");
    if (fromFile)
        open(doc);
    typeAtEnd(h->manipulatorBox(), QStringLiteral("new"));
    const QString text = h->manipulatorBox()->plainText();
    const QString captionBefore = caption();
    // No file can be made under a regular file, whoever runs the test.
    h->toolkit().answerFile(doc + QStringLiteral("/other.txt"));
    choose(fromFile ? "menuFileSaveFileAs" : "menuFileSaveFile");

    const MessagePrompt &shown = h->toolkit().lastPrompt().message;
    QCOMPARE(shown.title, QStringLiteral("Tabwright - Sorry..."));
    QCOMPARE(shown.icon, Icon::Information);
    QCOMPARE(shown.text, QStringLiteral("Path/file access error."));
    QCOMPARE(readBytes(doc), QByteArray("old text\n"));
    // Nothing counts as saved: the text stays where it was, still modified.
    QCOMPARE(h->manipulatorBox()->plainText(), text);
    QCOMPARE(caption(), captionBefore);
    QCOMPARE(h->document().path(), fromFile ? doc : QString());
    QVERIFY(offered("menuFileSaveFile"));
}

void TestDocuments::closingTheManipulatorTakesTheSearchWindow_data()
{
    QTest::addColumn<bool>("viewerShown");
    QTest::newRow("Manipulator alone") << false;
    QTest::newRow("Text Viewer still shown") << true;
}

void TestDocuments::closingTheManipulatorTakesTheSearchWindow()
{
    QFETCH(bool, viewerShown);
    h->userSetsText(QStringLiteral("text"));
    if (viewerShown)
        choose("menuViewTextViewer");
    choose("menuSearchFind");
    QVERIFY(h->isShown(QStringLiteral("SearchWindow")));
    h->toolkit().answer(Answer::No);
    h->frame().closeChild(h->window(QStringLiteral("Manipulator")));

    QVERIFY(!h->isShown(QStringLiteral("Manipulator")));
    // The Text Viewer still shows the (now empty) text: the text menus and
    // the Search window stay with it.
    QCOMPARE(h->isShown(QStringLiteral("SearchWindow")), viewerShown);
    QCOMPARE(h->menuShown(QStringLiteral("menuEdit")), viewerShown);
    QCOMPARE(h->menuShown(QStringLiteral("menuSearch")), viewerShown);
    QVERIFY(!h->action(QStringLiteral("menuEditUndo"))->isEnabled());
}

// ---- Edit menu -------------------------------------------------------------

void TestDocuments::editMenuOffers_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<bool>("selectionCommands"); // Cut, Copy, Select All, Delete All
    QTest::addColumn<bool>("paste");

    QTest::newRow("empty text") << "" << false << true;
    QTest::newRow("text on the Text/Lines tab") << "text" << true << true;
    QTest::newRow("text on another tab") << "tab" << false << false;
    QTest::newRow("Text Viewer alone, with text") << "viewer" << true << true;
    QTest::newRow("Text Viewer alone, empty") << "viewer empty" << false << true;
}

void TestDocuments::editMenuOffers()
{
    QFETCH(QString, situation);
    QFETCH(bool, selectionCommands);
    if (situation == QLatin1String("text") || situation == QLatin1String("tab"))
        h->userSetsText(QStringLiteral("text"));
    if (situation == QLatin1String("tab"))
        h->control<QTabWidget>(QStringLiteral("Manipulator"), QStringLiteral("SSTab1"))->setCurrentIndex(3);
    if (situation.startsWith(QLatin1String("viewer"))) {
        choose("menuViewTextViewer");
        h->frame().closeChild(h->window(QStringLiteral("Manipulator")));
        if (situation == QLatin1String("viewer"))
            typeAtEnd(h->viewerBox(), QStringLiteral("text"));
    }
    for (const char *entry : {"menuEditCut", "menuEditCopy", "menuEditSelectAll", "menuEditDeleteAll"})
        QVERIFY2(offered(entry) == selectionCommands, entry);
    QTEST(offered("menuEditPaste"), "paste");
}

void TestDocuments::editCommandsWithBothWindowsShown()
{
    QClipboard *clipboard = QApplication::clipboard();
    h->userSetsText(QStringLiteral("abcdef"));
    h->manipulatorBox()->select(1, 2);
    choose("menuEditCopy");
    QCOMPARE(clipboard->text(), QStringLiteral("bc"));
    choose("menuEditCut");
    QCOMPARE(h->manipulatorBox()->plainText(), QStringLiteral("adef"));
    QCOMPARE(clipboard->text(), QStringLiteral("bc"));

    // Both shown: both selections go, and the viewer's is what the
    // clipboard keeps.
    choose("menuViewTextViewer");
    h->manipulatorBox()->select(0, 1);
    h->viewerBox()->select(2, 2);
    choose("menuEditCut");
    QCOMPARE(h->viewerBox()->plainText(), QStringLiteral("d"));
    QCOMPARE(clipboard->text(), QStringLiteral("ef"));

    // Select All works in the window activated last.
    h->userSetsText(QStringLiteral("all"));
    choose("menuEditSelectAll");
    QCOMPARE(h->viewerBox()->selectionLength(), 3);
    QCOMPARE(h->manipulatorBox()->selectionLength(), 0);
    QCOMPARE(QApplication::focusWidget(), h->viewerBox());

    // Delete All is an edit like any other: the Undo button brings it back.
    choose("menuEditDeleteAll");
    QVERIFY(h->viewerBox()->isEmpty());
    h->control<QPushButton>(QStringLiteral("Manipulator"), QStringLiteral("Command1"))->click();
    QCOMPARE(h->viewerBox()->plainText(), QStringLiteral("all"));
}

void TestDocuments::editPaste_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<qsizetype>("caret"); // -1: at the end
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("clipboardAfter");

    QTest::newRow("at the end, no final line break") << "xyz" << qsizetype(-1) << "ab\r\ncdxyz" << "xyz\r\n";
    QTest::newRow("at the end, lone CR") << "xyz\r" << qsizetype(-1) << "ab\r\ncdxyz\r\n" << "xyz\r\n";
    QTest::newRow("in the middle: as it is") << "xyz\r" << qsizetype(1) << "axyz\rb\r\ncd" << "xyz\r";
}

void TestDocuments::editPaste()
{
    QFETCH(QString, clipboard);
    QFETCH(qsizetype, caret);
    h->userSetsText(QStringLiteral("ab\r\ncd"));
    const qsizetype at = caret < 0 ? h->manipulatorBox()->characterCount() : caret;
    h->manipulatorBox()->setCaret(at);
    QApplication::clipboard()->setText(clipboard);
    choose("menuEditPaste");
    QTEST(h->manipulatorBox()->plainText(), "result");
    QCOMPARE(h->manipulatorBox()->selectionStart(), at);
    QTEST(QApplication::clipboard()->text(), "clipboardAfter");
    // One edit: Undo goes back to the text before the paste.
    choose("menuEditUndo");
    QCOMPARE(h->manipulatorBox()->plainText(), QStringLiteral("ab\r\ncd"));
}

// ---- Text Viewer -----------------------------------------------------------

void TestDocuments::viewerShowsTheTextAndGivesTheCaretBack()
{
    h->userSetsText(QStringLiteral("one\r\ntwo"));
    h->manipulatorBox()->setCaret(5);
    choose("menuViewTextViewer");
    QWidget *viewer = h->window(QStringLiteral("Form5"));
    QVERIFY(h->isShown(QStringLiteral("Form5")));
    QVERIFY(viewer->parentWidget()->isMaximized());
    QVERIFY(h->isShown(QStringLiteral("Manipulator")));
    QCOMPARE(h->viewerBox()->plainText(), QStringLiteral("one\r\ntwo"));
    QCOMPARE(h->viewerBox()->selectionStart(), 5);
    QCOMPARE(viewer->windowTitle(), QStringLiteral("Text Viewer"));
    QCOMPARE(QApplication::focusWidget(), h->viewerBox());
    QVERIFY(!offered("menuViewTextViewer"));
    QVERIFY(offered("menuViewTabwrite"));

    // Escape goes back to the Manipulator, with the viewer's caret.
    h->viewerBox()->setCaret(2);
    QTest::keyClick(h->viewerBox(), Qt::Key_Escape);
    QVERIFY(!h->isShown(QStringLiteral("Form5")));
    QVERIFY(h->menuShown(QStringLiteral("menuEdit")));
    QCOMPARE(h->manipulatorBox()->selectionStart(), 2);
    QCOMPARE(QApplication::focusWidget(), h->manipulatorBox());

    // Once the text has a file, the viewer's caption is its path; closing
    // the viewer gives the caret back too.
    const QString path = h->path(QStringLiteral("a.txt"));
    h->toolkit().answerFile(path);
    choose("menuFileSaveFile");
    choose("menuViewTextViewer");
    QCOMPARE(viewer->windowTitle(), path);
    h->viewerBox()->setCaret(1);
    h->frame().closeChild(viewer);
    QVERIFY(!h->isShown(QStringLiteral("Form5")));
    QCOMPARE(h->manipulatorBox()->selectionStart(), 1);
    QCOMPARE(QApplication::focusWidget(), h->manipulatorBox());
}

void TestDocuments::typingInViewerIsInManipulatorAtOnce()
{
    open(writeFile(QStringLiteral("a.txt"), "abc"));
    choose("menuViewTextViewer");
    // A key that changes nothing marks nothing.
    QTest::keyClick(h->viewerBox(), Qt::Key_Left);
    QVERIFY(!offered("menuFileSaveFile"));
    typeAtEnd(h->viewerBox(), QStringLiteral("de"));
    QCOMPARE(h->manipulatorBox()->plainText(), QStringLiteral("abcde"));
    QVERIFY(offered("menuFileSaveFile"));

    // Undo takes back the last key in both, and the viewer keeps the focus.
    choose("menuEditUndo");
    QCOMPARE(h->viewerBox()->plainText(), QStringLiteral("abcd"));
    QCOMPARE(h->manipulatorBox()->plainText(), QStringLiteral("abcd"));
    QVERIFY(!offered("menuEditUndo"));
    QCOMPARE(QApplication::focusWidget(), h->viewerBox());

    // Ctrl+V there pastes with the Edit menu's rules.
    h->viewerBox()->setCaret(4);
    QApplication::clipboard()->setText(QStringLiteral("x\ny"));
    QTest::keyClick(h->viewerBox(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(h->manipulatorBox()->plainText(), QStringLiteral("abcdx\r\ny"));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("x\r\ny\r\n"));
}

void TestDocuments::editsInTheBoxReachTheText()
{
    // The text learns each key, paste and cut as the change it made, not by
    // reading the box again: after each, it must be the box's text, and the
    // status bar must follow changes made before the stretch it counted.
    h->userSetsText(QString::fromUtf8("caf\xC3\xA9 one\r\n\xF0\x9F\x98\x80 two\r\nthree"));
    TextBox *box = h->manipulatorBox();
    auto caret = h->frame().findChild<QLabel *>(QStringLiteral("caretPosition"));
    auto lineCount = h->frame().findChild<QLabel *>(QStringLiteral("lineCount"));
    QVERIFY(caret && lineCount);
    // Counted once; from then on the count follows the changes.
    QTRY_COMPARE(lineCount->text(), QStringLiteral("3 lines"));
    box->setFocus();
    const QList<std::function<void()>> actions{
        [&] { typeAtEnd(box, QStringLiteral("!")); },
        [&] { QTest::keyClick(box, Qt::Key_Return); },
        [&] {
            box->setCaret(0);
            QTest::keyClick(box, Qt::Key_Return);
        },
        [&] {
            box->setCaret(5);
            QTest::keyClick(box, Qt::Key_Backspace);
            // A letter of two UTF-8 bytes, as a keyboard layout types it.
            QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8("\xC3\xA8"));
            QApplication::sendEvent(box, &key);
        },
        [&] {
            QApplication::clipboard()->setText(QStringLiteral("p\nq"));
            box->setCaret(12);
            QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        },
        [&] {
            box->select(3, 9);
            QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
        },
    };
    QString before;
    for (const auto &action : actions) {
        before = box->plainText();
        action();
        QCOMPARE(h->document().text(), box->plainText());
    }
    box->setCaret(box->characterCount());
    const qsizetype lines = box->plainText().count(QStringLiteral("\r\n")) + 1;
    QTRY_COMPARE(caret->text(), QStringLiteral("Line %1, Column 1").arg(lines));
    QTRY_COMPARE(lineCount->text(), QStringLiteral("%1 lines").arg(lines));
    // Undo takes back the cut, the last of them.
    choose("menuEditUndo");
    QCOMPARE(box->plainText(), before);
}

void TestDocuments::veryLongLineIsShownInPieces()
{
    // A line the box cannot lay out quickly is shown in pieces, and the box
    // takes no edits while it is; the text, its line count and the saved
    // file stay whole. Once the line is gone the box is as before.
    const QByteArray bytes = QByteArray(tw::longLineLength + 1500, 'x') + "\r\nend";
    open(writeFile(QStringLiteral("long.txt"), bytes));
    TextBox *box = h->manipulatorBox();
    auto note = h->frame().findChild<QLabel *>(QStringLiteral("piecesNote"));
    QVERIFY(note && !note->isHidden());
    QVERIFY(box->isReadOnly());
    QCOMPARE(box->plainText().count(u'\n'), tw::longLineLength / tw::longLinePiece + 2);
    QCOMPARE(box->plainText().remove(u'\n'), QString(h->document().text()).remove(u'\n'));
    QTRY_COMPARE(h->frame().findChild<QLabel *>(QStringLiteral("lineCount"))->text(), QStringLiteral("2 lines"));

    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("typed"));
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(!h->document().isModified());
    const QString copy = h->path(QStringLiteral("copy.txt"));
    h->toolkit().answerFile(copy);
    choose("menuFileSaveFileAs");
    QCOMPARE(readBytes(copy), bytes);

    h->control<QLineEdit>(QStringLiteral("Manipulator"), QStringLiteral("MaskEdBox17"))->setText(QStringLiteral("80"));
    h->control<QPushButton>(QStringLiteral("Manipulator"), QStringLiteral("Command14"))->click();
    QCOMPARE(box->plainText(), h->document().text());
    QVERIFY(note->isHidden());
    QVERIFY(!box->isReadOnly());
}

// ---- Search ----------------------------------------------------------------

void TestDocuments::searchWindowOpens()
{
    // The window opens near the frame's right edge, ready to type into,
    // with Ignore case checked.
    h->userSetsText(QStringLiteral("x"));
    choose("menuSearchFind");
    QWidget *search = h->window(QStringLiteral("SearchWindow"));
    QVERIFY(h->isShown(QStringLiteral("SearchWindow")));
    QCOMPARE(search->windowTitle(), QStringLiteral("Tabwright - Search"));
    QVERIFY(searchControl<QCheckBox>("Check1")->isChecked());
    QVERIFY(!searchControl<QCheckBox>("Check2")->isChecked());
    QVERIFY(!searchControl<QCheckBox>("Check3")->isEnabled());
    QCOMPARE(QApplication::focusWidget(), searchControl<QLineEdit>("Text1"));
    const int areaWidth = h->frame().findChild<QMdiArea *>(QStringLiteral("mdiArea"))->viewport()->width();
    const QRect placed = search->parentWidget()->geometry();
    QVERIFY(placed.right() < areaWidth);
    QVERIFY(placed.left() > areaWidth / 3);
}

void TestDocuments::find_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<qsizetype>("selected"); // -1: not found

    // The emoji is one character: the selection counts characters.
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80 CAT");
    QTest::newRow("ignore case") << emoji << true << false << qsizetype(2);
    QTest::newRow("exact case") << emoji << false << false << qsizetype(-1);
    QTest::newRow("whole word, digit after") << "cat9" << true << true << qsizetype(0);
    QTest::newRow("whole word, letter after") << "cats" << true << true << qsizetype(-1);
    QTest::newRow("whole word skips a part word") << "cats cat" << true << true << qsizetype(5);
}

void TestDocuments::find()
{
    QFETCH(QString, text);
    QFETCH(bool, ignoreCase);
    QFETCH(bool, wholeWord);
    QFETCH(qsizetype, selected);
    searchFor(text, QStringLiteral("cat"));
    searchControl<QCheckBox>("Check1")->setChecked(ignoreCase);
    searchControl<QCheckBox>("Check2")->setChecked(wholeWord);
    searchControl<QPushButton>("Command1")->click();
    if (selected < 0) {
        QCOMPARE(h->toolkit().messageTexts(), QStringList{QStringLiteral("No occurance of cat found.")});
    } else {
        QVERIFY(h->toolkit().messageTexts().isEmpty());
        QCOMPARE(h->manipulatorBox()->selectionStart(), selected);
        QCOMPARE(h->manipulatorBox()->selectedText().toLower(), QStringLiteral("cat"));
    }
    QCOMPARE(searchControl<QPushButton>("Command2")->isEnabled(), selected >= 0);
}

void TestDocuments::findAllCountsAndColours_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QList<int>>("colouredBytes");

    QTest::newRow("overlapping") << "xaaa" << "aa" << "2 occurances of aa found." << QList<int>{1, 2, 3};
    QTest::newRow("one, after two-byte letters")
        << QString::fromUtf8("\xC3\xA9t\xC3\xA9 a") << "a" << "1 occurance of a found." << QList<int>{6};
    QTest::newRow("none") << "abc" << "z" << "No occurance of z was found." << QList<int>{};
}

void TestDocuments::findAllCountsAndColours()
{
    QFETCH(QString, text);
    QFETCH(QString, needle);
    QFETCH(QString, message);
    QFETCH(QList<int>, colouredBytes);
    searchFor(text, needle);
    TextBox *box = h->manipulatorBox();
    box->setCaret(1);
    searchControl<QPushButton>("Command3")->click();
    QCOMPARE(h->toolkit().messageTexts(), QStringList{message});
    const qsizetype length = box->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    for (qsizetype byte = 0; byte < length; ++byte)
        QVERIFY2(coloured(box, byte) == colouredBytes.contains(int(byte)), qPrintable(QString::number(byte)));
    QCOMPARE(box->selectionStart(), 1);
    auto reset = searchControl<QCheckBox>("Check3");
    QCOMPARE(reset->isEnabled(), !colouredBytes.isEmpty());

    // With Reset color checked, the next search first takes every colour off.
    if (colouredBytes.isEmpty())
        return;
    h->toolkit().clear();
    reset->setChecked(true);
    searchControl<QPushButton>("Command1")->click();
    for (qsizetype byte = 0; byte < length; ++byte)
        QVERIFY2(!coloured(box, byte), qPrintable(QString::number(byte)));
    QVERIFY(!reset->isChecked());
    QVERIFY(!reset->isEnabled());
}

void TestDocuments::searchWindowKeys()
{
    searchFor(QStringLiteral("abc"), QStringLiteral("b"));
    auto lookFor = searchControl<QLineEdit>("Text1");
    auto findAgain = searchControl<QPushButton>("Command2");
    searchControl<QPushButton>("Command1")->click();
    QVERIFY(findAgain->isEnabled());
    // Typing a new text starts again with Find, which Enter presses.
    QTest::keyClicks(lookFor, QStringLiteral("c"));
    QVERIFY(!findAgain->isEnabled());
    lookFor->setText(QStringLiteral("c"));
    QTest::keyClick(lookFor, Qt::Key_Return);
    QCOMPARE(h->manipulatorBox()->selectionStart(), 2);
    // Find Again goes on to the end.
    findAgain->click();
    QCOMPARE(h->toolkit().messageTexts(), QStringList{QStringLiteral("No more occurances of c found.")});
    QVERIFY(!findAgain->isEnabled());

    // Coming back to the box selects what it holds, ready to be typed over.
    QVERIFY(!lookFor->hasSelectedText());
    lookFor->setFocus();
    QTRY_COMPARE(lookFor->selectedText(), QStringLiteral("c"));
    QTest::keyClick(lookFor, Qt::Key_Escape);
    QVERIFY(!h->isShown(QStringLiteral("SearchWindow")));
}

void TestDocuments::statusBarShowsLineAndColumn_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("caret");
    QTest::addColumn<QString>("shown");

    QTest::newRow("tab and non-BMP character")
        << QString::fromUtf8("x\r\n\t\xF0\x9F\x98\x80yz") << qsizetype(6) << "Line 2, Column 4";
    QTest::newRow("lone LF is one column") << "a\nb" << qsizetype(3) << "Line 1, Column 4";
}

void TestDocuments::statusBarShowsLineAndColumn()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, caret);
    QFETCH(QString, shown);
    h->userSetsText(text);
    h->manipulatorBox()->setCaret(caret);
    auto label = h->frame().findChild<QLabel *>(QStringLiteral("caretPosition"));
    QVERIFY(label);
    QTRY_COMPARE(label->text(), shown);
    // Again once the lines are counted, which lets the box's own line index
    // stand in for counting from the start.
    const qsizetype lines = text.count(QStringLiteral("\r\n")) + 1;
    QTRY_COMPARE(h->frame().findChild<QLabel *>(QStringLiteral("lineCount"))->text(),
                 lines == 1 ? QStringLiteral("1 line") : QStringLiteral("%1 lines").arg(lines));
    h->manipulatorBox()->setCaret(0);
    QTRY_COMPARE(label->text(), QStringLiteral("Line 1, Column 1"));
    h->manipulatorBox()->setCaret(caret);
    QTRY_COMPARE(label->text(), shown);

    // The Text Viewer's own caret while it is the active window.
    choose("menuViewTextViewer");
    h->viewerBox()->setCaret(0);
    QTRY_COMPARE(label->text(), QStringLiteral("Line 1, Column 1"));
}

QTEST_MAIN(TestDocuments)
#include "test_documents.moc"
