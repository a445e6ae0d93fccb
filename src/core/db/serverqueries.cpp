// SPDX-License-Identifier: GPL-3.0-or-later
// Queries on a server: statements the user writes (saved or typed) run
// through libpq, whose placeholders ($1, $2 ...) QtSql cannot hand over for
// every kind of statement, and read back as the same values a database file
// gives.
#include "core/db/connection.h"
#include "core/db/database.h"
#include "core/db/dialect.h"
#include "core/db/sqltokenizer.h"

#include <QDateTime>

#include <libpq-fe.h>

#include <memory>

namespace tw::detail {

namespace {

// Type numbers of the server's built-in types (pg_type.oid), fixed across
// versions.
enum : Oid {
    BoolOid = 16,
    ByteaOid = 17,
    Int8Oid = 20,
    Int2Oid = 21,
    Int4Oid = 23,
    TextOid = 25,
    Float4Oid = 700,
    Float8Oid = 701,
    BpcharOid = 1042,
    VarcharOid = 1043,
    DateOid = 1082,
    TimestampOid = 1114,
    TimestampTzOid = 1184,
    NumericOid = 1700,
    UuidOid = 2950,
};

struct ResultDeleter {
    void operator()(PGresult *result) const { PQclear(result); }
};
using ResultPtr = std::unique_ptr<PGresult, ResultDeleter>;

DbError resultError(pg_conn *connection, const PGresult *result)
{
    const char *state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    return mapServerError(QString::fromLatin1(state ? state : ""), QString::fromUtf8(PQerrorMessage(connection)));
}

FieldDef fieldOf(const PGresult *result, int column)
{
    FieldDef field;
    field.name = QString::fromUtf8(PQfname(result, column));
    if (field.name.isEmpty() || field.name == QLatin1String("?column?"))
        field.name = QStringLiteral("Expr%1").arg(column + 1);
    const int modifier = PQfmod(result, column);
    switch (PQftype(result, column)) {
    case BoolOid: field.type = FieldType::Boolean; break;
    case ByteaOid: field.type = FieldType::LongBinary; break;
    case Int8Oid: field.type = FieldType::BigInt; break;
    case Int2Oid: field.type = FieldType::Integer; break;
    case Int4Oid: field.type = FieldType::Long; break;
    case Float4Oid: field.type = FieldType::Single; break;
    case Float8Oid: field.type = FieldType::Double; break;
    case NumericOid: field.type = FieldType::Decimal; break;
    case DateOid:
    case TimestampOid:
    case TimestampTzOid: field.type = FieldType::Date; break;
    case UuidOid: field.type = FieldType::Guid; break;
    case BpcharOid:
    case VarcharOid:
        // A size the server does not keep (varchar without one) is a memo's.
        if (modifier > 4 && modifier - 4 <= MaxTextSize) {
            field.type = FieldType::Text;
            field.size = modifier - 4;
            return field;
        }
        field.type = FieldType::Memo;
        break;
    default: field.type = FieldType::Memo; break;
    }
    field.size = FieldDef::fixedSize(field.type);
    return field;
}

QVariant valueOf(const PGresult *result, int row, int column)
{
    if (PQgetisnull(result, row, column))
        return {};
    const char *raw = PQgetvalue(result, row, column);
    const QString text = QString::fromUtf8(raw, PQgetlength(result, row, column));
    switch (PQftype(result, column)) {
    case BoolOid: return QVariant(text == QLatin1String("t"));
    case Int2Oid:
    case Int4Oid:
    case Int8Oid: return QVariant(text.toLongLong());
    case Float4Oid:
    case Float8Oid: return QVariant(text.toDouble());
    case ByteaOid: {
        size_t length = 0;
        unsigned char *bytes = PQunescapeBytea(reinterpret_cast<const unsigned char *>(raw), &length);
        const QByteArray value(reinterpret_cast<const char *>(bytes), qsizetype(length));
        PQfreemem(bytes);
        return value;
    }
    case DateOid: return QVariant(QDate::fromString(text, Qt::ISODate));
    case TimestampOid: return QVariant(QDateTime::fromString(text, Qt::ISODateWithMs));
    default: return text; // numeric stays exact as its text
    }
}

bool isReadingStatement(const QString &sql)
{
    for (const SqlToken &t : tokenizeSql(sql)) {
        if (t.kind == SqlToken::Space || t.isPunct("("))
            continue;
        return t.isWord("select") || t.isWord("with") || t.isWord("values") || t.isWord("table")
            || t.isWord("show") || t.isWord("explain");
    }
    return false;
}

} // namespace

QStringList serverNames(pg_conn *connection)
{
    // Reserved words stay words, so a field named "Order" does not turn
    // ORDER BY into a name.
    static const char sql[] =
        "SELECT DISTINCT x.name FROM ("
        "SELECT c.relname::text AS name, c.relnamespace FROM pg_catalog.pg_class c "
        "WHERE c.relkind IN ('r', 'p', 'v', 'm', 'f') "
        "UNION ALL SELECT a.attname::text, c.relnamespace FROM pg_catalog.pg_attribute a "
        "JOIN pg_catalog.pg_class c ON c.oid = a.attrelid "
        "WHERE c.relkind IN ('r', 'p', 'v', 'm', 'f') AND a.attnum > 0 AND NOT a.attisdropped) x "
        "JOIN pg_catalog.pg_namespace n ON n.oid = x.relnamespace "
        "WHERE n.nspname = ANY (pg_catalog.current_schemas(false)) "
        "AND lower(x.name) NOT IN (SELECT word FROM pg_catalog.pg_get_keywords() WHERE catcode <> 'U')";
    QStringList names;
    if (!connection)
        return names;
    const ResultPtr result(PQexec(connection, sql));
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
        return names; // names then stay as typed; the statement says what it misses
    for (int r = 0; r < PQntuples(result.get()); ++r)
        names.append(QString::fromUtf8(PQgetvalue(result.get(), r, 0)));
    return names;
}

ServerStatement serverStatement(const QString &userSql, const QMap<QString, QVariant> &values,
                                const QStringList &names)
{
    ServerStatement statement;
    const QString engineSql = translateUserSql(userSql);
    // A table made from a select is made by a statement the server takes no
    // placeholders in: its values are written into it.
    const bool makesTable = !selectIntoTable(userSql).isEmpty();
    const QString sql = serverSql(makesTable ? inlineParameterValues(engineSql, values) : engineSql, names);
    QStringList numbered; // lower-case names, $1 first
    QString out;
    for (const SqlToken &t : tokenizeSql(sql)) {
        if (t.isPunct(";"))
            continue;
        if (t.kind != SqlToken::Parameter || !t.text.startsWith(u':')) {
            out += t.text;
            continue;
        }
        const QString name = t.text.mid(1).toLower();
        qsizetype index = numbered.indexOf(name);
        if (index < 0) {
            index = numbered.size();
            numbered.append(name);
            const auto found = values.constFind(name);
            if (found == values.cend())
                statement.missing.append(t.text.mid(1));
            statement.values.append(found == values.cend() ? QVariant() : *found);
        }
        out += u'$' + QString::number(index + 1);
    }
    statement.sql = out;
    statement.readsRows = isReadingStatement(sql);
    return statement;
}

Result<QueryDescription> describeOnServer(pg_conn *connection, const ServerStatement &statement)
{
    if (!connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    QueryDescription description;
    description.readOnly = statement.readsRows;
    const QByteArray sql = statement.sql.toUtf8();
    const ResultPtr prepared(PQprepare(connection, "", sql.constData(), 0, nullptr));
    if (PQresultStatus(prepared.get()) != PGRES_COMMAND_OK)
        return resultError(connection, prepared.get());
    const ResultPtr described(PQdescribePrepared(connection, ""));
    if (PQresultStatus(described.get()) != PGRES_COMMAND_OK)
        return resultError(connection, described.get());
    for (int i = 0; i < PQnfields(described.get()); ++i) {
        description.fields.append(fieldOf(described.get(), i));
        description.declaredTypes.append(QString());
    }
    return description;
}

Result<qint64> runOnServer(pg_conn *connection, const ServerStatement &statement,
                           const std::function<bool(const QVariantList &)> &row)
{
    if (!connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    QList<QByteArray> texts;
    std::vector<const char *> pointers;
    for (const QVariant &value : statement.values) {
        if (value.isNull() || !value.isValid()) {
            pointers.push_back(nullptr);
            continue;
        }
        switch (value.typeId()) {
        case QMetaType::QDateTime: texts.append(value.toDateTime().toString(Qt::ISODateWithMs).toUtf8()); break;
        case QMetaType::QDate: texts.append(value.toDate().toString(Qt::ISODate).toUtf8()); break;
        default: texts.append(value.toString().toUtf8()); break;
        }
        pointers.push_back(texts.last().constData());
    }
    const QByteArray sql = statement.sql.toUtf8();
    if (!PQsendQueryParams(connection, sql.constData(), int(pointers.size()), nullptr, pointers.data(), nullptr,
                           nullptr, 0))
        return resultError(connection, nullptr);
    // A row at a time: a result of millions of rows is never held whole.
    PQsetSingleRowMode(connection);
    qint64 counted = 0;
    bool stopped = false;
    DbError failure;
    QVariantList values;
    // Every result is taken, also after a stop or a failure, so the
    // connection is ready for the next statement.
    while (PGresult *next = PQgetResult(connection)) {
        const ResultPtr result(next);
        switch (PQresultStatus(result.get())) {
        case PGRES_SINGLE_TUPLE:
            if (stopped || failure.isError())
                break;
            values.clear();
            for (int c = 0; c < PQnfields(result.get()); ++c)
                values.append(valueOf(result.get(), 0, c));
            ++counted;
            stopped = row && !row(values);
            break;
        case PGRES_TUPLES_OK:
            break; // the end of the rows
        case PGRES_COMMAND_OK:
            counted = QByteArray(PQcmdTuples(result.get())).toLongLong();
            break;
        default:
            if (!failure.isError())
                failure = resultError(connection, result.get());
            break;
        }
    }
    if (failure.isError() && !stopped)
        return failure;
    return counted;
}

} // namespace tw::detail
