// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/db/result.h"
#include "core/engine/textparams.h"

#include <QString>

namespace tw {

class Database;

// The column layout rows as the table tabwrite_settings holds them, in the
// order they were added (no reader ever sorts them). An empty or non-numeric
// number cell reads as an empty cell. A table without one of the five
// fields fails with 3265.
Result<ColumnSpecs> readColumnSpecs(Database &database);
// The same from another table of those five fields (a named settings' copy).
Result<ColumnSpecs> readColumnSpecs(Database &database, const QString &table);

// The caption of the column layout grid: "Settings: " and the name of the
// current named settings (stored as "tabwrite_" + name), or the grid's own
// caption when none is current.
QString specGridCaption(const QString &currentSettingsName);

// The caption of the grid's data control: "Record 2 of 3", or
// "Enter new record" on the empty row where a new one is typed.
QString specPositionCaption(qint64 row, qint64 count);
// When the data control itself moves: "Criteria 2 of 3".
QString specCriteriaCaption(qint64 position, qint64 count);

} // namespace tw
