// SPDX-License-Identifier: GPL-3.0-or-later
// The server engine: PostgreSQL through Qt's QPSQL driver, and libpq itself
// where QtSql has no way (the state of a transaction).
#include "core/db/connection.h"
#include "core/db/identifier.h"
#include "core/db/serveraddress.h"

#include <QCoreApplication>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

#include <libpq-fe.h>

namespace tw::detail {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("tw::Database", text);
}

// Server identifiers hold at most this many bytes (NAMEDATALEN - 1).
constexpr qsizetype maxNameBytes = 63;

// Field types that the server names differently from a database file, or
// that mean something else there ("real" is four bytes on the server).
void serverFieldType(const QString &formatted, FieldType *type, int *size)
{
    const QString name = formatted.trimmed().toLower();
    if (name == QLatin1String("real")) {
        *type = FieldType::Single;
    } else if (name == QLatin1String("bytea")) {
        *type = FieldType::LongBinary;
    } else if (name == QLatin1String("numeric(19,4)")) {
        *type = FieldType::Currency; // as createTable makes it
    } else if (name == QLatin1String("uuid")) {
        *type = FieldType::Guid;
    } else {
        parseDeclaredType(formatted, type, size);
        return;
    }
    *size = FieldDef::fixedSize(*type);
}

QString serverType(const FieldDef &field)
{
    switch (field.type) {
    case FieldType::Boolean: return QStringLiteral("boolean");
    case FieldType::Byte:
    case FieldType::Integer: return QStringLiteral("smallint");
    case FieldType::Long: return QStringLiteral("integer");
    case FieldType::Currency: return QStringLiteral("numeric(19,4)");
    case FieldType::Single: return QStringLiteral("real");
    case FieldType::Double: return QStringLiteral("double precision");
    case FieldType::Date: return QStringLiteral("timestamp");
    case FieldType::Binary:
    case FieldType::LongBinary: return QStringLiteral("bytea");
    case FieldType::Text: return QStringLiteral("varchar(%1)").arg(field.size);
    case FieldType::Memo: return QStringLiteral("text");
    case FieldType::Guid: return QStringLiteral("uuid");
    case FieldType::BigInt: return QStringLiteral("bigint");
    case FieldType::Decimal: return QStringLiteral("numeric");
    }
    return QStringLiteral("text");
}

// A constraint's name: the prefix and the field, or the field's position
// when the whole would be cut short (names are read back by their column,
// not by this text).
QString constraintName(const QString &prefix, const FieldDef &field, int position)
{
    const QString name = prefix + field.name;
    return fitsServerName(name) ? name : prefix + u'#' + QString::number(position);
}

} // namespace

bool fitsServerName(const QString &name)
{
    return name.toUtf8().size() <= maxNameBytes;
}

DbError openServer(const QString &connectionName, const QString &address, const QString &user,
                   const QString &password, QString *display)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return DbError{ErrorNumber::NotADatabase,
                       tr("Tabwright cannot reach database servers here: the PostgreSQL driver of Qt "
                          "(libqt6sql6-psql) is not installed.")};
    QString problem;
    const std::optional<ServerAddress> parsed = parseServerAddress(address, &problem);
    if (!parsed)
        return DbError{ErrorNumber::NotADatabase, problem};
    DbError failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
        db.setHostName(parsed->host);
        if (parsed->port > 0)
            db.setPort(parsed->port);
        db.setDatabaseName(parsed->database);
        // What is given here wins over the address; what neither gives, libpq
        // finds where it always does (PGUSER, PGPASSWORD, ~/.pgpass).
        db.setUserName(user.isEmpty() ? parsed->user : user);
        db.setPassword(password.isEmpty() ? parsed->password : password);
        db.setConnectOptions(parsed->options.join(u';'));
        if (!db.open())
            failure = mapServerError(db.lastError(), ErrorContext::Open);
        else if (!serverHandle(db))
            failure = DbError::make(ErrorNumber::InvalidOperation);
    }
    if (failure.isError()) {
        {
            QSqlDatabase db = QSqlDatabase::database(connectionName, false);
            if (db.isOpen())
                db.close();
        }
        QSqlDatabase::removeDatabase(connectionName);
        return failure;
    }
    *display = parsed->display;
    return {};
}

Result<QStringList> serverTableNames(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    // The tables of the schemas on the search path, in its order, each in
    // the order made; the system's schemas and partitions are left out.
    if (!query.exec(QStringLiteral(
            "SELECT c.relname FROM pg_catalog.pg_class c "
            "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
            "WHERE c.relkind IN ('r', 'p') AND NOT c.relispartition "
            "AND n.nspname = ANY (pg_catalog.current_schemas(false)) "
            "AND n.nspname <> 'information_schema' AND n.nspname NOT LIKE 'pg\\_%' "
            "ORDER BY pg_catalog.array_position(pg_catalog.current_schemas(false), n.nspname), c.oid")))
        return mapServerError(query.lastError());
    QStringList names;
    QSet<QString> seen;
    while (query.next()) {
        // A name in two schemas means the table of the first one: the one an
        // unqualified name finds.
        const QString name = query.value(0).toString();
        if (!seen.contains(name)) {
            seen.insert(name);
            names.append(name);
        }
    }
    query.finish();
    return names;
}

Result<QList<FieldDef>> serverTableFields(const QSqlDatabase &db, const QString &storedName)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    // The zero-length rule is a CHECK constraint on the one column, named
    // "tw_nonempty:..." as createTable makes it.
    if (!query.prepare(QStringLiteral(
            "SELECT a.attname, pg_catalog.format_type(a.atttypid, a.atttypmod), a.attnotnull, "
            "EXISTS (SELECT 1 FROM pg_catalog.pg_constraint k WHERE k.conrelid = a.attrelid "
            "AND k.contype = 'c' AND k.conkey = ARRAY[a.attnum] AND k.conname LIKE 'tw\\_nonempty:%') "
            "FROM pg_catalog.pg_attribute a WHERE a.attrelid = ?::regclass AND a.attnum > 0 "
            "AND NOT a.attisdropped ORDER BY a.attnum")))
        return mapServerError(query.lastError());
    query.addBindValue(quoteIdentifier(storedName));
    if (!query.exec())
        return mapServerError(query.lastError());
    QList<FieldDef> fields;
    while (query.next()) {
        FieldDef field;
        field.name = query.value(0).toString();
        serverFieldType(query.value(1).toString(), &field.type, &field.size);
        field.required = query.value(2).toBool();
        field.allowZeroLength = !(field.isText() && query.value(3).toBool());
        fields.append(field);
    }
    query.finish();
    if (fields.isEmpty())
        return DbError::make(ErrorNumber::ObjectNotFound, storedName);
    return fields;
}

QString serverColumnDefinition(const FieldDef &field, int position)
{
    const QString column = quoteIdentifier(field.name);
    // varchar(n) holds the size itself, counted in characters as our sizes
    // are.
    QString definition = column + u' ' + serverType(field);
    if (field.required)
        definition += QLatin1String(" NOT NULL");
    if (field.type == FieldType::Binary) {
        definition += QStringLiteral(" CONSTRAINT %1 CHECK (octet_length(%2) <= %3)")
                          .arg(quoteIdentifier(constraintName(QStringLiteral("tw_size:"), field, position)), column)
                          .arg(field.size);
    }
    if (field.isText() && !field.allowZeroLength) {
        definition += QStringLiteral(" CONSTRAINT %1 CHECK (%2 <> '')")
                          .arg(quoteIdentifier(constraintName(QLatin1String(NonEmptyConstraintPrefix), field,
                                                              position)),
                               column);
    }
    return definition;
}

DbError serverExec(pg_conn *connection, const char *sql)
{
    if (!connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    PGresult *result = PQexec(connection, sql);
    const ExecStatusType status = PQresultStatus(result);
    DbError error;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        const char *state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
        error = mapServerError(QString::fromLatin1(state ? state : ""),
                               QString::fromUtf8(PQerrorMessage(connection)));
    }
    PQclear(result);
    return error;
}

DbError serverBegin(pg_conn *connection)
{
    if (!connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    // The server only warns about a BEGIN inside a transaction; a database
    // file refuses it.
    if (PQtransactionStatus(connection) != PQTRANS_IDLE && PQstatus(connection) == CONNECTION_OK)
        return DbError::make(ErrorNumber::InvalidOperation);
    return serverExec(connection, "BEGIN");
}

DbError serverCommit(pg_conn *connection)
{
    if (!connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (PQstatus(connection) != CONNECTION_OK)
        return DbError{ErrorNumber::NotADatabase, QString::fromUtf8(PQerrorMessage(connection)).trimmed()};
    switch (PQtransactionStatus(connection)) {
    case PQTRANS_IDLE:
        return DbError::make(ErrorNumber::NoTransaction);
    case PQTRANS_INERROR:
        // A statement failed inside the transaction and the server gave it
        // up: a COMMIT would answer with a quiet ROLLBACK. Nothing was kept.
        (void)serverExec(connection, "ROLLBACK");
        return DbError::make(ErrorNumber::NoTransaction);
    default:
        break;
    }
    return serverExec(connection, "COMMIT");
}

DbError serverRollback(pg_conn *connection)
{
    if (!connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (PQstatus(connection) == CONNECTION_OK && PQtransactionStatus(connection) == PQTRANS_IDLE)
        return DbError::make(ErrorNumber::NoTransaction);
    return serverExec(connection, "ROLLBACK");
}

} // namespace tw::detail
