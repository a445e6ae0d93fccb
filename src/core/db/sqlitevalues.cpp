// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/db/sqlitevalues.h"

#include <QByteArray>

#include <sqlite3.h>

namespace tw::detail {

int bindValue(sqlite3_stmt *statement, int index, const QVariant &value)
{
    if (value.isNull())
        return sqlite3_bind_null(statement, index);
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return sqlite3_bind_int64(statement, index, value.toLongLong());
    case QMetaType::ULongLong:
    case QMetaType::ULong:
        return sqlite3_bind_double(statement, index, value.toDouble());
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(statement, index, value.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob64(statement, index, bytes.constData(), sqlite3_uint64(bytes.size()),
                                   SQLITE_TRANSIENT);
    }
    default: {
        const QString text = value.toString();
        return sqlite3_bind_text16(statement, index, text.utf16(), int(text.size() * sizeof(char16_t)),
                                   SQLITE_TRANSIENT);
    }
    }
}

int bindValues(sqlite3_stmt *statement, const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i) {
        const int status = bindValue(statement, i + 1, values.at(i));
        if (status != SQLITE_OK)
            return status;
    }
    return SQLITE_OK;
}

QVariant columnValue(sqlite3_stmt *statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement, column));
    case SQLITE_BLOB: {
        const auto data = static_cast<const char *>(sqlite3_column_blob(statement, column));
        return QVariant(QByteArray(data, sqlite3_column_bytes(statement, column)));
    }
    case SQLITE_TEXT: {
        const auto text = static_cast<const char16_t *>(sqlite3_column_text16(statement, column));
        return QVariant(QString::fromUtf16(text, sqlite3_column_bytes16(statement, column) / 2));
    }
    default:
        return QVariant();
    }
}

DbError lastError(sqlite3 *handle, ErrorContext context)
{
    return mapEngineError(sqlite3_extended_errcode(handle), QString::fromUtf8(sqlite3_errmsg(handle)), context);
}

Statement::Statement(sqlite3 *handle, const QString &sql, ErrorContext context)
{
    if (!handle) {
        m_error = DbError::make(ErrorNumber::InvalidOperation);
        return;
    }
    const int status = sqlite3_prepare16_v2(handle, sql.utf16(), int(sql.size() * sizeof(char16_t)),
                                            &m_statement, nullptr);
    if (status != SQLITE_OK) {
        m_error = lastError(handle, context);
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    } else if (!m_statement) {
        // Nothing but blanks and comments.
        m_error = DbError::make(ErrorNumber::InvalidOperation);
    }
}

Statement::~Statement()
{
    sqlite3_finalize(m_statement);
}

} // namespace tw::detail
