// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Internal to the database layer: values between QVariant and a statement
// prepared on the SQLite handle, for the readers that step statements
// themselves rather than through QtSql (no QSqlRecord per row, and numbered
// placeholders bound by position).

#include "core/db/dberror.h"

#include <QString>
#include <QVariant>
#include <QVariantList>

struct sqlite3;
struct sqlite3_stmt;

namespace tw::detail {

// Binds a value the way QtSql would: null, whole numbers, real numbers, bytes
// as a blob, anything else as text.
int bindValue(sqlite3_stmt *statement, int index, const QVariant &value);
// Binds values to ?1, ?2 ...; an SQLite status.
int bindValues(sqlite3_stmt *statement, const QVariantList &values);
// A column of the current row as QtSql gives it.
QVariant columnValue(sqlite3_stmt *statement, int column);

// The handle's last error as ours.
DbError lastError(sqlite3 *handle, ErrorContext context = ErrorContext::Statement);

// A statement prepared on a handle, finalised when it goes.
class Statement
{
public:
    Statement(sqlite3 *handle, const QString &sql, ErrorContext context = ErrorContext::Statement);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool isValid() const { return m_statement != nullptr; }
    sqlite3_stmt *get() const { return m_statement; }
    // The error of preparing it (None when it was prepared).
    const DbError &error() const { return m_error; }

private:
    sqlite3_stmt *m_statement = nullptr;
    DbError m_error;
};

} // namespace tw::detail
