// SPDX-License-Identifier: GPL-3.0-or-later
// A database server through the real windows, against a PostgreSQL server
// the test starts itself: connecting with the server window and the Password
// Access window, and a table of an awkward name and a million rows listed,
// opened, edited, copied and deleted.
#include "frameharness.h"
#include "pgserver.h"

#include "core/db/identifier.h"
#include "core/db/session.h"
#include "core/grids/gridmodel.h"
#include "gui/database/serverwindow.h"
#include "gui/manipulator/processingframe.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QtTest>

#include <functional>

class TestServerTables : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void connectThroughTheWindows_data();
    void connectThroughTheWindows();
    void awkwardMillionRowTable();
    void saveTabIntoServerTable_data();
    void saveTabIntoServerTable();
    void queryWithParameterSavedAndRun();

private:
    // Runs `act` on the modal window of that name once it shows.
    static void whenShown(const QString &window, const std::function<void(QWidget *)> &act);
    // The Password Access window: these details, OK, and Cancel when the
    // window is still up afterwards (the connection failed).
    static void passwordWindow(const QString &password);
    void connect(const QString &address);
    void chooseTable(const char *menuEntry, const QString &name);
    tw::GridModel *model();

    PgServer m_server;
    std::unique_ptr<FrameHarness> m_harness;
};

void TestServerTables::initTestCase()
{
    const QString problem = m_server.start();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    // Only the password typed counts.
    qunsetenv("PGPASSWORD");
    qputenv("PGPASSFILE", "/nonexistent/pgpass");
}

void TestServerTables::init()
{
    m_harness = std::make_unique<FrameHarness>();
    QVERIFY(m_harness->start());
}

void TestServerTables::cleanup()
{
    m_harness.reset();
    m_server.psql(QStringLiteral("DROP SCHEMA public CASCADE; CREATE SCHEMA public"));
}

void TestServerTables::whenShown(const QString &window, const std::function<void(QWidget *)> &act)
{
    QTimer::singleShot(0, [window, act] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog && dialog->objectName() == window);
        act(dialog);
        // A window still up would keep the test waiting; what the test
        // checks afterwards says what went wrong.
        if (auto *open = qobject_cast<QDialog *>(dialog); open && open->isVisible())
            open->reject();
    });
}

void TestServerTables::passwordWindow(const QString &password)
{
    whenShown(QStringLiteral("Form4"), [password](QWidget *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(PgServer::user());
        dialog->findChild<QLineEdit *>(QStringLiteral("Text2"))->setText(password);
        dialog->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        if (dialog->isVisible())
            dialog->findChild<QPushButton *>(QStringLiteral("Command2"))->click();
    });
}

void TestServerTables::connect(const QString &address)
{
    whenShown(QStringLiteral("frmServer"), [address](QWidget *window) {
        window->findChild<QComboBox *>(QStringLiteral("cboAddress"))->setEditText(address);
        passwordWindow(PgServer::password());
        window->findChild<QPushButton *>(QStringLiteral("cmdConnect"))->click();
    });
    m_harness->openMenu(QStringLiteral("menuFile"));
    m_harness->action(QStringLiteral("menuFileOpenServer"))->trigger();
    QVERIFY(m_harness->session().database().isServer());
}

void TestServerTables::chooseTable(const char *menuEntry, const QString &name)
{
    m_harness->openMenu(QStringLiteral("menuFile"));
    m_harness->action(QString::fromLatin1(menuEntry))->trigger();
    QListWidget *list = m_harness->control<QListWidget>(QStringLiteral("Form3"), QStringLiteral("List1"));
    const QList<QListWidgetItem *> items = list->findItems(name, Qt::MatchExactly);
    QVERIFY2(items.size() == 1, qPrintable(name));
    list->setCurrentItem(items.first());
    QTest::keyClick(list, Qt::Key_Return);
}

tw::GridModel *TestServerTables::model()
{
    return qobject_cast<tw::GridModel *>(
        m_harness->control<QTableView>(QStringLiteral("Form13"), QStringLiteral("grdDataGrid"))->model());
}

void TestServerTables::connectThroughTheWindows_data()
{
    QTest::addColumn<QString>("address"); // %1: the port, %2: the password; "" fills in the host and port
    QTest::addColumn<QString>("password"); // the password typed that connects
    QTest::newRow("host and port") << QString() << PgServer::password();
    QTest::newRow("address pasted with its password")
        << "postgresql://tabwright:%2@127.0.0.1:%1/postgres" << QString();
}

void TestServerTables::connectThroughTheWindows()
{
    QFETCH(QString, address);
    QFETCH(QString, password);
    if (!address.isEmpty())
        address = address.arg(m_server.port()).arg(PgServer::password());
    const QString before = m_harness->session().currentPath();
    whenShown(QStringLiteral("frmServer"), [&](QWidget *window) {
        window->findChild<QComboBox *>(QStringLiteral("cboAddress"))->setEditText(address);
        window->findChild<QLineEdit *>(QStringLiteral("txtHost"))->setText(QStringLiteral("127.0.0.1"));
        window->findChild<QLineEdit *>(QStringLiteral("txtPort"))->setText(QString::number(m_server.port()));
        window->findChild<QLineEdit *>(QStringLiteral("txtDatabase"))->setText(QStringLiteral("postgres"));
        auto *connectButton = window->findChild<QPushButton *>(QStringLiteral("cmdConnect"));
        passwordWindow(QStringLiteral("wrong"));
        connectButton->click();
        // The server refused: this window stays to correct, the database is
        // the one it was.
        QVERIFY(window->isVisible());
        QCOMPARE(m_harness->session().currentPath(), before);
        QVERIFY(m_harness->session().database().tableNames().ok());
        passwordWindow(password);
        connectButton->click();
    });
    m_harness->openMenu(QStringLiteral("menuFile"));
    m_harness->action(QStringLiteral("menuFileOpenServer"))->trigger();
    QCOMPARE(m_harness->toolkit().messageTexts().size(), 1);
    QVERIFY2(m_harness->toolkit().messageTexts().first().contains(QStringLiteral("password authentication failed")),
             qPrintable(m_harness->toolkit().messageTexts().first()));
    QCOMPARE(m_harness->toolkit().unanswered(), 0);

    // Connected; the address is shown, and remembered, without the password.
    QVERIFY(m_harness->session().database().isServer());
    const QString shown = m_harness->session().currentPath();
    QVERIFY2(shown.contains(QStringLiteral("127.0.0.1")) && !shown.contains(PgServer::password()), qPrintable(shown));
    QCOMPARE(m_harness->frame().findChild<QLabel *>(QStringLiteral("databaseStatus"))->text(), shown);
    ServerWindow again(m_harness->session(), &m_harness->frame().preferences());
    QCOMPARE(again.cboAddress->itemText(0), shown);
    // Settings of one file share their state in a process: this writes out
    // what the program set.
    QSettings(m_harness->path(QStringLiteral("settings.ini")), QSettings::IniFormat).sync();
    QFile settings(m_harness->path(QStringLiteral("settings.ini")));
    QVERIFY(settings.open(QIODevice::ReadOnly));
    const QByteArray written = settings.readAll();
    QVERIFY(written.contains("RecentServers"));
    QVERIFY(!written.contains(PgServer::password().toUtf8()));
}

void TestServerTables::awkwardMillionRowTable()
{
    const QString name = QStringLiteral("Q'uote; \"Mixed\" Case");
    const QString made = m_server.psql(
        QStringLiteral("CREATE TABLE %1 (\"Id\" integer, \"Name\" varchar(20)); "
                       "INSERT INTO %1 SELECT g, 'row ' || g FROM generate_series(1, 1000000) g")
            .arg(tw::quoteIdentifier(name)));
    QVERIFY2(!made.startsWith(QStringLiteral("<error")), qPrintable(made));
    connect(QStringLiteral("postgresql://tabwright@127.0.0.1:%1/postgres").arg(m_server.port()));

    // Listed and opened as it is named, every row counted, the first shown.
    chooseTable("menuFileOpenTable", name);
    QVERIFY(m_harness->isShown(QStringLiteral("Form13")));
    QCOMPARE(model()->recordCount(), 1000000);
    QCOMPARE(model()->data(model()->index(0, 1)).toString(), QStringLiteral("row 1"));
    QCOMPARE(model()->data(model()->index(999999, 1)).toString(), QStringLiteral("row 1000000"));
    // An edit goes back to the server.
    QVERIFY(model()->setData(model()->index(1, 1), QStringLiteral("edited")));
    m_harness->toolkit().answer(Answer::Yes); // Commit changes?
    QVERIFY(model()->submit());
    QCOMPARE(m_server.psql(QStringLiteral("SELECT \"Name\" FROM %1 WHERE \"Id\" = 2").arg(tw::quoteIdentifier(name))),
             QStringLiteral("edited"));

    // Save TABLE As copies on the server and shows the copy.
    const QString copy = name + QStringLiteral(" copy");
    m_harness->toolkit().answerText(copy);
    m_harness->openMenu(QStringLiteral("menuFile"));
    m_harness->action(QStringLiteral("menuFileSaveTableAs"))->trigger();
    QCOMPARE(m_harness->window(QStringLiteral("Form13"))->windowTitle(), QStringLiteral("Tables - ") + copy);
    QCOMPARE(model()->recordCount(), 1000000);
    QCOMPARE(model()->data(model()->index(0, 1)).toString(), QStringLiteral("row 1"));
    QCOMPARE(m_server.psql(QStringLiteral("SELECT \"Name\" FROM %1 WHERE \"Id\" = 2").arg(tw::quoteIdentifier(copy))),
             QStringLiteral("edited"));

    // Delete Table takes it off the server.
    m_harness->toolkit().answer(Answer::Yes);
    chooseTable("menuFileDeleteTable", copy);
    QCOMPARE(m_harness->toolkit().unanswered(), 0);
    QCOMPARE(m_server.psql(QStringLiteral("SELECT string_agg(tablename, ',') FROM pg_tables WHERE schemaname = 'public'")),
             name);
}



void TestServerTables::saveTabIntoServerTable_data()
{
    QTest::addColumn<bool>("stop");
    QTest::addColumn<bool>("tooLong"); // the second line's Cust does not fit varchar(3); No to the question
    QTest::newRow("a new table made from the layout, read back") << false << false;
    QTest::newRow("Stop keeps the committed rows") << true << false;
    QTest::newRow("a value too long asks; No keeps the rows before") << false << true;
}

void TestServerTables::saveTabIntoServerTable()
{
    QFETCH(bool, stop);
    QFETCH(bool, tooLong);
    {
        // The layout stays in the default database while a server is current.
        tw::Database defaultDb;
        QVERIFY(!defaultDb.open(m_harness->defaultDbPath()).isError());
        for (const QVariantList &row : {QVariantList{"Cust", 1, 3, 0, 3}, QVariantList{"Qty", 5, 3, 0, 3}})
            QVERIFY(defaultDb.exec(QStringLiteral("INSERT INTO tabwrite_settings VALUES (?, ?, ?, ?, ?)"), row));
    }
    connect(QStringLiteral("postgresql://tabwright@127.0.0.1:%1/postgres").arg(m_server.port()));
    const auto control = [this](const char *name) {
        return m_harness->control<QWidget>(QStringLiteral("Manipulator"), QString::fromLatin1(name));
    };
    qobject_cast<QTabWidget *>(control("SSTab1"))->setCurrentIndex(ProcessingFrame::SaveToDatabase);
    auto *create = qobject_cast<QRadioButton *>(control("Option2"));
    QTest::mouseClick(create, Qt::LeftButton, {}, QPoint(6, create->height() / 2));
    QVERIFY(create->isChecked());
    const int total = stop ? 300000 : 3;
    QString text;
    for (int i = 0; i < total; ++i)
        text += QStringLiteral("%1,%2\r\n").arg(i % 1000, tooLong && i == 1 ? 4 : 3, 10, QLatin1Char('0')).arg(i % 7);
    m_harness->userSetsText(text);
    if (tooLong)
        m_harness->toolkit().answer(Answer::No);
    const QString table = QStringLiteral("New; \"Sales\"");
    qobject_cast<QComboBox *>(control("Combo17"))->setEditText(table);
    qobject_cast<QComboBox *>(control("Combo18"))->setEditText(QStringLiteral("Parse text using delimiter I specify"));
    qobject_cast<QLineEdit *>(control("Text10"))->setText(QStringLiteral(","));
    bool stopWasLive = !stop;
    if (stop) {
        // Stop is pressed as soon as the run lets window events through.
        QTimer::singleShot(0, this, [&] {
            auto *button = qobject_cast<QPushButton *>(control("Command17"));
            stopWasLive = button->isEnabled() && control("ProgressBar1")->isVisible();
            button->click();
        });
    }
    qobject_cast<QPushButton *>(control("Command10"))->click();
    QVERIFY(stopWasLive);
    QCOMPARE(m_harness->toolkit().unanswered(), 0);

    // Made from the layout, its sizes the server's own.
    QString quoted = tw::quoteIdentifier(table);
    QCOMPARE(m_server.psql(QStringLiteral("SELECT string_agg(pg_catalog.format_type(atttypid, atttypmod), ',') "
                                          "FROM pg_attribute WHERE attrelid = '%1'::regclass AND attnum > 0")
                               .arg(quoted.replace(u'\'', QLatin1String("''")))),
             QStringLiteral("character varying(3),character varying(3)"));
    const QStringList stored =
        m_server.psql(QStringLiteral("SELECT \"Cust\", \"Qty\" FROM %1 ORDER BY ctid").arg(tw::quoteIdentifier(table)))
            .split(u'\n', Qt::SkipEmptyParts);
    if (tooLong) {
        QCOMPARE(m_harness->toolkit().messageTexts().first(),
                 QStringLiteral("The data that's about to be written is too large for the size of the current field "
                                "(Cust).  The write will be aborted.  Would you like to process the remaining data?"));
        QCOMPARE(stored, (QStringList{"000|0"}));
        return;
    }
    if (!stop) {
        QCOMPARE(stored, (QStringList{"000|0", "001|1", "002|2"}));
        return;
    }
    // Some rows and not all; those kept are the text's first lines, in order.
    QVERIFY2(stored.size() > 0 && stored.size() < total, qPrintable(QString::number(stored.size())));
    for (qsizetype i = 0; i < stored.size(); i += 997)
        QCOMPARE(stored.at(i), QStringLiteral("%1|%2").arg(i % 1000, 3, 10, QLatin1Char('0')).arg(i % 7));
}

void TestServerTables::queryWithParameterSavedAndRun()
{
    const QString made = m_server.psql(QStringLiteral(
        "CREATE TABLE \"Stock\" (\"Item\" varchar(10), \"Qty\" integer); "
        "INSERT INTO \"Stock\" VALUES ('bolts', 3), ('nuts', 40), ('washers', 7)"));
    QVERIFY2(!made.startsWith(QStringLiteral("<error")), qPrintable(made));
    connect(QStringLiteral("postgresql://tabwright@127.0.0.1:%1/postgres").arg(m_server.port()));
    m_harness->openMenu(QStringLiteral("menuQueries"));
    m_harness->action(QStringLiteral("menuQueriesSelect"))->trigger();
    const QString window = QStringLiteral("frmQuerys");
    // Saved as typed, in a catalog the first save makes on the server.
    m_harness->control<QPlainTextEdit>(window, QStringLiteral("txtSQLStatement"))
        ->setPlainText(QStringLiteral("select item, qty from stock where Qty < :most order by ITEM"));
    m_harness->toolkit().answerText(QStringLiteral("Low stock"));
    m_harness->toolkit().answer(Answer::No); // not a pass-through query
    m_harness->click(window, QStringLiteral("cmdSaveQueryDef"));
    auto *list = m_harness->control<QListWidget>(window, QStringLiteral("lstQueryDefs"));
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), QStringLiteral("Low stock"));
    QCOMPARE(m_server.psql(QStringLiteral("SELECT \"Name\" FROM \"MSysQueries\"")), QStringLiteral("Low stock"));

    list->setCurrentRow(0);
    m_harness->toolkit().answerText(QStringLiteral("10"));
    m_harness->click(window, QStringLiteral("cmdExecuteSQL"));
    QCOMPARE(m_harness->toolkit().lastPrompt().message.text, QStringLiteral("Enter Value for Parameter 'most':"));
    auto *grid = m_harness->control<QTableView>(QStringLiteral("Form12"), QStringLiteral("grdDataGrid"));
    QVERIFY(grid);
    auto *result = qobject_cast<tw::GridModel *>(grid->model());
    QStringList rows;
    for (int row = 0; row < result->recordCount(); ++row)
        rows << result->data(result->index(row, 0)).toString() + u'|' + result->data(result->index(row, 1)).toString();
    QCOMPARE(rows, (QStringList{"bolts|3", "washers|7"}));
}

QTEST_MAIN(TestServerTables)
#include "test_servertables.moc"
