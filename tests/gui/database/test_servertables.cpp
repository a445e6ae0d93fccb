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

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
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

QTEST_MAIN(TestServerTables)
#include "test_servertables.moc"
