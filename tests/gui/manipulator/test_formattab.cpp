// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabtestsupport.h"

#include "gui/shell/textbox.h"

using namespace tabtest;

// The Format Text tab worked through its controls.
class TestFormatTab : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void controlsAsTheWindowOpens();
    void addTextEntriesFollowCreate_data();
    void addTextEntriesFollowCreate();
    void enablingRules_data();
    void enablingRules();
    void removeDelimiterSetsMoveToNo();
    void refusedBeforeAnythingChanges_data();
    void refusedBeforeAnythingChanges();
    void emptyTextIsNothingToProcess();
    void process_data();
    void process();
    void afterProcessBoxes();

private:
    Manipulator &window() { return m_harness->manipulator(); }
    QWidget *page() { return window().page(Manipulator::FormatText); }
    QStringList entries(const char *combo);

    std::unique_ptr<FrameHarness> m_harness;
};

void TestFormatTab::init()
{
    m_harness = std::make_unique<FrameHarness>();
    QVERIFY(m_harness->start());
    window().SSTab1->setCurrentIndex(Manipulator::FormatText);
}

void TestFormatTab::cleanup()
{
    QCOMPARE(m_harness->toolkit().unanswered(), 0);
    m_harness.reset();
}

QStringList TestFormatTab::entries(const char *name)
{
    QStringList list;
    auto combo = control<QComboBox>(window(), name);
    for (int i = 0; i < combo->count(); ++i)
        list << combo->itemText(i);
    return list;
}

void TestFormatTab::controlsAsTheWindowOpens()
{
    QCOMPARE(entries("Combo9"), QStringList({";", ",", "\"", "|", "=", "/", "\\"}));
    QCOMPARE(entries("Combo12"), QStringList({"New line", "New column"}));
    const QList<QPair<const char *, const char *>> defaults{
        {"Combo9", ""},     {"Combo12", "New line"},    {"Combo13", "Omit text"},   {"Combo14", "No"},
        {"Combo15", "Yes"}, {"Combo10", "Omit spaces"}, {"Combo11", "Both sides"}};
    for (const auto &[name, text] : defaults)
        QCOMPARE(control<QComboBox>(window(), name)->currentText(), QString::fromLatin1(text));
    for (const char *box : {"MaskEdBox13", "MaskEdBox14", "MaskEdBox15", "MaskEdBox16"})
        QCOMPARE(control<QLineEdit>(window(), box)->text(), QStringLiteral("1"));
    QVERIFY(!m_harness->frame().state().settingsDirty);
}

void TestFormatTab::addTextEntriesFollowCreate_data()
{
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QStringList>("addTextEntries");
    QTest::addColumn<bool>("columnControlsShown");
    QTest::addColumn<QString>("addText");

    const QStringList lineEntries{"Start of line", "End of line", "Omit text"};
    const QStringList columnEntries{"Start of column", "End of column", "Omit text"};
    QTest::newRow("as opened") << Fields{} << lineEntries << false << "Omit text";
    QTest::newRow("New column") << Fields{{"formatCreate", "New column"}} << columnEntries << true << "Omit text";
    QTest::newRow("back to New line") << Fields{{"formatCreate", "New column"}, {"formatCreate", "New line"}}
                                      << lineEntries << false << "Omit text";
    // A placement of the other pair stays in the box; it means the same.
    QTest::newRow("placement kept across the switch")
        << Fields{{"formatAddText", "End of line"}, {"formatCreate", "New column"}} << columnEntries << true
        << "End of line";
}

void TestFormatTab::addTextEntriesFollowCreate()
{
    QFETCH(Fields, fields);
    QFETCH(QStringList, addTextEntries);
    QFETCH(bool, columnControlsShown);
    QFETCH(QString, addText);
    QVERIFY(setFields(window(), fields));
    QCOMPARE(entries("Combo13"), addTextEntries);
    QCOMPARE(control<QComboBox>(window(), "Combo13")->currentText(), addText);
    for (QWidget *widget : {static_cast<QWidget *>(control<QComboBox>(window(), "Combo14")),
                            static_cast<QWidget *>(caption(page(), "Move delimiter to right of space(s)?")),
                            static_cast<QWidget *>(control<QLineEdit>(window(), "MaskEdBox16")),
                            control<QWidget>(window(), "UpDown16"),
                            static_cast<QWidget *>(caption(page(), "Spaces between columns:"))})
        QCOMPARE(widget->isVisible(), columnControlsShown);
}

void TestFormatTab::enablingRules_data()
{
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QStringList>("disabled");

    const QStringList added{":Added text:", ":Text to add:", ":Add text to first delimited section?", "Text9",
                            "Combo10", "Combo15"};
    const QStringList fromColumns{":Add text from column:", ":# of characters:", "MaskEdBox14", "MaskEdBox15",
                                  "UpDown14", "UpDown15"};
    const QStringList spaces{":# of spaces:", ":Place spaces:", "Combo11", "MaskEdBox13", "UpDown13"};
    QTest::newRow("as opened") << Fields{} << QStringList{"Combo9", "Combo13"}
                               << added + fromColumns + spaces + QStringList{"Text11"};
    QTest::newRow("Start of line") << Fields{{"formatAddText", "Start of line"}} << added + fromColumns << spaces;
    QTest::newRow("a text to add") << Fields{{"formatAddText", "End of line"}, {"formatTextToAdd", "X"}} << added
                                   << fromColumns + spaces;
    QTest::newRow("text to add emptied")
        << Fields{{"formatAddText", "End of line"}, {"formatTextToAdd", "X"}, {"formatTextToAdd", ""}}
        << added + fromColumns << spaces;
    QTest::newRow("Add spaces") << Fields{{"formatAddText", "End of line"}, {"formatOptions", "Add spaces"}}
                                << added + spaces << QStringList{};
    QTest::newRow("Omit text again")
        << Fields{{"formatAddText", "End of line"}, {"formatOptions", "Add spaces"}, {"formatAddText", "Omit text"}}
        << QStringList{} << added + fromColumns + spaces;
    QTest::newRow("create neither line nor column")
        << Fields{{"formatAddText", "End of line"}, {"formatCreate", "New"}} << QStringList{}
        << added + fromColumns;
    QTest::newRow("delimiter string") << Fields{{"formatUseDelimiterString", "1"}} << QStringList{"Text11"}
                                      << QStringList{"Combo9", ":Select delimiter, or enter delimiter(s)"};
}

void TestFormatTab::enablingRules()
{
    QFETCH(Fields, fields);
    QFETCH(QStringList, enabled);
    QFETCH(QStringList, disabled);
    QVERIFY(setFields(window(), fields));
    QCOMPARE(wrongEnabling(window(), page(), enabled, true), QStringList{});
    QCOMPARE(wrongEnabling(window(), page(), disabled, false), QStringList{});
}

void TestFormatTab::removeDelimiterSetsMoveToNo()
{
    QVERIFY(setFields(window(), {{"formatCreate", "New column"}, {"formatMoveDelimiter", "Yes"}}));
    auto combo14 = control<QComboBox>(window(), "Combo14");
    clickCheck(control<QCheckBox>(window(), "Check18"));
    QCOMPARE(combo14->currentText(), QStringLiteral("No"));
    QVERIFY(!combo14->isEnabled());
    QVERIFY(!caption(page(), "Move delimiter to right of space(s)?")->isEnabled());
    clickCheck(control<QCheckBox>(window(), "Check18"));
    QVERIFY(combo14->isEnabled());
}

void TestFormatTab::refusedBeforeAnythingChanges_data()
{
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("no delimiter") << Fields{} << "Please enter or select character(s) to use as delimiter(s)."
                                  << "Combo9";
    QTest::newRow("empty delimiter string") << Fields{{"formatDelimiter", ";"}, {"formatUseDelimiterString", "1"}}
                                            << "Please enter character(s) to use as a delimiter." << "Text11";
    QTest::newRow("copying from column 0")
        << Fields{{"formatDelimiter", ";"}, {"formatAddText", "End of line"}, {"formatAddFromCol", ""}}
        << "The text to add is copied from each line, so \"Add text from column:\" needs a column of 1 or more.  "
           "Please enter a column, or enter the text to add."
        << "MaskEdBox14";
}

void TestFormatTab::refusedBeforeAnythingChanges()
{
    QFETCH(Fields, fields);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    // The text typed before this one is the undo copy, and stays it.
    m_harness->userSetsText(QStringLiteral("a;b"));
    QCOMPARE(tabtest::process(*m_harness, Manipulator::FormatText, "Command6", fields, "a;b;c"),
             QStringLiteral("a;b;c"));
    QCOMPARE(m_harness->toolkit().messageTexts(), QStringList{message});
    QCOMPARE(m_harness->toolkit().lastPrompt().message.title, QStringLiteral("Tabwright"));
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    QCOMPARE(window().working().undoCopy(), QStringLiteral("a;b"));
    QCOMPARE(window().SSTab1->currentIndex(), int(Manipulator::FormatText));
}

void TestFormatTab::emptyTextIsNothingToProcess()
{
    m_harness->userSetsText(QStringLiteral("x"));
    QCOMPARE(tabtest::process(*m_harness, Manipulator::FormatText, "Command6", {}, QString()), QString());
    QCOMPARE(m_harness->toolkit().messageTexts(),
             QStringList{"There is nothing to process.  Please open a file by selecting File menu/Open, or enter "
                         "text into the text box on the Text/Lines tab."});
}

void TestFormatTab::process_data()
{
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const Field semicolon{"formatDelimiter", ";"};
    const Field columns{"formatCreate", "New column"};
    QTest::newRow("new lines") << Fields{semicolon} << "a;b;c\r\n\r\nd\r\n" << "a;\r\nb;\r\nc\r\n\r\nd\r\n";
    QTest::newRow("new lines, delimiter removed") << Fields{semicolon, {"formatRemoveDelimiter", "1"}} << "a;b;c"
                                                  << "a\r\nb\r\nc";
    QTest::newRow("text at the end of every line, the empty last section too")
        << Fields{semicolon, {"formatAddText", "End of line"}, {"formatTextToAdd", "X"}} << "a;b;" << "a;X\r\nb;X\r\nX";
    QTest::newRow("columns two apart") << Fields{semicolon, columns, {"formatSpacesBetweenCols", "2"}} << "a;b;c"
                                       << "a;  b;  c";
    QTest::newRow("columns, delimiter moved")
        << Fields{semicolon, columns, {"formatSpacesBetweenCols", "2"}, {"formatMoveDelimiter", "Yes"}} << "a;b;c"
        << "a  ;b  ;c";
    QTest::newRow("series, first section exempt")
        << Fields{{"formatDelimiter", ";,"}, {"formatAddText", "Start of line"}, {"formatTextToAdd", "<"},
                  {"formatFirstSection", "No"}}
        << "p;q,r;s" << "p;\r\n<q,\r\nr;\r\n<s";
    QTest::newRow("delimiter string is case-sensitive")
        << Fields{{"formatUseDelimiterString", "1"}, {"formatDelimiterString", "</td>"}}
        << "<td>1</td><td>2</td>\r\n<TD>3</TD>" << "<td>1</td>\r\n<td>2</td>\r\n\r\n<TD>3</TD>";
    QTest::newRow("text copied from columns, padded")
        << Fields{{"formatDelimiter", ","}, {"formatAddText", "End of line"}, {"formatAddFromCol", "1"},
                  {"formatNumOfChars", "2"}, {"formatOptions", "Add spaces"}, {"formatPlaceSpaces", "Left side"}}
        << "ab,cd" << "ab, ab\r\ncd ab";
}

void TestFormatTab::process()
{
    QFETCH(Fields, fields);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(tabtest::process(*m_harness, Manipulator::FormatText, "Command6", fields, text), expected);
    QCOMPARE(window().working().undoCopy(), text);
    QVERIFY(window().Command1->isEnabled());
    const QString cli = cliResult(QStringLiteral("format"), fields, text);
    if (!cli.isNull())
        QCOMPARE(cli, expected);
}

void TestFormatTab::afterProcessBoxes()
{
    clickCheck(control<QCheckBox>(window(), "Check9"));
    QVERIFY(!control<QCheckBox>(window(), "Check15")->isEnabled());
    QCOMPARE(tabtest::process(*m_harness, Manipulator::FormatText, "Command6", {{"formatDelimiter", ";"}}, "a;b"),
             QStringLiteral("a;\r\nb"));
    QCOMPARE(window().SSTab1->currentIndex(), int(Manipulator::FormatText));

    clickCheck(control<QCheckBox>(window(), "Check9"));
    clickCheck(control<QCheckBox>(window(), "Check15"));
    QCOMPARE(tabtest::process(*m_harness, Manipulator::FormatText, "Command6", {}, "c;d"), QStringLiteral("c;\r\nd"));
    QCOMPARE(window().SSTab1->currentIndex(), int(Manipulator::TextLines));
    QCOMPARE(window().RichTextBox1->selectionLength(), 5);
}

QTEST_MAIN(TestFormatTab)
#include "test_formattab.moc"
