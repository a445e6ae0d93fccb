// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace tw {

// A database server is named the way libpq names it: a URI
// ("postgresql://user@host:5432/sales?sslmode=require") or key-value pairs
// ("host=db.example.com port=5432 dbname=sales"). Everything else given to
// Database::open() is the path of a database file.
bool isServerAddress(const QString &text);

// An address taken apart into what the driver takes on its own (host, port,
// database, user, password) and the other libpq options, which go to libpq as
// they are (sslmode, service, connect_timeout ...). Whatever the address
// leaves out, libpq fills in as it always does: PGHOST, PGUSER, PGPASSWORD,
// ~/.pgpass, the service file.
struct ServerAddress
{
    QString host;
    int port = -1; // -1: libpq's default
    QString database;
    QString user;
    QString password;
    QStringList options; // key='value', quoted for a libpq connection string
    // The address as it is shown (captions, messages): without the password.
    QString display;
};

// The parts of an address; nullopt and `problem` (libpq's own words) when
// libpq cannot read it.
std::optional<ServerAddress> parseServerAddress(const QString &text, QString *problem = nullptr);

// A key-value address made of the parts a user fills in one by one (those
// left empty are left out, for libpq to fill in); "" when all are empty.
// Each value is quoted, so spaces and quotes stay part of it.
QString serverAddressOf(const QString &host, const QString &port, const QString &database,
                        const QString &service);

// A database name as shown to the user: a file path as it is, a server
// address without its password.
QString displayDatabaseName(const QString &pathOrAddress);

} // namespace tw
