// SPDX-License-Identifier: GPL-3.0-or-later
// The Manipulator's operation tabs (Move, Add, Replace, Delete, Format Text
// and the line tools of the Text/Lines tab) worked through their controls:
// which fields each choice enables, the messages for a missing field, where
// the focus and the tab strip go, the after-process boxes, the settings-dirty
// marking, the number fields, and a Process on each tab giving what
// tabwright-cli gives for the same text and fields.
#include "manipulatortesting.h"

#include "core/engine/linetools.h"
#include "gui/manipulator/numericbox.h"
#include "gui/manipulator/settingsdirty.h"
#include "gui/shell/mdiform1.h"

#include <QFile>
#include <QGridLayout>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>

#include <sys/resource.h>

using namespace manip;

class TestTabs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void enablingRules_data();
    void enablingRules();
    void formatControlsFollowEachOther_data();
    void formatControlsFollowEachOther();
    void missingFieldRefused_data();
    void missingFieldRefused();
    void tabKeyOnProcessGoesToTheOtherTab_data();
    void tabKeyOnProcessGoesToTheOtherTab();
    void afterProcessBoxes_data();
    void afterProcessBoxes();
    void fieldChangesMarkSettingsDirty_data();
    void fieldChangesMarkSettingsDirty();
    void fieldsKeptWhenTheWindowShowsAgain();
    void numberFieldTakesThreeDigits_data();
    void numberFieldTakesThreeDigits();
    void spinControlSteps_data();
    void spinControlSteps();
    void processGivesTheCommandLineResult_data();
    void processGivesTheCommandLineResult();
    void fieldChangedDuringRunCountsForLaterLines();
    void lineToolsLeaveTextWithoutLength_data();
    void lineToolsLeaveTextWithoutLength();
    void stopKeepsThePartScanned();
    void runOutOfMemoryChangesNothing();

private:
    FrameHarness &harness() { return *m_harness; }
    TextBox *box() { return m_harness->manipulatorBox(); }
    QWidget *focused() { return QApplication::focusWidget(); }
    QStringList wrongEnabling(const QStringList &names, bool enabled);

    std::unique_ptr<FrameHarness> m_harness;
};

namespace {
// The caption in front of a field: what stands in the first column of the
// field's row on its page.
QWidget *captionOf(QWidget *field)
{
    auto grid = field ? qobject_cast<QGridLayout *>(field->parentWidget()->layout()) : nullptr;
    for (int i = 0; grid && i < grid->count(); ++i) {
        QLayoutItem *item = grid->itemAt(i);
        if (item->widget() != field && !(item->layout() && item->layout()->indexOf(field) >= 0))
            continue;
        int row = 0, column = 0, rows = 0, columns = 0;
        grid->getItemPosition(i, &row, &column, &rows, &columns);
        QLayoutItem *caption = grid->itemAtPosition(row, 0);
        return caption ? caption->widget() : nullptr;
    }
    return nullptr;
}

// A different value in a field, as a user's edit or named settings would
// leave it.
void change(QWidget *field)
{
    if (auto combo = qobject_cast<QComboBox *>(field))
        combo->setEditText(combo->currentText() + u'7');
    else if (auto line = qobject_cast<QLineEdit *>(field))
        line->setText(line->text() == u"7" ? QStringLiteral("8") : QStringLiteral("7"));
    else if (auto plain = qobject_cast<QPlainTextEdit *>(field))
        plain->setPlainText(plain->toPlainText() + u'7');
    else if (auto check = qobject_cast<QCheckBox *>(field))
        check->setChecked(!check->isChecked());
}

// The command line's FIELD=VALUE arguments for a row's fields, with the
// backslash escapes it reads.
QStringList cliFields(const Fields &fields)
{
    QStringList arguments;
    for (auto [control, value] : fields) {
        value.replace(u'\\', QStringLiteral("\\\\")).replace(u'\r', QStringLiteral("\\r"));
        value.replace(u'\n', QStringLiteral("\\n")).replace(u'\t', QStringLiteral("\\t"));
        if (const tw::settings::Field *field = fieldOfControl(control); field && !field->afterProcess)
            arguments << field->name + u'=' + value;
    }
    return arguments;
}

// What tabwright-cli makes of the text with the fields (NAME=VALUE) given.
// The text holds CR LF or no line break at all, as a file read by File >
// Open would.
QString cliResult(const QString &operation, const QStringList &fields, const QString &text)
{
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("in.txt"));
    const QString output = dir.filePath(QStringLiteral("out.txt"));
    QFile in(input);
    if (!in.open(QIODevice::WriteOnly) || in.write(text.toUtf8()) < 0)
        return QStringLiteral("<cannot write the input>");
    in.close();
    QProcess cli;
    cli.start(QStringLiteral(TABWRIGHT_CLI), QStringList{operation} + fields + QStringList{"-o", output, input});
    if (!cli.waitForFinished(60000) || cli.exitStatus() != QProcess::NormalExit || cli.exitCode() != 0)
        return QStringLiteral("<cli failed: %1>").arg(QString::fromUtf8(cli.readAllStandardError()));
    QFile out(output);
    if (!out.open(QIODevice::ReadOnly))
        return QStringLiteral("<no output>");
    QString result = QString::fromUtf8(out.readAll());
    // A file without a CR is written back with LF line ends, where File >
    // Open would have given the window CR LF.
    if (!text.contains(u'\r'))
        result.replace(u'\n', QStringLiteral("\r\n"));
    return result;
}
} // namespace

void TestTabs::init()
{
    m_harness = std::make_unique<FrameHarness>();
    QVERIFY(m_harness->start());
}

void TestTabs::cleanup()
{
    m_harness.reset();
}

// Control names, or "caption:NAME" for the caption in front of a field.
QStringList TestTabs::wrongEnabling(const QStringList &names, bool enabled)
{
    QStringList wrong;
    for (const QString &name : names) {
        QWidget *widget = name.startsWith(QLatin1String("caption:"))
            ? captionOf(control(harness(), name.mid(8)))
            : control(harness(), name);
        if (!widget || widget->isEnabled() != enabled)
            wrong << name;
    }
    return wrong;
}

void TestTabs::enablingRules_data()
{
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QStringList>("disabled");

    auto withCaptions = [](const QStringList &fields) {
        QStringList all = fields;
        for (const QString &field : fields)
            if (!field.startsWith(QLatin1String("UpDown")))
                all << QStringLiteral("caption:") + field;
        return all;
    };
    const QStringList moveByColumn = withCaptions({"MaskEdBox1", "UpDown1", "MaskEdBox3", "UpDown3"});
    const QStringList moveSpecific = withCaptions({"Text1"});
    const QStringList moveToColumn = withCaptions({"MaskEdBox2", "UpDown2"});
    const QStringList moveSpaceCount = withCaptions({"MaskEdBox5", "UpDown5"});
    const QStringList moveSpacing = moveSpaceCount + withCaptions({"Combo3"});
    QTest::newRow("Move: as opened") << Fields{} << moveByColumn + moveToColumn << moveSpecific + moveSpacing;
    QTest::newRow("Move: General Move") << Fields{{"Combo1", "General Move"}} << moveByColumn << moveSpecific;
    QTest::newRow("Move: Specific Move") << Fields{{"Combo1", "Specific Move"}} << moveByColumn + moveSpecific
                                         << QStringList{};
    QTest::newRow("Move: a typed text") << Fields{{"Combo1", "Specific Mov"}} << QStringList{}
                                        << moveByColumn + moveSpecific;
    QTest::newRow("Move: end of line") << Fields{{"Check1", "1"}} << QStringList{} << moveToColumn;
    QTest::newRow("Move: end of line cleared") << Fields{{"Check1", "1"}, {"Check1", "0"}} << moveToColumn
                                               << QStringList{};
    QTest::newRow("Move: Add spaces, no to column")
        << Fields{{"MaskEdBox2", ""}, {"Combo2", "Add spaces"}} << moveSpacing << QStringList{};
    QTest::newRow("Move: Add spaces, then a to column")
        << Fields{{"Combo2", "Add spaces"}, {"MaskEdBox2", "7"}} << moveSpaceCount + QStringList{"caption:Combo3"}
        << QStringList{"Combo3"};
    QTest::newRow("Move: back to Omit spaces")
        << Fields{{"MaskEdBox2", ""}, {"Combo2", "Add spaces"}, {"Combo2", "Omit spaces"}} << QStringList{}
        << moveSpacing;

    const QStringList addColumn = withCaptions({"MaskEdBox9", "UpDown9"});
    const QStringList addSpacing = withCaptions({"MaskEdBox6", "UpDown6", "Combo4"});
    QTest::newRow("Add: as opened") << Fields{} << addColumn << addSpacing;
    QTest::newRow("Add: end of line") << Fields{{"Check2", "1"}} << QStringList{} << addColumn;
    QTest::newRow("Add: Add spaces") << Fields{{"Combo5", "Add spaces"}} << addSpacing << QStringList{};
    QTest::newRow("Add: a typed option is no entry") << Fields{{"Combo5", "add spaces"}} << QStringList{}
                                                     << addSpacing;

    const QStringList replaceColumn = withCaptions({"MaskEdBox11", "UpDown11"});
    const QStringList replaceCount = withCaptions({"MaskEdBox8", "UpDown8"});
    const QStringList replaceSpecific = withCaptions({"Text4"});
    QTest::newRow("Replace: as opened") << Fields{} << replaceColumn + replaceCount + QStringList{"Check3", "Text5"}
                                        << replaceSpecific;
    QTest::newRow("Replace: Specific Replace") << Fields{{"Combo7", "Specific Replace"}}
                                               << replaceColumn + replaceSpecific << replaceCount;
    QTest::newRow("Replace: a typed text") << Fields{{"Combo7", "abc"}} << QStringList{"Check3", "Text5"}
                                           << replaceColumn + replaceCount + replaceSpecific;
    QTest::newRow("Replace: end of line") << Fields{{"Check3", "1"}} << replaceCount << replaceColumn;
    QTest::newRow("Replace: end of line, then Specific Replace")
        << Fields{{"Check3", "1"}, {"Combo7", "Specific Replace"}} << replaceSpecific
        << replaceColumn + replaceCount;
    QTest::newRow("Replace: typed text, end of line cleared")
        << Fields{{"Check3", "1"}, {"Combo7", "x"}, {"Check3", "0"}} << QStringList{"Check3"}
        << replaceColumn + replaceCount + replaceSpecific;

    const QStringList deleteColumn = withCaptions({"MaskEdBox7", "UpDown7"});
    const QStringList deleteCount = withCaptions({"MaskEdBox10", "UpDown10"});
    const QStringList deleteSpecific = withCaptions({"Text6"});
    const QStringList deleteSpaces = withCaptions({"MaskEdBox12", "UpDown12"});
    QTest::newRow("Delete: as opened") << Fields{} << deleteColumn + deleteCount + QStringList{"Check4"}
                                       << deleteSpecific + deleteSpaces;
    QTest::newRow("Delete: Specific Delete") << Fields{{"Combo6", "Specific Delete"}}
                                             << deleteColumn + deleteSpecific << deleteCount;
    // A typed text still reads the specific text (CR LF there drops the
    // lines the deletion empties): the box stays open, its caption greys.
    QTest::newRow("Delete: a typed text") << Fields{{"Combo6", "x"}} << QStringList{"Text6", "Check4"}
                                          << deleteColumn + deleteCount + QStringList{"caption:Text6"};
    QTest::newRow("Delete: whole lines by a text") << Fields{{"Combo8", "Add spaces"}, {"Combo6", "Keep Lines Containing"}}
                                                   << deleteSpecific
                                                   << deleteColumn + deleteCount + deleteSpaces
                                                          + withCaptions({"Combo8"}) + QStringList{"Check4"};
    QTest::newRow("Delete: end of line") << Fields{{"Check4", "1"}} << deleteCount << deleteColumn;
    QTest::newRow("Delete: Add spaces") << Fields{{"Combo8", "Add spaces"}} << deleteSpaces << QStringList{};
    QTest::newRow("Delete: back to Omit spaces") << Fields{{"Combo8", "Add spaces"}, {"Combo8", "Omit spaces"}}
                                                 << QStringList{} << deleteSpaces;

    const QStringList added = withCaptions({"Text9", "Combo10", "Combo15"});
    const QStringList fromColumns = withCaptions({"MaskEdBox14", "UpDown14", "MaskEdBox15", "UpDown15"});
    const QStringList spaces = withCaptions({"Combo11", "MaskEdBox13", "UpDown13"});
    const std::pair<QString, QString> atEnd{"Combo13", "End of line"};
    QTest::newRow("Format: as opened") << Fields{} << QStringList{"Combo9", "Combo13"}
                                       << added + fromColumns + spaces + QStringList{"Text11"};
    QTest::newRow("Format: Start of line") << Fields{{"Combo13", "Start of line"}} << added + fromColumns
                                           << spaces;
    QTest::newRow("Format: a text to add") << Fields{atEnd, {"Text9", "X"}} << added << fromColumns + spaces;
    QTest::newRow("Format: text to add emptied") << Fields{atEnd, {"Text9", "X"}, {"Text9", ""}}
                                                 << added + fromColumns << spaces;
    QTest::newRow("Format: Add spaces") << Fields{atEnd, {"Combo10", "Add spaces"}} << added + spaces
                                        << QStringList{};
    QTest::newRow("Format: Omit text again") << Fields{atEnd, {"Combo10", "Add spaces"}, {"Combo13", "Omit text"}}
                                             << QStringList{} << added + fromColumns + spaces;
    QTest::newRow("Format: create neither line nor column") << Fields{atEnd, {"Combo12", "New"}} << QStringList{}
                                                            << added + fromColumns;
    QTest::newRow("Format: delimiter string") << Fields{{"Check17", "1"}} << QStringList{"Text11"}
                                              << QStringList{"Combo9", "caption:Combo9"};
}

void TestTabs::enablingRules()
{
    QFETCH(Fields, fields);
    QFETCH(QStringList, enabled);
    QFETCH(QStringList, disabled);
    QVERIFY(setFields(harness(), fields));
    QCOMPARE(wrongEnabling(enabled, true), QStringList{});
    QCOMPARE(wrongEnabling(disabled, false), QStringList{});
}

void TestTabs::formatControlsFollowEachOther_data()
{
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QString>("firstPlacement"); // Combo13's first entry
    QTest::addColumn<QString>("placement");      // Combo13's text
    QTest::addColumn<bool>("columnControls");    // shown
    QTest::addColumn<QString>("moveDelimiter");  // Combo14's text
    QTest::addColumn<bool>("moveEnabled");

    const std::pair<QString, QString> columns{"Combo12", "New column"};
    QTest::newRow("as opened") << Fields{} << "Start of line" << "Omit text" << false << "No" << true;
    QTest::newRow("New column") << Fields{columns} << "Start of column" << "Omit text" << true << "No" << true;
    QTest::newRow("back to New line") << Fields{columns, {"Combo12", "New line"}} << "Start of line" << "Omit text"
                                      << false << "No" << true;
    // A placement of the other pair stays in the box; it means the same.
    QTest::newRow("placement kept across the switch") << Fields{{"Combo13", "End of line"}, columns}
                                                      << "Start of column" << "End of line" << true << "No" << true;
    QTest::newRow("a removed delimiter cannot move")
        << Fields{columns, {"Combo14", "Yes"}, {"Check18", "1"}} << "Start of column" << "Omit text" << true << "No"
        << false;
    QTest::newRow("a kept delimiter may move again")
        << Fields{columns, {"Check18", "1"}, {"Check18", "0"}, {"Combo14", "Yes"}} << "Start of column"
        << "Omit text" << true << "Yes" << true;
}

void TestTabs::formatControlsFollowEachOther()
{
    QFETCH(Fields, fields);
    QFETCH(QString, firstPlacement);
    QFETCH(QString, placement);
    QFETCH(bool, columnControls);
    QFETCH(QString, moveDelimiter);
    QFETCH(bool, moveEnabled);
    tabStrip(harness())->setCurrentIndex(Tab::FormatText);
    QVERIFY(setFields(harness(), fields));
    auto combo13 = control<QComboBox>(harness(), "Combo13");
    QCOMPARE(combo13->itemText(0), firstPlacement);
    QCOMPARE(combo13->currentText(), placement);
    auto combo14 = control<QComboBox>(harness(), "Combo14");
    for (QWidget *widget : {static_cast<QWidget *>(combo14), captionOf(combo14), control(harness(), "MaskEdBox16"),
                            control(harness(), "UpDown16"), captionOf(control(harness(), "MaskEdBox16"))})
        QCOMPARE(widget->isVisible(), columnControls);
    QCOMPARE(combo14->currentText(), moveDelimiter);
    QCOMPARE(combo14->isEnabled(), moveEnabled);
    QCOMPARE(captionOf(combo14)->isEnabled(), moveEnabled);
}

void TestTabs::missingFieldRefused_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("button");
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");

    QTest::newRow("Move") << int(Tab::MoveText) << "Command2" << Fields{}
                          << "Please enter text to move; or select a move type and enter 'Specific text to move', "
                             "if necessary."
                          << "Combo1";
    QTest::newRow("Add") << int(Tab::AddText) << "Command3" << Fields{} << "Please enter text to add." << "Text2";
    QTest::newRow("Replace") << int(Tab::ReplaceText) << "Command4" << Fields{}
                             << "Please enter text to replace; or select a replace type and enter 'Specific text "
                                "to replace', if necessary."
                             << "Combo7";
    QTest::newRow("Delete") << int(Tab::DeleteText) << "Command5" << Fields{}
                            << "Please enter text to delete; or select a delete type and enter 'Specific text to "
                               "delete', if necessary."
                            << "Combo6";
    QTest::newRow("Delete: lines containing nothing given")
        << int(Tab::DeleteText) << "Command5" << Fields{{"Combo6", "Delete Lines Containing"}}
        << "Please enter the text to look for in 'Specific text to delete'." << "Text6";
    QTest::newRow("Format: no delimiter") << int(Tab::FormatText) << "Command6" << Fields{}
                                          << "Please enter or select character(s) to use as delimiter(s)."
                                          << "Combo9";
    QTest::newRow("Format: empty delimiter string")
        << int(Tab::FormatText) << "Command6" << Fields{{"Combo9", ";"}, {"Check17", "1"}}
        << "Please enter character(s) to use as a delimiter." << "Text11";
    QTest::newRow("Format: copying from column 0")
        << int(Tab::FormatText) << "Command6"
        << Fields{{"Combo9", ";"}, {"Combo13", "End of line"}, {"MaskEdBox14", ""}}
        << "The text to add is copied from each line, so \"Add text from column:\" needs a column of 1 or more.  "
           "Please enter a column, or enter the text to add."
        << "MaskEdBox14";
}

void TestTabs::missingFieldRefused()
{
    QFETCH(int, tab);
    QFETCH(QString, button);
    QFETCH(Fields, fields);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    // The text before this one is the undo copy, and stays it.
    harness().userSetsText(QStringLiteral("before"));
    QCOMPARE(process(harness(), Tab(tab), button, fields, QStringLiteral("a;b;c")), QStringLiteral("a;b;c"));
    QCOMPARE(harness().toolkit().messageTexts(), QStringList{message});
    QCOMPARE(harness().toolkit().lastPrompt().message.title, QStringLiteral("Tabwright"));
    QVERIFY(focused());
    QCOMPARE(focused()->objectName(), focus);
    QCOMPARE(harness().document().undoCopy(), QStringLiteral("before"));
    QCOMPARE(tabStrip(harness())->currentIndex(), tab);
}

void TestTabs::tabKeyOnProcessGoesToTheOtherTab_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("nextTab");
    QTest::addColumn<QString>("firstField");
    QTest::newRow("Move Text to Add Text") << int(Tab::MoveText) << "Command2" << int(Tab::AddText) << "Text2";
    QTest::newRow("Add Text to Move Text") << int(Tab::AddText) << "Command3" << int(Tab::MoveText) << "Combo1";
}

void TestTabs::tabKeyOnProcessGoesToTheOtherTab()
{
    QFETCH(int, tab);
    QFETCH(QString, button);
    QFETCH(int, nextTab);
    QFETCH(QString, firstField);
    tabStrip(harness())->setCurrentIndex(tab);
    QWidget *process = control(harness(), button);
    process->setFocus();
    QCOMPARE(focused(), process);
    QTest::keyClick(process, Qt::Key_Tab);
    QCOMPARE(tabStrip(harness())->currentIndex(), nextTab);
    QCOMPARE(focused(), control(harness(), firstField));
}

void TestTabs::afterProcessBoxes_data()
{
    QTest::addColumn<int>("tabIndex");
    QTest::addColumn<QString>("mode");
    for (int i = 0; i < operationTabs().size(); ++i) {
        if (!operationTabs().at(i).after)
            continue;
        for (const char *mode : {"stays on the tab", "caret at the start", "all selected"})
            QTest::addRow("%s, %s", operationTabs().at(i).name, mode) << i << QString::fromLatin1(mode);
    }
}

void TestTabs::afterProcessBoxes()
{
    QFETCH(int, tabIndex);
    QFETCH(QString, mode);
    const OperationTab &tab = operationTabs().at(tabIndex);
    auto after = control<QCheckBox>(harness(), tab.after);
    auto selectAll = control<QCheckBox>(harness(), tab.selectAll);
    QVERIFY(after->isChecked());
    QVERIFY(!selectAll->isChecked());

    if (mode == u"stays on the tab") {
        // Select All means nothing without the Text/Lines tab.
        selectAll->click();
        after->click();
        QVERIFY(!selectAll->isChecked());
        QVERIFY(!selectAll->isEnabled());
    } else if (mode == u"all selected") {
        selectAll->click();
    }
    const QString text = QStringLiteral("ab;a\r\nc;a");
    harness().userSetsText(text);
    box()->setCaret(text.size());
    tabStrip(harness())->setCurrentIndex(tab.tab);
    QVERIFY(setFields(harness(), tab.enough));
    click(harness(), tab.process);
    QCOMPARE(harness().document().undoCopy(), text); // the run took place

    if (mode == u"stays on the tab") {
        QCOMPARE(tabStrip(harness())->currentIndex(), int(tab.tab));
        after->click();
        QVERIFY(selectAll->isEnabled());
        QVERIFY(!selectAll->isChecked());
        return;
    }
    QCOMPARE(tabStrip(harness())->currentIndex(), int(Tab::TextLines));
    QCOMPARE(focused(), box());
    QCOMPARE(box()->selectionStart(), 0);
    QCOMPARE(box()->selectionLength(), mode == u"all selected" ? box()->characterCount() : 0);
}

void TestTabs::fieldChangesMarkSettingsDirty_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QStringList>("names");
    // Every field the named settings keep, tab by tab.
    QMap<int, QStringList> controls;
    for (const tw::settings::Field &field : tw::settings::fields())
        controls[tabOf(field.group)] << field.control;
    for (auto it = controls.cbegin(); it != controls.cend(); ++it)
        QTest::addRow("tab %d", it.key()) << it.key() << it.value();
}

void TestTabs::fieldChangesMarkSettingsDirty()
{
    QFETCH(int, tab);
    QFETCH(QStringList, names);
    SettingsDirty &dirty = window(harness())->settingsDirty();
    // Nothing the window did while it was built counts as a change.
    QVERIFY(!dirty.isDirty());

    tabStrip(harness())->setCurrentIndex(tab);
    for (const QString &name : std::as_const(names)) {
        QWidget *field = control(harness(), name);
        QVERIFY(field);
        dirty.clear();
        field->setFocus();
        QVERIFY2(!dirty.isDirty(), qPrintable(name + " marked on the focus"));
        // Named settings being loaded change the field without marking it.
        dirty.setLoading(true);
        change(field);
        dirty.setLoading(false);
        QVERIFY2(!dirty.isDirty(), qPrintable(name + " marked while loading"));
        change(field);
        QVERIFY2(dirty.isDirty(), qPrintable(name + " not marked"));
    }
}

void TestTabs::fieldsKeptWhenTheWindowShowsAgain()
{
    QVERIFY(setFields(harness(), {{"Combo1", "abc"}, {"MaskEdBox17", "5"}, {"Check5", "0"}}));
    harness().frame().closeChild(window(harness()));
    QVERIFY(!harness().isShown(QStringLiteral("Manipulator")));
    harness().openMenu(QStringLiteral("menuView"));
    harness().action(QStringLiteral("menuViewTabwrite"))->trigger();
    QVERIFY(harness().isShown(QStringLiteral("Manipulator")));
    QCOMPARE(control<QComboBox>(harness(), "Combo1")->currentText(), QStringLiteral("abc"));
    QCOMPARE(control<QLineEdit>(harness(), "MaskEdBox17")->text(), QStringLiteral("5"));
    QVERIFY(!control<QCheckBox>(harness(), "Check5")->isChecked());
}

void TestTabs::numberFieldTakesThreeDigits_data()
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

void TestTabs::numberFieldTakesThreeDigits()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, value);
    tabStrip(harness())->setCurrentIndex(Tab::MoveText);
    auto box = control<MaskEdBox>(harness(), "MaskEdBox1");
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->value(), 0); // an empty field reads as 0
    for (const QChar c : typed)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QCOMPARE(box->text(), shown);
    QCOMPARE(box->value(), value);
}

void TestTabs::spinControlSteps_data()
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

void TestTabs::spinControlSteps()
{
    QFETCH(QString, start);
    QFETCH(bool, up);
    QFETCH(QString, after);
    tabStrip(harness())->setCurrentIndex(Tab::MoveText);
    auto box = control<MaskEdBox>(harness(), "MaskEdBox3");
    auto spin = control<UpDown>(harness(), "UpDown3");
    box->setText(start);
    QTest::mouseClick(up ? spin->upButton() : spin->downButton(), Qt::LeftButton);
    QCOMPARE(box->text(), after);

    // The arrow keys in the field step it the same way.
    box->setText(start);
    box->setFocus();
    QTest::keyClick(box, up ? Qt::Key_Up : Qt::Key_Down);
    QCOMPARE(box->text(), after);
}

void TestTabs::processGivesTheCommandLineResult_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<Fields>("fields");
    QTest::addColumn<QString>("text");

    // The placement box, disabled while a to column is given, still counts.
    QTest::newRow("Move") << int(Tab::MoveText) << "Command2" << "move"
                          << Fields{{"Combo1", "General Move"}, {"MaskEdBox1", "5"}, {"MaskEdBox3", "2"},
                                    {"Combo2", "Add spaces"}, {"Combo3", "Right side"}, {"MaskEdBox2", "2"}}
                          << "abcdef\r\n\r\nxy";
    // Enter alone in the condition box is exactly CR LF: the empty lines.
    QTest::newRow("Add") << int(Tab::AddText) << "Command3" << "add" << Fields{{"Text2", "X"}, {"Text3", "\r\n"}}
                         << "a\r\n\r\nb\r\n";
    QTest::newRow("Replace") << int(Tab::ReplaceText) << "Command4" << "replace"
                             << Fields{{"Combo7", "Specific Replace"}, {"Text4", "cd"}, {"MaskEdBox11", "3"},
                                       {"Text5", "-"}}
                             << "abcdef\r\nabxcdf";
    QTest::newRow("Delete drops the blank lines") << int(Tab::DeleteText) << "Command5" << "delete"
                                                  << Fields{{"Combo6", "Specific Delete"}, {"Text6", "\r\n"}}
                                                  << "a\r\n\r\n\r\nb\r\n\r\n";
    QTest::newRow("Delete keeps the lines holding a text") << int(Tab::DeleteText) << "Command5" << "delete"
                                                           << Fields{{"Combo6", "Keep Lines Containing"}, {"Text6", "b"}}
                                                           << "ab\r\n\r\nc\r\nb";
    QTest::newRow("Format") << int(Tab::FormatText) << "Command6" << "format"
                            << Fields{{"Combo9", ";"}, {"Combo12", "New column"}, {"MaskEdBox16", "2"}}
                            << "a;b;c\r\nd;e";
    QTest::newRow("Join Lines") << int(Tab::TextLines) << "Command13" << "join-lines" << Fields{}
                                << "A\r\nB\r\n\r\nC";
    QTest::newRow("Create Line") << int(Tab::TextLines) << "Command15" << "create-line" << Fields{}
                                 << "A\r\nB\r\n\r\nC";
    QTest::newRow("line tools' Process") << int(Tab::TextLines) << "Command14" << "break-lines"
                                         << Fields{{"MaskEdBox17", "3"}} << "abcdefghij";
}

void TestTabs::processGivesTheCommandLineResult()
{
    QFETCH(int, tab);
    QFETCH(QString, button);
    QFETCH(QString, operation);
    QFETCH(Fields, fields);
    QFETCH(QString, text);
    const QString result = process(harness(), Tab(tab), button, fields, text);
    QVERIFY(result != text);
    QCOMPARE(result, cliResult(operation, cliFields(fields), text));
    QCOMPARE(box()->plainText(), result);
    QCOMPARE(focused(), box());
    QVERIFY(harness().toolkit().prompts().isEmpty());

    click(harness(), QStringLiteral("Command1"));
    QCOMPARE(harness().document().text(), text);
    QCOMPARE(box()->plainText(), text);
}

void TestTabs::fieldChangedDuringRunCountsForLaterLines()
{
    // A user can change a field while a long run lets window events through;
    // the lines processed after that see the new value.
    const QString line = QStringLiteral("a-b-c-d-e-f-g-h-i-j-k-l-m-n-o-p-q-r-s-t");
    tabStrip(harness())->setCurrentIndex(Tab::ReplaceText);
    QVERIFY(setFields(harness(), {{"Combo7", "-"}, {"Text5", "="}}));
    const QString text = clickWhileRunning(harness(), line, QStringLiteral("Command4"), [this] {
        control<QLineEdit>(harness(), "Text5")->setText(QStringLiteral("+"));
    });
    QVERIFY2(!text.isEmpty(), "no run let window events through");
    const QString before = QString(line).replace(u'-', u'=');
    const QString after = QString(line).replace(u'-', u'+');
    const QStringList out = harness().document().text().split(QStringLiteral("\r\n"));
    QCOMPARE(out.size(), text.count(QStringLiteral("\r\n")) + 1);
    QCOMPARE(out.first(), before);
    QCOMPARE(out.last(), after);
    // Every line is whole: the change took effect between lines, never inside one.
    for (const QString &piece : out)
        QVERIFY(piece == before || piece == after);
}

void TestTabs::lineToolsLeaveTextWithoutLength_data()
{
    QTest::addColumn<Fields>("fields");
    QTest::newRow("as opened: the only number field that starts empty") << Fields{};
    QTest::newRow("0 characters") << Fields{{"MaskEdBox17", "0"}};
}

void TestTabs::lineToolsLeaveTextWithoutLength()
{
    QFETCH(Fields, fields);
    harness().userSetsText(QStringLiteral("before"));
    const QString text = QStringLiteral("abcdef");
    QCOMPARE(process(harness(), Tab::TextLines, QStringLiteral("Command14"), fields, text), text);
    QCOMPARE(harness().document().undoCopy(), QStringLiteral("before"));
    QVERIFY(harness().toolkit().prompts().isEmpty());
    QCOMPARE(focused(), box());
}

void TestTabs::stopKeepsThePartScanned()
{
    // Paragraphs of two lines: Join Lines leaves many short lines, which the
    // box takes in quickly.
    const QString paragraph = QStringLiteral("0123456789 abcdefghij\r\nklmnopqrst\r\n");
    bool progressShown = false;
    const QString text = clickWhileRunning(harness(), paragraph, QStringLiteral("Command13"), [&] {
        progressShown = control(harness(), "ProgressBar1")->isVisible();
        click(harness(), QStringLiteral("Command17"));
    });
    QVERIFY2(!text.isEmpty(), "no run let window events through");
    QVERIFY(progressShown);
    // The part scanned so far, joined as the whole text would have been.
    const QString result = harness().document().text();
    const QString whole = tw::joinLines(text).text;
    QVERIFY(!result.isEmpty());
    QVERIFY(result.size() < whole.size());
    QVERIFY(whole.startsWith(result));
    QVERIFY(!control(harness(), "Command17")->isEnabled());
    QVERIFY(harness().frame().statusBar()->currentMessage().startsWith(QLatin1String("Stopped after ")));
    click(harness(), QStringLiteral("Command1"));
    QCOMPARE(harness().document().text(), text);
}

void TestTabs::runOutOfMemoryChangesNothing()
{
    // Three passes over seven characters, each section padded with 999
    // spaces: about 70 million characters, far more than the process may
    // take here, as on a machine short of memory.
    harness().userSetsText(QStringLiteral("before"));
    const QString text = QStringLiteral("a;b;c;d");
    harness().userSetsText(text);
    tabStrip(harness())->setCurrentIndex(Tab::FormatText);
    QVERIFY(setFields(harness(), {{"Combo9", "; ,"}, {"Combo12", "New column"}, {"MaskEdBox16", "999"},
                                  {"Combo13", "End of column"}, {"Text9", ","}, {"Combo10", "Add spaces"},
                                  {"MaskEdBox13", "999"}}));
    QFile status(QStringLiteral("/proc/self/statm"));
    QVERIFY(status.open(QIODevice::ReadOnly));
    const qint64 pages = status.readAll().split(' ').first().toLongLong();
    rlimit saved;
    QCOMPARE(::getrlimit(RLIMIT_AS, &saved), 0);
    const rlimit tight{rlim_t(pages * 4096 + (48LL << 20)), saved.rlim_max};
    QCOMPARE(::setrlimit(RLIMIT_AS, &tight), 0);
    click(harness(), QStringLiteral("Command6"));
    QCOMPARE(::setrlimit(RLIMIT_AS, &saved), 0);

    QCOMPARE(harness().toolkit().messageTexts(),
             QStringList{"There is not enough memory for the result.  Nothing was changed."});
    QCOMPARE(harness().document().text(), text);
    QCOMPARE(harness().document().undoCopy(), QStringLiteral("before"));
    QVERIFY(!harness().frame().busy().isBusy());
    QVERIFY(!control(harness(), "Command17")->isEnabled());
}

QTEST_MAIN(TestTabs)
#include "test_tabs.moc"
