// SPDX-License-Identifier: GPL-3.0-or-later
#include "frameharness.h"

#include "gui/shell/textbox.h"
#include "gui/documents/textdocuments.h"
#include "gui/manipulator/manipulator.h"

#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

// Text files through the real File menu: byte-for-byte round trips, the
// question about unsaved changes, captions and menus, and failed saves.
class TestTextDocuments : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void roundTripIsByteForByte_data();
    void roundTripIsByteForByte();
    void openSetsCaptionMenusAndUndo();
    void openCancelledChangesNothing();
    void emptyFileKeepsPreviousText();
    void unreadableFileKeepsEverything_data();
    void unreadableFileKeepsEverything();
    void textFromNoFileSavedAsUtf8WithLf();
    void saveAsCancelledForgetsPath();
    void failedSaveKeepsOldFileAndState_data();
    void failedSaveKeepsOldFileAndState();
    void closeQuestion_data();
    void closeQuestion();
    void openWithUnsavedChanges_data();
    void openWithUnsavedChanges();
    void frameCloseRefusedOnCancel();
    void closingManipulatorHidesTextMenus();

private:
    MDIForm1 &frame() { return m_harness->frame(); }
    Manipulator &window() { return m_harness->manipulator(); }
    TextDocuments &documents() { return *frame().documents(); }
    QString writeFile(const QString &name, const QByteArray &bytes);
    static QByteArray readBytes(const QString &path);
    void typeText(const QString &text);

    std::unique_ptr<FrameHarness> m_harness;
    std::unique_ptr<QTemporaryDir> m_files;
};

void TestTextDocuments::init()
{
    m_harness = std::make_unique<FrameHarness>();
    QVERIFY(m_harness->start());
    m_files = std::make_unique<QTemporaryDir>();
}

void TestTextDocuments::cleanup()
{
    // The windows go first, whatever the checks below find.
    const int unanswered = m_harness->toolkit().unanswered();
    const qsizetype pending = m_harness->toolkit().pendingAnswers();
    m_harness.reset();
    QCOMPARE(unanswered, 0);
    QCOMPARE(pending, 0);
    m_files.reset();
}

QString TestTextDocuments::writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = m_files->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

QByteArray TestTextDocuments::readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void TestTextDocuments::typeText(const QString &text)
{
    window().RichTextBox1->setFocus();
    window().RichTextBox1->setCaret(window().RichTextBox1->characterCount());
    QTest::keyClicks(window().RichTextBox1, text);
}

void TestTextDocuments::roundTripIsByteForByte_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("workingText");
    QByteArray cp1252;
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        cp1252 += char(byte);
    QTest::newRow("UTF-8 without BOM") << QByteArray("caf\xC3\xA9\n\xF0\x9F\x98\x80\n") << QString::fromUtf8("caf\xC3\xA9\r\n\xF0\x9F\x98\x80\r\n");
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBFna\xC3\xAFve\r\n") << QString::fromUtf8("na\xC3\xAFve\r\n");
    QTest::newRow("Windows-1252, every byte 0x80-0xFF") << QByteArray("x\n" + cp1252 + "\n") << QString();
    QTest::newRow("LF only") << QByteArray("a\nb\n\nc") << QStringLiteral("a\r\nb\r\n\r\nc");
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringLiteral("a\r\nb\r\n");
    QTest::newRow("lone CR and LF inside lines") << QByteArray("a\rb\nc\r\nd\n") << QStringLiteral("a\rb\nc\r\nd\n");
    QTest::newRow("no final line break") << QByteArray("last line") << QStringLiteral("last line");
}

void TestTextDocuments::roundTripIsByteForByte()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, workingText);
    const QString source = writeFile(QStringLiteral("in.txt"), bytes);
    m_harness->toolkit().answerFile(source);
    frame().menuFileOpenFile->trigger();
    if (!workingText.isNull())
        QCOMPARE(window().working().text(), workingText);
    QCOMPARE(window().RichTextBox1->plainText(), window().working().text());

    // Save writes it back in place; Save As writes the same bytes elsewhere.
    frame().menuFileSaveFile->trigger();
    QCOMPARE(readBytes(source), bytes);
    const QString copy = m_files->filePath(QStringLiteral("copy.txt"));
    m_harness->toolkit().answerFile(copy);
    frame().menuFileSaveFileAs->trigger();
    QCOMPARE(readBytes(copy), bytes);
    QCOMPARE(window().windowTitle(), QStringLiteral("Manipulator - ") + copy);
}

void TestTextDocuments::openSetsCaptionMenusAndUndo()
{
    typeText(QStringLiteral("xy"));
    const QString path = writeFile(QStringLiteral("a.txt"), "one\ntwo\n");
    m_harness->toolkit().answer(Answer::No); // discard "xy"
    m_harness->toolkit().answerFile(path);
    frame().menuFileOpenFile->trigger();

    QCOMPARE(m_harness->toolkit().prompts().at(0).message.text, QStringLiteral("Would you like to save changes?"));
    const FileDialogRequest &dialog = m_harness->toolkit().prompts().at(1).file;
    QCOMPARE(dialog.title, QStringLiteral("Tabwright - Open text file to process"));
    QCOMPARE(dialog.filter, QStringLiteral("Text files (*.txt)|*.txt|All files (*.*)|*.*"));
    QVERIFY(!dialog.save);
    QCOMPARE(window().windowTitle(), QStringLiteral("Manipulator - ") + path);
    QCOMPARE(window().working().undoCopy(), QStringLiteral("one\r\ntwo\r\n"));
    QVERIFY(!frame().menuEditUndo->isEnabled());
    QVERIFY(!window().Command1->isEnabled());
    QVERIFY(!frame().menuFileSaveFile->isEnabled());
    QVERIFY(frame().menuFileSaveFileAs->isEnabled());
    QVERIFY(frame().menuFileCloseFile->isEnabled());
    QVERIFY(frame().menuFilePrint->isEnabled());
    QVERIFY(documents().documentOpen());
    QVERIFY(!frame().state().modified);
    QCOMPARE(frame().state().activeChildName, QStringLiteral("Manipulator"));
    QVERIFY(window().Text7->isVisible());

    // An edit makes it modified; Save clears that and the Undo entries.
    typeText(QStringLiteral("!"));
    QVERIFY(frame().state().modified);
    QVERIFY(frame().menuFileSaveFile->isEnabled());
    frame().menuFileSaveFile->trigger();
    QCOMPARE(readBytes(path), QByteArray("one\ntwo\n!"));
    QVERIFY(!frame().state().modified);
    QVERIFY(!frame().menuFileSaveFile->isEnabled());
    QVERIFY(!frame().menuEditUndo->isEnabled());
}

void TestTextDocuments::openCancelledChangesNothing()
{
    m_harness->userSetsText(QStringLiteral("kept"));
    frame().state().modified = false;
    window().SSTab1->setCurrentIndex(Manipulator::AddText);
    m_harness->toolkit().answerFile(QString());
    frame().menuFileOpenFile->trigger();
    QCOMPARE(window().working().text(), QStringLiteral("kept"));
    QCOMPARE(window().windowTitle(), QStringLiteral("Manipulator"));
    QVERIFY(!frame().menuFileCloseFile->isEnabled());
    QCOMPARE(window().SSTab1->currentIndex(), int(Manipulator::TextLines));
}

void TestTextDocuments::emptyFileKeepsPreviousText()
{
    const QString first = writeFile(QStringLiteral("first.txt"), "first\n");
    m_harness->toolkit().answerFile(first);
    frame().menuFileOpenFile->trigger();
    const QString empty = writeFile(QStringLiteral("empty.txt"), QByteArray());
    m_harness->toolkit().answerFile(empty);
    frame().menuFileOpenFile->trigger();
    QCOMPARE(window().working().text(), QStringLiteral("first\r\n"));
    QCOMPARE(window().windowTitle(), QStringLiteral("Manipulator - ") + empty);
}

void TestTextDocuments::unreadableFileKeepsEverything_data()
{
    QTest::addColumn<QByteArray>("bytes"); // empty: no such file
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << QByteArray() << "Path/file access error.";
    QTest::newRow("not a text file") << QByteArray("\xFF\xFEu\0t\0f\0", 8) << "";
}

void TestTextDocuments::unreadableFileKeepsEverything()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    m_harness->userSetsText(QStringLiteral("mine"));
    frame().state().modified = false;
    const QString path = bytes.isEmpty() ? m_files->filePath(QStringLiteral("gone.txt"))
                                         : writeFile(QStringLiteral("binary.txt"), bytes);
    m_harness->toolkit().answerFile(path);
    frame().menuFileOpenFile->trigger();

    const auto &prompt = m_harness->toolkit().lastPrompt().message;
    QCOMPARE(prompt.title, QStringLiteral("Tabwright - Sorry..."));
    if (!message.isEmpty())
        QCOMPARE(prompt.text, message);
    else
        QVERIFY2(prompt.text.contains(QStringLiteral("binary.txt")), qPrintable(prompt.text));
    QCOMPARE(window().working().text(), QStringLiteral("mine"));
    QCOMPARE(window().windowTitle(), QStringLiteral("Manipulator"));
    QVERIFY(documents().documentPath().isEmpty());
    QVERIFY(window().Text7->isVisible());
}

void TestTextDocuments::textFromNoFileSavedAsUtf8WithLf()
{
    m_harness->userSetsText(QString::fromUtf8("\xC3\xA9t\xC3\xA9\r\nline 2\r\n"));
    const QString path = m_files->filePath(QStringLiteral("new.txt"));
    m_harness->toolkit().answerFile(path);
    frame().menuFileSaveFile->trigger();
    const FileDialogRequest &dialog = m_harness->toolkit().lastPrompt().file;
    QCOMPARE(dialog.title, QStringLiteral("Tabwright - Save file"));
    QVERIFY(dialog.save);
    QCOMPARE(readBytes(path), QByteArray("\xC3\xA9t\xC3\xA9\nline 2\n"));
    QCOMPARE(window().windowTitle(), QStringLiteral("Manipulator - ") + path);
    QVERIFY(frame().menuFileCloseFile->isEnabled());
    QVERIFY(!frame().state().modified);

    // The next Save goes to the same file without asking.
    typeText(QStringLiteral("x"));
    frame().menuFileSaveFile->trigger();
    QCOMPARE(readBytes(path), QByteArray("\xC3\xA9t\xC3\xA9\nline 2\nx"));
}

void TestTextDocuments::saveAsCancelledForgetsPath()
{
    const QString path = writeFile(QStringLiteral("a.txt"), "abc");
    m_harness->toolkit().answerFile(path);
    frame().menuFileOpenFile->trigger();
    typeText(QStringLiteral("d"));
    m_harness->toolkit().answerFile(QString());
    frame().menuFileSaveFileAs->trigger();
    QCOMPARE(readBytes(path), QByteArray("abc"));
    QCOMPARE(m_harness->toolkit().lastPrompt().file.title, QStringLiteral("Tabwright - Save file as"));

    // The next Save asks for a path again.
    m_harness->toolkit().answerFile(QString());
    frame().menuFileSaveFile->trigger();
    QCOMPARE(m_harness->toolkit().lastPrompt().file.title, QStringLiteral("Tabwright - Save file"));
    QVERIFY(frame().state().modified);
}

void TestTextDocuments::failedSaveKeepsOldFileAndState_data()
{
    QTest::addColumn<bool>("readOnlyFolder"); // otherwise the folder's name is taken by a file
    QTest::newRow("read-only folder") << true;
    QTest::newRow("folder is a file") << false;
}

void TestTextDocuments::failedSaveKeepsOldFileAndState()
{
    QFETCH(bool, readOnlyFolder);
    const QString folder = m_files->filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/old.txt");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("old text\n");
    }
    m_harness->toolkit().answerFile(path);
    frame().menuFileOpenFile->trigger();
    typeText(QStringLiteral("new"));
    QString target = path;
    if (readOnlyFolder) {
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        if (QFileInfo(folder).isWritable()) {
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("running with rights that ignore folder permissions");
        }
    } else {
        // Save As into a "folder" that is a file can only fail.
        target = path + QStringLiteral("/other.txt");
    }
    auto restore = qScopeGuard([&] { QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });

    if (readOnlyFolder) {
        frame().menuFileSaveFile->trigger();
    } else {
        m_harness->toolkit().answerFile(target);
        frame().menuFileSaveFileAs->trigger();
    }
    const auto &prompt = m_harness->toolkit().lastPrompt().message;
    QCOMPARE(prompt.title, QStringLiteral("Tabwright - Sorry..."));
    QCOMPARE(prompt.icon, Icon::Information);
    QVERIFY2(prompt.text == QStringLiteral("Permission denied.") || prompt.text == QStringLiteral("Path/file access error."),
             qPrintable(prompt.text));
    QCOMPARE(readBytes(path), QByteArray("old text\n"));
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("old.txt")});
    // Nothing counts as saved: the document stays where it was, still modified.
    QVERIFY(frame().state().modified);
    QVERIFY(frame().menuFileSaveFile->isEnabled());
    QCOMPARE(window().windowTitle(), QStringLiteral("Manipulator - ") + path);
    QCOMPARE(documents().documentPath(), path);
    QCOMPARE(window().working().text(), QStringLiteral("old text\r\nnew"));
}

void TestTextDocuments::closeQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("fromFile");
    QTest::addColumn<QString>("savePath"); // answered to the save dialog; "" = Cancel
    QTest::addColumn<bool>("emptied");
    QTest::addColumn<QByteArray>("fileAfter");

    QTest::newRow("Yes saves to the file") << Answer::Yes << true << QString() << true << QByteArray("abc\nd");
    QTest::newRow("Yes without a path asks for one") << Answer::Yes << false << "saved.txt" << true << QByteArray("d");
    QTest::newRow("Yes, save dialog cancelled: kept") << Answer::Yes << false << "" << false << QByteArray();
    QTest::newRow("No discards") << Answer::No << true << QString() << true << QByteArray("abc\n");
    QTest::newRow("Cancel keeps everything") << Answer::Cancel << true << QString() << false << QByteArray("abc\n");
}

void TestTextDocuments::closeQuestion()
{
    QFETCH(int, answer);
    QFETCH(bool, fromFile);
    QFETCH(QString, savePath);
    QFETCH(bool, emptied);
    QFETCH(QByteArray, fileAfter);

    QString path;
    if (fromFile) {
        path = writeFile(QStringLiteral("doc.txt"), "abc\n");
        m_harness->toolkit().answerFile(path);
        frame().menuFileOpenFile->trigger();
    }
    typeText(QStringLiteral("d"));
    const QString before = window().working().text();
    const QString caption = window().windowTitle();
    m_harness->toolkit().answer(answer);
    if (!savePath.isNull()) {
        path = savePath.isEmpty() ? QString() : m_files->filePath(savePath);
        m_harness->toolkit().answerFile(path);
    }
    // Close File is offered once there is a file; a text from no file is
    // closed with its window.
    if (fromFile)
        frame().menuFileCloseFile->trigger();
    else
        window().parentWidget()->close();
    QCOMPARE(frame().manipulatorVisible(), fromFile || !emptied);

    QVERIFY(m_harness->toolkit().prompts().size() > (fromFile ? 1 : 0));
    const MessagePrompt &question = m_harness->toolkit().prompts().at(fromFile ? 1 : 0).message;
    QCOMPARE(question.text, QStringLiteral("Would you like to save changes?"));
    QCOMPARE(question.title, QStringLiteral("Tabwright - It's your choice..."));
    QCOMPARE(question.buttons, Buttons::YesNoCancel);
    QCOMPARE(question.icon, Icon::Question);
    QCOMPARE(question.defaultButton, Answer::Cancel);
    QCOMPARE(documents().closeRefused(), !emptied);
    if (emptied) {
        QVERIFY(window().working().isEmpty());
        QVERIFY(window().RichTextBox1->isEmpty());
        QCOMPARE(window().windowTitle(), QStringLiteral("Manipulator"));
        QVERIFY(!frame().state().modified);
        QVERIFY(!frame().menuFileSaveFile->isEnabled());
        QVERIFY(!frame().menuFileSaveFileAs->isEnabled());
        QVERIFY(!frame().menuFileCloseFile->isEnabled());
        QVERIFY(!frame().menuEditUndo->isEnabled());
        QVERIFY(!documents().documentOpen());
        QVERIFY(documents().documentPath().isEmpty());
    } else {
        QCOMPARE(window().working().text(), before);
        QCOMPARE(window().windowTitle(), caption);
        QVERIFY(frame().state().modified);
    }
    if (!path.isEmpty())
        QCOMPARE(readBytes(path), fileAfter);
}

void TestTextDocuments::openWithUnsavedChanges_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("opened");
    QTest::newRow("No: the new file replaces the text") << Answer::No << true;
    QTest::newRow("Cancel: the open is not offered") << Answer::Cancel << false;
}

void TestTextDocuments::openWithUnsavedChanges()
{
    QFETCH(int, answer);
    QFETCH(bool, opened);
    typeText(QStringLiteral("unsaved"));
    const QString path = writeFile(QStringLiteral("b.txt"), "other");
    m_harness->toolkit().answer(answer);
    if (opened)
        m_harness->toolkit().answerFile(path);
    frame().menuFileOpenFile->trigger();
    QCOMPARE(window().working().text(), opened ? QStringLiteral("other") : QStringLiteral("unsaved"));
    QCOMPARE(frame().state().modified, !opened);
}

void TestTextDocuments::frameCloseRefusedOnCancel()
{
    typeText(QStringLiteral("unsaved"));
    m_harness->toolkit().answer(Answer::Cancel);
    QVERIFY(!frame().close());
    QVERIFY(frame().manipulatorVisible());
    QCOMPARE(window().working().text(), QStringLiteral("unsaved"));

    // Escape in the text box closes the Manipulator as its close button does.
    m_harness->toolkit().answer(Answer::No);
    QTest::keyClick(window().RichTextBox1, Qt::Key_Escape);
    QVERIFY(!frame().manipulatorVisible());
    QVERIFY(window().working().isEmpty());
    QVERIFY(frame().state().activeChildName.isEmpty());
    QVERIFY(!window().isAncestorOf(QApplication::focusWidget()));
}

void TestTextDocuments::closingManipulatorHidesTextMenus()
{
    typeText(QStringLiteral("text"));
    frame().menuSearchFind->trigger();
    QVERIFY(documents().searchVisible());
    QVERIFY(frame().menuEditUndo->isEnabled());
    m_harness->toolkit().answer(Answer::No);
    frame().manipulator()->parentWidget()->close();

    QVERIFY(!frame().manipulatorVisible());
    QVERIFY(!documents().searchVisible());
    QVERIFY(!frame().menuEdit->menuAction()->isVisible());
    QVERIFY(!frame().menuSearch->menuAction()->isVisible());
    QVERIFY(!frame().menuEditUndo->isEnabled());
}

QTEST_MAIN(TestTextDocuments)
#include "test_textdocuments.moc"
