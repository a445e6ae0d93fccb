// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/engine/lineframe.h"
#include "core/engine/textparams.h"

#include <QString>
#include <QStringView>

// Tabwrite: lays every line out in fixed columns by the ColumnSpec rows,
// under a header line of the column headings, optionally moved right so that
// every line starts at a given column.

namespace tw {

// Checks the rows before anything changes: there must be at least one, and
// every row needs its heading, its number of characters and its spaces, which
// the header line is built from. Returns a refusal naming the first incomplete
// row, or an empty result.
TextResult checkColumnSpecs(const ColumnSpecs &rows);
// The message for the first row whose start column is below 1 (which would
// cut nothing out of any line), naming the row; empty when there is none.
QString startColumnRefusal(const ColumnSpecs &rows);

// The whole run: header line, then every non-empty line laid out; empty lines
// stay empty, without the start-column prefix. An empty text comes back empty.
TextResult tabwriteText(QStringView text, const ColumnSpecs &rows, int tabwriteStartLineAt,
                        FrameObserver *observer = nullptr);

// The header line without its CR LF, prefix included.
QString tabwriteHeader(const ColumnSpecs &rows, int tabwriteStartLineAt);

// One non-empty line laid out by the rows, prefix included. Rows whose values
// cannot be used are passed over as far as they fail.
QString layoutLine(QStringView line, const ColumnSpecs &rows, int tabwriteStartLineAt);

} // namespace tw
