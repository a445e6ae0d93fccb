// SPDX-License-Identifier: GPL-3.0-or-later
// The rows of a server table for a grid: keys listed through libpq in one
// binary result (a million keys in the time the server takes to send them),
// values read a page at a time through QtSql, single rows written back.
#include "core/db/connection.h"
#include "core/db/database.h"
#include "core/db/dialect.h"
#include "core/db/identifier.h"
#include "core/db/tablerows.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QtEndian>

#include <libpq-fe.h>

namespace tw {

namespace {
// Keys named in one page read: a screen of rows and more, in a statement of
// a few kilobytes.
constexpr qsizetype keysPerStatement = 500;

// A row's place (block, item) packed into one number: items of a block fit
// in 16 bits.
qint64 packPlace(quint32 block, quint16 item)
{
    return (qint64(block) << 16) | item;
}

// "(12,3)" as the server writes a ctid; -1 when it is none.
qint64 parsePlace(const QString &text)
{
    const qsizetype comma = text.indexOf(u',');
    if (!text.startsWith(u'(') || !text.endsWith(u')') || comma < 0)
        return -1;
    bool okBlock = false;
    bool okItem = false;
    const quint32 block = text.mid(1, comma - 1).toUInt(&okBlock);
    const uint item = text.mid(comma + 1, text.size() - comma - 2).toUInt(&okItem);
    return okBlock && okItem && item <= 0xffff ? packPlace(block, quint16(item)) : -1;
}

// A grid stores yes/no as -1/0, as a database file keeps it; the server's
// boolean takes no number.
QVariant serverValue(const FieldDef &field, const QVariant &value)
{
    if (field.type == FieldType::Boolean && !value.isNull() && value.typeId() != QMetaType::Bool)
        return QVariant(value.toLongLong() != 0);
    return value;
}
} // namespace

DbError TableRows::openServerResult(Database &database, const QString &table, const QList<FieldDef> &fields)
{
    close();
    if (!database.m_connection || !database.m_connection->server)
        return DbError::make(ErrorNumber::InvalidOperation);
    m_connection = database.m_connection;
    const DbError error = openOnServer(table, fields);
    if (error.isError())
        close();
    return error;
}

DbError TableRows::openOnServer(const QString &stored, const QList<FieldDef> &fields)
{
    const auto c = m_connection.lock();
    if (!c)
        return DbError::make(ErrorNumber::InvalidOperation);
    // A primary key of one whole-number field stays with its row; the row's
    // place is the key of any other table.
    QSqlQuery query(c->db());
    if (!query.prepare(QStringLiteral(
            "SELECT a.attname FROM pg_catalog.pg_index i JOIN pg_catalog.pg_attribute a "
            "ON a.attrelid = i.indrelid AND a.attnum = i.indkey[0] "
            "WHERE i.indrelid = ?::regclass AND i.indisprimary AND i.indnatts = 1 "
            "AND a.atttypid IN ('int2'::regtype, 'int4'::regtype, 'int8'::regtype)")))
        return mapServerError(query.lastError());
    query.addBindValue(quoteIdentifier(stored));
    if (!query.exec())
        return mapServerError(query.lastError());
    const QString primaryKey = query.next() ? query.value(0).toString() : QString();
    query.finish();
    m_table = stored;
    m_fields = fields;
    m_server = true;
    m_byPlace = primaryKey.isEmpty();
    m_rowidColumn = m_byPlace ? QStringLiteral("ctid") : primaryKey;
    return {};
}

QString TableRows::serverKeyLiteral(qint64 rowid) const
{
    const qint64 now = m_movedTo.value(rowid, rowid);
    if (!m_byPlace)
        return QString::number(now);
    return QStringLiteral("'(%1,%2)'::tid").arg(now >> 16).arg(now & 0xffff);
}

qint64 TableRows::serverKey(const QVariant &value) const
{
    return m_byPlace ? parsePlace(value.toString()) : value.toLongLong();
}

Result<std::vector<qint64>> TableRows::serverRowids(const detail::Connection &c, const QueryShape &shape) const
{
    pg_conn *handle = c.serverHandle();
    if (!handle)
        return DbError::make(ErrorNumber::InvalidOperation);
    const QString key = m_byPlace ? QStringLiteral("ctid") : quoteIdentifier(m_rowidColumn);
    QString sql = QStringLiteral("SELECT ") + key + (m_byPlace ? QString() : QStringLiteral("::int8"))
        + QStringLiteral(" FROM ") + quoteIdentifier(m_table);
    QStringList names;
    for (const FieldDef &field : m_fields)
        names << field.name;
    QStringList conditions;
    for (const QString &filter : shape.filters())
        conditions << u'(' + serverSql(filter, names) + u')';
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    // The key breaks ties, so rows of equal sort values keep their order.
    sql += QStringLiteral(" ORDER BY ") + (shape.sort().isEmpty() ? QString() : serverSql(shape.sort(), names) + u',' + u' ')
        + key;
    // Binary: eight bytes a key (six for a place), no text to parse.
    PGresult *result = PQexecParams(handle, sql.toUtf8().constData(), 0, nullptr, nullptr, nullptr, nullptr, 1);
    if (PQresultStatus(result) != PGRES_TUPLES_OK) {
        const char *state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
        const DbError error = mapServerError(QString::fromLatin1(state ? state : ""),
                                             QString::fromUtf8(PQerrorMessage(handle)), ErrorContext::Expression);
        PQclear(result);
        return error;
    }
    const int rows = PQntuples(result);
    std::vector<qint64> keys;
    keys.reserve(size_t(rows));
    for (int r = 0; r < rows; ++r) {
        const auto *bytes = reinterpret_cast<const uchar *>(PQgetvalue(result, r, 0));
        if (m_byPlace && PQgetlength(result, r, 0) == 6)
            keys.push_back(packPlace(qFromBigEndian<quint32>(bytes), qFromBigEndian<quint16>(bytes + 4)));
        else if (!m_byPlace && PQgetlength(result, r, 0) == 8)
            keys.push_back(qFromBigEndian<qint64>(bytes));
    }
    PQclear(result);
    // Listed afresh: every key now reaches its row where it is.
    m_movedTo.clear();
    m_movedFrom.clear();
    return keys;
}

Result<QHash<qint64, QVariantList>> TableRows::serverValues(const detail::Connection &c,
                                                            const std::vector<qint64> &rowids) const
{
    QStringList columns{m_byPlace ? QStringLiteral("ctid::text") : quoteIdentifier(m_rowidColumn)};
    for (const FieldDef &field : m_fields)
        columns << quoteIdentifier(field.name);
    const QString select = QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ")
        + quoteIdentifier(m_table) + QStringLiteral(" WHERE ")
        + (m_byPlace ? QStringLiteral("ctid") : quoteIdentifier(m_rowidColumn)) + QStringLiteral(" IN (");
    QHash<qint64, QVariantList> rows;
    rows.reserve(qsizetype(rowids.size()));
    for (size_t first = 0; first < rowids.size(); first += keysPerStatement) {
        const size_t count = std::min<size_t>(keysPerStatement, rowids.size() - first);
        // Keys are numbers of our own making: written into the statement,
        // they let the server find the rows by place or by index at once.
        QStringList keys;
        for (size_t i = 0; i < count; ++i)
            keys << serverKeyLiteral(rowids[first + i]);
        QSqlQuery query(c.db());
        if (!query.exec(select + keys.join(u',') + u')'))
            return mapServerError(query.lastError());
        while (query.next()) {
            QVariantList values;
            values.reserve(m_fields.size());
            for (int f = 0; f < m_fields.size(); ++f)
                values << query.value(f + 1);
            const qint64 now = serverKey(query.value(0));
            rows.insert(m_movedFrom.value(now, now), values);
        }
        query.finish();
    }
    return rows;
}

DbError TableRows::serverUpdate(const detail::Connection &c, qint64 rowid, const Values &values)
{
    QStringList columns;
    QVariantList bound;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (it.key() < 0 || it.key() >= m_fields.size())
            return DbError::make(ErrorNumber::ItemNotFound);
        columns << quoteIdentifier(m_fields[it.key()].name) + QStringLiteral(" = ?");
        bound << serverValue(m_fields[it.key()], it.value());
    }
    const QString key = m_byPlace ? QStringLiteral("ctid") : quoteIdentifier(m_rowidColumn);
    QSqlQuery query(c.db());
    if (!query.prepare(QStringLiteral("UPDATE ") + quoteIdentifier(m_table) + QStringLiteral(" SET ")
                       + columns.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ") + key + QStringLiteral(" = ")
                       + serverKeyLiteral(rowid) + QStringLiteral(" RETURNING ")
                       + (m_byPlace ? QStringLiteral("ctid::text") : key)))
        return mapServerError(query.lastError());
    for (const QVariant &value : std::as_const(bound))
        query.addBindValue(value);
    if (!query.exec())
        return mapServerError(query.lastError());
    // Another window deleted the row meanwhile: the values went nowhere.
    if (!query.next())
        return DbError::make(ErrorNumber::RecordDeleted);
    const qint64 now = serverKey(query.value(0));
    query.finish();
    // The server wrote the row anew somewhere else; its listed key follows it.
    if (m_byPlace) {
        m_movedFrom.remove(m_movedTo.value(rowid, rowid));
        m_movedTo.insert(rowid, now);
        m_movedFrom.insert(now, rowid);
    }
    return {};
}

Result<qint64> TableRows::serverInsert(const detail::Connection &c, const Values &values)
{
    QStringList columns;
    QVariantList bound;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (it.key() < 0 || it.key() >= m_fields.size())
            return DbError::make(ErrorNumber::ItemNotFound);
        columns << quoteIdentifier(m_fields[it.key()].name);
        bound << serverValue(m_fields[it.key()], it.value());
    }
    const QString returning = QStringLiteral(" RETURNING ")
        + (m_byPlace ? QStringLiteral("ctid::text") : quoteIdentifier(m_rowidColumn));
    const QString sql = columns.isEmpty()
        ? QStringLiteral("INSERT INTO ") + quoteIdentifier(m_table) + QStringLiteral(" DEFAULT VALUES") + returning
        : QStringLiteral("INSERT INTO ") + quoteIdentifier(m_table) + QStringLiteral(" (")
            + columns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (")
            + QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", ")) + u')' + returning;
    QSqlQuery query(c.db());
    if (!query.prepare(sql))
        return mapServerError(query.lastError());
    for (const QVariant &value : std::as_const(bound))
        query.addBindValue(value);
    if (!query.exec() || !query.next())
        return mapServerError(query.lastError());
    const qint64 key = serverKey(query.value(0));
    query.finish();
    return key;
}

DbError TableRows::serverRemove(const detail::Connection &c, qint64 rowid)
{
    const QString key = m_byPlace ? QStringLiteral("ctid") : quoteIdentifier(m_rowidColumn);
    QSqlQuery query(c.db());
    if (!query.exec(QStringLiteral("DELETE FROM ") + quoteIdentifier(m_table) + QStringLiteral(" WHERE ") + key
                    + QStringLiteral(" = ") + serverKeyLiteral(rowid)))
        return mapServerError(query.lastError());
    query.finish();
    m_movedFrom.remove(m_movedTo.value(rowid, rowid));
    m_movedTo.remove(rowid);
    return {};
}

} // namespace tw
