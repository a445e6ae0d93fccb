// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

namespace tw {

// The number at the start of a text, as the BASIC function Val reads it:
// blanks, tabs and line feeds are skipped anywhere, then an optional sign,
// digits with at most one decimal point and an optional exponent (E or D);
// &H and &O prefixes read hexadecimal and octal. Reading stops at the first
// other character; no number gives 0.
double valOf(QStringView text);

// Registers val(x) and isnull(x) on the connection's SQLite handle so user
// SQL can call them. Returns false when the connection is not an SQLite one.
bool registerSqlFunctions(const QSqlDatabase &db);

} // namespace tw
