// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/db/dberror.h"
#include "core/db/fielddef.h"
#include "core/db/querydef.h"
#include "core/db/recordset.h"
#include "core/db/result.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <memory>

namespace tw {

namespace detail {
struct Connection;
}

// What a query gives, learnt without running it.
struct QueryDescription {
    // The fields of its rows, named as the engine names the columns ("" names
    // become Expr1, Expr2 ...); empty for a statement that returns no rows.
    QList<FieldDef> fields;
    // The column types as declared where the columns come from ("" for a
    // calculated column, which holds values of any type).
    QStringList declaredTypes;
    // The statement changes nothing (a select, a read-only pragma).
    bool readOnly = true;
    // Rows to show, which may be read as often as wanted.
    bool returnsRows() const { return !fields.isEmpty() && readOnly; }
};

// One database file or server database, open through its own named QtSql
// connection. Every
// failure comes back as a DbError; nothing here talks to the user.
//
// Two dialects meet here. exec() and queryValue() take the engine's SQL:
// program-built statements, with names passed through quoteIdentifier() and
// values bound. execUser(), openRecordset() on SQL, and saved queries take
// SQL as users write it and translate it first (translateUserSql).
class Database
{
public:
    enum class OpenMode {
        ExistingOnly,    // a missing file is an error (3024)
        CreateIfMissing, // a missing file becomes a new, empty database
    };

    Database();
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens a database file, or a PostgreSQL database given by a libpq
    // address ("postgresql://..." or "host=... dbname=..."; see
    // serveraddress.h). A file that is not a database fails with 3343, a
    // missing one with 3024; a server that cannot be reached or refuses the
    // user or password fails with 3343 and the server's own words. The user
    // name and password, when given, win over the address's; a file ignores
    // them. Neither is ever written anywhere. On failure the database that
    // was open stays open.
    //
    // On a server, tables, fields, statements, transactions, bulk inserts
    // (RowInserter) and table rows for a grid (TableRows) work; record sets
    // and saved queries fail with 3251.
    DbError open(const QString &path, const QString &user = {}, const QString &password = {},
                 OpenMode mode = OpenMode::ExistingOnly);
    void close();
    bool isOpen() const;
    // A database server rather than a file.
    bool isServer() const;
    // Full path of the open file, or the server's address without its
    // password; "" when none is open.
    QString name() const;

    // The QtSql connection, for models (QSqlQueryModel) that show rows.
    // Drop models on it before closing the database.
    QString connectionName() const;
    QSqlDatabase connection() const;

    // Engine SQL with positional values ("?"); rows changed.
    Result<qint64> exec(const QString &sql, const QVariantList &values = {});
    // SQL in the user dialect ("delete * from T where not isnull(x);").
    Result<qint64> execUser(const QString &userSql);
    // First column of the first row of an engine select; Null when no row.
    Result<QVariant> queryValue(const QString &sql, const QVariantList &values = {}) const;

    DbError begin();
    DbError commit();
    DbError rollback();

    // Every table, the catalog tables ("MSys...") included and the engine's
    // own "sqlite_" ones left out, in the order they were created. On a
    // server: the tables of the schemas on the search path, in its order,
    // the system's schemas left out.
    Result<QStringList> tableNames() const;
    // The stored name of a table, looked up without regard to case (3011);
    // on a server, where "Sales" and "sales" can both exist, the name as
    // given wins.
    Result<QString> findTable(const QString &name) const;
    bool tableExists(const QString &name) const;
    Result<QList<FieldDef>> fields(const QString &table) const;
    Result<QStringList> indexNames(const QString &table) const;

    // Creates a table with its fields in the given order. Text sizes (1-255)
    // and the zero-length rule become engine constraints. Fails with 3010 when
    // the name is taken (in any case), 3125 for an invalid name, 3191 for a
    // field named twice, 3264 without fields.
    DbError createTable(const TableDef &definition);
    DbError dropTable(const QString &name);
    // Gives the space of deleted rows and tables back to the file system; a
    // deleted table of millions of rows would otherwise keep the file its size.
    // Fails (and changes nothing) inside a transaction or while another
    // connection reads the file. A server frees the space itself: nothing to
    // do there.
    DbError compact();

    // A record set on a table (named without regard to case) or on a
    // row-returning SQL text in the user dialect. Table and Dynaset sets on a
    // table are editable; sets on SQL are read-only snapshots.
    Result<Recordset> openRecordset(const QString &tableOrSql, RecordsetType type = RecordsetType::Dynaset);

    // Saved queries, kept in the catalog table MSysQueries (made on first use).
    Result<QStringList> queryNames() const; // sorted without regard to case
    Result<QueryDef> queryDef(const QString &name) const;
    // Stores a new query at once; an empty name makes a temporary query that
    // is not stored. A taken name fails with 3012.
    Result<QueryDef> createQueryDef(const QString &name, const QString &sql);
    // Writes a stored query's SQL, connect text and records flag back.
    DbError updateQueryDef(const QueryDef &query);
    DbError deleteQueryDef(const QString &name);
    // Runs a query with its parameter values: a row-returning statement gives
    // records, any other the rows it changed. A parameter without a value
    // fails with 3061.
    Result<QueryOutcome> run(const QueryDef &query);
    // Prepares a query (user dialect, parameters need no value yet) to learn
    // what it gives. A statement the engine refuses fails with its error.
    Result<QueryDescription> describe(const QueryDef &query) const;
    // Runs a read-only row-returning query and hands its rows in order to
    // `row`, values in field order, until it returns false. Nothing is kept:
    // a result of any size streams through. The rows handed.
    Result<qint64> readRows(const QueryDef &query, const std::function<bool(const QVariantList &)> &row) const;

private:
    friend class QueryRows;
    friend class RowInserter;
    friend class TableRows;
    DbError ensureQueryCatalog();
    Result<Recordset> openSnapshot(const QString &engineSql, const QVariantList &values, const QString &source);
    // run() on a server (serverqueries.cpp has the statement side).
    Result<QueryOutcome> runOnServer(const QueryDef &query);
    // Whether the catalog table exists; an error when the table list cannot
    // be read, which must not pass for "no saved queries".
    Result<bool> hasQueryCatalog() const;

    std::shared_ptr<detail::Connection> m_connection;
};

} // namespace tw
