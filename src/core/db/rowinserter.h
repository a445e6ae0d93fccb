// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/db/dberror.h"
#include "core/db/fielddef.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;
struct pg_conn;

namespace tw {

class Database;

namespace detail {
struct Connection;
}

// Appends rows to one table through one prepared statement, for loads of
// many rows. The statement names every field in table order, so the n-th
// value of a row goes to the n-th field; a field given no value stays Null.
// Texts are bound straight from the caller's memory, without a copy: a text
// handed to setText() must stay alive until insert() returns.
//
// On a database server the rows of a transaction stream in with COPY when
// every field holds text, so the checks the server would make (size,
// zero-length, Null, a character it cannot store) are made here, before a
// row is sent: a row refused later would take the whole transaction with
// it. A table with other fields gets one INSERT per row, each guarded by a
// savepoint, so a row the server refuses leaves the transaction going.
//
// In a database file the size and zero-length rules of the program's own
// tables are CHECK constraints. When nothing else writes through the
// connection while the inserter is open (the command line), open() may be
// asked to make those checks here instead: they are then the same rules
// applied to the same values, a good deal faster than the engine's, and the
// engine's CHECK constraints are switched off for the connection until
// close(). A table with any other CHECK constraint keeps the engine's.
//
// If the database is closed while the inserter is open (the user switched
// databases during a run), the inserter first ends its transaction as
// setKeepOnClose() says (committing by default) and lets go of its
// statement; later calls fail with the commit's error when the commit failed
// (what was written since the last commit is lost), otherwise with 3219.
class RowInserter
{
public:
    // What became of the open transaction when the database closed under the
    // inserter.
    enum class ClosedUnder { No, Committed, RolledBack };

    RowInserter();
    ~RowInserter();
    RowInserter(const RowInserter &) = delete;
    RowInserter &operator=(const RowInserter &) = delete;

    // Who applies the table's own size and zero-length rules (see above).
    enum class Checks { Engine, InserterAlone };

    // Prepares the insert on a table, named without regard to case.
    DbError open(Database &database, const QString &table, Checks checks = Checks::Engine);
    bool isOpen() const;
    // Commits an open transaction and finalises the statement; the commit's
    // error, if it failed (the inserter is closed all the same).
    DbError close();

    // The stored table name and its fields, as open() found them.
    QString table() const { return m_table; }
    const QList<FieldDef> &fields() const { return m_fields; }

    void setText(int field, QStringView value);
    // Stores the row and clears every value for the next one. A row the
    // engine refuses leaves nothing behind.
    DbError insert();

    // Deletes every row of the table, inside the open transaction when there
    // is one, so a replace can go with the rows that replace them.
    DbError deleteAll();

    DbError begin();
    // Ends the transaction. On an error nothing of it was kept: a COMMIT the
    // engine refused is rolled back, and a transaction the engine had already
    // rolled back itself (a full disk can do that) fails with 3034.
    DbError commit();
    // Drops what the transaction wrote.
    void rollback();
    bool inTransaction() const { return m_inTransaction; }

    // Whether a database closing under the inserter commits its transaction
    // (true, the default) or rolls it back.
    void setKeepOnClose(bool keep) { m_keepOnClose = keep; }
    ClosedUnder closedUnder() const { return m_closedUnder; }

private:
    DbError execute(const char *sql);
    DbError openServer(Database &database, const QString &storedName);
    void closeWithTheDatabase(Database &database);
    DbError insertServer();
    // The row's values refused before they reach the server.
    DbError checkServerRow() const;
    // The table's size and zero-length rules, as the engine would apply them,
    // when this inserter applies them (Checks::InserterAlone).
    DbError checkOwnRules() const;
    bool takeOverChecks(sqlite3 *handle);
    void handBackChecks();
    // Ends a COPY under way: its error when the server refused it.
    DbError endCopy(bool keep);
    DbError closedError() const;

    // The row's values until insert(), then their UTF-8 in one reused
    // buffer: the engine stores UTF-8, and converting here saves it an
    // allocation and a conversion per value.
    QList<QStringView> m_values;
    QList<bool> m_given;
    QList<bool> m_boundBefore; // still bound from the row before
    QByteArray m_utf8;

    std::weak_ptr<detail::Connection> m_connection;
    sqlite3 *m_handle = nullptr;
    sqlite3_stmt *m_statement = nullptr;
    pg_conn *m_server = nullptr;
    QByteArray m_statementName; // the prepared INSERT on the server
    QByteArray m_copyStatement;
    bool m_copyRows = false; // every field holds text
    bool m_copying = false;  // a COPY is under way
    QByteArray m_line;       // one COPY row
    QString m_table;
    QList<FieldDef> m_fields;
    // Per field: the largest length its size rule allows (-1: no such rule)
    // and whether an empty text is refused; filled when the checks are ours.
    QList<int> m_sizeRule;
    QList<bool> m_nonEmptyRule;
    bool m_checksHere = false;
    bool m_inTransaction = false;
    bool m_keepOnClose = true;
    ClosedUnder m_closedUnder = ClosedUnder::No;
    // What the commit said when the database closed under the inserter.
    DbError m_closeError;
};

} // namespace tw
