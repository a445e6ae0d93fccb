// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabtestsupport.h"

#include "gui/shell/textbox.h"
#include "gui/manipulator/numericbox.h"

#include <QToolButton>

using namespace tabtest;

// The Move Text tab worked through its controls, and the number fields with
// their spin controls that every tab shares.
class TestMoveTab : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void controlsAsTheWindowOpens();
    void enablingRules_data();
    void enablingRules();
    void missingMoveTypeRefused();
    void process_data();
    void process();
    void afterProcessBoxes_data();
    void afterProcessBoxes();
    void tabKeyOnProcessSelectsAddText();
    void settingsDirty_data();
    void settingsDirty();
    void numberFieldTakesThreeDigits_data();
    void numberFieldTakesThreeDigits();
    void spinControlSteps_data();
    void spinControlSteps();

private:
    Manipulator &window() { return m_harness->manipulator(); }
    QWidget *page() { return window().page(Manipulator::MoveText); }

    std::unique_ptr<FrameHarness> m_harness;
};

void TestMoveTab::init()
{
    m_harness = std::make_unique<FrameHarness>();
    QVERIFY(m_harness->start());
}

void TestMoveTab::cleanup()
{
    QCOMPARE(m_harness->toolkit().unanswered(), 0);
    m_harness.reset();
}

void TestMoveTab::controlsAsTheWindowOpens()
{
    auto combo1 = control<QComboBox>(window(), "Combo1");
    QCOMPARE(combo1->currentText(), QString());
    QCOMPARE(combo1->count(), 2);
    QCOMPARE(combo1->itemText(0), QStringLiteral("General Move"));
    QCOMPARE(combo1->itemText(1), QStringLiteral("Specific Move"));
    QCOMPARE(combo1->toolTip(), QStringLiteral("Enter text to move, or select from the dropdown list."));
    QCOMPARE(control<QLineEdit>(window(), "Text1")->toolTip(),
             QStringLiteral("Enter specific text to move, and specify columns."));
    for (const char *box : {"MaskEdBox1", "MaskEdBox3", "MaskEdBox2", "MaskEdBox5"})
        QCOMPARE(control<QLineEdit>(window(), box)->text(), QStringLiteral("1"));
    auto combo2 = control<QComboBox>(window(), "Combo2");
    QCOMPARE(combo2->currentText(), QStringLiteral("Omit spaces"));
    QCOMPARE(combo2->itemText(0), QStringLiteral("Add spaces"));
    auto combo3 = control<QComboBox>(window(), "Combo3");
    QCOMPARE(combo3->currentText(), QStringLiteral("Both sides"));
    QCOMPARE(QStringList({combo3->itemText(0), combo3->itemText(1), combo3->itemText(2)}),
             QStringList({"Both sides", "Left side", "Right side"}));
    QVERIFY(!control<QCheckBox>(window(), "Check1")->isChecked());
    QCOMPARE(control<QCheckBox>(window(), "Check1")->text(), QStringLiteral("Move to end of line"));
    QCOMPARE(control<QPushButton>(window(), "Command2")->text(), QStringLiteral("&Process"));
    // The tab's own captions, "Optons:" included as the tab has always spelled it.
    for (const char *text : {"Enter text to move/Select move type:", "Specific text to move:", "Move from column:",
                             "# of characters:", "Move to column:", "Optons:", "# of spaces:", "Place spaces:"})
        QVERIFY2(caption(page(), QString::fromLatin1(text)), text);
    // Nothing the window did while opening counts as a change of the settings.
    QVERIFY(!m_harness->frame().state().settingsDirty);

    // Showing the window again keeps what the user has typed.
    combo1->setEditText(QStringLiteral("abc"));
    window().Form_Load();
    QCOMPARE(combo1->currentText(), QStringLiteral("abc"));
}

void TestMoveTab::enablingRules_data()
{
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QStringList>("disabled");

    const QStringList byColumn{":Move from column:", ":# of characters:", "MaskEdBox1", "UpDown1", "MaskEdBox3",
                               "UpDown3"};
    const QStringList specific{":Specific text to move:", "Text1"};
    const QStringList spacing{":# of spaces:", "MaskEdBox5", "UpDown5", ":Place spaces:", "Combo3"};
    const QStringList toColumn{":Move to column:", "MaskEdBox2", "UpDown2"};

    QTest::newRow("as opened") << Fields{} << byColumn + toColumn << specific + spacing;
    QTest::newRow("General Move") << Fields{{"textToMove", "General Move"}} << byColumn << specific;
    QTest::newRow("Specific Move") << Fields{{"textToMove", "Specific Move"}} << byColumn + specific
                                   << QStringList{};
    QTest::newRow("typed text") << Fields{{"textToMove", "Specific Mov"}} << QStringList{}
                                << byColumn + specific;
    QTest::newRow("end of line") << Fields{{"moveEndOfLine", "1"}} << QStringList{} << toColumn;
    QTest::newRow("end of line cleared") << Fields{{"moveEndOfLine", "1"}, {"moveEndOfLine", "0"}} << toColumn
                                         << QStringList{};
    QTest::newRow("Add spaces, to column emptied")
        << Fields{{"moveToCol", ""}, {"moveOptions", "Add spaces"}} << spacing << QStringList{};
    QTest::newRow("Add spaces, then a to column")
        << Fields{{"moveOptions", "Add spaces"}, {"moveToCol", "7"}} << spacing.mid(0, 4) << QStringList{"Combo3"};
    QTest::newRow("to column emptied enables the placement")
        << Fields{{"moveToCol", ""}} << QStringList{"Combo3"} << spacing.mid(0, 4);
    QTest::newRow("a later options change applies its rule again")
        << Fields{{"moveToCol", ""}, {"moveOptions", "Add spaces"}, {"moveOptions", "Omit spaces"}}
        << QStringList{} << spacing;
}

void TestMoveTab::enablingRules()
{
    QFETCH(Fields, fields);
    QFETCH(QStringList, enabled);
    QFETCH(QStringList, disabled);
    QVERIFY(setFields(window(), fields));
    QCOMPARE(wrongEnabling(window(), page(), enabled, true), QStringList{});
    QCOMPARE(wrongEnabling(window(), page(), disabled, false), QStringList{});
}

void TestMoveTab::missingMoveTypeRefused()
{
    m_harness->userSetsText(QStringLiteral("abc\r\ndef"));
    const QString undoCopy = window().working().undoCopy();
    window().SSTab1->setCurrentIndex(Manipulator::MoveText);
    QTest::mouseClick(control<QPushButton>(window(), "Command2"), Qt::LeftButton);
    QCOMPARE(m_harness->toolkit().messageTexts(),
             QStringList{"Please enter text to move; or select a move type and enter 'Specific text to move', "
                         "if necessary."});
    QCOMPARE(m_harness->toolkit().lastPrompt().message.title, QStringLiteral("Tabwright"));
    QCOMPARE(QApplication::focusWidget(), control<QComboBox>(window(), "Combo1"));
    QCOMPARE(window().working().text(), QStringLiteral("abc\r\ndef"));
    QCOMPARE(window().working().undoCopy(), undoCopy);
    QCOMPARE(window().SSTab1->currentIndex(), int(Manipulator::MoveText));
}

void TestMoveTab::process_data()
{
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const Field general{"textToMove", "General Move"};
    QTest::newRow("general, to a later column")
        << Fields{general, {"moveFromCol", "2"}, {"moveNumOfChars", "2"}, {"moveToCol", "6"}} << "abcdef"
        << "adebcf";
    QTest::newRow("general, to the front")
        << Fields{general, {"moveFromCol", "5"}, {"moveNumOfChars", "2"}} << "abcdef\r\n\r\nxy\r\n"
        << "efabcd\r\n\r\nxy\r\n";
    // The placement box is disabled while a to column is given, and still counts.
    QTest::newRow("spaces on the right, placement box disabled")
        << Fields{general, {"moveFromCol", "5"}, {"moveNumOfChars", "2"}, {"moveOptions", "Add spaces"},
                  {"movePlaceSpaces", "Right side"}, {"moveToCol", "1"}}
        << "abcdef" << "ef abcd";
    QTest::newRow("to the end of the line")
        << Fields{general, {"moveEndOfLine", "1"}} << "abc\r\nx" << "bca\r\nx";
    QTest::newRow("empty from column leaves lines alone")
        << Fields{general, {"moveFromCol", ""}, {"moveToCol", "3"}} << "abcdef" << "abcdef";
    QTest::newRow("specific text only where it stands")
        << Fields{{"textToMove", "Specific Move"}, {"moveSpecificText", "XY"}, {"moveFromCol", "3"}}
        << "abXYcd\r\naXYbcd" << "XYabcd\r\naXYbcd";
    QTest::newRow("typed text, first occurrence, spaces both sides")
        << Fields{{"textToMove", "b"}, {"moveEndOfLine", "1"}, {"moveOptions", "Add spaces"},
                  {"moveSpaces", "2"}}
        << "abcb\r\n\r\nxb" << "acb  b  \r\n\r\nx  b  ";
}

void TestMoveTab::process()
{
    QFETCH(Fields, fields);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(tabtest::process(*m_harness, Manipulator::MoveText, "Command2", fields, text), expected);
    QCOMPARE(window().RichTextBox1->plainText(), expected);
    QCOMPARE(window().working().undoCopy(), text);
    const QString cli = cliResult(QStringLiteral("move"), fields, text);
    if (!cli.isNull())
        QCOMPARE(cli, expected);
}

void TestMoveTab::afterProcessBoxes_data()
{
    QTest::addColumn<bool>("uncheckAfter");
    QTest::addColumn<bool>("selectAll");
    QTest::addColumn<int>("tab");
    QTest::addColumn<qsizetype>("selected");
    QTest::newRow("stay on Move Text") << true << false << int(Manipulator::MoveText) << qsizetype(0);
    QTest::newRow("Text/Lines, caret at the start") << false << false << int(Manipulator::TextLines)
                                                    << qsizetype(0);
    QTest::newRow("Text/Lines, all selected") << false << true << int(Manipulator::TextLines) << qsizetype(8);
}

void TestMoveTab::afterProcessBoxes()
{
    QFETCH(bool, uncheckAfter);
    QFETCH(bool, selectAll);
    QFETCH(int, tab);
    QFETCH(qsizetype, selected);
    window().SSTab1->setCurrentIndex(Manipulator::MoveText);
    if (uncheckAfter)
        clickCheck(control<QCheckBox>(window(), "Check5"));
    if (selectAll)
        clickCheck(control<QCheckBox>(window(), "Check11"));
    QCOMPARE(tabtest::process(*m_harness, Manipulator::MoveText, "Command2", Fields{{"textToMove", "General Move"}, {"moveToCol", "3"}},
                     "abc\r\ndef"),
             QStringLiteral("bac\r\nedf"));
    QCOMPARE(window().SSTab1->currentIndex(), tab);
    if (tab == Manipulator::TextLines) {
        QCOMPARE(QApplication::focusWidget(), window().RichTextBox1);
        QCOMPARE(window().RichTextBox1->selectionStart(), 0);
        QCOMPARE(window().RichTextBox1->selectionLength(), selected);
    }
}

void TestMoveTab::tabKeyOnProcessSelectsAddText()
{
    window().SSTab1->setCurrentIndex(Manipulator::MoveText);
    auto command2 = control<QPushButton>(window(), "Command2");
    command2->setFocus();
    QTest::keyClick(command2, Qt::Key_Tab);
    QCOMPARE(window().SSTab1->currentIndex(), int(Manipulator::AddText));
    QCOMPARE(QApplication::focusWidget(), control<QLineEdit>(window(), "Text2"));
}

void TestMoveTab::settingsDirty_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    for (const char *field : {"textToMove", "moveSpecificText", "moveFromCol", "moveNumOfChars", "moveToCol",
                              "moveOptions", "moveSpaces", "movePlaceSpaces"})
        QTest::newRow(field) << field << "7";
    QTest::newRow("moveEndOfLine") << "moveEndOfLine" << "1";
}

void TestMoveTab::settingsDirty()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    AppState &state = m_harness->frame().state();

    // Loading named settings changes the field without marking it.
    state.loadingSettings = true;
    QVERIFY(setField(window(), field, value));
    state.loadingSettings = false;
    QVERIFY(!state.settingsDirty);

    QVERIFY(setField(window(), field, value == "1" ? QStringLiteral("0") : QStringLiteral("5")));
    QVERIFY(state.settingsDirty);
}

void TestMoveTab::numberFieldTakesThreeDigits_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("value");
    QTest::newRow("three digits") << "123" << "123" << 123;
    QTest::newRow("a fourth digit is refused") << "9876" << "987" << 987;
    QTest::newRow("letters and signs are refused") << "-4a2." << "42" << 42;
    QTest::newRow("leading zeros") << "007" << "007" << 7;
    QTest::newRow("other scripts' digits are refused") << QString::fromUtf8("\u0663\u0664") << "" << 0;
}

void TestMoveTab::numberFieldTakesThreeDigits()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, value);
    window().SSTab1->setCurrentIndex(Manipulator::MoveText);
    auto box = control<MaskEdBox>(window(), "MaskEdBox1");
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->value(), 0); // an empty field reads as 0
    for (const QChar c : typed)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QCOMPARE(box->text(), shown);
    QCOMPARE(box->value(), value);
}

void TestMoveTab::spinControlSteps_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("after");
    QTest::newRow("up") << "41" << true << "42";
    QTest::newRow("down") << "41" << false << "40";
    QTest::newRow("up from empty") << "" << true << "1";
    QTest::newRow("not below 0") << "0" << false << "0";
    QTest::newRow("not above 999") << "999" << true << "999";
}

void TestMoveTab::spinControlSteps()
{
    QFETCH(QString, start);
    QFETCH(bool, up);
    QFETCH(QString, after);
    window().SSTab1->setCurrentIndex(Manipulator::MoveText);
    auto box = control<MaskEdBox>(window(), "MaskEdBox3");
    auto spin = control<UpDown>(window(), "UpDown3");
    box->setText(start);
    QTest::mouseClick(up ? spin->upButton() : spin->downButton(), Qt::LeftButton);
    QCOMPARE(box->text(), after);

    // The arrow keys in the field step it the same way.
    box->setText(start);
    box->setFocus();
    QTest::keyClick(box, up ? Qt::Key_Up : Qt::Key_Down);
    QCOMPARE(box->text(), after);
}

QTEST_MAIN(TestMoveTab)
#include "test_movetab.moc"
