// SPDX-License-Identifier: GPL-3.0-or-later
// Saved queries: the QueryDef value and the Database functions that keep
// queries in the catalog table MSysQueries.
#include "core/db/connection.h"
#include "core/db/database.h"
#include "core/db/dialect.h"
#include "core/db/identifier.h"

#include <QSqlError>
#include <QSqlQuery>

namespace tw {

namespace {

const QString catalogTable = QStringLiteral("MSysQueries");

// Same declaration as in the default database's schema.
const QString catalogDefinition = QStringLiteral(
    "CREATE TABLE IF NOT EXISTS \"MSysQueries\" (\n"
    "  \"Name\" VARCHAR(255) NOT NULL COLLATE NOCASE\n"
    "    CONSTRAINT \"tw_size:Name\" CHECK (length(\"Name\") <= 255)\n"
    "    CONSTRAINT \"tw_nonempty:Name\" CHECK (\"Name\" <> '')\n"
    "    CONSTRAINT \"tw_unique_query\" UNIQUE,\n"
    "  \"SQL\" TEXT COLLATE NOCASE,\n"
    "  \"Connect\" TEXT COLLATE NOCASE,\n"
    "  \"ReturnsRecords\" BOOLEAN NOT NULL DEFAULT 1\n"
    ")");

// On a server: the same columns; names unique without regard to case, as
// they are compared everywhere else.
const char *const serverCatalogDefinition[] = {
    "CREATE TABLE IF NOT EXISTS \"MSysQueries\" (\n"
    "  \"Name\" varchar(255) NOT NULL CONSTRAINT \"tw_nonempty:Name\" CHECK (\"Name\" <> ''),\n"
    "  \"SQL\" text,\n"
    "  \"Connect\" text,\n"
    "  \"ReturnsRecords\" boolean NOT NULL DEFAULT true\n"
    ")",
    "CREATE UNIQUE INDEX IF NOT EXISTS \"tw_unique_query\" ON \"MSysQueries\" (lower(\"Name\"))",
};

// The catalog's statements for the engine: a file compares names with its
// NOCASE collation, a server by lower-case.
QString catalogSql(bool server, QString sql)
{
    if (server) {
        sql.replace(QLatin1String("\"Name\" = ? COLLATE NOCASE"), QLatin1String("lower(\"Name\") = lower(?)"));
        sql.replace(QLatin1String("\"Name\" COLLATE NOCASE"), QLatin1String("lower(\"Name\"), \"Name\""));
    }
    return sql;
}

} // namespace

QList<QueryParameter> QueryDef::parameters() const
{
    QList<QueryParameter> list;
    for (const QString &name : namedParameters(m_sql))
        list.append({name, m_values.value(name.toLower())});
    return list;
}

DbError QueryDef::setParameter(const QString &name, const QVariant &value)
{
    QString key = name;
    if (key.startsWith(u':'))
        key.remove(0, 1);
    if (!namedParameters(m_sql).contains(key, Qt::CaseInsensitive))
        return DbError::make(ErrorNumber::ItemNotFound);
    m_values.insert(key.toLower(), value);
    return {};
}

Result<bool> Database::hasQueryCatalog() const
{
    const Result<QString> found = findTable(catalogTable);
    if (!found && found.error().number == ErrorNumber::ObjectNotFound)
        return false;
    if (!found)
        return found.error();
    return true;
}

DbError Database::ensureQueryCatalog()
{
    if (!m_connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (m_connection->server) {
        // Asked first: the server would print a notice for each statement
        // that finds its object there.
        const Result<bool> catalog = hasQueryCatalog();
        if (!catalog || catalog.value())
            return catalog.error();
        for (const char *statement : serverCatalogDefinition)
            if (const DbError error = exec(QString::fromLatin1(statement)).error(); error.isError())
                return error;
        return {};
    }
    return exec(catalogDefinition).error();
}

Result<QStringList> Database::queryNames() const
{
    if (!m_connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    const Result<bool> catalog = hasQueryCatalog();
    if (!catalog)
        return catalog.error();
    if (!catalog.value())
        return QStringList();
    QSqlQuery query(m_connection->db());
    query.setForwardOnly(true);
    if (!query.exec(catalogSql(m_connection->server,
                               QStringLiteral("SELECT \"Name\" FROM \"MSysQueries\" ORDER BY \"Name\" COLLATE NOCASE"))))
        return mapEngineError(query.lastError());
    QStringList names;
    while (query.next())
        names.append(query.value(0).toString());
    query.finish();
    return names;
}

Result<QueryDef> Database::queryDef(const QString &name) const
{
    if (!m_connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (name.isEmpty())
        return DbError::make(ErrorNumber::ItemNotFound);
    const Result<bool> catalog = hasQueryCatalog();
    if (!catalog)
        return catalog.error();
    if (!catalog.value())
        return DbError::make(ErrorNumber::ItemNotFound);
    QSqlQuery query(m_connection->db());
    query.setForwardOnly(true);
    query.prepare(catalogSql(m_connection->server,
                             QStringLiteral("SELECT \"Name\", \"SQL\", \"Connect\", \"ReturnsRecords\" FROM \"MSysQueries\" "
                                            "WHERE \"Name\" = ? COLLATE NOCASE")));
    query.addBindValue(name);
    if (!query.exec())
        return mapEngineError(query.lastError());
    if (!query.next())
        return DbError::make(ErrorNumber::ItemNotFound);
    QueryDef def(query.value(0).toString(), query.value(1).toString());
    def.setConnect(query.value(2).toString());
    def.setReturnsRecords(query.value(3).toBool());
    query.finish();
    return def;
}

Result<QueryDef> Database::createQueryDef(const QString &name, const QString &sql)
{
    if (!m_connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    QueryDef def(name, sql);
    if (name.isEmpty())
        return def; // a temporary query: never stored
    if (!isValidFieldName(name))
        return DbError::make(ErrorNumber::InvalidName, name);
    if (const DbError error = ensureQueryCatalog(); error.isError())
        return error;
    const Result<QueryDef> existing = queryDef(name);
    if (existing)
        return DbError::make(ErrorNumber::ObjectExists, name);
    if (existing.error().number != ErrorNumber::ItemNotFound)
        return existing.error();
    const Result<qint64> inserted =
        exec(QStringLiteral("INSERT INTO \"MSysQueries\" (\"Name\", \"SQL\", \"Connect\", \"ReturnsRecords\") "
                            "VALUES (?, ?, ?, ?)"),
             {name, sql, QString(), QVariant(true)});
    if (!inserted)
        return inserted.error();
    return def;
}

DbError Database::updateQueryDef(const QueryDef &query)
{
    if (query.isTemporary())
        return {};
    if (!m_connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    const Result<bool> catalog = hasQueryCatalog();
    if (!catalog)
        return catalog.error();
    if (!catalog.value())
        return DbError::make(ErrorNumber::ItemNotFound);
    const Result<qint64> changed =
        exec(catalogSql(m_connection->server,
                        QStringLiteral("UPDATE \"MSysQueries\" SET \"SQL\" = ?, \"Connect\" = ?, \"ReturnsRecords\" = ? "
                                       "WHERE \"Name\" = ? COLLATE NOCASE")),
             {query.sql(), query.connect(), QVariant(query.returnsRecords()), query.name()});
    if (!changed)
        return changed.error();
    return changed.value() == 0 ? DbError::make(ErrorNumber::ItemNotFound) : DbError();
}

DbError Database::deleteQueryDef(const QString &name)
{
    if (!m_connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    const Result<bool> catalog = hasQueryCatalog();
    if (!catalog)
        return catalog.error();
    if (!catalog.value())
        return DbError::make(ErrorNumber::ItemNotFound);
    const Result<qint64> removed =
        exec(catalogSql(m_connection->server,
                        QStringLiteral("DELETE FROM \"MSysQueries\" WHERE \"Name\" = ? COLLATE NOCASE")),
             {name});
    if (!removed)
        return removed.error();
    return removed.value() == 0 ? DbError::make(ErrorNumber::ItemNotFound) : DbError();
}

Result<QueryOutcome> Database::run(const QueryDef &query)
{
    if (!m_connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (hasTextAfterStatement(query.sql()))
        return DbError::make(ErrorNumber::CharactersAfterEnd);
    if (m_connection->server)
        return runOnServer(query);
    const BoundSql bound = bindNamedParameters(translateUserSql(query.sql()), query.parameterValues());
    if (!bound.missing.isEmpty())
        return DbError::make(ErrorNumber::TooFewParameters, QString::number(bound.missing.size()));
    const Result<detail::StatementInfo> info = detail::inspectStatement(m_connection->handle(), bound.sql);
    if (!info)
        return info.error();
    QueryOutcome outcome;
    if (info.value().columnCount > 0) {
        Result<Recordset> records = openSnapshot(bound.sql, bound.values, query.isTemporary() ? query.sql() : query.name());
        if (!records)
            return records.error();
        outcome.returnedRecords = true;
        outcome.records = std::move(records).value();
        return outcome;
    }
    const Result<qint64> changed = detail::execute(m_connection->db(), bound.sql, bound.values);
    if (!changed)
        return changed.error();
    outcome.rowsAffected = changed.value();
    // The engine counts no changed rows for a table made from a select: the
    // rows it was given are what a SELECT ... INTO changed.
    if (const QString made = selectIntoTable(query.sql()); !made.isEmpty()) {
        const Result<QVariant> rows = queryValue(QStringLiteral("SELECT count(*) FROM ") + quoteIdentifier(made));
        outcome.rowsAffected = rows.valueOr(QVariant(qint64(0))).toLongLong();
    }
    return outcome;
}

Result<QueryOutcome> Database::runOnServer(const QueryDef &query)
{
    const detail::ServerStatement statement = detail::serverStatement(
            query.sql(), query.parameterValues(), detail::serverNames(m_connection->serverHandle()));
    if (!statement.missing.isEmpty())
        return DbError::make(ErrorNumber::TooFewParameters, QString::number(statement.missing.size()));
    const Result<QueryDescription> described = detail::describeOnServer(m_connection->serverHandle(), statement);
    if (!described)
        return described.error();
    // Record sets read through a database file's row ids: rows of a server
    // are read with readRows() or shown with QueryRows.
    if (described.value().returnsRows())
        return DbError::make(ErrorNumber::NotSupportedForType);
    QueryOutcome outcome;
    const Result<qint64> changed = detail::runOnServer(m_connection->serverHandle(), statement, {});
    if (!changed)
        return changed.error();
    outcome.rowsAffected = changed.value();
    return outcome;
}

} // namespace tw
