// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabtestsupport.h"

using namespace tabtest;

// The Add Text tab worked through its controls.
class TestAddTab : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void enablingRules_data();
    void enablingRules();
    void missingTextRefused();
    void enterInConditionIsExactlyCrLf();
    void process_data();
    void process();
    void tabKeyOnProcessSelectsMoveText();

private:
    Manipulator &window() { return m_harness->manipulator(); }
    QWidget *page() { return window().page(Manipulator::AddText); }

    std::unique_ptr<FrameHarness> m_harness;
};

void TestAddTab::init()
{
    m_harness = std::make_unique<FrameHarness>();
    QVERIFY(m_harness->start());
}

void TestAddTab::cleanup()
{
    QCOMPARE(m_harness->toolkit().unanswered(), 0);
    m_harness.reset();
}


void TestAddTab::enablingRules_data()
{
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QStringList>("disabled");

    const QStringList column{":Add at column:", "MaskEdBox9", "UpDown9"};
    const QStringList spacing{":# of spaces:", "MaskEdBox6", "UpDown6", ":Place spaces:", "Combo4"};
    QTest::newRow("as opened") << Fields{} << column << spacing;
    QTest::newRow("end of line") << Fields{{"addEndOfLine", "1"}} << QStringList{} << column;
    QTest::newRow("end of line cleared") << Fields{{"addEndOfLine", "1"}, {"addEndOfLine", "0"}} << column
                                         << QStringList{};
    QTest::newRow("Add spaces") << Fields{{"addOptions", "Add spaces"}} << spacing << QStringList{};
    QTest::newRow("a typed option is not Add spaces") << Fields{{"addOptions", "add spaces"}} << QStringList{}
                                                      << spacing;
}

void TestAddTab::enablingRules()
{
    QFETCH(Fields, fields);
    QFETCH(QStringList, enabled);
    QFETCH(QStringList, disabled);
    QVERIFY(setFields(window(), fields));
    QCOMPARE(wrongEnabling(window(), page(), enabled, true), QStringList{});
    QCOMPARE(wrongEnabling(window(), page(), disabled, false), QStringList{});
}

void TestAddTab::missingTextRefused()
{
    m_harness->userSetsText(QStringLiteral("abc"));
    const QString undoCopy = window().working().undoCopy();
    window().SSTab1->setCurrentIndex(Manipulator::AddText);
    QTest::mouseClick(control<QPushButton>(window(), "Command3"), Qt::LeftButton);
    QCOMPARE(m_harness->toolkit().messageTexts(), QStringList{"Please enter text to add."});
    QCOMPARE(QApplication::focusWidget(), control<QLineEdit>(window(), "Text2"));
    QCOMPARE(window().working().text(), QStringLiteral("abc"));
    QCOMPARE(window().working().undoCopy(), undoCopy);
}

void TestAddTab::enterInConditionIsExactlyCrLf()
{
    window().SSTab1->setCurrentIndex(Manipulator::AddText);
    auto text3 = control<QPlainTextEdit>(window(), "Text3");
    text3->setFocus();
    QTest::keyClick(text3, Qt::Key_Return);
    QCOMPARE(tabs::multiLineText(text3), QStringLiteral("\r\n"));
    QCOMPARE(tabtest::process(*m_harness, Manipulator::AddText, "Command3", Fields{{"addText", "X"}}, "a\r\n\r\nb"),
             QStringLiteral("a\r\nX\r\nb"));
}

void TestAddTab::process_data()
{
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("in front of every line, empty lines stay")
        << Fields{{"addText", " - "}} << "abc\r\n\r\nd" << " - abc\r\n\r\n - d";
    QTest::newRow("condition exactly CR LF fills the empty lines, the last one too")
        << Fields{{"addText", "X"}, {"addIfContains", "\r\n"}} << "a\r\n\r\nb\r\n" << "a\r\nX\r\nb\r\nX";
    QTest::newRow("condition is case-sensitive")
        << Fields{{"addText", "!"}, {"addIfContains", "ab"}, {"addAtCol", "2"}} << "xaby\r\nxAby"
        << "x!aby\r\nxAby";
    QTest::newRow("condition holding a line break matches nothing")
        << Fields{{"addText", "!"}, {"addIfContains", "ab\r\n"}} << "ab\r\nab" << "ab\r\nab";
    QTest::newRow("end of line with two spaces on the left")
        << Fields{{"addText", "X"}, {"addEndOfLine", "1"}, {"addOptions", "Add spaces"}, {"addSpaces", "2"},
                  {"addPlaceSpaces", "Left side"}}
        << "abc" << "abc  X";
    QTest::newRow("column beyond the end appends") << Fields{{"addText", "X"}, {"addAtCol", "9"}} << "ab\r\nabcdefghij"
                                                   << "abX\r\nabcdefghXij";
    QTest::newRow("empty column field") << Fields{{"addText", "X"}, {"addAtCol", ""}} << "ab" << "Xab";
}

void TestAddTab::process()
{
    QFETCH(Fields, fields);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(tabtest::process(*m_harness, Manipulator::AddText, "Command3", fields, text), expected);
    QCOMPARE(window().working().undoCopy(), text);
    const QString cli = cliResult(QStringLiteral("add"), fields, text);
    if (!cli.isNull())
        QCOMPARE(cli, expected);
}

void TestAddTab::tabKeyOnProcessSelectsMoveText()
{
    window().SSTab1->setCurrentIndex(Manipulator::AddText);
    auto command3 = control<QPushButton>(window(), "Command3");
    command3->setFocus();
    QTest::keyClick(command3, Qt::Key_Tab);
    QCOMPARE(window().SSTab1->currentIndex(), int(Manipulator::MoveText));
    QCOMPARE(QApplication::focusWidget(), control<QComboBox>(window(), "Combo1"));
}

QTEST_MAIN(TestAddTab)
#include "test_addtab.moc"
