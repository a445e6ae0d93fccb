// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

namespace tw {

// A select whose every row is one row of one stored table: one table after
// FROM, no DISTINCT, joins, grouping, compound or limit. Only such a result
// can be written back row by row. The parts are the statement's own text.
struct SimpleSelect {
    QString columns; // the select list, as written
    QString from;    // the table and its alias, as written
    QString table;   // the table's name, unquoted
    QString where;   // the condition, "" without one
    QString orderBy; // the order, "" without one
};

// The parts of an engine select of that form; nothing for any other
// statement. Whether each column is a plain field of the table is for the
// engine to say (see QueryRows).
std::optional<SimpleSelect> parseSimpleSelect(const QString &engineSql);

} // namespace tw
