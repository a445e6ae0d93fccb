// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/db/dberror.h"
#include "core/db/result.h"

#include <QString>

#include <functional>

namespace tw {

class Database;

// The name a table is saved under when the table window shows none.
QString exportTableName();

// Whether a table of that name exists, compared without regard to case (the
// engine's catalog tables included: they take a name as well).
Result<bool> isTableNameTaken(const Database &database, const QString &name);

// Copies a table to a new one: fields with the same names, types and sizes,
// every field allowing empty texts and Nulls, rows in the source's order.
// `progress` hears the number of rows copied so far, after the total first
// (as a negative number, so the caller can set up its bar). On a failure
// while copying rows no row is left in the new table.
DbError copyTable(Database &database, const QString &source, const QString &target,
                  const std::function<void(qint64 copied, qint64 total)> &progress = {});

} // namespace tw
