// SPDX-License-Identifier: GPL-3.0-or-later
#include "pgserver.h"

#include <QCollator>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <csignal>

#include <arpa/inet.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The newest installed server's programs (Debian keeps them per version).
QString serverBinDir()
{
    QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QStringList names = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(names.begin(), names.end(), [&](const QString &a, const QString &b) { return numeric.compare(a, b) > 0; });
    for (const QString &name : names) {
        const QString bin = versions.filePath(name + QStringLiteral("/bin"));
        if (QFile::exists(bin + QStringLiteral("/initdb")) && QFile::exists(bin + QStringLiteral("/postgres")))
            return bin;
    }
    return {};
}

// A port nobody listens on right now.
int freePort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
        && ::getsockname(s, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(s);
    return port;
}

// Who owns the cluster: the test's own user, or when that is root a system
// user without privileges (the server's own "postgres" when the package made
// it, otherwise "nobody").
struct Owner
{
    bool drop = false;
    uid_t uid = 0;
    gid_t gid = 0;
};

Owner clusterOwner()
{
    Owner owner;
    if (::geteuid() != 0)
        return owner;
    for (const char *name : {"postgres", "nobody"}) {
        if (const passwd *entry = ::getpwnam(name)) {
            owner.drop = true;
            owner.uid = entry->pw_uid;
            owner.gid = entry->pw_gid;
            break;
        }
    }
    return owner;
}

// Runs a server program as the cluster's owner; the child also ends when the
// test process does (the death signal is set after the change of user,
// which would clear it).
void runAsOwner(QProcess &process, const Owner &owner, int deathSignal)
{
    process.setChildProcessModifier([owner, deathSignal] {
        if (owner.drop) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(owner.gid) != 0 || ::setuid(owner.uid) != 0)
                ::_exit(126);
        }
        if (deathSignal)
            ::prctl(PR_SET_PDEATHSIG, deathSignal);
    });
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    process.setProcessEnvironment(environment);
}

bool chownTree(const QString &path, const Owner &owner)
{
    return !owner.drop || ::chown(QFile::encodeName(path).constData(), owner.uid, owner.gid) == 0;
}

QString readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()).trimmed() : QString();
}

} // namespace

PgServer::~PgServer()
{
    stop();
}

QString PgServer::start()
{
    m_bin = serverBinDir();
    if (m_bin.isEmpty())
        return QStringLiteral("no PostgreSQL server under /usr/lib/postgresql (./build.sh installs it)");
    const Owner owner = clusterOwner();
    // Root's own temporary folder may be closed to others; /tmp never is.
    const QString base = owner.drop ? QStringLiteral("/tmp") : QDir::tempPath();
    m_dir = std::make_unique<QTemporaryDir>(base + QStringLiteral("/tw-pg-XXXXXX"));
    if (!m_dir->isValid() || !chownTree(m_dir->path(), owner))
        return QStringLiteral("cannot make a folder for the cluster under %1").arg(base);
    const QString data = m_dir->filePath(QStringLiteral("data"));
    const QString passwordFile = m_dir->filePath(QStringLiteral("password"));
    {
        QFile file(passwordFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(password().toUtf8() + '\n') < 0)
            return QStringLiteral("cannot write %1").arg(passwordFile);
    }
    if (!chownTree(passwordFile, owner))
        return QStringLiteral("cannot hand %1 to the cluster's owner").arg(passwordFile);

    QProcess initdb;
    runAsOwner(initdb, owner, SIGKILL);
    initdb.setWorkingDirectory(m_dir->path());
    initdb.setProcessChannelMode(QProcess::MergedChannels);
    // No sync to disk: the cluster lives as long as the test.
    initdb.start(m_bin + QStringLiteral("/initdb"),
                 {QStringLiteral("-D"), data, QStringLiteral("-U"), user(), QStringLiteral("--pwfile=") + passwordFile,
                  QStringLiteral("-A"), QStringLiteral("scram-sha-256"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                  QStringLiteral("--locale=C"), QStringLiteral("-N")});
    const bool made = initdb.waitForFinished(120000) && initdb.exitStatus() == QProcess::NormalExit
        && initdb.exitCode() == 0;
    QFile::remove(passwordFile);
    if (!made)
        return QStringLiteral("initdb failed: %1").arg(QString::fromLocal8Bit(initdb.readAll()));

    // Another test may take the port between the look and the start: the
    // server then fails at once, and another port is tried.
    for (int attempt = 0; attempt < 5; ++attempt) {
        m_port = freePort();
        if (launch())
            return {};
    }
    return QStringLiteral("the server did not start: %1").arg(readFile(m_dir->filePath(QStringLiteral("server.log"))));
}

QString PgServer::restart()
{
    stop();
    return launch() ? QString()
                    : QStringLiteral("the server did not start again: %1")
                          .arg(readFile(m_dir->filePath(QStringLiteral("server.log"))));
}

bool PgServer::launch()
{
    const Owner owner = clusterOwner();
    const QString data = m_dir->filePath(QStringLiteral("data"));
    const QString log = m_dir->filePath(QStringLiteral("server.log"));
    {
        runAsOwner(m_server, owner, SIGQUIT);
        m_server.setWorkingDirectory(m_dir->path());
        m_server.setProcessChannelMode(QProcess::MergedChannels);
        m_server.setStandardOutputFile(log, QIODevice::Append);
        m_server.start(m_bin + QStringLiteral("/postgres"),
                       {QStringLiteral("-D"), data, QStringLiteral("-p"), QString::number(m_port),
                        QStringLiteral("-k"), m_dir->path(), QStringLiteral("-c"),
                        QStringLiteral("listen_addresses=127.0.0.1"), QStringLiteral("-F"), QStringLiteral("-c"),
                        QStringLiteral("max_connections=20"), QStringLiteral("-c"),
                        QStringLiteral("shared_buffers=16MB")});
        if (!m_server.waitForStarted())
            return false;
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 60000 && m_server.state() == QProcess::Running) {
            QProcess ready;
            ready.start(m_bin + QStringLiteral("/pg_isready"),
                        {QStringLiteral("-q"), QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                         QString::number(m_port)});
            if (ready.waitForFinished(10000) && ready.exitStatus() == QProcess::NormalExit && ready.exitCode() == 0)
                return true;
            QThread::msleep(100);
        }
        stop();
    }
    return false;
}

void PgServer::stop()
{
    if (m_server.state() == QProcess::NotRunning)
        return;
    // SIGINT: a fast shutdown, clients disconnected.
    ::kill(pid_t(m_server.processId()), SIGINT);
    if (!m_server.waitForFinished(20000)) {
        m_server.kill();
        m_server.waitForFinished(5000);
    }
}

QString PgServer::address() const
{
    return QStringLiteral("postgresql://%1@127.0.0.1:%2/postgres").arg(user()).arg(m_port);
}

QProcessEnvironment PgServer::clientEnvironment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PGPASSWORD"), password());
    // No ~/.pgpass or service file of whoever runs the tests interferes.
    environment.insert(QStringLiteral("PGPASSFILE"), QStringLiteral("/nonexistent/pgpass"));
    environment.remove(QStringLiteral("PGSERVICE"));
    return environment;
}

QString PgServer::psql(const QString &sql) const
{
    QProcess process;
    process.setProcessEnvironment(clientEnvironment());
    process.start(m_bin + QStringLiteral("/psql"),
                  {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-At"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
                   QStringLiteral("-d"), address(), QStringLiteral("-c"), sql});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QStringLiteral("<error: %1>").arg(QString::fromUtf8(process.readAllStandardError()).trimmed());
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}
