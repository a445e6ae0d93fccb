// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/engine/textparams.h"

#include <QString>

// The column layout for tabwrite on the command line: one row a line,
// in stored order, "column_heading,get_data_from_column,number_of_characters,
// spaces_b4_next_column[,field_width]". Cells are taken exactly as written, so
// a heading keeps its spaces; an empty number cell is an empty cell of the
// grid, which the layout treats as the window does. A heading that starts
// with a double quote is quoted: it ends at the next lone quote, "" stands
// for a quote and \r, \n, \t and \\ for CR, LF, tab and a backslash, so any
// heading (commas and line breaks included) can be written.

namespace tw::cli {

struct ColumnsFile
{
    ColumnSpecs rows;
    QString error; // one line naming the file, the line and the problem
};

// The most bytes a columns file may hold.
inline constexpr qint64 maxColumnsFileBytes = qint64(4) << 20;

ColumnsFile readColumnsFile(const QString &path);
ColumnsFile parseColumns(const QString &text, const QString &name);
// The rows in that format, one line each ending in LF, quoting a heading
// only where it must be.
QString formatColumns(const ColumnSpecs &rows);

// A UTF-8 text file named on the command line ("-" for standard input),
// with CR LF or LF line ends; "" on success, otherwise the problem.
QString readUtf8Argument(const QString &path, QString *text);

} // namespace tw::cli
