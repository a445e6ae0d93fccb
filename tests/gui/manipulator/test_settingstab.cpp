// SPDX-License-Identifier: GPL-3.0-or-later
// The Settings tab worked through its controls: saving every field and the
// column layout under a name, selecting and deleting it, with the messages
// and questions on the way, read back through a connection of the test's own;
// every field of the settings field list coming back into its control; and a
// settings replayed by tabwright-cli run giving what the Process buttons give.
#include "manipulatortesting.h"

#include "core/db/database.h"
#include "core/settings/settingsstore.h"

#include <QLabel>
#include <QProcess>
#include <QPushButton>

using namespace manip;
using tw::settings::Field;

namespace {

using Rows = QList<QStringList>;

const QString manipulator = QStringLiteral("Manipulator");
const QString byColumns = QStringLiteral("Use column specs on the Tabwrite Text tab");

// A control's value as a user reads it: "1"/"0" for a check box, line breaks
// of a multi-line box as CR LF.
QString valueOf(QWidget *control)
{
    if (auto check = qobject_cast<QCheckBox *>(control))
        return check->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    if (auto combo = qobject_cast<QComboBox *>(control))
        return combo->currentText();
    if (auto plain = qobject_cast<QPlainTextEdit *>(control))
        return plain->toPlainText().replace(u'\n', QStringLiteral("\r\n"));
    if (auto line = qobject_cast<QLineEdit *>(control))
        return line->text();
    return QStringLiteral("<no control>");
}

// Puts a value into a control as other code would, whether or not the
// control takes typing at the moment.
void setValue(QWidget *control, const QString &value)
{
    if (auto check = qobject_cast<QCheckBox *>(control))
        check->setChecked(value == u"1");
    else if (auto combo = qobject_cast<QComboBox *>(control))
        combo->setEditText(value);
    else if (auto plain = qobject_cast<QPlainTextEdit *>(control))
        plain->setPlainText(QString(value).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    else if (auto line = qobject_cast<QLineEdit *>(control))
        line->setText(value);
}

QString defaultOf(const Field &field)
{
    const qsizetype index = tw::settings::fieldIndex(field.name);
    return tw::settings::storedText(field, tw::settings::SettingsRecord::defaults().value(index));
}

// A value the field's control does not start with.
QString otherValue(const Field &field)
{
    switch (field.input) {
    case tw::settings::Control::CheckBox: return defaultOf(field) == u"1" ? QStringLiteral("0") : QStringLiteral("1");
    case tw::settings::Control::NumberBox: return QStringLiteral("47");
    case tw::settings::Control::MultiLineBox: return QStringLiteral("it's\r\n\"two\" lines");
    case tw::settings::Control::FixedList:
        for (const QString &entry : field.entries)
            if (entry != defaultOf(field))
                return entry;
        return {};
    case tw::settings::Control::TextBox:
    case tw::settings::Control::DropDown: break;
    }
    return QStringLiteral("it's \"x\"; DROP TABLE tabwrite_settings");
}

Rows rowsOf(const QString &path, const QString &sql)
{
    tw::Database reader;
    if (reader.open(path).isError())
        return {{QStringLiteral("<cannot open>")}};
    tw::Result<tw::Recordset> rows = reader.openRecordset(sql, tw::RecordsetType::Snapshot);
    if (!rows)
        return {{QStringLiteral("<error: %1>").arg(rows.error().description)}};
    Rows read;
    for (tw::Recordset &set = rows.value(); !set.isEof(); (void)set.moveNext()) {
        QStringList row;
        for (int i = 0; i < set.fields().size(); ++i) {
            const QVariant value = set.value(i).valueOr({});
            row << (value.isNull() ? QStringLiteral("<null>") : value.toString());
        }
        read << row;
    }
    return read;
}
} // namespace

class TestSettingsTab : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void controlsStartAsTheFieldListSays();
    void everyFieldComesBack_data();
    void everyFieldComesBack();
    void loadingRunsTheControlsRules();
    void savedUnderItsStoredName();
    void listInOrderOfStoredNames();
    void overwriteQuestion_data();
    void overwriteQuestion();
    void selectingAnUnknownNameDoesNothing();
    void selectReplacesRowsWithAStartColumn();
    void deleteRemovesRecordAndTable_data();
    void deleteRemovesRecordAndTable();
    void buttonsWithNothingStored();
    void missingName_data();
    void missingName();
    void leftoverColumnTableIsRefilled_data();
    void leftoverColumnTableIsRefilled();
    void refusedNames_data();
    void refusedNames();
    void failedWriteStoresNothing();
    void externalDatabaseEndsWithTheEngineMessage();
    void clearSettingsKeepsRowsWithoutStartColumn();
    void replayGivesTheWindowsResult();

private:
    template <typename T = QWidget>
    T *control(const QString &name) { return m_harness->control<T>(manipulator, name); }
    QComboBox *nameBox() { return control<QComboBox>(QStringLiteral("Combo16")); }
    void showTab(Tab tab) { tabStrip(*m_harness)->setCurrentIndex(tab); }
    // Changes a field and puts it back: the settings count as changed, so
    // "&Save Settings" is offered when the tab shows.
    void touch();
    void saveAs(const QString &name);
    void select(const QString &name);
    void addLayoutRow(const QVariant &heading, const QVariant &from, int count, int width = 10);
    Rows rows(const QString &sql) { return rowsOf(m_harness->defaultDbPath(), sql); }
    bool exec(const QString &sql);
    Rows settingsRows() { return rows(QStringLiteral("SELECT nameOfSettings, addText FROM tabwrite_allFields")); }
    QStringList tables();
    QString caption() { return control<QLabel>(QStringLiteral("DBGrid1Caption"))->text(); }

    std::unique_ptr<FrameHarness> m_harness;
};

void TestSettingsTab::init()
{
    m_harness = std::make_unique<FrameHarness>();
    QVERIFY(m_harness->start());
}

void TestSettingsTab::cleanup()
{
    m_harness.reset();
}

void TestSettingsTab::touch()
{
    auto box = control<QLineEdit>(QStringLiteral("Text11"));
    const QString kept = box->text();
    box->setText(kept + u'+');
    box->setText(kept);
}

void TestSettingsTab::saveAs(const QString &name)
{
    showTab(Tab::TextLines);
    touch();
    showTab(Tab::Settings);
    nameBox()->setEditText(name);
    QVERIFY(control<QPushButton>(QStringLiteral("Command8"))->isEnabled());
    click(*m_harness, QStringLiteral("Command8"));
}

void TestSettingsTab::select(const QString &name)
{
    showTab(Tab::Settings);
    nameBox()->setEditText(name);
    click(*m_harness, QStringLiteral("Command9"));
}

void TestSettingsTab::addLayoutRow(const QVariant &heading, const QVariant &from, int count, int width)
{
    tw::Database writer;
    QVERIFY(!writer.open(m_harness->defaultDbPath()).isError());
    QVERIFY(writer.exec(QStringLiteral("INSERT INTO tabwrite_settings VALUES (?, ?, ?, 1, ?)"),
                        {heading, from, count, width}));
}

bool TestSettingsTab::exec(const QString &sql)
{
    tw::Database writer;
    return !writer.open(m_harness->defaultDbPath()).isError() && writer.exec(sql).ok();
}

QStringList TestSettingsTab::tables()
{
    tw::Database reader;
    if (reader.open(m_harness->defaultDbPath()).isError())
        return {QStringLiteral("<cannot open>")};
    return reader.tableNames().valueOr({QStringLiteral("<error>")});
}

void TestSettingsTab::controlsStartAsTheFieldListSays()
{
    // The command line starts from these values and takes these entries.
    QStringList wrong;
    for (const Field &field : tw::settings::fields()) {
        QWidget *widget = control(field.control);
        if (valueOf(widget) != defaultOf(field))
            wrong << field.name + QStringLiteral(" starts as ") + valueOf(widget);
        auto combo = qobject_cast<QComboBox *>(widget);
        if (combo && !combo->isEditable())
            wrong << field.name + QStringLiteral(" is not editable");
        for (int i = 0; combo && i < combo->count(); ++i)
            if (!field.entries.contains(combo->itemText(i)))
                wrong << field.name + QStringLiteral(" offers ") + combo->itemText(i);
    }
    QCOMPARE(wrong, QStringList());
}

void TestSettingsTab::everyFieldComesBack_data()
{
    QTest::addColumn<QString>("field");
    for (const Field &field : tw::settings::fields())
        QTest::newRow(qPrintable(field.name)) << field.name;
}

void TestSettingsTab::everyFieldComesBack()
{
    QFETCH(QString, field);
    const Field &f = *tw::settings::findField(field);
    const QString value = otherValue(f);
    QVERIFY(value != defaultOf(f));
    setValue(control(f.control), value);
    saveAs(QStringLiteral("Round"));
    setValue(control(f.control), defaultOf(f));
    QCOMPARE(valueOf(control(f.control)), defaultOf(f));
    select(QStringLiteral("Round"));
    QCOMPARE(valueOf(control(f.control)), value);
}

void TestSettingsTab::loadingRunsTheControlsRules()
{
    QVERIFY(setFields(*m_harness, {{"Combo1", "Specific Move"}, {"Check2", "1"}, {"Combo18", byColumns},
                                   {"Combo12", "New column"}}));
    saveAs(QStringLiteral("Rules"));
    QVERIFY(setFields(*m_harness, {{"Combo1", ""}, {"Check2", "0"}, {"Combo18", "Parse text using delimiter I specify"},
                                   {"Combo12", "New line"}}));
    QVERIFY(control(QStringLiteral("Text10"))->isEnabled());
    select(QStringLiteral("rules"));
    // The grid read its rows again without taking the focus off this tab.
    QCOMPARE(QApplication::focusWidget()->isVisible(), true);

    QVERIFY(control(QStringLiteral("Text1"))->isEnabled());
    QVERIFY(!control(QStringLiteral("MaskEdBox9"))->isEnabled());
    QVERIFY(!control(QStringLiteral("Text10"))->isEnabled());
    QVERIFY(!control(QStringLiteral("Combo14"))->isHidden());
    // Loading is no change of the user's: nothing is left to save.
    showTab(Tab::TextLines);
    showTab(Tab::Settings);
    QVERIFY(!control(QStringLiteral("Command8"))->isEnabled());
    QCOMPARE(caption(), QStringLiteral("Settings: Rules"));
}

void TestSettingsTab::savedUnderItsStoredName()
{
    addLayoutRow(QStringLiteral("Id"), 1, 3);
    addLayoutRow(QVariant(), QVariant(), 0);
    QVERIFY(setFields(*m_harness, {{"MaskEdBox1", ""}, {"Text1", ""}, {"Text2", "x"}}));
    saveAs(QStringLiteral("Weekly"));

    QCOMPARE(m_harness->toolkit().prompts().size(), 0);
    QCOMPARE(rows(QStringLiteral("SELECT nameOfSettings, typeof(moveSpecificText), length(moveSpecificText), "
                                 "typeof(moveFromCol), moveFromCol, addText FROM tabwrite_allFields")),
             (Rows{{"tabwrite_Weekly", "text", "0", "real", "0", "x"}}));
    QCOMPARE(rows(QStringLiteral("SELECT * FROM tabwrite_Weekly")),
             (Rows{{"Id", "1", "3", "1", "10"}, {"<null>", "<null>", "0", "1", "10"}}));
    QVERIFY(tables().contains(QStringLiteral("tabwrite_Weekly")));
    QCOMPARE(nameBox()->currentText(), QStringLiteral("Weekly"));
    QCOMPARE(nameBox()->count(), 1);
    QVERIFY(!control(QStringLiteral("Command8"))->isEnabled());
    QVERIFY(control(QStringLiteral("Command9"))->isEnabled());
    QCOMPARE(caption(), QStringLiteral("Settings: Weekly"));
}

void TestSettingsTab::listInOrderOfStoredNames()
{
    for (const char *name : {"b", "C", "a"})
        saveAs(QString::fromLatin1(name));
    QStringList listed;
    for (int i = 0; i < nameBox()->count(); ++i)
        listed << nameBox()->itemText(i);
    QCOMPARE(listed, (QStringList{"a", "b", "C"}));
}

void TestSettingsTab::overwriteQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("storedText");
    QTest::addColumn<QString>("storedHeading");
    QTest::newRow("Cancel stores nothing") << int(Answer::Cancel) << "old" << "A";
    QTest::newRow("OK replaces the record and the rows") << int(Answer::Ok) << "new" << "B";
}

void TestSettingsTab::overwriteQuestion()
{
    QFETCH(int, answer);
    QFETCH(QString, storedText);
    QFETCH(QString, storedHeading);
    addLayoutRow(QStringLiteral("A"), 1, 1);
    QVERIFY(setFields(*m_harness, {{"Text2", "old"}}));
    saveAs(QStringLiteral("Weekly"));
    QVERIFY(exec(QStringLiteral("DELETE FROM tabwrite_settings")));
    addLayoutRow(QStringLiteral("B"), 2, 2);
    QVERIFY(setFields(*m_harness, {{"Text2", "new"}}));
    m_harness->toolkit().answer(answer);
    saveAs(QStringLiteral("Weekly"));

    const MessagePrompt &asked = m_harness->toolkit().lastPrompt().message;
    QCOMPARE(asked.text, QStringLiteral("This name (Weekly) for the settings is already on file.  Would you like to "
                                        "overwrite the current settings?"));
    QCOMPARE(asked.title, QStringLiteral("Tabwright - It's your choice..."));
    QCOMPARE(asked.buttons, Buttons::OkCancel);
    QCOMPARE(asked.icon, Icon::Information);
    QCOMPARE(asked.defaultButton, int(Answer::Cancel));
    QCOMPARE(settingsRows(), (Rows{{"tabwrite_Weekly", storedText}}));
    QCOMPARE(rows(QStringLiteral("SELECT Column_heading FROM tabwrite_Weekly")), (Rows{{storedHeading}}));
}

void TestSettingsTab::selectingAnUnknownNameDoesNothing()
{
    saveAs(QStringLiteral("Weekly"));
    QVERIFY(setFields(*m_harness, {{"Text2", "kept"}}));
    select(QStringLiteral("Monthly"));
    QCOMPARE(m_harness->toolkit().prompts().size(), 0);
    QCOMPARE(valueOf(control(QStringLiteral("Text2"))), QStringLiteral("kept"));
}

void TestSettingsTab::selectReplacesRowsWithAStartColumn()
{
    addLayoutRow(QStringLiteral("Note"), QVariant(), 0);
    addLayoutRow(QStringLiteral("A"), 1, 3);
    saveAs(QStringLiteral("Weekly"));
    QVERIFY(exec(QStringLiteral("DELETE FROM tabwrite_settings WHERE column_heading = 'A'")));
    addLayoutRow(QStringLiteral("B"), 5, 2);
    select(QStringLiteral("Weekly"));
    // Twice: the rows without a start column stay as they were.
    select(QStringLiteral("Weekly"));

    QCOMPARE(rows(QStringLiteral("SELECT column_heading, get_data_from_column FROM tabwrite_settings")),
             (Rows{{"Note", "<null>"}, {"A", "1"}}));
    showTab(Tab::TabwriteText);
    QCOMPARE(control<QLabel>(QStringLiteral("Data1"))->text(), QStringLiteral("Record 1 of 2"));
}

void TestSettingsTab::deleteRemovesRecordAndTable_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("Yes deletes") << int(Answer::Yes);
    QTest::newRow("No keeps") << int(Answer::No);
}

void TestSettingsTab::deleteRemovesRecordAndTable()
{
    QFETCH(int, answer);
    saveAs(QStringLiteral("Weekly"));
    m_harness->toolkit().answer(answer);
    click(*m_harness, QStringLiteral("Command16"));

    const MessagePrompt &asked = m_harness->toolkit().lastPrompt().message;
    QCOMPARE(asked.text, QStringLiteral("Delete these Settings: Weekly?"));
    QCOMPARE(asked.title, QStringLiteral("Tabwright - Be careful"));
    QCOMPARE(asked.buttons, Buttons::YesNo);
    QCOMPARE(asked.icon, Icon::Question);
    QCOMPARE(asked.defaultButton, int(Answer::No));
    const bool deleted = answer == Answer::Yes;
    QCOMPARE(settingsRows().size(), deleted ? 0 : 1);
    QCOMPARE(tables().contains(QStringLiteral("tabwrite_Weekly")), !deleted);
    QCOMPARE(nameBox()->currentText(), deleted ? QString() : QStringLiteral("Weekly"));
    QCOMPARE(caption(), deleted ? QStringLiteral("Settings:  NOT SAVED") : QStringLiteral("Settings: Weekly"));
    QCOMPARE(control(QStringLiteral("Command9"))->isEnabled(), !deleted);
    // The fields are no longer saved anywhere: saving them is offered again.
    QCOMPARE(control(QStringLiteral("Command8"))->isEnabled(), deleted);
}

void TestSettingsTab::buttonsWithNothingStored()
{
    showTab(Tab::Settings);
    for (const char *button : {"Command8", "Command9", "Command16"})
        QVERIFY2(!control(QString::fromLatin1(button))->isEnabled(), button);
    QCOMPARE(QApplication::focusWidget(), nameBox());
    QCOMPARE(caption(), QStringLiteral("Enter Column Specifications"));
}

void TestSettingsTab::missingName_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QTest::newRow("save") << "Command8" << "Please specify a name for the current Settings.";
    QTest::newRow("select") << "Command9" << "Please specify the name of the Settings to select.";
    QTest::newRow("delete") << "Command16" << "Please select Settings to delete.";
}

void TestSettingsTab::missingName()
{
    QFETCH(QString, button);
    QFETCH(QString, message);
    saveAs(QStringLiteral("Weekly"));
    showTab(Tab::TextLines);
    touch();
    showTab(Tab::Settings);
    nameBox()->setEditText(QString());
    click(*m_harness, button);
    QCOMPARE(m_harness->toolkit().messageTexts(), QStringList{message});
    QCOMPARE(m_harness->toolkit().lastPrompt().message.title, QStringLiteral("Tabwright"));
    QCOMPARE(settingsRows().size(), 1);
}

void TestSettingsTab::leftoverColumnTableIsRefilled_data()
{
    QTest::addColumn<bool>("layout");
    QTest::newRow("with a layout") << true;
    QTest::newRow("with an empty layout") << false;
}

void TestSettingsTab::leftoverColumnTableIsRefilled()
{
    QFETCH(bool, layout);
    QVERIFY(exec(QStringLiteral("CREATE TABLE \"tabwrite_weekly\" (Column_heading TEXT, Get_data_from_column "
                                "INTEGER, Number_of_characters INTEGER, Spaces_B4_next_column INTEGER, "
                                "Field_width INTEGER)")));
    QVERIFY(exec(QStringLiteral("INSERT INTO tabwrite_weekly VALUES ('stale', 9, 9, 9, 9)")));
    if (layout)
        addLayoutRow(QStringLiteral("A"), 1, 3);
    saveAs(QStringLiteral("Weekly"));

    QCOMPARE(m_harness->toolkit().prompts().size(), 0);
    QCOMPARE(settingsRows(), (Rows{{"tabwrite_Weekly", ""}}));
    QCOMPARE(rows(QStringLiteral("SELECT Column_heading FROM tabwrite_Weekly")), layout ? Rows{{"A"}} : Rows{});
    QCOMPARE(tables().filter(QStringLiteral("weekly"), Qt::CaseInsensitive).size(), 1);
}

void TestSettingsTab::refusedNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    const QString own = QStringLiteral(" would give the settings one of Tabwright's own tables");
    QTest::newRow("settings") << "settings" << "The name settings" + own;
    QTest::newRow("ALLFIELDS") << "ALLFIELDS" << "The name ALLFIELDS" + own;
    QTest::newRow("too long") << QString(247, u'n')
                              << "The name of the settings can be at most 246 characters long; this one has 247.";
    QTest::newRow("a tab") << "a\tb" << "The name of the settings cannot hold line breaks, tabs";
}

void TestSettingsTab::refusedNames()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    const QStringList before = tables();
    saveAs(name);
    QCOMPARE(m_harness->toolkit().messageTexts().size(), 1);
    QVERIFY2(m_harness->toolkit().messageTexts().first().startsWith(message),
             qPrintable(m_harness->toolkit().messageTexts().first()));
    QCOMPARE(settingsRows(), Rows{});
    QCOMPARE(tables(), before);
    QCOMPARE(QApplication::focusWidget(), nameBox());
}

void TestSettingsTab::failedWriteStoresNothing()
{
    // A column table of the name is there, with headings too short for the
    // layout's: the copy fails and the record goes with it.
    tw::Database writer;
    QVERIFY(!writer.open(m_harness->defaultDbPath()).isError());
    QVERIFY(!writer.createTable({QStringLiteral("tabwrite_Weekly"),
                                 {tw::FieldDef::text(QStringLiteral("Column_heading"), 3),
                                  tw::FieldDef::of(QStringLiteral("Get_data_from_column"), tw::FieldType::Long),
                                  tw::FieldDef::of(QStringLiteral("Number_of_characters"), tw::FieldType::Long),
                                  tw::FieldDef::of(QStringLiteral("Spaces_B4_next_column"), tw::FieldType::Long),
                                  tw::FieldDef::of(QStringLiteral("Field_width"), tw::FieldType::Long)}})
                 .isError());
    QVERIFY(writer.exec(QStringLiteral("INSERT INTO tabwrite_Weekly VALUES ('old', 1, 1, 1, 1)")));
    writer.close();
    addLayoutRow(QStringLiteral("Longer"), 1, 3);
    saveAs(QStringLiteral("Weekly"));

    QCOMPARE(m_harness->toolkit().messageTexts().size(), 1);
    QVERIFY(m_harness->toolkit().messageTexts().first().startsWith(QStringLiteral("Field is too small")));
    QCOMPARE(settingsRows(), Rows{});
    QCOMPARE(rows(QStringLiteral("SELECT Column_heading FROM tabwrite_Weekly")), (Rows{{"old"}}));
    QCOMPARE(caption(), QStringLiteral("Enter Column Specifications"));
    QVERIFY(control(QStringLiteral("Command8"))->isEnabled());
}

void TestSettingsTab::externalDatabaseEndsWithTheEngineMessage()
{
    const QString external = m_harness->path(QStringLiteral("external.db"));
    {
        tw::Database db;
        QVERIFY(!db.open(external, {}, {}, tw::Database::OpenMode::CreateIfMissing).isError());
        QVERIFY(db.exec(QStringLiteral("CREATE TABLE Sales (a TEXT)")));
    }
    saveAs(QStringLiteral("Weekly"));
    showTab(Tab::TextLines);
    touch();
    showTab(Tab::Settings);
    QVERIFY(!m_harness->session().open(external).error.isError());
    nameBox()->setEditText(QStringLiteral("Weekly"));
    click(*m_harness, QStringLiteral("Command8"));
    click(*m_harness, QStringLiteral("Command9"));

    const QString missing = QStringLiteral("The database engine cannot find the input table or query "
                                           "'tabwrite_allFields'.");
    QCOMPARE(m_harness->toolkit().messageTexts(), (QStringList{missing, missing}));
    QCOMPARE(rowsOf(external, QStringLiteral("SELECT name FROM sqlite_master")), (Rows{{"Sales"}}));
    QCOMPARE(settingsRows(), (Rows{{"tabwrite_Weekly", ""}}));
}

void TestSettingsTab::clearSettingsKeepsRowsWithoutStartColumn()
{
    addLayoutRow(QStringLiteral("Note"), QVariant(), 0);
    addLayoutRow(QStringLiteral("A"), 1, 3);
    addLayoutRow(QStringLiteral("B"), 4, 3);
    showTab(Tab::TabwriteText);
    click(*m_harness, QStringLiteral("Command12"));
    QCOMPARE(rows(QStringLiteral("SELECT column_heading FROM tabwrite_settings")), (Rows{{"Note"}}));
    QCOMPARE(control<QLabel>(QStringLiteral("Data1"))->text(), QStringLiteral("Record 1 of 1"));
}

void TestSettingsTab::replayGivesTheWindowsResult()
{
    addLayoutRow(QStringLiteral("Code"), 1, 4, 4);
    addLayoutRow(QStringLiteral("Name"), 7, 6, 6);
    const Fields fields{{"Combo9", ";"},     {"Combo12", "New column"}, {"Check18", "1"}, {"MaskEdBox16", "2"},
                        {"Combo7", "o"},     {"Text5", "0"},            {"Text2", "#"},   {"Check2", "1"},
                        {"MaskEdBox4", "2"}, {"Combo18", byColumns}};
    QVERIFY(setFields(*m_harness, fields));
    saveAs(QStringLiteral("Monthly"));

    const QString text = QStringLiteral("ab;bob;x\r\nc;dora;yy\r\n\r\nlast;o\r\n");
    m_harness->userSetsText(text);
    for (const char *process : {"Command6", "Command4", "Command3", "Command7"})
        click(*m_harness, QString::fromLatin1(process));
    showTab(Tab::SaveToDatabase);
    control<QComboBox>(QStringLiteral("Combo17"))->setEditText(QStringLiteral("Out"));
    click(*m_harness, QStringLiteral("Command10"));
    QCOMPARE(m_harness->toolkit().prompts().size(), 0);
    const QString windowText = m_harness->document().text();
    QVERIFY(windowText != text);

    const QString input = m_harness->path(QStringLiteral("in.txt"));
    const QString output = m_harness->path(QStringLiteral("out.txt"));
    const QString target = m_harness->path(QStringLiteral("target.db"));
    QFile in(input);
    QVERIFY(in.open(QIODevice::WriteOnly) && in.write(text.toUtf8()) > 0);
    in.close();
    QProcess cli;
    cli.start(QStringLiteral(TABWRIGHT_CLI),
              {"run", "--settings", "monthly", "--settings-db", m_harness->defaultDbPath(), "--steps",
               "format,replace,add,tabwrite,save", "--db", target, "--table", "Out", "--create", "-o", output, input});
    QVERIFY(cli.waitForFinished(60000));
    QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());
    QFile out(output);
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(out.readAll(), windowText.toUtf8());
    const Rows saved = rows(QStringLiteral("SELECT * FROM Out"));
    QVERIFY(!saved.isEmpty());
    QCOMPARE(rowsOf(target, QStringLiteral("SELECT * FROM Out")), saved);
}

QTEST_MAIN(TestSettingsTab)
#include "test_settingstab.moc"
