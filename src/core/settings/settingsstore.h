// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/db/result.h"
#include "core/engine/textparams.h"
#include "core/settings/settingsrecord.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace tw {
class Database;
class Recordset;
}

// Named settings in a database: one row of tabwrite_allFields per settings,
// keyed by its stored name ("tabwrite_" + name) through the index
// nameOfSettings, and a table of that same name holding a copy of the column
// layout rows. Names compare without regard to case everywhere, like table
// names. Each change is one transaction: a record and its column table are
// stored, or deleted, together or not at all.

namespace tw::settings {

// The stored name holds 255 characters, its prefix included.
inline constexpr int maxNameLength = 255 - 9;

QString storedName(const QString &name);
// The name a stored name stands for (without its prefix).
QString nameOf(const QString &storedName);

// Why a name cannot name settings, or "" when it can. An empty name is left
// to the caller, which has its own message for it.
QString nameRefusal(const QString &name);

// The names in ascending order of their stored names.
Result<QStringList> settingsNames(Database &database);

struct StoredSettings
{
    QString storedName;
    SettingsRecord record;
};
// Nothing when no settings has that name.
Result<std::optional<StoredSettings>> findSettings(Database &database, const QString &name);

// The rows of a settings' column table in stored order; none without one.
Result<ColumnSpecs> settingsColumns(Database &database, const QString &name);

// Sets the fields of the row a table-type record set on tabwrite_allFields
// is adding or editing, in record order, and stores the row.
DbError writeSettingsRecord(Recordset &rows, const QString &storedName, const SettingsRecord &record);

// Where a saved settings' column rows come from: the column layout of the
// same database (tabwrite_settings; an empty layout leaves the rows an
// existing settings had), or the rows given, which replace them all.
enum class ColumnsFrom { Layout, Given };

// Stores a settings under the name, new or over the one of that name, with
// its column table. A column table left over without its record is taken
// over and refilled.
DbError saveSettings(Database &database, const QString &name, const SettingsRecord &record, ColumnsFrom from,
                     const ColumnSpecs &given = {});

// Deletes the record and the column table; false when neither was there.
// Fails, touching nothing, in a database that keeps no settings.
Result<bool> deleteSettings(Database &database, const QString &name);

// Replaces the rows of the column layout that have a start column by the
// settings' column rows that have one, which follow the rows left.
DbError loadColumnLayout(Database &database, const QString &name);

} // namespace tw::settings
