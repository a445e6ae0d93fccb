// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/engine/textparams.h"

#include <QString>

// The column layout for tabwrite on the command line: one row a line,
// in stored order, "column_heading,get_data_from_column,number_of_characters,
// spaces_b4_next_column[,field_width]". Cells are taken exactly as written, so
// a heading keeps its spaces; an empty number cell is an empty cell of the
// grid, which the layout treats as the window does.

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

} // namespace tw::cli
