// SPDX-License-Identifier: GPL-3.0-or-later
#include "frameharness.h"

#include "gui/shell/textbox.h"
#include "gui/manipulator/afterprocessboxes.h"
#include "gui/manipulator/manipulator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

// The processing frame every Process button runs, Undo, the change
// bookkeeping and the shared message routines, through the real window.
class TestProcessingFrame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void emptyTextIsNothingToProcess();
    void missingRequiredFieldRefused();
    void linesSurviveARun_data();
    void linesSurviveARun();
    void progressBarOnlyForSeveralLines_data();
    void progressBarOnlyForSeveralLines();
    void runStateWhileRunning();
    void undoRestoresTextBeforeRun();
    void editAfterRunMakesPreRunTextTheUndoCopy();
    void editsKeepOneLevelOfUndo();
    void afterProcessBoxes_data();
    void afterProcessBoxes();
    void afterProcessClickRules();
    void secondRunDuringRunRefused();
    void handleErrorMessages_data();
    void handleErrorMessages();
    void characterCounter_data();
    void characterCounter();

private:
    Manipulator &window() { return m_harness->manipulator(); }
    MDIForm1 &frame() { return m_harness->frame(); }
    // Runs the Move Text tab's frame with an operation that upper-cases.
    bool runUpperCase(AfterProcessBoxes *after = nullptr);

    std::unique_ptr<FrameHarness> m_harness;
};

namespace {
void upperCase(QString &line)
{
    line = line.toUpper();
}
} // namespace

void TestProcessingFrame::init()
{
    m_harness = std::make_unique<FrameHarness>();
    QVERIFY(m_harness->start());
}

void TestProcessingFrame::cleanup()
{
    QCOMPARE(m_harness->toolkit().unanswered(), 0);
    m_harness.reset();
}

bool TestProcessingFrame::runUpperCase(AfterProcessBoxes *after)
{
    Manipulator::LineRun run;
    run.operation = upperCase;
    run.after = after ? after : window().afterProcessBoxes(Manipulator::MoveText);
    return window().runProcessingFrame(run);
}

void TestProcessingFrame::emptyTextIsNothingToProcess()
{
    m_harness->userSetsText(QStringLiteral("before"));
    m_harness->userSetsText(QString());
    const QString undoCopy = window().working().undoCopy();
    window().SSTab1->setCurrentIndex(Manipulator::MoveText);

    QVERIFY(!runUpperCase());
    QCOMPARE(m_harness->toolkit().messageTexts(),
             QStringList{QStringLiteral("There is nothing to process.  Please open a file by selecting File "
                                        "menu/Open, or enter text into the text box on the Text/Lines tab.")});
    QCOMPARE(m_harness->toolkit().lastPrompt().message.title, QStringLiteral("Tabwright"));
    QCOMPARE(window().working().undoCopy(), undoCopy);
    QCOMPARE(window().SSTab1->currentIndex(), int(Manipulator::TextLines));
}

void TestProcessingFrame::missingRequiredFieldRefused()
{
    m_harness->userSetsText(QStringLiteral("abc"));
    auto field = new QComboBox(window().page(Manipulator::MoveText));
    field->setEditable(true);
    window().SSTab1->setCurrentIndex(Manipulator::MoveText);
    const QString undoCopy = window().working().undoCopy();

    Manipulator::LineRun run;
    run.requiredField = field;
    run.missingFieldMessage = QStringLiteral("Please choose a move type.");
    run.operation = upperCase;
    QVERIFY(!window().runProcessingFrame(run));
    QCOMPARE(m_harness->toolkit().messageTexts(), QStringList{run.missingFieldMessage});
    QCOMPARE(QApplication::focusWidget(), field);
    QCOMPARE(window().working().text(), QStringLiteral("abc"));
    QCOMPARE(window().working().undoCopy(), undoCopy);
}

void TestProcessingFrame::linesSurviveARun_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("trailing CR LF") << "ab\r\ncd\r\n" << "AB\r\nCD\r\n";
    QTest::newRow("empty lines in the middle") << "a\r\n\r\n\r\nb" << "A\r\n\r\n\r\nB";
    QTest::newRow("lone LF and CR stay inside their line") << "a\nb\rc\r\nd" << "A\nB\rC\r\nD";
    QTest::newRow("only line breaks") << "\r\n\r\n" << "\r\n\r\n";
}

void TestProcessingFrame::linesSurviveARun()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    m_harness->userSetsText(text);
    QVERIFY(runUpperCase());
    QCOMPARE(window().working().text(), expected);
    QCOMPARE(window().RichTextBox1->plainText(), expected);
}

void TestProcessingFrame::progressBarOnlyForSeveralLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<int>("maximum");
    QTest::newRow("one line") << "abc" << false << 0;
    QTest::newRow("lone LF is no second line") << "a\nb" << false << 0;
    QTest::newRow("three lines") << "a\r\nb\r\nc" << true << 3;
}

void TestProcessingFrame::progressBarOnlyForSeveralLines()
{
    QFETCH(QString, text);
    QFETCH(bool, shown);
    QFETCH(int, maximum);
    m_harness->userSetsText(text);

    bool seenVisible = false;
    int seenMaximum = 0;
    Manipulator::LineRun run;
    run.operation = [&](QString &) {
        seenVisible = window().ProgressBar1->isVisible();
        seenMaximum = window().ProgressBar1->maximum();
    };
    QVERIFY(window().runProcessingFrame(run));
    QCOMPARE(seenVisible, shown);
    if (shown) {
        QCOMPARE(seenMaximum, maximum);
        QCOMPARE(window().ProgressBar1->minimum(), 1);
    }
    QVERIFY(!window().ProgressBar1->isVisible());
}

void TestProcessingFrame::runStateWhileRunning()
{
    m_harness->userSetsText(QStringLiteral("a\r\nb"));
    struct Seen {
        bool busy = false, stopEnabled = false, counterVisible = true, readOnly = false;
        bool openFileOffered = true, openDatabaseOffered = true;
        Qt::CursorShape windowCursor = Qt::ArrowCursor, stopCursor = Qt::WaitCursor;
    } seen;
    Manipulator::LineRun run;
    run.operation = [&](QString &) {
        // The user opens the File menu while the run lets events through.
        frame().menuFile_Click();
        seen = {window().isBusy(), window().Command17->isEnabled(), window().Text7->isVisible(),
                window().RichTextBox1->isReadOnly(), frame().menuFileOpenFile->isEnabled(),
                frame().menuFileOpenDB->isEnabled(), window().cursor().shape(),
                window().Command17->cursor().shape()};
    };
    QVERIFY(window().runProcessingFrame(run));
    QVERIFY(seen.busy);
    QVERIFY(seen.stopEnabled);
    QVERIFY(!seen.counterVisible);
    QVERIFY(seen.readOnly);
    QVERIFY(!seen.openFileOffered);
    QVERIFY(!seen.openDatabaseOffered);
    QCOMPARE(seen.windowCursor, Qt::WaitCursor);
    QCOMPARE(seen.stopCursor, Qt::ArrowCursor);

    // Idle again afterwards.
    QVERIFY(!window().isBusy());
    QVERIFY(!window().Command17->isEnabled());
    QVERIFY(window().Text7->isVisible());
    QVERIFY(!window().RichTextBox1->isReadOnly());
    QCOMPARE(window().cursor().shape(), Qt::ArrowCursor);
    frame().menuFile_Click();
    QVERIFY(frame().menuFileOpenFile->isEnabled());
    QVERIFY(frame().menuFileOpenDB->isEnabled());
}

void TestProcessingFrame::undoRestoresTextBeforeRun()
{
    const QString text = QStringLiteral("one\r\ntwo\r\n");
    m_harness->userSetsText(text);
    QVERIFY(runUpperCase());
    QVERIFY(window().Command1->isEnabled());
    QVERIFY(frame().menuEditUndo->isEnabled());
    QVERIFY(frame().menuFileSaveFile->isEnabled());
    QVERIFY(frame().state().modified);

    QTest::mouseClick(window().Command1, Qt::LeftButton);
    QCOMPARE(window().working().text(), text);
    QCOMPARE(window().RichTextBox1->plainText(), text);
    QVERIFY(!window().Command1->isEnabled());
    QVERIFY(!frame().menuEditUndo->isEnabled());

    // Edit > Undo is the same command.
    QVERIFY(runUpperCase());
    frame().menuEditUndo->trigger();
    QCOMPARE(window().working().text(), text);
    QVERIFY(!window().Command1->isEnabled());
}

void TestProcessingFrame::editAfterRunMakesPreRunTextTheUndoCopy()
{
    m_harness->userSetsText(QStringLiteral("abc"));
    QVERIFY(runUpperCase());
    QCOMPARE(window().working().undoCopy(), QStringLiteral("abc"));

    window().RichTextBox1->setFocus();
    window().RichTextBox1->setCaret(3);
    QTest::keyClick(window().RichTextBox1, Qt::Key_X);
    QCOMPARE(window().working().text(), QStringLiteral("ABCx"));
    QCOMPARE(window().working().undoCopy(), QStringLiteral("abc"));
    QVERIFY(window().Command1->isEnabled());
    window().Command1_Click();
    QCOMPARE(window().working().text(), QStringLiteral("abc"));
}

void TestProcessingFrame::editsKeepOneLevelOfUndo()
{
    window().RichTextBox1->setFocus();
    QTest::keyClicks(window().RichTextBox1, QStringLiteral("ab"));
    QCOMPARE(window().working().text(), QStringLiteral("ab"));
    QCOMPARE(window().working().undoCopy(), QStringLiteral("a"));
    QVERIFY(frame().state().modified);
    QVERIFY(frame().menuSearchFind->isEnabled());

    // Typing over a selection is one edit: the undo copy is the text before it.
    window().RichTextBox1->select(0, 2);
    QTest::keyClick(window().RichTextBox1, Qt::Key_Z);
    QCOMPARE(window().working().text(), QStringLiteral("z"));
    QCOMPARE(window().working().undoCopy(), QStringLiteral("ab"));

    window().Command1_Click();
    QCOMPARE(window().RichTextBox1->plainText(), QStringLiteral("ab"));
}

void TestProcessingFrame::afterProcessBoxes_data()
{
    QTest::addColumn<bool>("showTextTab");
    QTest::addColumn<bool>("selectAll");
    QTest::addColumn<int>("expectedTab");
    QTest::addColumn<qsizetype>("expectedSelection");

    QTest::newRow("stay on the tab") << false << false << int(Manipulator::DeleteText) << qsizetype(0);
    QTest::newRow("show text, caret at the start") << true << false << int(Manipulator::TextLines) << qsizetype(0);
    QTest::newRow("show text, all selected") << true << true << int(Manipulator::TextLines) << qsizetype(7);
}

void TestProcessingFrame::afterProcessBoxes()
{
    QFETCH(bool, showTextTab);
    QFETCH(bool, selectAll);
    QFETCH(int, expectedTab);
    QFETCH(qsizetype, expectedSelection);

    AfterProcessBoxes *boxes = window().afterProcessBoxes(Manipulator::DeleteText);
    QCOMPARE(boxes->afterProcess()->objectName(), QStringLiteral("Check8"));
    QCOMPARE(boxes->selectAll()->objectName(), QStringLiteral("Check14"));
    window().SSTab1->setCurrentIndex(Manipulator::DeleteText);
    if (!showTextTab)
        boxes->afterProcess()->click();
    if (selectAll)
        boxes->selectAll()->click();

    m_harness->userSetsText(QStringLiteral("ab\r\n\xe9\xe8z"));
    QVERIFY(runUpperCase(boxes));
    QCOMPARE(window().SSTab1->currentIndex(), expectedTab);
    if (showTextTab) {
        QCOMPARE(window().RichTextBox1->selectionStart(), 0);
        QCOMPARE(window().RichTextBox1->selectionLength(), expectedSelection);
    }
}

void TestProcessingFrame::afterProcessClickRules()
{
    const QList<QPair<QString, QString>> pairs{{"Check5", "Check11"}, {"Check6", "Check12"},
                                               {"Check7", "Check13"}, {"Check8", "Check14"},
                                               {"Check9", "Check15"}, {"Check10", "Check16"}};
    for (const auto &[afterName, selectName] : pairs) {
        auto after = window().findChild<QCheckBox *>(afterName);
        auto select = window().findChild<QCheckBox *>(selectName);
        QVERIFY(after && select);
        QCOMPARE(after->text(), QStringLiteral("After Process, show Text/Lines tab"));
        QCOMPARE(select->text(), QStringLiteral("Select All Text"));
        QVERIFY(after->isChecked());
        QVERIFY(!select->isChecked());

        frame().state().settingsDirty = false;
        select->setChecked(true);
        QVERIFY(frame().state().settingsDirty);
        after->setChecked(false);
        QVERIFY(!select->isChecked());
        QVERIFY(!select->isEnabled());
        after->setChecked(true);
        QVERIFY(select->isEnabled());
        QVERIFY(!select->isChecked());
    }

    // Loading named settings sets the boxes without marking them changed.
    auto after = window().findChild<QCheckBox *>(QStringLiteral("Check5"));
    frame().state().settingsDirty = false;
    frame().state().loadingSettings = true;
    after->setChecked(false);
    frame().state().loadingSettings = false;
    QVERIFY(!frame().state().settingsDirty);
}

void TestProcessingFrame::secondRunDuringRunRefused()
{
    m_harness->userSetsText(QStringLiteral("a\r\nb"));
    bool nestedStarted = true;
    Manipulator::LineRun run;
    run.operation = [&](QString &line) {
        Manipulator::LineRun nested;
        nested.operation = upperCase;
        nestedStarted = window().runProcessingFrame(nested);
        line += u'!';
    };
    QVERIFY(window().runProcessingFrame(run));
    QVERIFY(!nestedStarted);
    QCOMPARE(window().working().text(), QStringLiteral("a!\r\nb!"));
}

void TestProcessingFrame::handleErrorMessages_data()
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
    QTest::newRow("other: its own words") << 3078 << "engine description";
    for (int silent : {3012, 3021, 3141, 3167, 3191, 3211, 3284, 3426})
        QTest::newRow(qPrintable(QString::number(silent))) << silent << QString();
}

void TestProcessingFrame::handleErrorMessages()
{
    QFETCH(int, number);
    QFETCH(QString, message);

    frame().state().silentDbError = !message.isEmpty();
    window().handleError(number, QStringLiteral("engine description"));
    if (message.isEmpty()) {
        QVERIFY(m_harness->toolkit().prompts().isEmpty());
        QVERIFY(frame().state().silentDbError);
        return;
    }
    QVERIFY(!frame().state().silentDbError);
    const auto &prompt = m_harness->toolkit().lastPrompt().message;
    QCOMPARE(prompt.text, message);
    QCOMPARE(prompt.title, QStringLiteral("Tabwright - Sorry..."));
    QCOMPARE(prompt.icon, Icon::Information);
    QCOMPARE(prompt.buttons, Buttons::Ok);
}

void TestProcessingFrame::characterCounter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("count");
    QTest::newRow("nothing") << "" << "0";
    QTest::newRow("a line break counts two") << "ab\nc" << "5";
    QTest::newRow("non-BMP character counts one") << QString::fromUtf8("\xF0\x9F\x98\x80") << "1";
}

void TestProcessingFrame::characterCounter()
{
    QFETCH(QString, typed);
    QFETCH(QString, count);
    window().Text7->setPlainText(QStringLiteral("x"));
    window().Text7->setPlainText(typed);
    QCOMPARE(window().Text8->text(), count);
}

QTEST_MAIN(TestProcessingFrame)
#include "test_processingframe.moc"
