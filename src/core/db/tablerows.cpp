// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/db/tablerows.h"

#include "core/db/connection.h"
#include "core/db/database.h"
#include "core/db/identifier.h"

#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

#include <algorithm>

namespace tw {

namespace {
// Rowids bound to one page read: well under the engine's limit of bound
// values, and more than a screen of rows.
constexpr qsizetype rowidsPerStatement = 500;
} // namespace

TableRows::TableRows() = default;
TableRows::~TableRows() = default;

DbError TableRows::open(Database &database, const QString &table)
{
    close();
    if (!database.m_connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    const Result<QString> stored = database.findTable(table);
    if (!stored)
        return stored.error();
    const Result<QList<FieldDef>> fields = database.fields(stored.value());
    if (!fields)
        return fields.error();
    if (database.m_connection->server) {
        m_connection = database.m_connection;
        if (const DbError error = openOnServer(stored.value(), fields.value()); error.isError()) {
            close();
            return error;
        }
        return {};
    }
    // A table may use one of the rowid names for a field of its own; one of
    // the other names then still reaches the row key.
    QString rowidColumn;
    for (const char *candidate : {"rowid", "_rowid_", "oid"}) {
        const bool taken = std::any_of(fields.value().cbegin(), fields.value().cend(), [&](const FieldDef &f) {
            return f.name.compare(QLatin1String(candidate), Qt::CaseInsensitive) == 0;
        });
        if (!taken) {
            rowidColumn = QLatin1String(candidate);
            break;
        }
    }
    if (rowidColumn.isEmpty())
        return DbError::make(ErrorNumber::InvalidOperation);
    m_connection = database.m_connection;
    m_table = stored.value();
    m_fields = fields.value();
    m_rowidColumn = rowidColumn;
    return {};
}

void TableRows::close()
{
    m_connection.reset();
    m_table.clear();
    m_fields.clear();
    m_rowidColumn.clear();
    m_server = false;
    m_byPlace = false;
    m_movedTo.clear();
    m_movedFrom.clear();
}

std::shared_ptr<detail::Connection> TableRows::connection() const
{
    return isOpen() ? m_connection.lock() : nullptr;
}

Result<std::vector<qint64>> TableRows::rowids(const QueryShape &shape) const
{
    const auto c = connection();
    if (c && m_server)
        return serverRowids(*c, shape);
    sqlite3 *handle = c ? c->handle() : nullptr;
    if (!handle)
        return DbError::make(ErrorNumber::InvalidOperation);
    QueryShape own = this->shape();
    for (const QString &filter : shape.filters())
        own = own.filteredBy(filter);
    own = own.sortedBy(shape.sort());
    // The rowid breaks ties, so rows of equal sort keys keep table order.
    // Read from the handle: no QVariant and no driver call per row.
    const QString sql = own.selectSql(m_rowidColumn, m_rowidColumn);
    sqlite3_stmt *statement = nullptr;
    int status = sqlite3_prepare16_v2(handle, sql.utf16(), int(sql.size() * sizeof(char16_t)), &statement, nullptr);
    std::vector<qint64> loaded;
    if (status == SQLITE_OK) {
        while ((status = sqlite3_step(statement)) == SQLITE_ROW)
            loaded.push_back(sqlite3_column_int64(statement, 0));
    }
    // Read before finalising, which would reset the message.
    const DbError error = status == SQLITE_OK || status == SQLITE_DONE
        ? DbError()
        : mapEngineError(sqlite3_extended_errcode(handle), QString::fromUtf8(sqlite3_errmsg(handle)),
                         ErrorContext::Expression);
    sqlite3_finalize(statement);
    if (error.isError())
        return error;
    return loaded;
}

Result<QHash<qint64, QVariantList>> TableRows::values(const std::vector<qint64> &rowids) const
{
    const auto c = connection();
    if (!c)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (m_server)
        return serverValues(*c, rowids);
    QStringList columns{m_rowidColumn};
    for (const FieldDef &field : m_fields)
        columns << quoteIdentifier(field.name);
    const QString select = QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ")
        + shape().fromClause() + QStringLiteral(" WHERE ") + m_rowidColumn + QStringLiteral(" IN (");
    QHash<qint64, QVariantList> rows;
    rows.reserve(qsizetype(rowids.size()));
    for (size_t first = 0; first < rowids.size(); first += rowidsPerStatement) {
        const size_t count = std::min<size_t>(rowidsPerStatement, rowids.size() - first);
        QSqlQuery query(c->db());
        query.setForwardOnly(true);
        if (!query.prepare(select + QStringList(qsizetype(count), QStringLiteral("?")).join(u',') + u')'))
            return mapEngineError(query.lastError());
        for (size_t i = 0; i < count; ++i)
            query.addBindValue(rowids[first + i]);
        if (!query.exec())
            return mapEngineError(query.lastError());
        while (query.next()) {
            QVariantList values;
            values.reserve(m_fields.size());
            for (int f = 0; f < m_fields.size(); ++f)
                values << query.value(f + 1);
            rows.insert(query.value(0).toLongLong(), values);
        }
        // A step that failed part way ends the loop like the last row does.
        if (query.lastError().isValid())
            return mapEngineError(query.lastError());
    }
    return rows;
}

DbError TableRows::update(qint64 rowid, const Values &values)
{
    const auto c = connection();
    if (!c)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (values.isEmpty())
        return {};
    if (m_server)
        return serverUpdate(*c, rowid, values);
    QStringList columns;
    QVariantList bound;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (it.key() < 0 || it.key() >= m_fields.size())
            return DbError::make(ErrorNumber::ItemNotFound);
        columns << quoteIdentifier(m_fields[it.key()].name) + QStringLiteral(" = ?");
        bound << it.value();
    }
    bound << rowid;
    const Result<qint64> changed = detail::execute(
        c->db(), QStringLiteral("UPDATE ") + shape().fromClause() + QStringLiteral(" SET ")
                     + columns.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ") + m_rowidColumn
                     + QStringLiteral(" = ?"),
        bound);
    if (!changed)
        return changed.error();
    // Another window deleted the row meanwhile: the values went nowhere.
    return changed.value() == 0 ? DbError::make(ErrorNumber::RecordDeleted) : DbError();
}

Result<qint64> TableRows::insert(const Values &values)
{
    const auto c = connection();
    if (c && m_server)
        return serverInsert(*c, values);
    sqlite3 *handle = c ? c->handle() : nullptr;
    if (!handle)
        return DbError::make(ErrorNumber::InvalidOperation);
    QStringList columns;
    QVariantList bound;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (it.key() < 0 || it.key() >= m_fields.size())
            return DbError::make(ErrorNumber::ItemNotFound);
        columns << quoteIdentifier(m_fields[it.key()].name);
        bound << it.value();
    }
    const QString sql = columns.isEmpty()
        ? QStringLiteral("INSERT INTO ") + shape().fromClause() + QStringLiteral(" DEFAULT VALUES")
        : QStringLiteral("INSERT INTO ") + shape().fromClause() + QStringLiteral(" (")
            + columns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (")
            + QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", ")) + u')';
    const Result<qint64> inserted = detail::execute(c->db(), sql, bound);
    if (!inserted)
        return inserted.error();
    return qint64(sqlite3_last_insert_rowid(handle));
}

DbError TableRows::remove(qint64 rowid)
{
    const auto c = connection();
    if (!c)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (m_server)
        return serverRemove(*c, rowid);
    return detail::execute(c->db(),
                           QStringLiteral("DELETE FROM ") + shape().fromClause() + QStringLiteral(" WHERE ")
                               + m_rowidColumn + QStringLiteral(" = ?"),
                           {rowid})
        .error();
}

} // namespace tw
