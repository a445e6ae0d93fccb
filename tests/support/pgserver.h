// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// A PostgreSQL server of the test's own: a new cluster made with initdb in a
// temporary folder, listening on a free port of 127.0.0.1 only, with a
// password set for its one user. Run as root (as CI runs), the cluster and
// the server belong to an unprivileged user, since the server refuses to run
// as root. The server stops with the fixture, and with the test process if
// that dies first.
class PgServer
{
public:
    PgServer() = default;
    ~PgServer();
    PgServer(const PgServer &) = delete;
    PgServer &operator=(const PgServer &) = delete;

    // Makes the cluster and starts the server; "" or why it could not.
    QString start();
    // A fast shutdown (clients are cut off, as when a server goes down
    // under them), and the same cluster started again on the same port.
    void stop();
    QString restart();

    static QString user() { return QStringLiteral("tabwright"); }
    static QString password() { return QStringLiteral("tw-test-secret"); }
    int port() const { return m_port; }
    // postgresql://tabwright@127.0.0.1:PORT/postgres, without the password.
    QString address() const;
    // The environment a client needs for the password: PGPASSWORD set.
    QProcessEnvironment clientEnvironment() const;

    // psql -c SQL through TCP with the password; its output (unaligned,
    // without headings), or "<error: ...>".
    QString psql(const QString &sql) const;

private:
    bool launch();

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_bin;
    QProcess m_server;
    int m_port = 0;
};
