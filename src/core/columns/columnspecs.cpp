// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/columns/columnspecs.h"

#include "core/db/database.h"
#include "core/db/identifier.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>

namespace tw {

namespace {
std::optional<int> numberCell(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    bool ok = false;
    const qlonglong number = value.toString().trimmed().toLongLong(&ok);
    if (!ok || number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(number);
}
} // namespace

Result<ColumnSpecs> readColumnSpecs(const Database &database)
{
    const Result<QString> table = database.findTable(QStringLiteral("tabwrite_settings"));
    if (!table)
        return table.error();
    QSqlQuery query(database.connection());
    query.setForwardOnly(true);
    // Stored order is rowid order: the order the rows were added.
    if (!query.exec(QStringLiteral("SELECT column_heading, get_data_from_column, number_of_characters, "
                                   "spaces_b4_next_column, field_width FROM ")
                    + quoteIdentifier(table.value()) + QStringLiteral(" ORDER BY rowid")))
        return mapEngineError(query.lastError());
    ColumnSpecs rows;
    while (query.next()) {
        ColumnSpec row;
        row.column_heading = query.value(0).toString();
        row.get_data_from_column = numberCell(query.value(1));
        row.number_of_characters = numberCell(query.value(2));
        row.spaces_b4_next_column = numberCell(query.value(3));
        row.field_width = numberCell(query.value(4));
        rows << row;
    }
    if (query.lastError().isValid())
        return mapEngineError(query.lastError());
    return rows;
}

QString specGridCaption(const QString &currentSettingsName)
{
    if (currentSettingsName.isEmpty())
        return QCoreApplication::translate("TabwriteTab", "Enter Column Specifications");
    return QCoreApplication::translate("TabwriteTab", "Settings: ") + currentSettingsName.mid(9);
}

QString specPositionCaption(qint64 row, qint64 count)
{
    if (count <= 0)
        return QCoreApplication::translate("TabwriteTab", "Enter new record");
    return QCoreApplication::translate("TabwriteTab", "Record %1 of %2").arg(row + 1).arg(count);
}

QString specCriteriaCaption(qint64 position, qint64 count)
{
    return QCoreApplication::translate("TabwriteTab", "Criteria %1 of %2").arg(position + 1).arg(count);
}

} // namespace tw
