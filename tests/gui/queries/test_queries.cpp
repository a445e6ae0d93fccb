// SPDX-License-Identifier: GPL-3.0-or-later
// The Queries window and the query result window through the real windows:
// which queries are listed, how Execute picks the query and decides what a
// statement gives, parameters, Save and Remove, the result grid's editing
// rules, Refresh, Print ALL fields to a PDF, and the window's place kept.
#include "frameharness.h"
#include "support/pdftext.h"

#include "core/db/database.h"
#include "core/grids/gridmodel.h"

#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>

#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QtTest>

class TestQueries : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void listedQueries_data();
    void listedQueries();
    void editedSavedQueryRunsAsWritten();
    void parametersAskedByName();
    void whatAStatementGives_data();
    void whatAStatementGives();
    void saveAndUpdate();
    void savePassThrough();
    void removingTheLastEntrySelectsTheOneBefore();
    void editableAndReadOnlyResults();
    void refreshRunsTheQueryAgain();
    void printAllFieldsToPdf();
    void printRefusals_data();
    void printRefusals();
    void placeIsKeptAndResultClosesWithTheWindow();
    void anotherDatabaseTakesTheWindows();

private:
    void openQueries(bool select);
    void run(const QString &sql);
    QStringList listed();
    QStringList column(int index);
    QPlainTextEdit *sqlBox();
    QListWidget *list();
    tw::GridModel *result();
    tw::Database &db() { return m_harness->session().database(); }

    std::unique_ptr<FrameHarness> m_harness;
};

void TestQueries::initTestCase()
{
    // The window's place goes to the user's settings: a test's own.
    QStandardPaths::setTestModeEnabled(true);
}

void TestQueries::init()
{
    m_harness = std::make_unique<FrameHarness>();
    QVERIFY(m_harness->start());
    QVERIFY(!db().begin().isError());
    for (const char *sql :
         {"create table Stock (Item VARCHAR(8), Name VARCHAR(20), Qty INTEGER)",
          "insert into Stock values ('A1', 'hinge', 36), ('A2', 'bolt', 120), ('B1', 'nut', 340), "
          "('B2', 'handle', 12), ('C1', 'tape', 48)"})
        QVERIFY2(db().exec(QString::fromLatin1(sql)), sql);
    QVERIFY(db().createQueryDef(QStringLiteral("Low stock"), QStringLiteral("select * from Stock where Qty < 50")));
    QVERIFY(db().createQueryDef(QStringLiteral("Between"),
                                QStringLiteral("select Item from Stock where Qty >= :least and Qty <= :most "
                                               "or Item = :LEAST order by Item")));
    QVERIFY(db().createQueryDef(QStringLiteral("~adhoc"), QStringLiteral("select 1 from Stock")));
    QVERIFY(!db().commit().isError());
}

void TestQueries::cleanup()
{
    m_harness.reset();
}

void TestQueries::openQueries(bool select)
{
    m_harness->openMenu(QStringLiteral("menuQueries"));
    m_harness->action(select ? QStringLiteral("menuQueriesSelect") : QStringLiteral("menuQueriesDefine"))->trigger();
    QVERIFY(m_harness->isShown(QStringLiteral("frmQuerys")));
}

void TestQueries::run(const QString &sql)
{
    sqlBox()->setPlainText(sql);
    m_harness->click(QStringLiteral("frmQuerys"), QStringLiteral("cmdExecuteSQL"));
}

QPlainTextEdit *TestQueries::sqlBox()
{
    return m_harness->control<QPlainTextEdit>(QStringLiteral("frmQuerys"), QStringLiteral("txtSQLStatement"));
}

QListWidget *TestQueries::list()
{
    return m_harness->control<QListWidget>(QStringLiteral("frmQuerys"), QStringLiteral("lstQueryDefs"));
}

QStringList TestQueries::listed()
{
    QStringList names;
    for (int i = 0; i < list()->count(); ++i)
        names << list()->item(i)->text();
    return names;
}

tw::GridModel *TestQueries::result()
{
    auto grid = m_harness->control<QTableView>(QStringLiteral("Form12"), QStringLiteral("grdDataGrid"));
    return grid ? qobject_cast<tw::GridModel *>(grid->model()) : nullptr;
}

QStringList TestQueries::column(int index)
{
    QStringList values;
    for (int row = 0; row < result()->recordCount(); ++row)
        values << result()->data(result()->index(row, index)).toString();
    return values;
}

void TestQueries::listedQueries_data()
{
    QTest::addColumn<bool>("select");
    QTest::addColumn<QStringList>("names");
    // The program's own "~" queries are never listed; "define" lists none.
    QTest::newRow("select and run") << true << QStringList{"Between", "Low stock"};
    QTest::newRow("define and run") << false << QStringList();
}

void TestQueries::listedQueries()
{
    QFETCH(bool, select);
    QFETCH(QStringList, names);
    openQueries(select);
    QCOMPARE(listed(), names);
    QCOMPARE(m_harness->window(QStringLiteral("frmQuerys"))->windowTitle(),
             QStringLiteral("Queries - Current Database: ") + m_harness->defaultDbPath());
    QVERIFY(!m_harness->control<QPushButton>(QStringLiteral("frmQuerys"), QStringLiteral("cmdExecuteSQL"))->isEnabled());
}

void TestQueries::editedSavedQueryRunsAsWritten()
{
    openQueries(true);
    list()->setCurrentRow(1);
    QCOMPARE(sqlBox()->toPlainText(), QStringLiteral("select * from Stock where Qty < 50"));
    // Run as it is saved: its name is the caption.
    m_harness->click(QStringLiteral("frmQuerys"), QStringLiteral("cmdExecuteSQL"));
    QCOMPARE(m_harness->window(QStringLiteral("Form12"))->windowTitle(), QStringLiteral("Query - Low stock"));
    QCOMPARE(column(0), (QStringList{"A1", "B2", "C1"}));
    // Edited, the text runs as a temporary query; the saved one stays.
    const QString edited = QStringLiteral("select * from Stock\r\nwhere Qty < 40");
    run(edited);
    QCOMPARE(column(0), (QStringList{"A1", "B2"}));
    QCOMPARE(m_harness->window(QStringLiteral("Form12"))->windowTitle(),
             QStringLiteral("Query - select * from Stock where Qty < 40"));
    QCOMPARE(db().queryDef(QStringLiteral("Low stock")).value().sql(), QStringLiteral("select * from Stock where Qty < 50"));
    QVERIFY(m_harness->toolkit().prompts().isEmpty());
}

void TestQueries::parametersAskedByName()
{
    openQueries(true);
    list()->setCurrentRow(0);
    // Each name is asked once, whatever its case in the text.
    m_harness->toolkit().answerText(QStringLiteral("A2"));
    m_harness->toolkit().answerText(QStringLiteral("50"));
    m_harness->click(QStringLiteral("frmQuerys"), QStringLiteral("cmdExecuteSQL"));
    QCOMPARE(m_harness->toolkit().prompts().size(), 2);
    QCOMPARE(m_harness->toolkit().prompts().first().message.text, QStringLiteral("Enter Value for Parameter 'least':"));
    QCOMPARE(m_harness->toolkit().prompts().last().message.text, QStringLiteral("Enter Value for Parameter 'most':"));
    QCOMPARE(column(0), (QStringList{"A2"}));
    m_harness->frame().closeChild(m_harness->window(QStringLiteral("Form12")));

    // An empty answer runs nothing.
    m_harness->toolkit().answerText(QString());
    m_harness->click(QStringLiteral("frmQuerys"), QStringLiteral("cmdExecuteSQL"));
    QVERIFY(!m_harness->isShown(QStringLiteral("Form12")));
    // A temporary query asks nothing: a parameter without a value is the
    // engine's "too few parameters".
    run(QStringLiteral("select * from Stock where Qty > :least"));
    QCOMPARE(m_harness->toolkit().lastPrompt().message.text, QStringLiteral("Too few parameters. Expected 1."));
    QVERIFY(!m_harness->isShown(QStringLiteral("Form12")));
}

void TestQueries::whatAStatementGives_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QStringList>("rows"); // in the result window; none for a statement run in place
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("table");    // a table the statement makes
    QTest::newRow("select after a blank and a line break")
        << " \r\nSELECT Item FROM Stock WHERE Qty > 100" << QStringList{"A2", "B1"} << "" << "";
    QTest::newRow("with") << "with big as (select * from Stock where Qty > 100) select Name from big"
                          << QStringList{"bolt", "nut"} << "" << "";
    QTest::newRow("lower-case select into") << "select item, qty into Copy from stock where qty < 40" << QStringList()
                                            << "2 row(s) changed." << "Copy";
    QTest::newRow("action query") << "delete * from Stock where Qty > 100" << QStringList() << "2 row(s) changed." << "";
}

void TestQueries::whatAStatementGives()
{
    QFETCH(QString, sql);
    QFETCH(QStringList, rows);
    QFETCH(QString, status);
    QFETCH(QString, table);
    openQueries(false);
    run(sql);
    QCOMPARE(m_harness->isShown(QStringLiteral("Form12")), !rows.isEmpty());
    if (!rows.isEmpty())
        QCOMPARE(column(0), rows);
    QCOMPARE(m_harness->frame().statusBar()->currentMessage(), status);
    if (!table.isEmpty())
        QVERIFY(db().tableExists(table));
    QVERIFY(m_harness->toolkit().prompts().isEmpty());
}

void TestQueries::saveAndUpdate()
{
    openQueries(true);
    sqlBox()->setPlainText(QStringLiteral("select Name\nfrom Stock"));
    m_harness->toolkit().answerText(QStringLiteral("Names"));
    m_harness->toolkit().answer(Answer::No); // not a pass-through query
    m_harness->click(QStringLiteral("frmQuerys"), QStringLiteral("cmdSaveQueryDef"));
    QCOMPARE(m_harness->toolkit().lastPrompt().message.text, QStringLiteral("Is this a SQLPassThrough QueryDef?"));
    QCOMPARE(m_harness->toolkit().lastPrompt().message.defaultButton, Answer::No);
    QCOMPARE(listed(), (QStringList{"Between", "Low stock", "Names"}));
    QCOMPARE(db().queryDef(QStringLiteral("Names")).value().sql(), QStringLiteral("select Name\r\nfrom Stock"));

    // Selected, Save asks to update it.
    list()->setCurrentRow(2);
    sqlBox()->setPlainText(QStringLiteral("select Name from Stock order by Name"));
    m_harness->toolkit().answer(Answer::Yes);
    m_harness->click(QStringLiteral("frmQuerys"), QStringLiteral("cmdSaveQueryDef"));
    QCOMPARE(m_harness->toolkit().lastPrompt().message.text, QStringLiteral("Update 'Names'?"));
    QCOMPARE(db().queryDef(QStringLiteral("Names")).value().sql(), QStringLiteral("select Name from Stock order by Name"));

    // A name already taken is said so; the saved query stays as it was.
    m_harness->toolkit().answer(Answer::No);
    m_harness->toolkit().answerText(QStringLiteral("low STOCK"));
    m_harness->click(QStringLiteral("frmQuerys"), QStringLiteral("cmdSaveQueryDef"));
    QVERIFY(m_harness->toolkit().lastPrompt().message.text.startsWith(
        QStringLiteral("There is already a saved query named 'low STOCK'.")));
    QCOMPARE(db().queryDef(QStringLiteral("Low stock")).value().sql(), QStringLiteral("select * from Stock where Qty < 50"));
}

void TestQueries::savePassThrough()
{
    openQueries(false);
    sqlBox()->setPlainText(QStringLiteral("exec dbo.Refresh"));
    m_harness->toolkit().answerText(QStringLiteral("Server refresh"));
    m_harness->toolkit().answer(Answer::Yes);
    m_harness->toolkit().answerText(QStringLiteral("ODBC;DSN=warehouse"));
    m_harness->toolkit().answer(Answer::No); // returns no rows
    m_harness->click(QStringLiteral("frmQuerys"), QStringLiteral("cmdSaveQueryDef"));
    QCOMPARE(m_harness->toolkit().lastPrompt().message.text, QStringLiteral("Is the Query Row Returning?"));
    const tw::QueryDef saved = db().queryDef(QStringLiteral("Server refresh")).value();
    QCOMPARE(saved.connect(), QStringLiteral("ODBC;DSN=warehouse"));
    QVERIFY(!saved.returnsRecords());
    QCOMPARE(saved.sql(), QStringLiteral("exec dbo.Refresh"));
    // Defining queries lists none, even the one just saved.
    QVERIFY(listed().isEmpty());
}

void TestQueries::removingTheLastEntrySelectsTheOneBefore()
{
    openQueries(true);
    m_harness->click(QStringLiteral("frmQuerys"), QStringLiteral("cmdRemoveQuery"));
    QCOMPARE(m_harness->toolkit().lastPrompt().message.text,
             QStringLiteral("Please select a query from the list box and hit Remove again."));
    list()->setCurrentRow(1);
    m_harness->toolkit().answer(Answer::Yes);
    m_harness->click(QStringLiteral("frmQuerys"), QStringLiteral("cmdRemoveQuery"));
    const ScriptedToolkit::Prompt &asked = m_harness->toolkit().lastPrompt();
    QCOMPARE(asked.message.text, QStringLiteral("Delete this query: Low stock?"));
    QCOMPARE(asked.message.title, QStringLiteral("Tabwright - Be careful"));
    QCOMPARE(asked.message.defaultButton, Answer::No);
    QCOMPARE(listed(), QStringList{"Between"});
    QCOMPARE(list()->currentRow(), 0);
    QVERIFY(!db().queryDef(QStringLiteral("Low stock")));
}

void TestQueries::editableAndReadOnlyResults()
{
    openQueries(false);
    run(QStringLiteral("select Name as Label, Qty from Stock where Qty < 40 order by Label"));
    QTableView *grid = m_harness->control<QTableView>(QStringLiteral("Form12"), QStringLiteral("grdDataGrid"));
    QVERIFY(QTest::qWaitForWindowExposed(grid));
    // Rows of one table: changed in place after the question.
    QVERIFY(result()->setData(result()->index(0, 0), QStringLiteral("big handle")));
    m_harness->toolkit().answer(Answer::Yes);
    grid->setCurrentIndex(result()->index(1, 0));
    QCOMPARE(m_harness->toolkit().lastPrompt().message.text, QStringLiteral("Commit changes?"));
    QCOMPARE(db().queryValue(QStringLiteral("select Name from Stock where Item = 'B2'")).value().toString(),
             QStringLiteral("big handle"));

    // Counted rows say they cannot be changed, and nothing changes.
    run(QStringLiteral("select Qty > 40 as Plenty, count(*) as Items from Stock group by Plenty"));
    grid->setCurrentIndex(result()->index(0, 1));
    QTest::keyClick(grid, Qt::Key_Delete);
    QVERIFY(m_harness->toolkit().lastPrompt().message.text.startsWith(QStringLiteral("These rows cannot be changed")));
    m_harness->toolkit().clear();
    QTest::keyClick(grid, Qt::Key_5);
    QCOMPARE(m_harness->toolkit().prompts().size(), 1);
    QCOMPARE(column(1), (QStringList{"2", "3"}));
}

void TestQueries::refreshRunsTheQueryAgain()
{
    openQueries(false);
    run(QStringLiteral("select Item, Qty from Stock"));
    QCOMPARE(m_harness->control<QLabel>(QStringLiteral("Form12"), QStringLiteral("Data1"))->text(),
             QStringLiteral("Record: 1 of 5"));
    auto refresh = m_harness->control<QPushButton>(QStringLiteral("Form12"), QStringLiteral("cmdRefresh"));
    // Filtered, Re-Filter reads the filtered rows again.
    m_harness->toolkit().answerText(QStringLiteral("Qty > 100"));
    m_harness->click(QStringLiteral("Form12"), QStringLiteral("cmdFilter"));
    QCOMPARE(refresh->text(), QStringLiteral("Re-Filter"));
    QVERIFY(db().exec(QStringLiteral("insert into Stock values ('D1', 'tie', 1000), ('D2', 'clip', 5)")));
    refresh->click();
    QCOMPARE(column(0), (QStringList{"A2", "B1", "D1"}));
    // Show All runs the query again, unfiltered.
    m_harness->click(QStringLiteral("Form12"), QStringLiteral("Command1"));
    QCOMPARE(refresh->text(), QStringLiteral("&Refresh"));
    QCOMPARE(column(0).size(), 7);
    // Coming back to the window reads the rows anew.
    QVERIFY(db().exec(QStringLiteral("delete from Stock where Item like 'D%'")));
    m_harness->frame().showChild(m_harness->window(QStringLiteral("frmQuerys")));
    m_harness->frame().showChild(m_harness->window(QStringLiteral("Form12")));
    QCOMPARE(column(0).size(), 5);
}

void TestQueries::printAllFieldsToPdf()
{
    QStringList fields;
    QStringList values;
    for (int i = 1; i <= 10; ++i) {
        fields << QStringLiteral("[Field %1] INTEGER").arg(i);
        values << QString::number(i * 111);
    }
    QVERIFY(db().exec(QStringLiteral("create table Wide (%1)").arg(fields.join(u','))));
    QVERIFY(db().exec(QStringLiteral("insert into Wide values (%1)").arg(values.join(u','))));
    openQueries(false);
    run(QStringLiteral("select *\r\nfrom   Wide"));
    const QString pdf = m_harness->path(QStringLiteral("wide.pdf"));
    m_harness->toolkit().answerPrinter(pdf);
    m_harness->click(QStringLiteral("Form12"), QStringLiteral("Command2"));
    QCOMPARE(m_harness->toolkit().printJobs().size(), 1);
    const QString text = pdfText(pdf);
    for (const QString &shown : QStringList{"select * from Wide", "Section 1 of 2", "Section 2 of 2"} + values)
        QVERIFY2(text.contains(shown), qPrintable(shown + u'\n' + text));
    for (int i = 1; i <= 10; ++i)
        QVERIFY2(text.contains(QStringLiteral("Field %1").arg(i)), qPrintable(text));
    // The second section is the last three fields, after a page break.
    QVERIFY(text.indexOf(QStringLiteral("Section 2 of 2")) > text.indexOf(u'\f'));
    QVERIFY(text.indexOf(QStringLiteral("Field 8")) > text.indexOf(QStringLiteral("Section 2 of 2")));
}

void TestQueries::printRefusals_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("message");
    QTest::newRow("no rows") << "select * from Stock where Qty > 1000" << "No data to print.";
    QTest::newRow("no FROM") << "select 1 as One"
                             << "The SQL statement does not contain a FROM clause, so printing in not possible.";
}

void TestQueries::printRefusals()
{
    QFETCH(QString, sql);
    QFETCH(QString, message);
    openQueries(false);
    run(sql);
    m_harness->click(QStringLiteral("Form12"), QStringLiteral("Command2"));
    QCOMPARE(m_harness->toolkit().lastPrompt().message.text, message);
    QCOMPARE(m_harness->toolkit().lastPrompt().message.title, QStringLiteral("Tabwright"));
    QVERIFY(m_harness->toolkit().printJobs().isEmpty());
}

void TestQueries::placeIsKeptAndResultClosesWithTheWindow()
{
    openQueries(false);
    auto window = qobject_cast<QMdiSubWindow *>(m_harness->window(QStringLiteral("frmQuerys"))->parentWidget());
    QVERIFY(window);
    // It is never made smaller than its least size.
    window->resize(10, 10);
    QVERIFY(window->width() >= twipsToPixels(5220) && window->height() >= twipsToPixels(3884));
    window->move(37, 23);
    run(QStringLiteral("select * from Stock"));
    QVERIFY(m_harness->isShown(QStringLiteral("Form12")));
    // Escape closes the Queries window, and the result window goes with it.
    m_harness->frame().showChild(m_harness->window(QStringLiteral("frmQuerys")));
    QTest::keyClick(sqlBox(), Qt::Key_Escape);
    QVERIFY(!m_harness->isShown(QStringLiteral("frmQuerys")));
    QVERIFY(!m_harness->isShown(QStringLiteral("Form12")));
    QVERIFY(!result()->isOpen());
    const Preferences &stored = m_harness->frame().preferences();
    QCOMPARE(stored.setting(QStringLiteral("QueryLeft")).toInt(), qRound(pixelsToTwips(37)));
    QCOMPARE(stored.setting(QStringLiteral("QueryTop")).toInt(), qRound(pixelsToTwips(23)));
    window->move(200, 200);
    openQueries(true);
    QCOMPARE(window->pos(), QPoint(37, 23));
}

void TestQueries::anotherDatabaseTakesTheWindows()
{
    openQueries(true);
    run(QStringLiteral("select * from Stock"));
    QVERIFY(m_harness->isShown(QStringLiteral("Form12")));
    const QString other = m_harness->path(QStringLiteral("other.db"));
    {
        tw::Database made;
        QVERIFY(!made.open(other, {}, {}, tw::Database::OpenMode::CreateIfMissing).isError());
        QVERIFY(made.createQueryDef(QStringLiteral("Elsewhere"), QStringLiteral("select 1")));
    }
    // The result's rows belong to the database that goes: the window closes;
    // the Queries window lists the new database's queries.
    QVERIFY(!m_harness->session().open(other).error.isError());
    QVERIFY(!m_harness->isShown(QStringLiteral("Form12")));
    QVERIFY(!result()->isOpen());
    QCOMPARE(listed(), QStringList{"Elsewhere"});
    QCOMPARE(m_harness->window(QStringLiteral("frmQuerys"))->windowTitle(),
             QStringLiteral("Queries - Current Database: ") + other);
}

QTEST_MAIN(TestQueries)
#include "test_queries.moc"
