// SPDX-License-Identifier: GPL-3.0-or-later
// What a query gives and its rows read as a stream: the Database functions
// the result window, the report and the command line read results through.
#include "core/db/connection.h"
#include "core/db/database.h"
#include "core/db/dialect.h"
#include "core/db/sqlitevalues.h"

#include <sqlite3.h>

namespace tw {

namespace {

// The query's SQL in the engine's dialect with its parameters as positional
// placeholders and their values.
Result<BoundSql> bound(const QueryDef &query)
{
    if (hasTextAfterStatement(query.sql()))
        return DbError::make(ErrorNumber::CharactersAfterEnd);
    return bindNamedParameters(translateUserSql(query.sql()), query.parameterValues());
}

} // namespace

Result<QueryDescription> Database::describe(const QueryDef &query) const
{
    if (!m_connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (m_connection->server) {
        if (hasTextAfterStatement(query.sql()))
            return DbError::make(ErrorNumber::CharactersAfterEnd);
        return detail::describeOnServer(m_connection->serverHandle(),
                                        detail::serverStatement(
            query.sql(), query.parameterValues(), detail::serverNames(m_connection->serverHandle())));
    }
    const Result<BoundSql> sql = bound(query);
    if (!sql)
        return sql.error();
    const detail::Statement statement(m_connection->handle(), sql.value().sql);
    if (!statement.isValid())
        return statement.error();
    QueryDescription description;
    description.readOnly = sqlite3_stmt_readonly(statement.get()) != 0;
    const int columns = sqlite3_column_count(statement.get());
    for (int i = 0; i < columns; ++i) {
        FieldDef field;
        field.name = QString::fromUtf8(sqlite3_column_name(statement.get(), i));
        if (field.name.isEmpty())
            field.name = QStringLiteral("Expr%1").arg(i + 1);
        const char *declared = sqlite3_column_decltype(statement.get(), i);
        const QString declaredType = declared ? QString::fromUtf8(declared) : QString();
        parseDeclaredType(declaredType, &field.type, &field.size);
        description.fields.append(field);
        description.declaredTypes.append(declaredType);
    }
    return description;
}

Result<qint64> Database::readRows(const QueryDef &query, const std::function<bool(const QVariantList &)> &row) const
{
    if (!m_connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (m_connection->server) {
        if (hasTextAfterStatement(query.sql()))
            return DbError::make(ErrorNumber::CharactersAfterEnd);
        const detail::ServerStatement statement = detail::serverStatement(
            query.sql(), query.parameterValues(), detail::serverNames(m_connection->serverHandle()));
        if (!statement.missing.isEmpty())
            return DbError::make(ErrorNumber::TooFewParameters, QString::number(statement.missing.size()));
        // As on a file: a statement that writes is run once, by run().
        if (!statement.readsRows)
            return DbError::make(ErrorNumber::InvalidOperation);
        return detail::runOnServer(m_connection->serverHandle(), statement, row);
    }
    const Result<BoundSql> sql = bound(query);
    if (!sql)
        return sql.error();
    if (!sql.value().missing.isEmpty())
        return DbError::make(ErrorNumber::TooFewParameters, QString::number(sql.value().missing.size()));
    sqlite3 *handle = m_connection->handle();
    const detail::Statement statement(handle, sql.value().sql);
    if (!statement.isValid())
        return statement.error();
    // A statement that writes is run once, by run(), never as a stream that
    // may be read again.
    const int columns = sqlite3_column_count(statement.get());
    if (columns == 0 || !sqlite3_stmt_readonly(statement.get()))
        return DbError::make(ErrorNumber::InvalidOperation);
    if (detail::bindValues(statement.get(), sql.value().values) != SQLITE_OK)
        return detail::lastError(handle);
    qint64 handed = 0;
    QVariantList values;
    int status = SQLITE_ROW;
    while ((status = sqlite3_step(statement.get())) == SQLITE_ROW) {
        values.clear();
        values.reserve(columns);
        for (int i = 0; i < columns; ++i)
            values.append(detail::columnValue(statement.get(), i));
        ++handed;
        if (!row(values))
            return handed;
    }
    if (status != SQLITE_DONE)
        return detail::lastError(handle);
    return handed;
}

} // namespace tw
