// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/engine/lineframe.h"
#include "core/engine/textchars.h"
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

// The layout of a text that may arrive in blocks of whole lines (the command
// line reads it so), with the sizes known before anything is built. The rows
// are checked first (checkColumnSpecs); the start column is 0 to 999.
class TabwriteLayout
{
public:
    TabwriteLayout(const ColumnSpecs &rows, int tabwriteStartLineAt);

    // The header line's length without CR LF, prefix included; -1 when it
    // would be too large to hold.
    qsizetype headerLength() const;
    void writeHeader(QString &out, const chars::UnitWriter::Spill *spill = nullptr) const;

    // The length of the laid-out lines of text with CR LF between them; -1
    // when that would pass limit. A text whose result cannot pass the limit
    // is not counted (notCounted).
    static constexpr qsizetype notCounted = -2;
    qsizetype linesLength(QStringView text, qsizetype limit) const;
    // Appends the laid-out lines with CR LF between them; empty lines stay
    // empty. With a spill, out is only a buffer (see UnitWriter).
    void writeLines(QStringView text, QString &out, FrameObserver *observer = nullptr,
                    const chars::UnitWriter::Spill *spill = nullptr) const;

private:
    ColumnSpecs m_rows;
    qsizetype m_prefix = 0;
    QList<qsizetype> m_gaps; // the spaces after each heading
    bool m_headerFits = false;
    // The header without its outer spaces: this range of the headings and
    // their gaps laid end to end.
    qsizetype m_headerFrom = 0;
    qsizetype m_headerTo = 0;
    qsizetype m_lineSpaces = 0;
    qsizetype m_copyingRows = 0;
};

} // namespace tw
