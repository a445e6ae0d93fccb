// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabtestsupport.h"

#include "gui/shell/textbox.h"
#include "gui/manipulator/numericbox.h"

#include <QProgressBar>
#include <QTimer>

using namespace tabtest;

// The line tools of the Text/Lines tab: Join Lines, Create Line and Process
// with their Stop button, worked through the window.
class TestLineToolsTab : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void controlsAsTheWindowOpens();
    void tools_data();
    void tools();
    void nothingHappens_data();
    void nothingHappens();
    void stopKeepsThePartScanned();
    void lineLengthMarksSettingsChanged();

private:
    Manipulator &window() { return m_harness->manipulator(); }
    QPushButton *button(const char *name) { return control<QPushButton>(window(), name); }
    // The line tools answer a text the user has worked in the box: a key
    // released there is what enables them.
    void userSetsText(const QString &text)
    {
        m_harness->userSetsText(text);
        QTest::keyClick(window().RichTextBox1, Qt::Key_End);
    }

    std::unique_ptr<FrameHarness> m_harness;
};

void TestLineToolsTab::init()
{
    m_harness = std::make_unique<FrameHarness>();
    QVERIFY(m_harness->start());
    window().SSTab1->setCurrentIndex(Manipulator::TextLines);
}

void TestLineToolsTab::cleanup()
{
    QCOMPARE(m_harness->toolkit().unanswered(), 0);
    m_harness.reset();
}

void TestLineToolsTab::controlsAsTheWindowOpens()
{
    QCOMPARE(button("Command13")->text(), QStringLiteral("&Join Lines"));
    QCOMPARE(button("Command13")->toolTip(), QStringLiteral("Preserves paragraphs"));
    QCOMPARE(button("Command14")->text(), QStringLiteral("&Process"));
    QCOMPARE(button("Command15")->text(), QStringLiteral("Create &Line"));
    QCOMPARE(button("Command15")->toolTip(), QStringLiteral("Removes paragraphs"));
    // The only number field that starts empty.
    QCOMPARE(control<QLineEdit>(window(), "MaskEdBox17")->text(), QString());
    QWidget *page = window().page(Manipulator::TextLines);
    QVERIFY(caption(page, "Start new line after every"));
    QVERIFY(caption(page, "characters"));
}

void TestLineToolsTab::tools_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("length");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("cliOperation");

    QTest::newRow("Join Lines keeps the paragraph") << "Command13" << "" << "A\r\nB\r\n\r\nC" << "AB\r\n\r\nC"
                                                    << "join-lines";
    QTest::newRow("Join Lines keeps one break at the start") << "Command13" << "" << "\r\nA\r\nB" << "\r\nAB"
                                                             << "join-lines";
    QTest::newRow("Create Line") << "Command15" << "" << "A\r\nB\r\n\r\nC" << "ABC" << "create-line";
    QTest::newRow("Process, N = 3") << "Command14" << "3" << "abcdefghij" << "abc\r\ndef\r\nghi\r\nj"
                                    << "break-lines";
    QTest::newRow("Process, N = 3, no break at the end") << "Command14" << "3" << "abcdefghi"
                                                         << "abc\r\ndef\r\nghi" << "break-lines";
}

void TestLineToolsTab::tools()
{
    QFETCH(QString, button);
    QFETCH(QString, length);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(QString, cliOperation);

    userSetsText(text);
    control<QLineEdit>(window(), "MaskEdBox17")->setText(length);
    QTest::mouseClick(this->button(qPrintable(button)), Qt::LeftButton);
    QCOMPARE(window().working().text(), expected);
    QCOMPARE(window().RichTextBox1->plainText(), expected);
    QCOMPARE(QApplication::focusWidget(), window().RichTextBox1);
    QVERIFY(!window().Command17->isEnabled());
    QVERIFY(!window().ProgressBar1->isVisible());

    const Fields fields = length.isEmpty() ? Fields{} : Fields{{"startLineAfter", length}};
    const QString cli = cliResult(cliOperation, fields, text);
    if (!cli.isNull())
        QCOMPARE(cli, expected);

    QTest::mouseClick(window().Command1, Qt::LeftButton);
    QCOMPARE(window().working().text(), text);
}

void TestLineToolsTab::nothingHappens_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("length");
    QTest::addColumn<QString>("text");
    QTest::newRow("Process, N = 0") << "Command14" << "0" << "abcdef";
    QTest::newRow("Process, empty box") << "Command14" << "" << "abcdef";
    QTest::newRow("Join Lines, empty text") << "Command13" << "" << "";
    QTest::newRow("Create Line, empty text") << "Command15" << "" << "";
}

void TestLineToolsTab::nothingHappens()
{
    QFETCH(QString, button);
    QFETCH(QString, length);
    QFETCH(QString, text);
    m_harness->userSetsText(QStringLiteral("before"));
    m_harness->userSetsText(text);
    window().Command1->setEnabled(false); // a run would turn Undo on
    const QString undoCopy = window().working().undoCopy();

    control<QLineEdit>(window(), "MaskEdBox17")->setText(length);
    QTest::mouseClick(this->button(qPrintable(button)), Qt::LeftButton);
    QCOMPARE(window().working().text(), text);
    QCOMPARE(window().working().undoCopy(), undoCopy);
    QVERIFY(!window().Command1->isEnabled());
    QVERIFY(m_harness->toolkit().prompts().isEmpty()); // no message
    QCOMPARE(QApplication::focusWidget(), window().RichTextBox1);
}

void TestLineToolsTab::stopKeepsThePartScanned()
{
    // Stop is clicked as soon as the run lets window events through; the text
    // grows until the scan is long enough to get there.
    const QString block = QStringLiteral("0123456789 abcdefghij\r\nklmnopqrst\r\n\r\n");
    QString text;
    bool stoppedMidway = false;
    bool progressShown = false;
    for (int repeats = 1 << 15; repeats <= 1 << 21 && !stoppedMidway; repeats *= 4) {
        text = block.repeated(repeats);
        userSetsText(text);
        QTimer::singleShot(0, window().Command17, [this, &progressShown] {
            progressShown = window().ProgressBar1->isVisible();
            if (window().Command17->isEnabled())
                QTest::mouseClick(window().Command17, Qt::LeftButton);
        });
        QTest::mouseClick(button("Command15"), Qt::LeftButton);
        const QString result = window().working().text();
        stoppedMidway = result.size() < text.size() - text.count(u'\r') * 2;
        if (stoppedMidway) {
            QVERIFY(progressShown);
            QVERIFY(!result.isEmpty());
            // The part scanned so far, made one line.
            QVERIFY(!result.contains(u'\r') && !result.contains(u'\n'));
            QVERIFY(QString(text).remove(QStringLiteral("\r\n")).startsWith(result));
        }
        QCoreApplication::processEvents();
    }
    QVERIFY2(stoppedMidway, "the run never let Stop through");
    QVERIFY(!window().Command17->isEnabled());
    QTest::mouseClick(window().Command1, Qt::LeftButton);
    QCOMPARE(window().working().text(), text);
}

void TestLineToolsTab::lineLengthMarksSettingsChanged()
{
    AppState &state = m_harness->frame().state();
    auto box = control<MaskEdBox>(window(), "MaskEdBox17");
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("80"));
    QVERIFY(state.settingsDirty);
    QCOMPARE(box->value(), 80);
}

QTEST_MAIN(TestLineToolsTab)
#include "test_linetoolstab.moc"
