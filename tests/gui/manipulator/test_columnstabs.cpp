// SPDX-License-Identifier: GPL-3.0-or-later
// The Tabwrite Text and Save to Database tabs worked through their controls:
// the column layout grid, the question about an external database when a tab
// needs the program's own tables, Process, the save target's options, and
// "&Save" with its messages, questions and Stop. The rules under them (the
// layout, the save plan, the saver) are tested in the core; here is what the
// window adds.
#include "frameharness.h"

#include "core/db/database.h"
#include "core/db/recordset.h"
#include "gui/manipulator/processingframe.h"
#include "gui/shell/mdiform1.h"
#include "gui/shell/preferences.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QtTest>

namespace {
using LayoutRow = QStringList; // heading, from column, characters, spaces after
using Layout = QList<LayoutRow>;
using Rows = QList<QStringList>;

const QString closeExternalQuestion = QStringLiteral(
    "To honor your request would necessitate closing the external database and using the original one.  "
    "Shall we close the external DB now?");
const QString parse = QStringLiteral("Parse text using delimiter I specify");
const QString byColumns = QStringLiteral("Use column specs on the Tabwrite Text tab");
const QString manipulator = QStringLiteral("Manipulator");

// What tabwright-cli tabwrite makes of the text with this layout.
QString cliTabwrite(const Layout &layout, const QString &text, int startColumn)
{
    QTemporaryDir dir;
    QFile columns(dir.filePath(QStringLiteral("columns.csv")));
    QFile in(dir.filePath(QStringLiteral("in.txt")));
    if (!columns.open(QIODevice::WriteOnly) || !in.open(QIODevice::WriteOnly))
        return QStringLiteral("<cannot write the input>");
    for (const LayoutRow &row : layout)
        columns.write((row.join(u',') + u'\n').toUtf8());
    in.write(text.toUtf8());
    columns.close();
    in.close();
    QProcess cli;
    cli.start(QStringLiteral(TABWRIGHT_CLI),
              {QStringLiteral("tabwrite"), QStringLiteral("--columns"), columns.fileName(),
               QStringLiteral("tabwriteStartLineAt=%1").arg(startColumn), in.fileName()});
    if (!cli.waitForFinished(30000) || cli.exitCode() != 0)
        return QStringLiteral("<cli failed: %1>").arg(QString::fromUtf8(cli.readAllStandardError()));
    return QString::fromUtf8(cli.readAllStandardOutput());
}

Rows readBack(const QString &path, const QString &table)
{
    tw::Database reader;
    if (reader.open(path).isError())
        return {{QStringLiteral("<cannot open>")}};
    tw::Result<tw::Recordset> rows = reader.openRecordset(table);
    if (!rows)
        return {{QStringLiteral("<no table>")}};
    Rows stored;
    for (tw::Recordset &set = rows.value(); !set.isEof(); (void)set.moveNext()) {
        QStringList row;
        for (int i = 0; i < set.fields().size(); ++i) {
            const QVariant value = set.value(i).valueOr({});
            row << (value.isNull() ? QStringLiteral("<null>") : value.toString());
        }
        stored << row;
    }
    return stored;
}
} // namespace

class TestColumnsTabs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void gridPositionAndTyping();
    void wordInNumberCellIsKeptForCorrection();
    void tabChangeQuestion_data();
    void tabChangeQuestion();
    void targetTabWithOption1AsksNothing();
    void processAsTheCommandLine();
    void refusedRunChangesNothing();
    void option1OnExternalDatabaseAsks();
    void processMethodEnablesDelimiter();
    void tableListOfExternalDatabase();
    void saveRefusals_data();
    void saveRefusals();
    void saveCreatesTableFromLayout();
    void alreadyInQuestion_data();
    void alreadyInQuestion();
    void sizeQuestions_data();
    void sizeQuestions();
    void stopKeepsTheRecordsWritten();
    void trimSpacesFromValues();
    void replaceThatDoesNotGoThroughKeepsTheOldRecords_data();
    void replaceThatDoesNotGoThroughKeepsTheOldRecords();

private:
    QTabWidget *tabs() { return m_harness->control<QTabWidget>(manipulator, QStringLiteral("SSTab1")); }
    void showTab(ProcessingFrame::Tab tab) { tabs()->setCurrentIndex(tab); }
    template <typename T>
    T *control(const char *name) { return m_harness->control<T>(manipulator, QString::fromLatin1(name)); }
    QTableView *grid() { return control<QTableView>("DBGrid1"); }
    void addLayoutRow(const QString &heading, int from, int count, int spaces = 0);
    // Types the rows into the grid's empty last row, one after the other; the
    // last row is left with its edit pending, as a user leaves it before
    // pressing Process.
    void typeLayout(const Layout &layout);
    void useExternalDatabase();
    void pick(const char *option);
    void fill(const QString &table, const QString &method, const QString &delimiter = {});

    std::unique_ptr<FrameHarness> m_harness;
    QString m_externalDb;
};

void TestColumnsTabs::init()
{
    m_harness = std::make_unique<FrameHarness>();
    m_externalDb = m_harness->path(QStringLiteral("external.db"));
    tw::Database db;
    QVERIFY(!db.open(m_externalDb, {}, {}, tw::Database::OpenMode::CreateIfMissing).isError());
    QVERIFY(!db.createTable({QStringLiteral("Sales"), {tw::FieldDef::text(QStringLiteral("Cust"), 3),
                                                      tw::FieldDef::text(QStringLiteral("Qty"), 3)}})
                 .isError());
    QVERIFY(db.exec(QStringLiteral("INSERT INTO Sales VALUES ('old', '1'), ('old', '2')")));
    for (const char *table : {"msysdata", "MSysOwn", "SSysReport", "TABWRITE_x"})
        QVERIFY(db.exec(QStringLiteral("CREATE TABLE \"%1\" (a TEXT)").arg(QLatin1String(table))));
    db.close();
    QVERIFY(m_harness->start());
}

void TestColumnsTabs::cleanup()
{
    m_harness.reset();
}

void TestColumnsTabs::addLayoutRow(const QString &heading, int from, int count, int spaces)
{
    // The layout lives in the default database, whatever is current.
    tw::Database defaultDb;
    QVERIFY(!defaultDb.open(m_harness->defaultDbPath()).isError());
    QVERIFY(defaultDb.exec(QStringLiteral("INSERT INTO tabwrite_settings VALUES (?, ?, ?, ?, ?)"),
                           {heading, from, count, spaces, count}));
}

void TestColumnsTabs::typeLayout(const Layout &layout)
{
    QAbstractItemModel *model = grid()->model();
    grid()->setCurrentIndex(model->index(model->rowCount() - 1, 0));
    for (qsizetype i = 0; i < layout.size(); ++i) {
        if (i > 0)
            QTest::keyClick(grid(), Qt::Key_Down);
        const int newRow = grid()->currentIndex().row();
        QCOMPARE(newRow, model->rowCount() - 1);
        for (int column = 0; column < layout[i].size(); ++column)
            if (!layout[i][column].isEmpty())
                QVERIFY(model->setData(model->index(newRow, column), layout[i][column]));
    }
}

void TestColumnsTabs::useExternalDatabase()
{
    QVERIFY(!m_harness->session().open(m_externalDb).error.isError());
}

void TestColumnsTabs::pick(const char *option)
{
    auto button = control<QRadioButton>(option);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void TestColumnsTabs::fill(const QString &table, const QString &method, const QString &delimiter)
{
    control<QComboBox>("Combo17")->setEditText(table);
    control<QComboBox>("Combo18")->setEditText(method);
    control<QLineEdit>("Text10")->setText(delimiter);
}

void TestColumnsTabs::gridPositionAndTyping()
{
    for (int i = 1; i <= 3; ++i)
        addLayoutRow(QStringLiteral("H%1").arg(i), 1 + 4 * (i - 1), 3);
    showTab(ProcessingFrame::TabwriteText);
    auto position = control<QLabel>("Data1");
    QCOMPARE(position->text(), QStringLiteral("Record 1 of 3"));
    QCOMPARE(QApplication::focusWidget(), grid());
    QTest::keyClick(grid(), Qt::Key_Down);
    QCOMPARE(position->text(), QStringLiteral("Record 2 of 3"));

    // The empty row after the stored ones is where a new record is typed.
    grid()->setCurrentIndex(grid()->model()->index(2, 0));
    QTest::keyClick(grid(), Qt::Key_Down);
    QCOMPARE(grid()->currentIndex().row(), 3);
    QCOMPARE(position->text(), QStringLiteral("Enter new record"));
    // A fourth row typed into the empty last row is written when left.
    grid()->setCurrentIndex(grid()->model()->index(3, 0));
    QTest::keyClicks(grid(), QStringLiteral("Q"));
    QWidget *editor = QApplication::focusWidget();
    QVERIFY(editor && editor != grid());
    QTest::keyClicks(editor, QStringLiteral("ty"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClick(grid(), Qt::Key_Up);
    QCOMPARE(position->text(), QStringLiteral("Record 3 of 4"));
    const tw::Result<QVariant> stored = m_harness->session().database().queryValue(
        QStringLiteral("SELECT column_heading FROM tabwrite_settings ORDER BY rowid DESC LIMIT 1"));
    QCOMPARE(stored.valueOr({}).toString(), QStringLiteral("Qty"));
    // The data control's own buttons.
    const QList<QPair<const char *, QString>> moves{{"Data1First", "Criteria 1 of 4"},
                                                     {"Data1Next", "Criteria 2 of 4"},
                                                     {"Data1Last", "Criteria 4 of 4"},
                                                     {"Data1Next", "Criteria 4 of 4"},
                                                     {"Data1Previous", "Criteria 3 of 4"}};
    for (const auto &[button, caption] : moves) {
        control<QPushButton>(button)->click();
        QCOMPARE(position->text(), caption);
    }
    // Delete takes the current row out of the layout.
    QTest::keyClick(grid(), Qt::Key_Delete);
    QVERIFY(position->text().endsWith(QStringLiteral(" of 3")));
    QCOMPARE(m_harness->session().database().queryValue(QStringLiteral("SELECT count(*) FROM tabwrite_settings"))
                 .valueOr(-1)
                 .toInt(),
             3);
}

void TestColumnsTabs::wordInNumberCellIsKeptForCorrection()
{
    // A new row: its empty cells take any text.
    showTab(ProcessingFrame::TabwriteText);
    QVERIFY(QTest::qWaitForWindowExposed(grid()));
    QVERIFY(grid()->model()->setData(grid()->model()->index(0, 0), QStringLiteral("Name")));
    const int count = 2; // number_of_characters
    grid()->setCurrentIndex(grid()->model()->index(0, count));
    QTest::keyClicks(grid(), QStringLiteral("five"));
    QWidget *editor = QApplication::focusWidget();
    QVERIFY(editor && editor != grid());
    QTest::keyClicks(editor, QStringLiteral("ive"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(m_harness->toolkit().messageTexts(),
             QStringList{"Data type conversion error.\n\nField: number_of_characters"});
    // The cell opens again holding the word, on the same row.
    QTRY_VERIFY(qobject_cast<QLineEdit *>(QApplication::focusWidget()));
    auto reopened = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QCOMPARE(reopened->text(), QStringLiteral("five"));
    QCOMPARE(grid()->currentIndex(), grid()->model()->index(0, count));
    // Corrected, it is stored.
    reopened->setText(QStringLiteral("7"));
    QTest::keyClick(reopened, Qt::Key_Return);
    QTest::keyClick(grid(), Qt::Key_Down);
    QCOMPARE(m_harness->session().database()
                 .queryValue(QStringLiteral("SELECT number_of_characters FROM tabwrite_settings"))
                 .valueOr({})
                 .toInt(),
             7);
}

void TestColumnsTabs::tabChangeQuestion_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("tabAfter");

    using P = ProcessingFrame;
    QTest::newRow("to Tabwrite Text, No") << int(P::TextLines) << int(P::TabwriteText) << Answer::No
                                          << int(P::TextLines);
    QTest::newRow("to Tabwrite Text, Yes") << int(P::TextLines) << int(P::TabwriteText) << Answer::Yes
                                           << int(P::TabwriteText);
    QTest::newRow("to Settings, No") << int(P::MoveText) << int(P::Settings) << Answer::No << int(P::TextLines);
    QTest::newRow("from Tabwrite Text, Yes") << int(P::TabwriteText) << int(P::FormatText) << Answer::Yes
                                             << int(P::FormatText);
}

void TestColumnsTabs::tabChangeQuestion()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, answer);
    QFETCH(int, tabAfter);
    tabs()->setCurrentIndex(from);
    useExternalDatabase();
    m_harness->toolkit().answer(answer);
    tabs()->setCurrentIndex(to);

    QCOMPARE(m_harness->toolkit().prompts().size(), 1);
    const MessagePrompt &asked = m_harness->toolkit().lastPrompt().message;
    QCOMPARE(asked.text, closeExternalQuestion);
    QCOMPARE(asked.title, QStringLiteral("Choices, choices..."));
    QCOMPARE(asked.buttons, Buttons::YesNo);
    QCOMPARE(asked.defaultButton, Answer::No);
    QCOMPARE(tabs()->currentIndex(), tabAfter);
    QCOMPARE(m_harness->session().currentPath(),
             answer == Answer::Yes ? m_harness->defaultDbPath() : m_externalDb);
    if (answer == Answer::Yes && to == ProcessingFrame::TabwriteText)
        QCOMPARE(control<QLabel>("Data1")->text(), QStringLiteral("Enter new record"));
}

void TestColumnsTabs::targetTabWithOption1AsksNothing()
{
    showTab(ProcessingFrame::TabwriteText);
    useExternalDatabase();
    showTab(ProcessingFrame::SaveToDatabase);
    // Instead of the question the target becomes a database the user picks.
    QVERIFY(m_harness->toolkit().prompts().isEmpty());
    QVERIFY(control<QRadioButton>("Option2")->isChecked());
    QVERIFY(control<QPushButton>("Command11")->isEnabled());
    QCOMPARE(m_harness->session().currentPath(), m_externalDb);
}

void TestColumnsTabs::processAsTheCommandLine()
{
    const QString text = QStringLiteral("Alice012 and more\r\n\r\nBob  7\r\n");
    const Layout layout{{"Name", "1", "5", "2"}, {"Qty", "6", "3", "0"}};
    m_harness->userSetsText(text);
    showTab(ProcessingFrame::TabwriteText);
    typeLayout(layout);
    // Lines start at column 2: the spin control steps the field up from 1.
    auto startColumn = control<QLineEdit>("MaskEdBox4");
    QCOMPARE(startColumn->text(), QStringLiteral("1"));
    QTest::keyClick(control<QWidget>("UpDown4"), Qt::Key_Up);
    QCOMPARE(startColumn->text(), QStringLiteral("2"));
    QTest::mouseClick(control<QPushButton>("Command7"), Qt::LeftButton);

    QVERIFY(m_harness->toolkit().prompts().isEmpty());
    QCOMPARE(m_harness->document().text(), QStringLiteral(" Name   Qty\r\n Alice  012\r\n\r\n Bob    7\r\n"));
    QCOMPARE(m_harness->document().text(), cliTabwrite(layout, text, 2));
    // The last row, still being edited when Process was pressed, was written.
    QVERIFY(control<QLabel>("Data1")->text().endsWith(QStringLiteral(" of 2")));
    QCOMPARE(m_harness->document().undoCopy(), text);
    QVERIFY(control<QPushButton>("Command1")->isEnabled());
}

void TestColumnsTabs::refusedRunChangesNothing()
{
    const QString text = QStringLiteral("Alice012\r\nBob  7");
    m_harness->userSetsText(text);
    const QString undoCopy = m_harness->document().undoCopy();
    showTab(ProcessingFrame::TabwriteText);
    typeLayout({{"Name", "1", "5", "2"}, {"Qty", "6", "", "0"}});
    QTest::mouseClick(control<QPushButton>("Command7"), Qt::LeftButton);
    QCOMPARE(m_harness->toolkit().messageTexts(),
             QStringList{"Row 2 of the column specifications is incomplete.  Please fill in its number_of_characters."});
    QCOMPARE(m_harness->document().text(), text);
    QCOMPARE(m_harness->document().undoCopy(), undoCopy);
    QVERIFY(!m_harness->frame().busy().isBusy());
}

void TestColumnsTabs::option1OnExternalDatabaseAsks()
{
    showTab(ProcessingFrame::SaveToDatabase);
    pick("Option3");
    QVERIFY(control<QPushButton>("Command11")->isEnabled());
    // The default database's tables are no target for Option3.
    QCOMPARE(control<QComboBox>("Combo17")->count(), 0);
    pick("Option1");
    QVERIFY(!control<QPushButton>("Command11")->isEnabled());
    QVERIFY(m_harness->toolkit().prompts().isEmpty());

    useExternalDatabase();
    m_harness->toolkit().answer(Answer::No);
    pick("Option1");
    QCOMPARE(m_harness->toolkit().messageTexts(), QStringList{closeExternalQuestion});
    QVERIFY(control<QRadioButton>("Option2")->isChecked());
    QCOMPARE(m_harness->session().currentPath(), m_externalDb);
    m_harness->toolkit().answer(Answer::Yes);
    pick("Option1");
    QVERIFY(control<QRadioButton>("Option1")->isChecked());
    QCOMPARE(m_harness->session().currentPath(), m_harness->defaultDbPath());
}

void TestColumnsTabs::processMethodEnablesDelimiter()
{
    showTab(ProcessingFrame::SaveToDatabase);
    auto method = control<QComboBox>("Combo18");
    auto delimiter = control<QLineEdit>("Text10");
    for (const QString &typed : {byColumns, parse, parse.toLower()}) {
        QLineEdit *typing = method->lineEdit();
        typing->selectAll();
        QTest::keyClick(typing, Qt::Key_Delete);
        QTest::keyClicks(typing, typed);
        QCOMPARE(delimiter->isEnabled(), typed == parse);
        QCOMPARE(control<QLabel>("Label45")->isEnabled(), typed == parse);
    }
}

void TestColumnsTabs::tableListOfExternalDatabase()
{
    showTab(ProcessingFrame::SaveToDatabase);
    pick("Option3");
    useExternalDatabase();
    auto tables = control<QComboBox>("Combo17");
    tables->setEditText(QStringLiteral("Sales"));
    showTab(ProcessingFrame::MoveText);
    showTab(ProcessingFrame::SaveToDatabase);
    QStringList listed;
    for (int i = 0; i < tables->count(); ++i)
        listed << tables->itemText(i);
    QCOMPARE(listed, (QStringList{"Sales", "msysdata"}));
    QCOMPARE(tables->currentText(), QStringLiteral("Sales"));
    // A typed name that is no table is not kept.
    tables->setEditText(QStringLiteral("sales"));
    showTab(ProcessingFrame::MoveText);
    showTab(ProcessingFrame::SaveToDatabase);
    QCOMPARE(tables->currentText(), QString());
}

void TestColumnsTabs::saveRefusals_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<bool>("external");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");

    QTest::newRow("nothing to save")
        << QString() << "T" << parse << "," << false
        << "There is nothing to save.  Please open a file by selecting File menu/Open, or paste some text into "
           "the text box on the Text/Lines tab."
        << QString();
    QTest::newRow("no table name") << "a" << QString() << parse << "," << false << "Please specify a table name."
                                   << "Combo17";
    QTest::newRow("no method") << "a" << "T" << QString() << QString() << false
                               << "Please specify a Process Method." << "Combo18";
    QTest::newRow("no delimiter") << "a" << "T" << parse << QString() << false << "Please enter a delimiter."
                                  << "Text10";
    QTest::newRow("not in the database") << "a" << "Nope" << parse << "," << true
                                         << "This table name (Nope) is not in %1.  Please verify the name."
                                         << "Combo17";
    QTest::newRow("the program's own table")
        << "a" << "TABWRITE_settings" << parse << "," << false
        << "The table name (TABWRITE_settings) belongs to Tabwright's own tables.  Please choose another name."
        << "Combo17";
}

void TestColumnsTabs::saveRefusals()
{
    QFETCH(QString, text);
    QFETCH(QString, table);
    QFETCH(QString, method);
    QFETCH(QString, delimiter);
    QFETCH(bool, external);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    showTab(ProcessingFrame::SaveToDatabase);
    if (external) {
        pick("Option3");
        useExternalDatabase();
    }
    m_harness->userSetsText(text);
    fill(table, method, delimiter);
    const QStringList tablesBefore = m_harness->session().database().tableNames().value();
    control<QPushButton>("Command10")->click();
    QCOMPARE(m_harness->toolkit().messageTexts(), QStringList{message.contains(u'%') ? message.arg(m_externalDb)
                                                                                      : message});
    if (!focus.isEmpty())
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    QCOMPARE(m_harness->session().database().tableNames().value(), tablesBefore);
    QVERIFY(!m_harness->frame().busy().isBusy());
}

void TestColumnsTabs::saveCreatesTableFromLayout()
{
    addLayoutRow(QStringLiteral("it's \"id\""), 1, 3);
    addLayoutRow(QStringLiteral("Name"), 5, 10);
    const QString text = QStringLiteral("001 Ann\r\n\r\n002 Bob Smithson\r\n");
    m_harness->userSetsText(text);
    showTab(ProcessingFrame::SaveToDatabase);
    fill(QStringLiteral("People"), byColumns);
    const QString undoCopy = m_harness->document().undoCopy();
    control<QPushButton>("Command10")->click();

    QVERIFY(m_harness->toolkit().prompts().isEmpty());
    QCOMPARE(readBack(m_harness->defaultDbPath(), QStringLiteral("People")),
             (Rows{{"001", "Ann"}, {"<null>", "<null>"}, {"002", "Bob Smiths"}}));
    // A save reads the text and leaves it and its undo copy alone.
    QCOMPARE(m_harness->document().text(), text);
    QCOMPARE(m_harness->document().undoCopy(), undoCopy);
    QVERIFY(!control<QPushButton>("Command17")->isEnabled());
    QVERIFY(!control<QProgressBar>("ProgressBar1")->isVisible());
    // The list is rebuilt and shows the new table's name.
    QCOMPARE(control<QComboBox>("Combo17")->currentText(), QStringLiteral("People"));
    QVERIFY(control<QComboBox>("Combo17")->findText(QStringLiteral("People")) >= 0);
    QCOMPARE(m_harness->frame().statusBar()->currentMessage(), QStringLiteral("3 records written to People"));
}

void TestColumnsTabs::alreadyInQuestion_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("rows");
    // Option2 creates the table unless it is there; Option3 takes it as it is.
    for (const char *option : {"Option2", "Option3"}) {
        const QByteArray tag = QByteArray(option) + ": ";
        QTest::newRow(tag + "Yes adds") << option << int(Answer::Yes) << 3;
        QTest::newRow(tag + "No deletes every record first") << option << int(Answer::No) << 1;
        QTest::newRow(tag + "Cancel writes nothing") << option << int(Answer::Cancel) << 2;
    }
}

void TestColumnsTabs::alreadyInQuestion()
{
    QFETCH(QString, option);
    QFETCH(int, answer);
    QFETCH(int, rows);
    addLayoutRow(QStringLiteral("Cust"), 1, 3);
    showTab(ProcessingFrame::SaveToDatabase);
    useExternalDatabase();
    pick(qPrintable(option));
    m_harness->userSetsText(QStringLiteral("new,9"));
    // Differs from the stored name only in case: the table is there.
    fill(QStringLiteral("SALES"), parse, QStringLiteral(","));
    m_harness->toolkit().answer(answer);
    control<QPushButton>("Command10")->click();
    QCOMPARE(m_harness->toolkit().prompts().size(), 1);
    const MessagePrompt &asked = m_harness->toolkit().prompts().first().message;
    QCOMPARE(asked.text, option == "Option2" ? QStringLiteral("This table name (SALES) is already in %1.  Would you "
                                                              "like to add to the current records?")
                                                   .arg(m_externalDb)
                                             : QStringLiteral("Would you like to add to the current records?"));
    QCOMPARE(asked.title, QStringLiteral("Tabwright - It's your choice..."));
    QCOMPARE(asked.buttons, Buttons::YesNoCancel);
    const Rows stored = readBack(m_externalDb, QStringLiteral("Sales"));
    QCOMPARE(stored.size(), rows);
    if (answer != Answer::Cancel)
        QCOMPARE(stored.constLast(), (QStringList{"new", "9"}));
}

void TestColumnsTabs::sizeQuestions_data()
{
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<Rows>("stored");

    const QString tooLarge = QStringLiteral("The data that's about to be written is too large for the size of the "
                                            "current field (Cust).  The write will be aborted.  Would you like to "
                                            "process the remaining data?");
    QTest::newRow("No aborts, earlier records stay")
        << QList<int>{Answer::No}
        << QStringList{tooLarge, "You can use a database editor to enlarge the field size, then process the data "
                                 "again.  The maximum field size is 255."}
        << Rows{{"abc", "1"}};
    QTest::newRow("Yes then No skips later misfits silently")
        << QList<int>{Answer::Yes, Answer::No}
        << QStringList{tooLarge, "Would you like to be warned again, if necessary?"}
        << Rows{{"abc", "1"}, {"<null>", "2"}, {"<null>", "3"}, {"xyz", "4"}};
}

void TestColumnsTabs::sizeQuestions()
{
    QFETCH(QList<int>, answers);
    QFETCH(QStringList, shown);
    QFETCH(Rows, stored);
    showTab(ProcessingFrame::SaveToDatabase);
    useExternalDatabase();
    pick("Option3");
    QVERIFY(m_harness->session().database().exec(QStringLiteral("DELETE FROM Sales")));
    // Cust takes 3 characters: "abc" fits exactly, "abcd" is one too long.
    m_harness->userSetsText(QStringLiteral("abc,1\r\nabcd,2\r\nabcdefgh,3\r\nxyz,4"));
    fill(QStringLiteral("Sales"), parse, QStringLiteral(","));
    m_harness->toolkit().answer(Answer::Yes); // add to the current records
    for (int answer : answers)
        m_harness->toolkit().answer(answer);
    control<QPushButton>("Command10")->click();
    QCOMPARE(m_harness->toolkit().messageTexts().mid(1), shown);
    QCOMPARE(readBack(m_externalDb, QStringLiteral("Sales")), stored);
}

void TestColumnsTabs::stopKeepsTheRecordsWritten()
{
    showTab(ProcessingFrame::SaveToDatabase);
    useExternalDatabase();
    pick("Option3");
    QVERIFY(m_harness->session().database().exec(QStringLiteral("DELETE FROM Sales")));
    const int total = 300000;
    QString text;
    for (int i = 0; i < total; ++i)
        text += QStringLiteral("%1,x\r\n").arg(i % 1000, 3, 10, QLatin1Char('0'));
    m_harness->userSetsText(text);
    fill(QStringLiteral("Sales"), parse, QStringLiteral(","));
    m_harness->toolkit().answer(Answer::Yes);
    // Stop is pressed as soon as the run lets window events through.
    bool stopWasLive = false;
    QTimer::singleShot(0, this, [this, &stopWasLive] {
        auto stop = control<QPushButton>("Command17");
        stopWasLive = stop->isEnabled() && control<QProgressBar>("ProgressBar1")->isVisible();
        stop->click();
    });
    control<QPushButton>("Command10")->click();
    QVERIFY(stopWasLive);
    const Rows stored = readBack(m_externalDb, QStringLiteral("Sales"));
    QVERIFY2(stored.size() > 0 && stored.size() < total, qPrintable(QString::number(stored.size())));
    // What was written is the text's first lines, in order.
    for (qsizetype i = 0; i < stored.size(); i += 997)
        QCOMPARE(stored.at(i).first(), QStringLiteral("%1").arg(i % 1000, 3, 10, QLatin1Char('0')));
    QVERIFY(!control<QPushButton>("Command17")->isEnabled());
    QVERIFY(!m_harness->frame().busy().isBusy());
    QCOMPARE(m_harness->frame().statusBar()->currentMessage(),
             QStringLiteral("Stopped: %1 records kept").arg(QLocale().toString(stored.size())));
}

void TestColumnsTabs::trimSpacesFromValues()
{
    auto trim = control<QCheckBox>("CheckTrim");
    QVERIFY(!trim->isChecked());
    addLayoutRow(QStringLiteral("Port"), 1, 6);
    addLayoutRow(QStringLiteral("Name"), 7, 8);
    m_harness->userSetsText(QStringLiteral("  21  ftp     \r\n"));
    showTab(ProcessingFrame::SaveToDatabase);
    fill(QStringLiteral("Services"), byColumns);
    trim->click();
    control<QPushButton>("Command10")->click();
    QCOMPARE(readBack(m_harness->defaultDbPath(), QStringLiteral("Services")), (Rows{{"21", "ftp"}}));
    QCOMPARE(m_harness->frame().statusBar()->currentMessage(), QStringLiteral("1 record written to Services"));

    // The choice outlives the program: a frame started on the settings it
    // left has the box checked.
    const QVariant stored = m_harness->frame().preferences().setting(QStringLiteral("TrimSpacesFromValues"));
    QCOMPARE(stored, QVariant(true));
    FrameHarness later;
    Preferences(later.path(QStringLiteral("settings.ini"))).setSetting(QStringLiteral("TrimSpacesFromValues"), stored);
    QVERIFY(later.start());
    QVERIFY(later.control<QCheckBox>(manipulator, QStringLiteral("CheckTrim"))->isChecked());
}

void TestColumnsTabs::replaceThatDoesNotGoThroughKeepsTheOldRecords_data()
{
    QTest::addColumn<bool>("locked"); // another program holds the database; else a value too long aborts
    QTest::addColumn<QStringList>("shown");

    const QString question = QStringLiteral("Would you like to add to the current records?");
    QTest::newRow("No, then a value too long and No: the old records")
        << false
        << QStringList{question,
                       "The data that's about to be written is too large for the size of the current field (Cust).  "
                       "The write will be aborted.  Would you like to process the remaining data?",
                       "You can use a database editor to enlarge the field size, then process the data again.  The "
                       "maximum field size is 255."};
    QTest::newRow("No, and another program holds the database: one message, the old records")
        << true
        << QStringList{question, "The database %1 is locked by another program.  Nothing was changed: the table "
                                 "Sales keeps its old records."};
}

void TestColumnsTabs::replaceThatDoesNotGoThroughKeepsTheOldRecords()
{
    QFETCH(bool, locked);
    QFETCH(QStringList, shown);
    showTab(ProcessingFrame::SaveToDatabase);
    useExternalDatabase();
    pick("Option3");
    // Cust takes 3 characters.
    m_harness->userSetsText(locked ? QStringLiteral("new,1\r\nnew,2") : QStringLiteral("new,1\r\nabcd,2"));
    fill(QStringLiteral("Sales"), parse, QStringLiteral(","));
    m_harness->toolkit().answer(Answer::No); // delete the current records
    if (!locked)
        m_harness->toolkit().answer(Answer::No); // do not process the rest
    // A reader in the middle of its transaction: the save may write, never commit.
    tw::Database holder;
    if (locked) {
        QVERIFY(!holder.open(m_externalDb).isError());
        QVERIFY(!holder.begin().isError());
        QVERIFY(holder.queryValue(QStringLiteral("SELECT count(*) FROM Sales")));
    }
    control<QPushButton>("Command10")->click();
    holder.close();
    for (QString &text : shown)
        text = text.contains(u'%') ? text.arg(m_externalDb) : text;
    QCOMPARE(m_harness->toolkit().messageTexts(), shown);
    if (locked)
        QCOMPARE(m_harness->toolkit().prompts().constLast().message.title, QStringLiteral("Tabwright - Sorry..."));
    QCOMPARE(readBack(m_externalDb, QStringLiteral("Sales")), (Rows{{"old", "1"}, {"old", "2"}}));
    QVERIFY(!m_harness->frame().busy().isBusy());
}

QTEST_MAIN(TestColumnsTabs)
#include "test_columnstabs.moc"
