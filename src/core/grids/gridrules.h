// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/db/fielddef.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>

// The rules the table grids share: the record counter, the sort request made
// by a header click or typed at the prompt, and the filter prompt.

namespace tw {

// Whether a cell value reads as a number, the way desktop-database code asks
// IsNumeric: surrounding blanks allowed, nothing else.
bool looksNumeric(const QVariant &value);

// "Record: 3 of 10", or "No record on file." when there is no row.
QString recordCounterText(qint64 position, qint64 count);

// The sort request of a header click: "[name]", "[name] desc" with a modifier.
QString headerSortRequest(const QString &column, bool descending);

struct SortPlan
{
    QString expression; // engine SQL for ORDER BY; "" when the request is empty
    bool descending = false;
    QString column;     // the field the request names, "" for an expression
};

// Turns a sort request ("[Amount]", "amount desc", or any expression) into an
// ORDER BY expression. A request naming a field is quoted as an identifier,
// whatever characters the name holds; a text field whose value in the current
// row reads as a number sorts by value (val()). `currentValue` gives the
// current row's value of a field index.
SortPlan planSort(const QString &request, const QList<FieldDef> &fields,
                  const std::function<QVariant(int)> &currentValue);

// A filter as typed at the prompt, in the engine's SQL.
QString filterExpression(const QString &typed);

// The prompts, exactly as the windows show them.
QString sortPromptText();
QString filterPromptText();

} // namespace tw
