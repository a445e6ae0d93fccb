// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Internal to the database layer: the state a Database shares with the record
// sets it opened, and small helpers over the SQLite handle.

#include "core/db/dberror.h"
#include "core/db/fielddef.h"
#include "core/db/result.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QMap>
#include <QVariantList>

#include <functional>
#include <memory>
#include <utility>

struct sqlite3;
struct pg_conn;

namespace tw {
struct QueryDescription;
}

namespace tw::detail {

// Lives as long as the Database keeps the connection open; record sets hold
// it weakly, so a record set outliving its database fails cleanly instead of
// reaching a removed connection.
struct Connection {
    QString name; // QtSql connection name
    QString path; // a server's address without its password
    // A database server (PostgreSQL through QPSQL) rather than a file.
    bool server = false;
    int nextSnapshotId = 0;
    // Whatever keeps a statement open on the handle between calls (a bulk
    // inserter), by owner: each is told to let go before the handle closes.
    QList<std::pair<const void *, std::function<void()>>> beforeClose;

    QSqlDatabase db() const { return QSqlDatabase::database(name, false); }
    sqlite3 *handle() const;
    pg_conn *serverHandle() const;
};

// A temporary table holding the rows of a query, shared by the record sets
// made from it (sorted and filtered ones), dropped with the last of them.
struct Snapshot {
    std::weak_ptr<Connection> connection;
    QString table; // in the temp schema

    Snapshot(std::weak_ptr<Connection> c, QString t) : connection(std::move(c)), table(std::move(t)) {}
    Snapshot(const Snapshot &) = delete;
    Snapshot &operator=(const Snapshot &) = delete;
    ~Snapshot();
};

sqlite3 *sqliteHandle(const QSqlDatabase &db);
// libpq's connection under a QPSQL connection; null for any other.
pg_conn *serverHandle(const QSqlDatabase &db);
bool isServer(const QSqlDatabase &db);
// A QtSql error mapped as the connection's engine reports it.
DbError mapDriverError(const QSqlDatabase &db, const QSqlError &error, ErrorContext context = ErrorContext::Statement);

// Runs one statement with positional values; rows changed on success.
Result<qint64> execute(const QSqlDatabase &db, const QString &sql, const QVariantList &values,
                       ErrorContext context = ErrorContext::Statement);

// What the engine says about a statement without running it.
struct StatementInfo {
    int columnCount = 0;
    QStringList columnNames;
    QStringList declaredTypes; // "" where the column is an expression
};
Result<StatementInfo> inspectStatement(sqlite3 *handle, const QString &sql,
                                       ErrorContext context = ErrorContext::Statement);

// Fields of a stored table (main or temp schema), with text sizes and the
// zero-length rule read back from the declarations.
Result<QList<FieldDef>> tableFields(const QSqlDatabase &db, const QString &storedName,
                                    const QString &schema = QStringLiteral("main"));

// The server engine (server.cpp).
// Opens a QPSQL connection of that name; on failure it is removed again.
DbError openServer(const QString &connectionName, const QString &address, const QString &user,
                   const QString &password, QString *display);
Result<QStringList> serverTableNames(const QSqlDatabase &db);
Result<QList<FieldDef>> serverTableFields(const QSqlDatabase &db, const QString &storedName);
// The CREATE TABLE column of a field on the server; `position` (from 1)
// names a constraint when the field's name is too long to be part of it.
QString serverColumnDefinition(const FieldDef &field, int position);
// Whether a name fits the server's identifiers (63 bytes): a longer one
// would be cut short without a word.
bool fitsServerName(const QString &name);
// Transactions by libpq's own account of the connection, so that the answers
// match a database file's: a commit without a transaction fails with 3034,
// and so does one after the server gave the transaction up.
DbError serverBegin(pg_conn *connection);
DbError serverCommit(pg_conn *connection);
DbError serverRollback(pg_conn *connection);
// Runs one statement through libpq (no values); its error mapped.
DbError serverExec(pg_conn *connection, const char *sql);

// A user's statement as the server takes it (serverqueries.cpp): translated,
// each named parameter a numbered placeholder ($1 for the first name, the
// same number wherever the name comes again) with its value; a SELECT ... INTO
// has its values written in, as the server takes no placeholders there.
struct ServerStatement {
    QString sql;
    QVariantList values; // by number
    QStringList missing; // names without a value
    bool readsRows = false; // a select, not a change
};
// `names`: the server's tables and fields, so that a name typed in another
// case finds its table or field as in a database file (serverNames()).
ServerStatement serverStatement(const QString &userSql, const QMap<QString, QVariant> &values,
                                const QStringList &names);
QStringList serverNames(pg_conn *connection);
Result<QueryDescription> describeOnServer(pg_conn *connection, const ServerStatement &statement);
// Runs it; the rows it gives are handed to `row` (until that says stop) and
// counted, the rows a change touched are counted.
Result<qint64> runOnServer(pg_conn *connection, const ServerStatement &statement,
                           const std::function<bool(const QVariantList &)> &row);

} // namespace tw::detail
