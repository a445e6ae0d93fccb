// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/db/queryrows.h"

#include "core/db/connection.h"
#include "core/db/database.h"
#include "core/db/dialect.h"
#include "core/db/identifier.h"
#include "core/db/sqlitevalues.h"
#include "core/db/sqltokenizer.h"
#include "core/db/tablerows.h"

#include <QSet>
#include <QStringList>

#include <sqlite3.h>

#include <algorithm>
#include <numeric>

namespace tw {

namespace {

// Rows copied when a result opens: more than a screen holds.
constexpr qint64 firstRows = 512;
// Later copies grow fourfold, so scrolling to the end of a big result re-runs
// the query a handful of times, not once a page.
constexpr qint64 growth = 4;
// Keys bound to one page read; well under the engine's limit.
constexpr size_t keysPerStatement = 500;
const QString keyColumn = QStringLiteral("tw_key");

// The statement without its closing semicolon, to stand inside another one.
QString asSubquery(const QString &sql)
{
    QString out;
    for (const SqlToken &t : tokenizeSql(sql))
        if (!t.isPunct(";"))
            out += t.text;
    // A line break keeps a trailing "--" comment from swallowing the ")".
    return u'(' + out + QStringLiteral("\n)");
}

QString placeholders(size_t count)
{
    return QStringList(qsizetype(count), QStringLiteral("?")).join(u',');
}

bool exec(sqlite3 *handle, const char *sql)
{
    return sqlite3_exec(handle, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

} // namespace

QueryRows::QueryRows() = default;

QueryRows::~QueryRows() = default;

std::shared_ptr<detail::Connection> QueryRows::connection() const
{
    return m_connection.lock();
}

void QueryRows::close()
{
    m_base.reset();
    m_serverRows.reset();
    m_result.reset();
    m_connection.reset();
    m_fields.clear();
    m_baseFields.clear();
    m_parts = {};
    m_query = {};
    m_engineSql.clear();
    m_filled = 0;
    m_complete = false;
}

QString QueryRows::baseTable() const
{
    return m_base ? m_base->table() : QString();
}

DbError QueryRows::open(Database &database, const QueryDef &query)
{
    close();
    const auto c = database.m_connection;
    if (!c)
        return DbError::make(ErrorNumber::InvalidOperation);
    const Result<QueryDescription> description = database.describe(query);
    if (!description)
        return description.error();
    if (!description.value().returnsRows())
        return DbError::make(ErrorNumber::InvalidOperation);
    m_engineSql = translateUserSql(query.sql());
    const BoundSql bound = bindNamedParameters(m_engineSql, query.parameterValues());
    if (!bound.missing.isEmpty())
        return DbError::make(ErrorNumber::TooFewParameters, QString::number(bound.missing.size()));
    m_query = query;
    m_fields = description.value().fields;
    m_connection = c;
    if (c->server) {
        if (const DbError error = openOnServer(database, c); error.isError()) {
            close();
            return error;
        }
        return {};
    }
    if (openOnTable(database, c))
        return {};
    if (const DbError error = openResultTable(c, description.value().declaredTypes); error.isError()) {
        close();
        return error;
    }
    return {};
}

bool QueryRows::openOnTable(Database &database, const std::shared_ptr<detail::Connection> &c)
{
    const std::optional<SimpleSelect> parts = parseSimpleSelect(m_engineSql);
    if (!parts)
        return false;
    auto base = std::make_unique<TableRows>();
    if (base->open(database, parts->table).isError())
        return false; // a view, or no table of that name
    sqlite3 *handle = c->handle();
    // A table without rowids has no key to write rows back by.
    if (!detail::Statement(handle, QStringLiteral("SELECT ") + base->rowidColumn() + QStringLiteral(" FROM ")
                                       + parts->from).isValid())
        return false;
    // The engine knows which field of which table each column shows; a
    // calculated column has none.
    const detail::Statement statement(handle, bindNamedParameters(m_engineSql, {}).sql);
    if (!statement.isValid() || sqlite3_column_count(statement.get()) != m_fields.size())
        return false;
    QList<int> baseFields;
    for (int i = 0; i < m_fields.size(); ++i) {
        const char *schema = sqlite3_column_database_name(statement.get(), i);
        const char *table = sqlite3_column_table_name(statement.get(), i);
        const char *origin = sqlite3_column_origin_name(statement.get(), i);
        if (!schema || !table || !origin || qstrcmp(schema, "main") != 0
            || QString::fromUtf8(table).compare(base->table(), Qt::CaseInsensitive) != 0)
            return false;
        const QString field = QString::fromUtf8(origin);
        const auto found = std::find_if(base->fields().cbegin(), base->fields().cend(), [&](const FieldDef &f) {
            return f.name.compare(field, Qt::CaseInsensitive) == 0;
        });
        if (found == base->fields().cend())
            return false;
        baseFields.append(int(found - base->fields().cbegin()));
    }
    // Each column has its own name and its field's type, size and rules, so
    // edits are checked as the table checks them.
    for (int i = 0; i < m_fields.size(); ++i) {
        const QString name = m_fields[i].name;
        m_fields[i] = base->fields()[baseFields[i]];
        m_fields[i].name = name;
    }
    m_base = std::move(base);
    m_parts = *parts;
    m_baseFields = baseFields;
    return true;
}

DbError QueryRows::openOnServer(Database &database, const std::shared_ptr<detail::Connection> &c)
{
    QSet<QString> taken;
    QStringList columns;
    for (FieldDef &field : m_fields) {
        const QString base = field.name;
        for (int n = 1; taken.contains(field.name.toLower()); ++n)
            field.name = base + u':' + QString::number(n);
        taken.insert(field.name.toLower());
        columns << quoteIdentifier(field.name);
    }
    // CREATE TABLE ... AS takes no placeholders: the values are written in.
    QString select;
    for (const SqlToken &t : tokenizeSql(serverSql(inlineParameterValues(m_engineSql, m_query.parameterValues()),
                                                     detail::serverNames(c->serverHandle()))))
        if (!t.isPunct(";"))
            select += t.text;
    const QString table = QStringLiteral("tw_result_%1").arg(++c->nextSnapshotId);
    const QString sql = QStringLiteral("CREATE TEMPORARY TABLE ") + quoteIdentifier(table) + QStringLiteral(" (")
        + columns.join(QStringLiteral(", ")) + QStringLiteral(") AS ") + select + u'\n';
    if (const DbError error = detail::serverExec(c->serverHandle(), sql.toUtf8().constData()); error.isError())
        return error;
    m_result = std::make_shared<detail::Snapshot>(c, table);
    auto rows = std::make_unique<TableRows>();
    if (const DbError error = rows->openServerResult(database, table, m_fields); error.isError())
        return error;
    m_serverRows = std::move(rows);
    return {};
}

DbError QueryRows::openResultTable(const std::shared_ptr<detail::Connection> &c, const QStringList &declaredTypes)
{
    // Column names must differ (two columns may share a name in a result),
    // and the key is a column of its own, so no name of the user's can hide
    // the rowid.
    QSet<QString> taken{keyColumn};
    QStringList columns{quoteIdentifier(keyColumn) + QStringLiteral(" INTEGER PRIMARY KEY")};
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        FieldDef &field = m_fields[i];
        const QString base = field.name;
        for (int n = 1; taken.contains(field.name.toLower()); ++n)
            field.name = base + u':' + QString::number(n);
        taken.insert(field.name.toLower());
        // Declared as the result's columns are (a calculated one not at all,
        // so its numbers stay numbers), comparing texts without regard to case
        // like the tables we make, so filters and sorts behave alike.
        QString column = quoteIdentifier(field.name);
        if (!declaredTypes.value(i).isEmpty())
            column += u' ' + declaredTypes.value(i);
        columns.append(column + QStringLiteral(" COLLATE NOCASE"));
    }
    const QString table = QStringLiteral("tw_result_%1").arg(++c->nextSnapshotId);
    const Result<qint64> created = detail::execute(
        c->db(), QStringLiteral("CREATE TEMP TABLE ") + quoteIdentifier(table) + QStringLiteral(" (")
                     + columns.join(QStringLiteral(", ")) + u')',
        {});
    if (!created)
        return created.error();
    m_result = std::make_shared<detail::Snapshot>(c, table);
    return {};
}

Result<std::vector<qint64>> QueryRows::rowids(const QueryShape &shape) const
{
    if (!isOpen())
        return DbError::make(ErrorNumber::InvalidOperation);
    if (m_base)
        return tableRowids(shape);
    if (m_serverRows)
        return m_serverRows->rowids(shape);
    if (const DbError error = restart(); error.isError())
        return error;
    const bool shaped = !shape.filters().isEmpty() || !shape.sort().isEmpty();
    if (!shaped) {
        // The first rows now, the rest as they are shown.
        if (const DbError error = fill(firstRows); error.isError())
            return error;
        qint64 count = m_filled;
        if (!m_complete) {
            const Result<qint64> counted = countRows();
            if (!counted)
                return counted.error();
            count = counted.value();
        }
        std::vector<qint64> keys(size_t(std::max<qint64>(count, 0)));
        std::iota(keys.begin(), keys.end(), qint64(1));
        return keys;
    }
    // A filter or an order needs every row.
    if (const DbError error = fill(-1); error.isError())
        return error;
    QueryShape own(m_result->table, QStringLiteral("temp"));
    for (const QString &filter : shape.filters())
        own = own.filteredBy(filter);
    own = own.sortedBy(shape.sort());
    const auto c = connection();
    const detail::Statement statement(c->handle(), own.selectSql(quoteIdentifier(keyColumn), quoteIdentifier(keyColumn)),
                                      ErrorContext::Expression);
    if (!statement.isValid())
        return statement.error();
    std::vector<qint64> keys;
    int status = SQLITE_ROW;
    while ((status = sqlite3_step(statement.get())) == SQLITE_ROW)
        keys.push_back(sqlite3_column_int64(statement.get(), 0));
    if (status != SQLITE_DONE)
        return detail::lastError(c->handle(), ErrorContext::Expression);
    return keys;
}

Result<std::vector<qint64>> QueryRows::tableRowids(const QueryShape &shape) const
{
    const auto c = connection();
    const QString key = m_base->rowidColumn();
    QStringList conditions;
    if (!m_parts.where.isEmpty())
        conditions << m_parts.where;
    conditions << shape.filters();
    const QString order = shape.sort().isEmpty() ? m_parts.orderBy : shape.sort();
    // Reading only the key is fastest; conditions and orders that name a
    // column by its alias in the select list need the list itself.
    const auto build = [&](bool withColumns) {
        QString sql = QStringLiteral("SELECT ") + key + (withColumns ? QStringLiteral(", ") + m_parts.columns : QString())
            + QStringLiteral(" FROM ") + m_parts.from;
        for (qsizetype i = 0; i < conditions.size(); ++i)
            sql += (i == 0 ? QStringLiteral(" WHERE (") : QStringLiteral(" AND (")) + conditions[i] + QStringLiteral("\n)");
        sql += QStringLiteral(" ORDER BY ") + (order.isEmpty() ? QString() : order + QStringLiteral("\n, ")) + key;
        return bindNamedParameters(sql, m_query.parameterValues());
    };
    sqlite3 *handle = c->handle();
    BoundSql bound = build(false);
    auto statement = std::make_unique<detail::Statement>(handle, bound.sql, ErrorContext::Expression);
    if (!statement->isValid()) {
        bound = build(true);
        statement = std::make_unique<detail::Statement>(handle, bound.sql, ErrorContext::Expression);
        if (!statement->isValid())
            return statement->error();
    }
    if (detail::bindValues(statement->get(), bound.values) != SQLITE_OK)
        return detail::lastError(handle);
    std::vector<qint64> keys;
    int status = SQLITE_ROW;
    while ((status = sqlite3_step(statement->get())) == SQLITE_ROW)
        keys.push_back(sqlite3_column_int64(statement->get(), 0));
    if (status != SQLITE_DONE)
        return detail::lastError(handle, ErrorContext::Expression);
    return keys;
}

Result<QHash<qint64, QVariantList>> QueryRows::values(const std::vector<qint64> &rowids) const
{
    if (!isOpen())
        return DbError::make(ErrorNumber::InvalidOperation);
    if (m_base)
        return tableValues(rowids);
    if (m_serverRows)
        return m_serverRows->values(rowids);
    if (!rowids.empty() && !m_complete) {
        const qint64 last = *std::max_element(rowids.cbegin(), rowids.cend());
        if (last > m_filled) {
            if (const DbError error = fill(std::max({last, m_filled * growth, firstRows * growth})); error.isError())
                return error;
        }
    }
    QStringList columns{quoteIdentifier(keyColumn)};
    for (const FieldDef &field : m_fields)
        columns << quoteIdentifier(field.name);
    const QString select = QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM temp.")
        + quoteIdentifier(m_result->table) + QStringLiteral(" WHERE ") + quoteIdentifier(keyColumn) + QStringLiteral(" IN (");
    return readByKeys(select, rowids);
}

Result<QHash<qint64, QVariantList>> QueryRows::tableValues(const std::vector<qint64> &rowids) const
{
    const QString key = m_base->rowidColumn();
    const QString select = QStringLiteral("SELECT ") + key + QStringLiteral(", ") + m_parts.columns + QStringLiteral(" FROM ")
        + m_parts.from + QStringLiteral(" WHERE ") + key + QStringLiteral(" IN (");
    return readByKeys(select, rowids);
}

Result<QHash<qint64, QVariantList>> QueryRows::readByKeys(const QString &select, const std::vector<qint64> &keys) const
{
    const auto c = connection();
    sqlite3 *handle = c->handle();
    QHash<qint64, QVariantList> rows;
    rows.reserve(qsizetype(keys.size()));
    for (size_t first = 0; first < keys.size(); first += keysPerStatement) {
        const size_t count = std::min(keysPerStatement, keys.size() - first);
        const detail::Statement statement(handle, select + placeholders(count) + u')');
        if (!statement.isValid())
            return statement.error();
        for (size_t i = 0; i < count; ++i)
            sqlite3_bind_int64(statement.get(), int(i + 1), keys[first + i]);
        int status = SQLITE_ROW;
        while ((status = sqlite3_step(statement.get())) == SQLITE_ROW) {
            QVariantList values;
            values.reserve(m_fields.size());
            for (int f = 0; f < m_fields.size(); ++f)
                values << detail::columnValue(statement.get(), f + 1);
            rows.insert(sqlite3_column_int64(statement.get(), 0), values);
        }
        if (status != SQLITE_DONE)
            return detail::lastError(handle);
    }
    return rows;
}

DbError QueryRows::restart() const
{
    const auto c = connection();
    const Result<qint64> emptied = detail::execute(
        c->db(), QStringLiteral("DELETE FROM temp.") + quoteIdentifier(m_result->table), {});
    if (!emptied)
        return emptied.error();
    m_filled = 0;
    m_complete = false;
    return {};
}

DbError QueryRows::fill(qint64 wanted) const
{
    if (m_complete || (wanted >= 0 && m_filled >= wanted))
        return {};
    const auto c = connection();
    sqlite3 *handle = c->handle();
    const BoundSql bound = bindNamedParameters(m_engineSql, m_query.parameterValues());
    // One savepoint for the rows copied: a transaction per row would cost a
    // journal write each.
    if (!exec(handle, "SAVEPOINT tw_fill"))
        return detail::lastError(handle);
    DbError error;
    {
        const detail::Statement select(handle, bound.sql);
        const detail::Statement insert(handle, QStringLiteral("INSERT INTO temp.") + quoteIdentifier(m_result->table)
                                                   + QStringLiteral(" VALUES (NULL, ") + placeholders(size_t(m_fields.size()))
                                                   + u')');
        if (!select.isValid())
            error = select.error();
        else if (!insert.isValid())
            error = insert.error();
        else if (detail::bindValues(select.get(), bound.values) != SQLITE_OK)
            error = detail::lastError(handle);
        const int columns = m_fields.size();
        qint64 row = 0;
        int status = SQLITE_ROW;
        while (!error.isError() && (wanted < 0 || m_filled < wanted)
               && (status = sqlite3_step(select.get())) == SQLITE_ROW) {
            // The rows copied before come first again: the engine gives a
            // query's rows in the same order each time it runs unchanged.
            if (row++ < m_filled)
                continue;
            for (int i = 0; i < columns; ++i)
                sqlite3_bind_value(insert.get(), i + 1, sqlite3_column_value(select.get(), i));
            if (sqlite3_step(insert.get()) != SQLITE_DONE)
                error = detail::lastError(handle);
            sqlite3_reset(insert.get());
            ++m_filled;
        }
        if (!error.isError() && status == SQLITE_DONE)
            m_complete = true;
        else if (!error.isError() && status != SQLITE_ROW)
            error = detail::lastError(handle);
    }
    if (error.isError())
        exec(handle, "ROLLBACK TO tw_fill");
    exec(handle, "RELEASE tw_fill");
    if (error.isError())
        (void)restart();
    return error;
}

Result<qint64> QueryRows::countRows() const
{
    const auto c = connection();
    sqlite3 *handle = c->handle();
    const BoundSql bound =
        bindNamedParameters(QStringLiteral("SELECT count(*) FROM ") + asSubquery(m_engineSql), m_query.parameterValues());
    const detail::Statement statement(handle, bound.sql);
    if (!statement.isValid()) {
        // Not every row-returning statement can stand in a FROM (a pragma):
        // such a result is copied whole to be counted.
        if (const DbError error = fill(-1); error.isError())
            return error;
        return m_filled;
    }
    if (detail::bindValues(statement.get(), bound.values) != SQLITE_OK)
        return detail::lastError(handle);
    if (sqlite3_step(statement.get()) != SQLITE_ROW)
        return detail::lastError(handle);
    return qint64(sqlite3_column_int64(statement.get(), 0));
}

DbError QueryRows::update(qint64 rowid, const Values &values)
{
    if (!m_base)
        return DbError::make(ErrorNumber::ReadOnly);
    Values stored;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (it.key() < 0 || it.key() >= m_baseFields.size())
            return DbError::make(ErrorNumber::ItemNotFound);
        stored.insert(m_baseFields[it.key()], it.value());
    }
    return m_base->update(rowid, stored);
}

Result<qint64> QueryRows::insert(const Values &)
{
    return DbError::make(ErrorNumber::ReadOnly);
}

DbError QueryRows::remove(qint64 rowid)
{
    if (!m_base)
        return DbError::make(ErrorNumber::ReadOnly);
    return m_base->remove(rowid);
}

} // namespace tw
