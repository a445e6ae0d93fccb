// SPDX-License-Identifier: GPL-3.0-or-later
// The database session: the default and the current database, switching
// between them, and the question before the program's own tables take the
// default database back.
#include "core/db/session.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using tw::DatabaseSession;

class TestSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void openSwitchesAndSignals();
    void unopenableFileChangesNothing();
    void pathsCompareWithoutCase();
    void leaveExternalAsks_data();
    void leaveExternalAsks();
    void reopensDefaultOnlyWhenClosed();

private:
    QString makeDatabase(const QString &name);
    QTemporaryDir m_dir;
    std::unique_ptr<DatabaseSession> m_session;
};

QString TestSession::makeDatabase(const QString &name)
{
    const QString path = m_dir.filePath(name);
    tw::Database db;
    if (db.open(path, {}, {}, tw::Database::OpenMode::CreateIfMissing).isError())
        qFatal("cannot make %s", qPrintable(path));
    (void)db.exec(QStringLiteral("CREATE TABLE t (a TEXT)"));
    return path;
}

void TestSession::init()
{
    m_session = std::make_unique<DatabaseSession>();
    m_session->setDefault(makeDatabase(QStringLiteral("tabwright.mdb")), m_dir.path() + u'/');
    QVERIFY(!m_session->openDefault().isError());
}

void TestSession::openSwitchesAndSignals()
{
    const QString other = makeDatabase(QStringLiteral("other.db"));
    QStringList order;
    connect(m_session.get(), &DatabaseSession::aboutToSwitch, this, [&] {
        order << QStringLiteral("about:") + m_session->database().name();
    });
    connect(m_session.get(), &DatabaseSession::switched, this, [&] {
        order << QStringLiteral("switched:") + m_session->database().name();
    });
    const DatabaseSession::Switch result = m_session->open(other);
    QVERIFY(!result.error.isError());
    QVERIFY(m_session->isExternal());
    QCOMPARE(m_session->currentPath(), other);
    // Windows let go of the old database's rows while it is still open.
    QCOMPARE(order, (QStringList{QStringLiteral("about:") + m_session->defaultPath(),
                                 QStringLiteral("switched:") + other}));
    QVERIFY(!m_session->useDefault().isError());
    QVERIFY(!m_session->isExternal());
}

void TestSession::unopenableFileChangesNothing()
{
    const QString notADatabase = m_dir.filePath(QStringLiteral("notes.txt"));
    QFile file(notADatabase);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("just text, long enough to be read as a header by mistake......");
    file.close();
    QSignalSpy about(m_session.get(), &DatabaseSession::aboutToSwitch);
    const DatabaseSession::Switch result = m_session->open(notADatabase);
    QCOMPARE(result.error.number, tw::ErrorNumber::NotADatabase);
    QVERIFY(!result.fellBack);
    QCOMPARE(about.count(), 0);
    QCOMPARE(m_session->currentPath(), m_session->defaultPath());
    QVERIFY(m_session->database().isOpen());
}

void TestSession::pathsCompareWithoutCase()
{
    QVERIFY(tw::samePath(QStringLiteral("/a/Tabwright.MDB"), QStringLiteral("/a/tabwright.mdb")));
    QVERIFY(!tw::samePath(QStringLiteral("/a/x.db"), QStringLiteral("/b/x.db")));
}

void TestSession::leaveExternalAsks_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("yes goes back to the default") << true;
    QTest::newRow("no stays") << false;
}

void TestSession::leaveExternalAsks()
{
    QFETCH(bool, answer);
    int asked = 0;
    m_session->confirmLeavingExternal = [&] {
        ++asked;
        return answer;
    };
    // On the default database nothing is asked.
    QVERIFY(m_session->leaveExternal());
    QCOMPARE(asked, 0);
    QVERIFY(!m_session->open(makeDatabase(QStringLiteral("other.db"))).error.isError());
    tw::DbError error;
    QCOMPARE(m_session->leaveExternal(&error), answer);
    QCOMPARE(asked, 1);
    QVERIFY(!error.isError());
    QCOMPARE(m_session->isExternal(), !answer);
}

void TestSession::reopensDefaultOnlyWhenClosed()
{
    QSignalSpy switched(m_session.get(), &DatabaseSession::switched);
    QVERIFY(!m_session->reopenDefaultIfClosed().isError());
    QCOMPARE(switched.count(), 0);
    m_session->database().close();
    QVERIFY(!m_session->reopenDefaultIfClosed().isError());
    QCOMPARE(switched.count(), 1);
    QVERIFY(m_session->database().isOpen());
}

QTEST_GUILESS_MAIN(TestSession)
#include "test_session.moc"
