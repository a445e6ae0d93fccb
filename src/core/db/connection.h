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
#include <QVariantList>

#include <functional>
#include <memory>
#include <utility>

struct sqlite3;

namespace tw::detail {

// Lives as long as the Database keeps the connection open; record sets hold
// it weakly, so a record set outliving its database fails cleanly instead of
// reaching a removed connection.
struct Connection {
    QString name; // QtSql connection name
    QString path;
    int nextSnapshotId = 0;
    // Whatever keeps a statement open on the handle between calls (a bulk
    // inserter), by owner: each is told to let go before the handle closes.
    QList<std::pair<const void *, std::function<void()>>> beforeClose;

    QSqlDatabase db() const { return QSqlDatabase::database(name, false); }
    sqlite3 *handle() const;
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

} // namespace tw::detail
