// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/db/connection.h"

#include "core/db/identifier.h"
#include "core/db/sqltokenizer.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSet>

#include <sqlite3.h>

namespace tw::detail {

sqlite3 *Connection::handle() const
{
    return sqliteHandle(db());
}

pg_conn *Connection::serverHandle() const
{
    return detail::serverHandle(db());
}

Snapshot::~Snapshot()
{
    if (const auto c = connection.lock()) {
        QSqlQuery drop(c->db());
        // A server names the connection's own schema pg_temp.
        const QString schema = c->server ? QStringLiteral("pg_temp.") : QStringLiteral("temp.");
        drop.exec(QStringLiteral("DROP TABLE IF EXISTS ") + schema + quoteIdentifier(table));
    }
}

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    if (!db.isValid() || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

pg_conn *serverHandle(const QSqlDatabase &db)
{
    if (!db.isValid() || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    // Qt names the type by the struct behind libpq's PGconn typedef.
    if (!handle.isValid()
        || (qstrcmp(handle.typeName(), "pg_conn*") != 0 && qstrcmp(handle.typeName(), "PGconn*") != 0))
        return nullptr;
    return *static_cast<pg_conn *const *>(handle.constData());
}

bool isServer(const QSqlDatabase &db)
{
    return db.driverName() == QLatin1String("QPSQL");
}

DbError mapDriverError(const QSqlDatabase &db, const QSqlError &error, ErrorContext context)
{
    return isServer(db) ? mapServerError(error, context) : mapEngineError(error, context);
}

Result<qint64> execute(const QSqlDatabase &db, const QString &sql, const QVariantList &values,
                       ErrorContext context)
{
    if (!db.isOpen())
        return DbError::make(ErrorNumber::InvalidOperation);
    if (isServer(db)) {
        // The server prepares only queries and changes of rows; any other
        // statement (CREATE, BEGIN ...) runs as it is, having no values.
        QSqlQuery query(db);
        query.setForwardOnly(true);
        const bool done = values.isEmpty() ? query.exec(sql) : query.prepare(sql);
        if (!done)
            return mapServerError(query.lastError(), context);
        if (!values.isEmpty()) {
            for (const QVariant &value : values)
                query.addBindValue(value);
            if (!query.exec())
                return mapServerError(query.lastError(), context);
        }
        const qint64 changed = query.numRowsAffected();
        query.finish();
        return qMax<qint64>(changed, 0);
    }
    sqlite3 *handle = sqliteHandle(db);
    const qint64 before = handle ? sqlite3_total_changes64(handle) : 0;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        return mapEngineError(query.lastError(), context);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        return mapEngineError(query.lastError(), context);
    query.finish();
    return handle ? sqlite3_total_changes64(handle) - before : qint64(query.numRowsAffected());
}

Result<StatementInfo> inspectStatement(sqlite3 *handle, const QString &sql, ErrorContext context)
{
    if (!handle)
        return DbError::make(ErrorNumber::InvalidOperation);
    sqlite3_stmt *statement = nullptr;
    const int rc = sqlite3_prepare16_v2(handle, sql.utf16(), int(sql.size() * sizeof(char16_t)),
                                        &statement, nullptr);
    if (rc != SQLITE_OK) {
        const DbError error = mapEngineError(sqlite3_extended_errcode(handle),
                                             QString::fromUtf8(sqlite3_errmsg(handle)), context);
        sqlite3_finalize(statement);
        return error;
    }
    StatementInfo info;
    if (statement) {
        info.columnCount = sqlite3_column_count(statement);
        for (int i = 0; i < info.columnCount; ++i) {
            info.columnNames.append(QString::fromUtf8(sqlite3_column_name(statement, i)));
            const char *declared = sqlite3_column_decltype(statement, i);
            info.declaredTypes.append(declared ? QString::fromUtf8(declared) : QString());
        }
        sqlite3_finalize(statement);
    }
    return info;
}

Result<QList<FieldDef>> tableFields(const QSqlDatabase &db, const QString &storedName, const QString &schema)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT name, type, \"notnull\" FROM pragma_table_info(?, ?)"));
    query.addBindValue(storedName);
    query.addBindValue(schema);
    if (!query.exec())
        return mapEngineError(query.lastError());
    QList<FieldDef> fields;
    while (query.next()) {
        FieldDef field;
        field.name = query.value(0).toString();
        parseDeclaredType(query.value(1).toString(), &field.type, &field.size);
        field.required = query.value(2).toInt() != 0;
        fields.append(field);
    }
    query.finish();
    if (fields.isEmpty())
        return DbError::make(ErrorNumber::ObjectNotFound, storedName);

    // The zero-length rule is a named CHECK constraint in the table's
    // declaration; read the declaration back to find it.
    QSqlQuery master(db);
    master.setForwardOnly(true);
    master.prepare(QStringLiteral("SELECT sql FROM %1.sqlite_master WHERE type = 'table' AND name = ?")
                       .arg(schema == QLatin1String("temp") ? QStringLiteral("temp") : QStringLiteral("main")));
    master.addBindValue(storedName);
    if (!master.exec())
        return mapEngineError(master.lastError());
    QSet<QString> nonEmpty;
    if (master.next()) {
        const QList<SqlToken> tokens = tokenizeSql(master.value(0).toString());
        const QString prefix = QLatin1String(NonEmptyConstraintPrefix);
        for (qsizetype i = 0; i < tokens.size(); ++i) {
            if (!tokens[i].isWord("constraint"))
                continue;
            qsizetype j = i + 1;
            while (j < tokens.size() && tokens[j].kind == SqlToken::Space)
                ++j;
            if (j < tokens.size()) {
                const QString name = tokens[j].unquoted();
                if (name.startsWith(prefix))
                    nonEmpty.insert(name.mid(prefix.size()).toLower());
            }
        }
    }
    master.finish();
    for (FieldDef &field : fields) {
        if (field.isText())
            field.allowZeroLength = !nonEmpty.contains(field.name.toLower());
    }
    return fields;
}

} // namespace tw::detail
