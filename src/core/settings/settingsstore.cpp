// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/settingsstore.h"

#include "core/columns/columnspecs.h"
#include "core/db/database.h"
#include "core/db/identifier.h"

#include <QCoreApplication>

#include <functional>

namespace tw::settings {

namespace {

const QString prefix = QStringLiteral("tabwrite_");
const QString recordTable = QStringLiteral("tabwrite_allFields");
const QString keyIndex = QStringLiteral("nameOfSettings");
const QString layoutTable = QStringLiteral("tabwrite_settings");

// The column table's fields and the layout's fields they copy, in order.
const QStringList columnFields{QStringLiteral("Column_heading"), QStringLiteral("Get_data_from_column"),
                               QStringLiteral("Number_of_characters"), QStringLiteral("Spaces_B4_next_column"),
                               QStringLiteral("Field_width")};
const QStringList layoutFields{QStringLiteral("column_heading"), QStringLiteral("get_data_from_column"),
                               QStringLiteral("number_of_characters"), QStringLiteral("spaces_b4_next_column"),
                               QStringLiteral("field_width")};

QString tr(const char *text)
{
    return QCoreApplication::translate("NamedSettings", text);
}

QString quotedList(const QStringList &names)
{
    QStringList quoted;
    for (const QString &name : names)
        quoted << quoteIdentifier(name);
    return quoted.join(QStringLiteral(", "));
}

// Runs the steps as one transaction: all of it is kept, or none.
DbError inTransaction(Database &database, const std::function<DbError()> &steps)
{
    if (const DbError error = database.begin(); error.isError())
        return error;
    DbError error = steps();
    if (!error.isError())
        error = database.commit();
    if (error.isError())
        static_cast<void>(database.rollback());
    return error;
}

// The record table positioned on the settings of that name (noMatch() when
// there is none).
Result<Recordset> seekSettings(Database &database, const QString &name)
{
    Result<Recordset> rows = database.openRecordset(recordTable, RecordsetType::Table);
    if (!rows)
        return rows;
    if (DbError error = rows.value().setIndex(keyIndex); error.isError())
        return error;
    if (DbError error = rows.value().seek(QStringLiteral("="), {storedName(name)}); error.isError())
        return error;
    return rows;
}

// The column table's definition. Its heading takes as many characters as the
// layout's own heading field, so every heading of the layout fits the copy.
TableDef columnTableDef(Database &database, const QString &table)
{
    FieldDef heading = FieldDef::text(columnFields.at(0));
    if (const Result<QList<FieldDef>> layout = database.fields(layoutTable)) {
        for (const FieldDef &field : layout.value()) {
            if (field.name.compare(layoutFields.at(0), Qt::CaseInsensitive) == 0 && field.isText()) {
                heading.type = field.type;
                heading.size = field.size;
            }
        }
    }
    TableDef definition{table, {heading}};
    for (qsizetype i = 1; i < columnFields.size(); ++i)
        definition.fields << FieldDef::of(columnFields.at(i), FieldType::Long);
    return definition;
}

// A table of the settings' name that is there already must have the five
// fields the rows are copied into.
DbError checkColumnTable(Database &database, const QString &table)
{
    const Result<QList<FieldDef>> found = database.fields(table);
    if (!found)
        return found.error();
    for (const QString &wanted : columnFields) {
        bool there = false;
        for (const FieldDef &field : found.value())
            there = there || field.name.compare(wanted, Qt::CaseInsensitive) == 0;
        if (!there)
            return DbError::make(ErrorNumber::ItemNotFound, wanted);
    }
    return {};
}

QVariant cell(const std::optional<int> &number)
{
    return number ? QVariant(*number) : QVariant();
}

DbError storeColumns(Database &database, const QString &table, ColumnsFrom from, const ColumnSpecs &given,
                     bool newSettings)
{
    if (from == ColumnsFrom::Layout) {
        const Result<QString> layout = database.findTable(layoutTable);
        if (!layout)
            return layout.error();
        const Result<QVariant> count =
            database.queryValue(QStringLiteral("SELECT count(*) FROM ") + quoteIdentifier(layout.value()));
        if (!count)
            return count.error();
        // An empty layout leaves the rows an existing settings had; new
        // settings never take over rows left in a table of their name.
        if (count.value().toLongLong() == 0 && !newSettings)
            return {};
        if (const auto cleared = database.exec(QStringLiteral("DELETE FROM ") + quoteIdentifier(table)); !cleared)
            return cleared.error();
        return database
            .exec(QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4 ORDER BY rowid")
                      .arg(quoteIdentifier(table), quotedList(columnFields), quotedList(layoutFields),
                           quoteIdentifier(layout.value())))
            .error();
    }
    if (const auto cleared = database.exec(QStringLiteral("DELETE FROM ") + quoteIdentifier(table)); !cleared)
        return cleared.error();
    const QString insert = QStringLiteral("INSERT INTO %1 (%2) VALUES (?, ?, ?, ?, ?)")
                               .arg(quoteIdentifier(table), quotedList(columnFields));
    for (const ColumnSpec &row : given) {
        const auto added = database.exec(insert, {row.column_heading, cell(row.get_data_from_column),
                                                  cell(row.number_of_characters), cell(row.spaces_b4_next_column),
                                                  cell(row.field_width)});
        if (!added)
            return added.error();
    }
    return {};
}

} // namespace

QString storedName(const QString &name)
{
    return prefix + name;
}

QString nameOf(const QString &stored)
{
    return stored.mid(prefix.size());
}

QString nameRefusal(const QString &name)
{
    // These would name the program's own tabwrite_settings and tabwrite_allFields.
    for (const QString &own : {QStringLiteral("settings"), QStringLiteral("allFields")}) {
        if (name.compare(own, Qt::CaseInsensitive) == 0)
            return tr("The name %1 would give the settings one of Tabwright's own tables (%2).  Please choose "
                      "another name.")
                .arg(name, prefix + own);
    }
    if (name.size() > maxNameLength)
        return tr("The name of the settings can be at most %1 characters long; this one has %2.")
            .arg(maxNameLength)
            .arg(name.size());
    if (!isValidTableName(storedName(name)))
        return tr("The name of the settings cannot hold line breaks, tabs or other control characters.");
    return {};
}

Result<QStringList> settingsNames(Database &database)
{
    Result<Recordset> opened = database.openRecordset(recordTable, RecordsetType::Table);
    if (!opened)
        return opened.error();
    Recordset &rows = opened.value();
    if (const DbError error = rows.setIndex(keyIndex); error.isError())
        return error;
    QStringList names;
    for (DbError moved = rows.moveFirst(); !rows.isEof(); moved = rows.moveNext()) {
        if (moved.isError())
            return moved;
        const Result<QVariant> stored = rows.value(keyIndex);
        if (!stored)
            return stored.error();
        if (!stored.value().toString().isEmpty())
            names << nameOf(stored.value().toString());
    }
    return names;
}

Result<std::optional<StoredSettings>> findSettings(Database &database, const QString &name)
{
    Result<Recordset> found = seekSettings(database, name);
    if (!found)
        return found.error();
    Recordset &rows = found.value();
    if (rows.noMatch())
        return std::optional<StoredSettings>();
    StoredSettings settings;
    settings.storedName = rows.value(keyIndex).valueOr({}).toString();
    for (qsizetype i = 0; i < fields().size(); ++i) {
        // A store of another make may lack a field: it stays empty.
        if (rows.fieldIndex(fields().at(i).name) < 0)
            continue;
        const Result<QVariant> value = rows.value(fields().at(i).name);
        if (!value)
            return value.error();
        settings.record.setValue(i, value.value());
    }
    return std::optional<StoredSettings>(std::move(settings));
}

Result<ColumnSpecs> settingsColumns(Database &database, const QString &name)
{
    const Result<QString> table = database.findTable(storedName(name));
    if (!table)
        return table.error().number == ErrorNumber::ObjectNotFound ? Result<ColumnSpecs>(ColumnSpecs{})
                                                                   : Result<ColumnSpecs>(table.error());
    return readColumnSpecs(database, table.value());
}

DbError writeSettingsRecord(Recordset &rows, const QString &stored, const SettingsRecord &record)
{
    if (const DbError error = rows.setValue(keyIndex, stored); error.isError())
        return error;
    for (qsizetype i = 0; i < fields().size(); ++i) {
        if (const DbError error = rows.setValue(fields().at(i).name, record.value(i)); error.isError())
            return error;
    }
    return rows.update();
}

DbError saveSettings(Database &database, const QString &name, const SettingsRecord &record, ColumnsFrom from,
                     const ColumnSpecs &given)
{
    if (!nameRefusal(name).isEmpty() || name.isEmpty())
        return DbError::make(ErrorNumber::InvalidName, name);
    return inTransaction(database, [&]() -> DbError {
        Result<Recordset> found = seekSettings(database, name);
        if (!found)
            return found.error();
        Recordset &rows = found.value();
        const bool newSettings = rows.noMatch();
        if (const DbError error = newSettings ? rows.addNew() : rows.edit(); error.isError())
            return error;
        if (const DbError error = writeSettingsRecord(rows, storedName(name), record); error.isError())
            return error;

        QString table = storedName(name);
        if (const Result<QString> there = database.findTable(table)) {
            table = there.value();
            if (const DbError error = checkColumnTable(database, table); error.isError())
                return error;
        } else if (there.error().number != ErrorNumber::ObjectNotFound) {
            return there.error();
        } else if (const DbError error = database.createTable(columnTableDef(database, table)); error.isError()) {
            return error;
        }
        return storeColumns(database, table, from, given, newSettings);
    });
}

Result<bool> deleteSettings(Database &database, const QString &name)
{
    bool found = false;
    const DbError error = inTransaction(database, [&]() -> DbError {
        Result<Recordset> seeked = seekSettings(database, name);
        if (!seeked)
            return seeked.error();
        if (!seeked.value().noMatch()) {
            found = true;
            if (const DbError deleted = seeked.value().deleteRecord(); deleted.isError())
                return deleted;
        }
        const Result<QString> table = database.findTable(storedName(name));
        if (!table)
            return table.error().number == ErrorNumber::ObjectNotFound ? DbError() : table.error();
        found = true;
        return database.dropTable(table.value());
    });
    if (error.isError())
        return error;
    return found;
}

DbError loadColumnLayout(Database &database, const QString &name)
{
    return inTransaction(database, [&]() -> DbError {
        const Result<QString> layout = database.findTable(layoutTable);
        if (!layout)
            return layout.error();
        const auto cleared =
            database.exec(QStringLiteral("DELETE FROM %1 WHERE %2 IS NOT NULL")
                              .arg(quoteIdentifier(layout.value()), quoteIdentifier(layoutFields.at(1))));
        if (!cleared)
            return cleared.error();
        // Settings without a column table have no column rows.
        const Result<QString> table = database.findTable(storedName(name));
        if (!table)
            return table.error().number == ErrorNumber::ObjectNotFound ? DbError() : table.error();
        // The rows without a start column stayed; their copies would pile up
        // with every select.
        return database
            .exec(QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4 WHERE %5 IS NOT NULL ORDER BY rowid")
                      .arg(quoteIdentifier(layout.value()), quotedList(layoutFields), quotedList(columnFields),
                           quoteIdentifier(table.value()), quoteIdentifier(columnFields.at(1))))
            .error();
    });
}

} // namespace tw::settings
