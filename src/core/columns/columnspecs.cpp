// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/columns/columnspecs.h"

#include "core/db/database.h"

#include <QCoreApplication>

#include <limits>

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

Result<ColumnSpecs> readColumnSpecs(Database &database)
{
    const Result<QString> table = database.findTable(QStringLiteral("tabwrite_settings"));
    if (!table)
        return table.error();
    return readColumnSpecs(database, table.value());
}

Result<ColumnSpecs> readColumnSpecs(Database &database, const QString &table)
{
    // A table-type record set walks the rows in stored order: the order they
    // were added.
    Result<Recordset> rs = database.openRecordset(table, RecordsetType::Table);
    if (!rs)
        return rs.error();
    Recordset &rows = rs.value();
    const QStringList names = {QStringLiteral("column_heading"), QStringLiteral("get_data_from_column"),
                               QStringLiteral("number_of_characters"), QStringLiteral("spaces_b4_next_column"),
                               QStringLiteral("field_width")};
    QList<int> columns;
    for (const QString &name : names) {
        columns << rows.fieldIndex(name);
        if (columns.constLast() < 0)
            return DbError::make(ErrorNumber::ItemNotFound, name);
    }
    ColumnSpecs specs;
    for (; !rows.isEof(); static_cast<void>(rows.moveNext())) {
        QVariantList cells;
        for (const int column : columns) {
            const Result<QVariant> cell = rows.value(column);
            if (!cell)
                return cell.error();
            cells << cell.value();
        }
        ColumnSpec row;
        row.column_heading = cells[0].toString();
        row.get_data_from_column = numberCell(cells[1]);
        row.number_of_characters = numberCell(cells[2]);
        row.spaces_b4_next_column = numberCell(cells[3]);
        row.field_width = numberCell(cells[4]);
        specs << row;
    }
    return specs;
}

QString specGridCaption(const QString &currentSettingsName)
{
    if (currentSettingsName.isEmpty())
        return QCoreApplication::translate("TabwriteTab", "Enter Column Specifications");
    return QCoreApplication::translate("TabwriteTab", "Settings: ") + currentSettingsName.mid(9);
}

QString specPositionCaption(qint64 row, qint64 count)
{
    // The empty row after the stored ones is where a new record is typed.
    if (count <= 0 || row >= count)
        return QCoreApplication::translate("TabwriteTab", "Enter new record");
    return QCoreApplication::translate("TabwriteTab", "Record %1 of %2").arg(row + 1).arg(count);
}

QString specCriteriaCaption(qint64 position, qint64 count)
{
    return QCoreApplication::translate("TabwriteTab", "Criteria %1 of %2").arg(position + 1).arg(count);
}

} // namespace tw
