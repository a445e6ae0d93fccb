// SPDX-License-Identifier: GPL-3.0-or-later
#include "frameharness.h"

#include "gui/shell/appstate.h"
#include "gui/shell/mdiform1.h"
#include "core/db/database.h"
#include "core/engine/textchars.h"
#include "core/grids/gridmodel.h"
#include "gui/manipulator/manipulator.h"
#include "gui/manipulator/savetargettab.h"
#include "gui/manipulator/tabwritetab.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

namespace {
// One column layout row as the grid holds it; "" is an empty cell.
using LayoutRow = QStringList;
using Layout = QList<LayoutRow>;

const QString closeExternalQuestion = QStringLiteral(
    "To honor your request would necessitate closing the external database and using the original one.  "
    "Shall we close the external DB now?");
const QString parseMethod = QStringLiteral("Parse text using delimiter I specify");
const QString layoutMethod = QStringLiteral("Use column specs on the Tabwrite Text tab");

// What tabwright-cli tabwrite makes of the text with this layout; a null
// string when the command line is not built.
QString cliTabwrite(const Layout &layout, int startColumn, const QString &text)
{
#ifdef TABWRIGHT_CLI
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
    QString result = QString::fromUtf8(cli.readAllStandardOutput());
    // A file without any CR has LF line ends, which File > Open turns into
    // CR LF: that is the text the window works on.
    if (!text.contains(u'\r'))
        result.replace(u'\n', QStringLiteral("\r\n"));
    return result;
#else
    Q_UNUSED(layout);
    Q_UNUSED(startColumn);
    Q_UNUSED(text);
    return {};
#endif
}
} // namespace

// The Tabwrite Text and Save to Database tabs worked through their controls:
// the column layout grid and its captions, the question about the external
// database when a tab needs the program's own tables, Process, and the save
// target's options.
class TestColumnsTabs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void freshStartCaptions();
    void positionCaptions();
    void tabChangeQuestion_data();
    void tabChangeQuestion();
    void targetTabWithOption1AsksNothing();
    void process_data();
    void process();
    void refusedRunChangesNothing_data();
    void refusedRunChangesNothing();
    void saveTargetOptions();
    void processMethodRule_data();
    void processMethodRule();
    void tableListOfExternalDatabase();

private:
    Manipulator &window() { return m_harness->manipulator(); }
    TabwriteTab &tabwrite() { return *window().tabwriteTab; }
    SaveTargetTab &target() { return *window().saveTargetTab; }
    AppState &state() { return m_harness->frame().state(); }
    void insertLayoutRows(int count);
    // Types the rows into the grid's empty last row, one after the other; the
    // last row is left with its edit pending, as a user leaves it before
    // pressing Process.
    void typeLayout(const Layout &layout);
    void useExternalDatabase();

    std::unique_ptr<FrameHarness> m_harness;
    QString m_externalDb;
};

void TestColumnsTabs::init()
{
    m_harness = std::make_unique<FrameHarness>();
    m_externalDb = QDir(m_harness->programFolder()).filePath(QStringLiteral("external.db"));
    {
        tw::Database db;
        QVERIFY(!(db.open(m_externalDb, {}, {}, tw::Database::OpenMode::CreateIfMissing)).isError());
        for (const char *table : {"Sales", "msysdata", "MSysOwn", "SSysReport", "TABWRITE_x", "tabwrite_own"})
            QVERIFY(db.exec(QStringLiteral("CREATE TABLE \"%1\" (a TEXT)").arg(QLatin1String(table))));
    }
    QVERIFY(m_harness->start());
}

void TestColumnsTabs::cleanup()
{
    QCOMPARE(m_harness->toolkit().unanswered(), 0);
    m_harness.reset();
}

void TestColumnsTabs::insertLayoutRows(int count)
{
    for (int i = 1; i <= count; ++i)
        QVERIFY(m_harness->frame().currentDatabase()->exec(
            QStringLiteral("INSERT INTO tabwrite_settings VALUES (?, ?, 3, 1, 10)"),
            {QStringLiteral("H%1").arg(i), 1 + 4 * (i - 1)}));
}

void TestColumnsTabs::typeLayout(const Layout &layout)
{
    QTableView *grid = tabwrite().DBGrid1;
    QAbstractItemModel *model = grid->model();
    grid->setCurrentIndex(model->index(model->rowCount() - 1, 0));
    for (qsizetype i = 0; i < layout.size(); ++i) {
        if (i > 0)
            QTest::keyClick(grid, Qt::Key_Down);
        const int newRow = grid->currentIndex().row();
        QCOMPARE(newRow, model->rowCount() - 1);
        for (int column = 0; column < layout[i].size(); ++column) {
            if (!layout[i][column].isEmpty())
                QVERIFY(model->setData(model->index(newRow, column), layout[i][column]));
        }
    }
}

void TestColumnsTabs::useExternalDatabase()
{
    state().currentDbPath = m_externalDb;
    QVERIFY(!(m_harness->frame().openCurrentDatabase(m_externalDb)).isError());
}

void TestColumnsTabs::freshStartCaptions()
{
    window().SSTab1->setCurrentIndex(Manipulator::TabwriteText);
    QCOMPARE(tabwrite().Data1->text(), QStringLiteral("Enter new record"));
    QCOMPARE(tabwrite().DBGrid1Caption->text(), QStringLiteral("Enter Column Specifications"));
    QCOMPARE(tabwrite().DBGrid1->toolTip(),
             QStringLiteral("Enter zero in the LAST column's \"Spaces_b4_next_ column\" field, if you don't want "
                            "any spaces at the end of each line."));
    // The grid is on the layout table itself: its fields are the columns.
    QCOMPARE(tabwrite().DBGrid1->model()->headerData(0, Qt::Horizontal).toString(),
             QStringLiteral("column_heading"));
    QCOMPARE(QApplication::focusWidget(), tabwrite().DBGrid1);
}

void TestColumnsTabs::positionCaptions()
{
    insertLayoutRows(3);
    window().SSTab1->setCurrentIndex(Manipulator::TabwriteText);
    QTableView *grid = tabwrite().DBGrid1;
    QCOMPARE(tabwrite().Data1->text(), QStringLiteral("Record 1 of 3"));
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(grid->currentIndex().row(), 1);
    QCOMPARE(tabwrite().Data1->text(), QStringLiteral("Record 2 of 3"));

    // A fourth row typed into the empty last row and left.
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    grid->setCurrentIndex(grid->model()->index(3, 0));
    QTest::keyClicks(grid, QStringLiteral("Q"));
    QWidget *editor = QApplication::focusWidget();
    QVERIFY(editor && editor != grid);
    QTest::keyClicks(editor, QStringLiteral("ty"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClick(grid, Qt::Key_Up);
    QCOMPARE(tabwrite().Data1->text(), QStringLiteral("Record 3 of 4"));
    QCOMPARE(tabwrite().specRowCount(), 4);
    QVERIFY(state().settingsDirty);
    const tw::Result<QVariant> stored = m_harness->frame().currentDatabase()->queryValue(
        QStringLiteral("SELECT column_heading FROM tabwrite_settings ORDER BY rowid DESC LIMIT 1"));
    QVERIFY(stored);
    QCOMPARE(stored.value().toString(), QStringLiteral("Qty"));

    // The data control's own buttons.
    tabwrite().Data1First->click();
    QCOMPARE(tabwrite().Data1->text(), QStringLiteral("Criteria 1 of 4"));
}

void TestColumnsTabs::tabChangeQuestion_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("tabAfter");

    QTest::newRow("to Tabwrite Text, No") << int(Manipulator::TextLines) << int(Manipulator::TabwriteText)
                                          << Answer::No << int(Manipulator::TextLines);
    QTest::newRow("to Tabwrite Text, Yes") << int(Manipulator::TextLines) << int(Manipulator::TabwriteText)
                                           << Answer::Yes << int(Manipulator::TabwriteText);
    QTest::newRow("to Settings, No") << int(Manipulator::MoveText) << int(Manipulator::Settings) << Answer::No
                                     << int(Manipulator::TextLines);
    QTest::newRow("from Tabwrite Text, No") << int(Manipulator::TabwriteText) << int(Manipulator::FormatText)
                                            << Answer::No << int(Manipulator::TextLines);
    QTest::newRow("from Tabwrite Text, Yes") << int(Manipulator::TabwriteText) << int(Manipulator::FormatText)
                                             << Answer::Yes << int(Manipulator::FormatText);
}

void TestColumnsTabs::tabChangeQuestion()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, answer);
    QFETCH(int, tabAfter);
    window().SSTab1->setCurrentIndex(from);
    useExternalDatabase();
    m_harness->toolkit().clear();
    m_harness->toolkit().answer(answer);
    window().SSTab1->setCurrentIndex(to);

    QCOMPARE(m_harness->toolkit().prompts().size(), 1);
    const MessagePrompt &asked = m_harness->toolkit().lastPrompt().message;
    QCOMPARE(asked.text, closeExternalQuestion);
    QCOMPARE(asked.title, QStringLiteral("Choices, choices..."));
    QCOMPARE(asked.buttons, Buttons::YesNo);
    QCOMPARE(asked.icon, Icon::Question);
    QCOMPARE(asked.defaultButton, Answer::No);
    QCOMPARE(window().SSTab1->currentIndex(), tabAfter);
    const QString expectedDb = answer == Answer::Yes ? m_harness->defaultDbPath() : m_externalDb;
    QCOMPARE(state().currentDbPath, expectedDb);
    QCOMPARE(m_harness->frame().currentDatabase()->name(), expectedDb);
    if (answer == Answer::Yes && to == Manipulator::TabwriteText)
        QCOMPARE(tabwrite().Data1->text(), QStringLiteral("Enter new record"));
}

void TestColumnsTabs::targetTabWithOption1AsksNothing()
{
    window().SSTab1->setCurrentIndex(Manipulator::TabwriteText);
    QVERIFY(target().Option1->isChecked());
    useExternalDatabase();
    m_harness->toolkit().clear();
    window().SSTab1->setCurrentIndex(Manipulator::SaveToDatabase);
    // Instead of the question the target becomes a database the user picks.
    QCOMPARE(m_harness->toolkit().prompts().size(), 0);
    QCOMPARE(window().SSTab1->currentIndex(), int(Manipulator::SaveToDatabase));
    QVERIFY(target().Option2->isChecked());
    QVERIFY(target().Command11->isEnabled());
    QCOMPARE(m_harness->frame().currentDatabase()->name(), m_externalDb);

    // With Option2 chosen the way back to the layout tab asks.
    m_harness->toolkit().answer(Answer::No);
    window().SSTab1->setCurrentIndex(Manipulator::TabwriteText);
    QCOMPARE(m_harness->toolkit().messageTexts(), QStringList{closeExternalQuestion});
    QCOMPARE(window().SSTab1->currentIndex(), int(Manipulator::TextLines));
}

void TestColumnsTabs::process_data()
{
    QTest::addColumn<Layout>("layout");
    QTest::addColumn<int>("startColumn");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const Layout nameQty{{"Name", "1", "5", "2"}, {"Qty", "6", "3", "0"}};
    const QString sales = QStringLiteral("Alice012 and more\r\n\r\nBob  7");
    QTest::newRow("two columns") << nameQty << 1 << sales
                                 << QStringLiteral("Name   Qty\r\nAlice  012\r\n\r\nBob    7");
    QTest::newRow("start at column 3, empty line unprefixed")
        << nameQty << 3 << sales << QStringLiteral("  Name   Qty\r\n  Alice  012\r\n\r\n  Bob    7");
    QTest::newRow("start at column 0") << nameQty << 0 << QStringLiteral("Alice012")
                                       << QStringLiteral("Name   Qty\r\nAlice  012");
    QTest::newRow("row order decides column order")
        << Layout{{"B", "10", "3", "1"}, {"A", "1", "5", "0"}} << 1 << QStringLiteral("abcdefghijklm")
        << QStringLiteral("B   A\r\njkl abcde");
    QTest::newRow("ends with CR LF") << Layout{{"X", "1", "2", "0"}} << 1 << QStringLiteral("ab\r\n")
                                     << QStringLiteral("X\r\nab\r\n");
    QTest::newRow("long heading pushes later headings right")
        << Layout{{"LongHeading", "1", "2", "1"}, {"Q", "3", "1", "0"}} << 1 << QStringLiteral("abc")
        << QStringLiteral("LongHeading   Q\r\nab c");
    QTest::newRow("trailing spaces of the last column")
        << Layout{{"N", "1", "2", "3"}} << 1 << QStringLiteral("abcd") << QStringLiteral("N\r\nab   ");
}

void TestColumnsTabs::process()
{
    QFETCH(Layout, layout);
    QFETCH(int, startColumn);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    m_harness->userSetsText(text);
    window().SSTab1->setCurrentIndex(Manipulator::TabwriteText);
    typeLayout(layout);
    tabwrite().MaskEdBox4->setText(QString::number(startColumn));
    QTest::mouseClick(tabwrite().Command7, Qt::LeftButton);

    QCOMPARE(m_harness->toolkit().messageTexts(), QStringList());
    QCOMPARE(window().working().text(), expected);
    // The last row, still being edited when Process was pressed, was written.
    QCOMPARE(tabwrite().specRowCount(), qint64(layout.size()));
    QVERIFY(!tabwrite().model()->hasPendingEdit());
    QCOMPARE(window().working().undoCopy(), text);
    QVERIFY(window().Command1->isEnabled());
    const QString cli = cliTabwrite(layout, startColumn, text);
    if (!cli.isNull())
        QCOMPARE(window().working().text(), cli);
}

void TestColumnsTabs::refusedRunChangesNothing_data()
{
    QTest::addColumn<Layout>("layout");
    QTest::addColumn<QString>("message");

    QTest::newRow("second row without its count")
        << Layout{{"Name", "1", "5", "2"}, {"Qty", "6", "", "0"}}
        << QStringLiteral("Row 2 of the column specifications is incomplete.  Please fill in its "
                          "number_of_characters.");
    QTest::newRow("first row without heading and spaces")
        << Layout{{"", "1", "5", ""}}
        << QStringLiteral("Row 1 of the column specifications is incomplete.  Please fill in its "
                          "column_heading, spaces_b4_next_column.");
    // Half a billion spaces after a column: the result could not be held.
    QTest::newRow("result too large") << Layout{{"Name", "1", "5", "600000000"}} << tw::chars::tooLargeMessage();
}

void TestColumnsTabs::refusedRunChangesNothing()
{
    QFETCH(Layout, layout);
    QFETCH(QString, message);
    const QString text = QStringLiteral("Alice012\r\nBob  7");
    m_harness->userSetsText(text);
    const QString undoCopy = window().working().undoCopy();
    const bool undoEnabled = window().Command1->isEnabled();
    window().SSTab1->setCurrentIndex(Manipulator::TabwriteText);
    typeLayout(layout);
    QTest::mouseClick(tabwrite().Command7, Qt::LeftButton);

    QCOMPARE(m_harness->toolkit().messageTexts(), QStringList{message});
    QCOMPARE(window().working().text(), text);
    QCOMPARE(window().working().undoCopy(), undoCopy);
    QCOMPARE(window().Command1->isEnabled(), undoEnabled);
    QVERIFY(!window().isBusy());
    // Another run may start at once.
    QVERIFY(window().beginRun(1));
    window().abandonRun();
}

void TestColumnsTabs::saveTargetOptions()
{
    window().SSTab1->setCurrentIndex(Manipulator::SaveToDatabase);
    QCOMPARE(m_harness->toolkit().prompts().size(), 0);
    QCOMPARE(target().Frame1->title(), QStringLiteral("Save Options"));
    QCOMPARE(target().Option1->text(),
             QStringLiteral("Tabwright will create table in tabwright.mdb, from info on Tabwrite Text tab"));
    QCOMPARE(target().Option2->text(), QStringLiteral("I will specify Access database, Tabwright will create table"));
    QCOMPARE(target().Option3->text(), QStringLiteral("I will specify Access database and table"));
    QCOMPARE(target().Command11->text(), QStringLiteral("&Select Database"));
    QVERIFY(target().Option1->isChecked());
    QVERIFY(!target().Command11->isEnabled());
    QStringList methods;
    for (int i = 0; i < target().Combo18->count(); ++i)
        methods << target().Combo18->itemText(i);
    QCOMPARE(methods, (QStringList{parseMethod, layoutMethod}));

    QTest::mouseClick(target().Option3, Qt::LeftButton, {}, QPoint(6, target().Option3->height() / 2));
    QVERIFY(target().Option3->isChecked());
    QVERIFY(target().Command11->isEnabled());
    // The default database's tables are no target for Option3.
    QCOMPARE(target().Combo17->count(), 0);

    // Back to Option1 on the default database: no question, the button off.
    QTest::mouseClick(target().Option1, Qt::LeftButton, {}, QPoint(6, target().Option1->height() / 2));
    QVERIFY(target().Option1->isChecked());
    QVERIFY(!target().Command11->isEnabled());
    QCOMPARE(m_harness->toolkit().prompts().size(), 0);
    QCOMPARE(m_harness->frame().currentDatabase()->name(), m_harness->defaultDbPath());

    // Option1 with an external database current asks first; No picks Option2.
    useExternalDatabase();
    m_harness->toolkit().answer(Answer::No);
    QTest::mouseClick(target().Option1, Qt::LeftButton, {}, QPoint(6, target().Option1->height() / 2));
    QCOMPARE(m_harness->toolkit().messageTexts(), QStringList{closeExternalQuestion});
    QVERIFY(target().Option2->isChecked());
    QCOMPARE(m_harness->frame().currentDatabase()->name(), m_externalDb);
}

void TestColumnsTabs::processMethodRule_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<bool>("delimiter");
    QTest::newRow("parse") << parseMethod << true;
    QTest::newRow("column layout") << layoutMethod << false;
    QTest::newRow("parse in other letter case") << parseMethod.toLower() << false;
    QTest::newRow("any other text") << QStringLiteral("comma") << false;
    QTest::newRow("empty") << QString() << false;
}

void TestColumnsTabs::processMethodRule()
{
    QFETCH(QString, method);
    QFETCH(bool, delimiter);
    window().SSTab1->setCurrentIndex(Manipulator::SaveToDatabase);
    // From the opposite state, so the rule has something to change.
    target().Combo18->setCurrentIndex(delimiter ? 1 : 0);
    QCOMPARE(target().Text10->isEnabled(), !delimiter);
    state().settingsDirty = false;
    QLineEdit *typing = target().Combo18->lineEdit();
    typing->selectAll();
    QTest::keyClick(typing, Qt::Key_Delete);
    QTest::keyClicks(typing, method);
    QCOMPARE(target().Combo18->currentText(), method);
    QCOMPARE(target().Text10->isEnabled(), delimiter);
    QCOMPARE(target().Label45->isEnabled(), delimiter);
    QVERIFY(state().settingsDirty);
    QCOMPARE(target().Text10->toolTip(), QStringLiteral("Spaces may be used as a delimiter."));
}

void TestColumnsTabs::tableListOfExternalDatabase()
{
    window().SSTab1->setCurrentIndex(Manipulator::SaveToDatabase);
    QTest::mouseClick(target().Option3, Qt::LeftButton, {}, QPoint(6, target().Option3->height() / 2));
    useExternalDatabase();
    target().Combo17->setEditText(QStringLiteral("Sales"));
    window().SSTab1->setCurrentIndex(Manipulator::MoveText);
    window().SSTab1->setCurrentIndex(Manipulator::SaveToDatabase);
    QStringList listed;
    for (int i = 0; i < target().Combo17->count(); ++i)
        listed << target().Combo17->itemText(i);
    QCOMPARE(listed, (QStringList{"Sales", "msysdata"}));
    QCOMPARE(target().Combo17->currentText(), QStringLiteral("Sales"));

    // A typed name that is no table is not kept.
    target().Combo17->setEditText(QStringLiteral("sales"));
    window().SSTab1->setCurrentIndex(Manipulator::MoveText);
    window().SSTab1->setCurrentIndex(Manipulator::SaveToDatabase);
    QCOMPARE(target().Combo17->currentText(), QString());
}

QTEST_MAIN(TestColumnsTabs)
#include "test_columnstabs.moc"
