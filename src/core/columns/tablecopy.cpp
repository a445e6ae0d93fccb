// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/columns/tablecopy.h"

#include "core/db/database.h"
#include "core/db/identifier.h"

#include <QCoreApplication>

#include <limits>

namespace tw {

namespace {
// Rows copied per statement: small enough to move the progress bar often,
// large enough that the statements cost nothing next to the rows.
constexpr qint64 chunkRows = 5000;
} // namespace

QString exportTableName()
{
    return QCoreApplication::translate("DatabaseMenu", "Tabwright's Export TABLE");
}

Result<bool> isTableNameTaken(const Database &database, const QString &name)
{
    const Result<QStringList> tables = database.tableNames();
    if (!tables)
        return tables.error();
    for (const QString &table : tables.value())
        if (table.toLower() == name.toLower())
            return true;
    return false;
}

DbError copyTable(Database &database, const QString &source, const QString &target,
                  const std::function<void(qint64, qint64)> &progress)
{
    const Result<QString> stored = database.findTable(source);
    if (!stored)
        return stored.error();
    const Result<QList<FieldDef>> fields = database.fields(stored.value());
    if (!fields)
        return fields.error();

    TableDef definition{target, {}};
    QStringList columns;
    for (FieldDef field : fields.value()) {
        field.allowZeroLength = true;
        field.required = false;
        definition.fields << field;
        columns << quoteIdentifier(field.name);
    }
    if (const DbError error = database.createTable(definition); error.isError())
        return error;

    const Result<QVariant> count =
        database.queryValue(QStringLiteral("SELECT count(*) FROM ") + quoteIdentifier(stored.value()));
    if (!count)
        return count.error();
    const qint64 total = count.value().toLongLong();
    if (progress)
        progress(0, total);
    if (total == 0)
        return {};

    if (database.isServer()) {
        // The server copies the rows itself in one statement; none travels.
        const QString columnList = columns.join(QStringLiteral(", "));
        if (const DbError error = database.begin(); error.isError())
            return error;
        const Result<qint64> rows = database.exec(QStringLiteral("INSERT INTO ") + quoteIdentifier(target)
                                                  + QStringLiteral(" (") + columnList + QStringLiteral(") SELECT ")
                                                  + columnList + QStringLiteral(" FROM ")
                                                  + quoteIdentifier(stored.value()) + QStringLiteral(" ORDER BY ctid"));
        if (!rows) {
            (void)database.rollback();
            return rows.error();
        }
        if (const DbError error = database.commit(); error.isError())
            return error;
        if (progress)
            progress(rows.value(), total);
        return {};
    }

    // The row key under a name no field of the table uses.
    QString key;
    for (const char *candidate : {"rowid", "_rowid_", "oid"}) {
        bool taken = false;
        for (const FieldDef &field : fields.value())
            taken = taken || field.name.compare(QLatin1String(candidate), Qt::CaseInsensitive) == 0;
        if (!taken) {
            key = QLatin1String(candidate);
            break;
        }
    }
    if (key.isEmpty())
        return DbError::make(ErrorNumber::InvalidOperation);

    const QString columnList = columns.join(QStringLiteral(", "));
    const QString from = QStringLiteral(" FROM ") + quoteIdentifier(stored.value()) + QStringLiteral(" WHERE ") + key
        + QStringLiteral(" > ? ORDER BY ") + key + QStringLiteral(" LIMIT ?");
    // Rows go over in chunks of rowids, so the copy keeps the source's order
    // and the bar moves while it runs.
    const QString insert = QStringLiteral("INSERT INTO ") + quoteIdentifier(target) + QStringLiteral(" (")
        + columnList + QStringLiteral(") SELECT ") + columnList + from;
    const QString chunkEnd = QStringLiteral("SELECT max(k) FROM (SELECT ") + key + QStringLiteral(" AS k") + from
        + u')';
    if (const DbError error = database.begin(); error.isError())
        return error;
    qint64 copied = 0;
    qint64 after = std::numeric_limits<qint64>::min();
    while (copied < total) {
        const Result<QVariant> end = database.queryValue(chunkEnd, {after, chunkRows});
        const Result<qint64> rows = end ? database.exec(insert, {after, chunkRows}) : Result<qint64>(end.error());
        if (!rows) {
            (void)database.rollback();
            return rows.error();
        }
        if (rows.value() == 0 || end.value().isNull())
            break;
        copied += rows.value();
        after = end.value().toLongLong();
        if (progress)
            progress(copied, total);
    }
    return database.commit();
}

} // namespace tw
