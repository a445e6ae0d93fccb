// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/rowinserter.h"

#include "db/connection.h"
#include "db/database.h"
#include "db/identifier.h"

#include <sqlite3.h>

#include <limits>

namespace tw {

namespace {
DbError engineError(sqlite3 *handle)
{
    return mapEngineError(sqlite3_extended_errcode(handle), QString::fromUtf8(sqlite3_errmsg(handle)));
}
} // namespace

RowInserter::RowInserter() = default;

RowInserter::~RowInserter()
{
    close();
}

DbError RowInserter::open(Database &database, const QString &table)
{
    close();
    if (!database.m_connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    const Result<QString> stored = database.findTable(table);
    if (!stored)
        return DbError::make(ErrorNumber::InputTableNotFound, table);
    Result<QList<FieldDef>> fieldList = database.fields(stored.value());
    if (!fieldList)
        return fieldList.error();
    sqlite3 *handle = database.m_connection->handle();
    if (!handle)
        return DbError::make(ErrorNumber::InvalidOperation);

    QStringList names;
    QStringList marks;
    for (const FieldDef &field : fieldList.value()) {
        names << quoteIdentifier(field.name);
        marks << QStringLiteral("?");
    }
    const QString sql = QStringLiteral("INSERT INTO ") + quoteIdentifier(stored.value()) + QStringLiteral(" (")
        + names.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", "))
        + QStringLiteral(")");
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare16_v3(handle, sql.utf16(), int(sql.size() * sizeof(char16_t)), SQLITE_PREPARE_PERSISTENT,
                             &statement, nullptr)
        != SQLITE_OK) {
        const DbError error = engineError(handle);
        sqlite3_finalize(statement);
        return error;
    }
    m_connection = database.m_connection;
    m_handle = handle;
    m_statement = statement;
    m_table = stored.value();
    m_fields = fieldList.value();
    database.m_connection->inserters.append(this);
    return {};
}

bool RowInserter::isOpen() const
{
    return m_statement != nullptr;
}

void RowInserter::close()
{
    if (!m_statement)
        return;
    if (m_inTransaction)
        (void)commit();
    sqlite3_finalize(m_statement);
    m_statement = nullptr;
    m_handle = nullptr;
    if (const auto connection = m_connection.lock())
        connection->inserters.removeAll(this);
    m_connection.reset();
}

void RowInserter::setText(int field, QStringView value)
{
    if (!m_statement)
        return;
    // A null pointer would bind Null; an empty text is a zero-length value.
    static const char16_t empty[1] = {0};
    const void *data = value.isEmpty() ? static_cast<const void *>(empty) : value.utf16();
    const qint64 bytes = qint64(value.size()) * qint64(sizeof(char16_t));
    if (bytes > std::numeric_limits<int>::max())
        return; // no field takes that much; the engine would refuse it anyway
    sqlite3_bind_text16(m_statement, field + 1, data, int(bytes), SQLITE_STATIC);
}

DbError RowInserter::insert()
{
    if (!m_statement)
        return DbError::make(ErrorNumber::InvalidOperation);
    DbError error;
    if (sqlite3_step(m_statement) != SQLITE_DONE)
        error = engineError(m_handle);
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
    return error;
}

DbError RowInserter::execute(const char *sql)
{
    if (!m_handle)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (sqlite3_exec(m_handle, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        return engineError(m_handle);
    return {};
}

DbError RowInserter::begin()
{
    const DbError error = execute("BEGIN");
    m_inTransaction = !error;
    return error;
}

DbError RowInserter::commit()
{
    if (!m_inTransaction)
        return {};
    DbError error = execute("COMMIT");
    // A commit that failed (the disk is full) leaves the transaction open;
    // rolling it back gives the handle back in a known state.
    if (error && m_handle && !sqlite3_get_autocommit(m_handle))
        (void)execute("ROLLBACK");
    m_inTransaction = false;
    return error;
}

} // namespace tw
