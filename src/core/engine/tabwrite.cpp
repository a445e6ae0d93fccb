// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/engine/tabwrite.h"

#include "core/engine/textchars.h"

#include <QStringList>

namespace tw {

namespace {

using namespace chars;

qsizetype prefixLength(int tabwriteStartLineAt)
{
    // Only a start column beyond the first moves the lines right.
    return tabwriteStartLineAt > 1 ? qsizetype(tabwriteStartLineAt) - 1 : 0;
}

// The spaces after a heading in the header line.
qint64 headerGap(const ColumnSpec &row)
{
    const qint64 room = qint64(row.number_of_characters.value_or(0)) + qint64(row.spaces_b4_next_column.value_or(0));
    qint64 gap = room - cp::length(row.column_heading, cp::hasSurrogates(row.column_heading));
    // A heading wider than its column is written whole and followed by
    // the column's full room, which pushes the later headings right.
    if (gap < 0)
        gap = room;
    // Negative counts in the grid give no spaces instead of failing.
    return qMax<qint64>(gap, 0);
}

// Spaces at the start of a text, and at its end.
qsizetype leadingSpaces(QStringView text)
{
    qsizetype n = 0;
    while (n < text.size() && text[n] == u' ')
        ++n;
    return n;
}
qsizetype trailingSpaces(QStringView text)
{
    qsizetype n = 0;
    while (n < text.size() && text[text.size() - 1 - n] == u' ')
        ++n;
    return n;
}

// Whether a row gives a column: it needs its spaces. Its text is copied
// only when its start column and count are usable too.
bool givesColumn(const ColumnSpec &row)
{
    return row.spaces_b4_next_column && *row.spaces_b4_next_column >= 0;
}
bool copiesText(const ColumnSpec &row)
{
    return row.get_data_from_column && *row.get_data_from_column >= 1 && row.number_of_characters
        && *row.number_of_characters >= 0;
}

// Appends one laid-out line (prefix included) to out, a UnitWriter or a
// UnitCounter. A row is passed over as far as its values cannot be used:
// without usable spaces it gives nothing, without a usable start column or
// count it gives only its spaces. False when the line would grow past limit.
template <class Out>
bool appendLayout(Out &out, QStringView line, const ColumnSpecs &rows, qsizetype prefix, bool surrogates,
                  qsizetype limit)
{
    const qsizetype start = out.size();
    out.putSpaces(prefix);
    for (const ColumnSpec &row : rows) {
        if (!givesColumn(row))
            continue;
        if (copiesText(row))
            out.put(midChars(line, *row.get_data_from_column, *row.number_of_characters, surrogates));
        if (out.size() - start + *row.spaces_b4_next_column > limit)
            return false;
        out.putSpaces(*row.spaces_b4_next_column);
    }
    return true;
}

QString missingCells(const ColumnSpec &row)
{
    QStringList missing;
    if (row.column_heading.isEmpty())
        missing << QStringLiteral("column_heading");
    if (!row.number_of_characters)
        missing << QStringLiteral("number_of_characters");
    if (!row.spaces_b4_next_column)
        missing << QStringLiteral("spaces_b4_next_column");
    return missing.join(QStringLiteral(", "));
}

} // namespace

QString startColumnRefusal(const ColumnSpecs &rows)
{
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const std::optional<int> &start = rows[i].get_data_from_column;
        if (start && *start < 1)
            return QStringLiteral("Row %1 of the column specifications starts at column %2.  Columns are counted "
                                  "from 1: please enter 1 or more in its get_data_from_column.")
                .arg(i + 1)
                .arg(*start);
    }
    return {};
}

TextResult checkColumnSpecs(const ColumnSpecs &rows)
{
    if (rows.isEmpty())
        return TextResult::refusal(
            QStringLiteral("There are no column specifications.  Please enter at least one row "
                           "in the grid of the Tabwrite Text tab."));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QString missing = missingCells(rows[i]);
        if (!missing.isEmpty())
            return TextResult::refusal(
                QStringLiteral("Row %1 of the column specifications is incomplete.  Please "
                               "fill in its %2.")
                    .arg(i + 1)
                    .arg(missing));
    }
    // A row from column 0 would cut nothing out of any line and turn every
    // data line into spaces.
    if (const QString refusal = startColumnRefusal(rows); !refusal.isEmpty())
        return TextResult::refusal(refusal);
    return {};
}

QString tabwriteHeader(const ColumnSpecs &rows, int tabwriteStartLineAt)
{
    const TabwriteLayout layout(rows, tabwriteStartLineAt);
    QString header;
    if (layout.headerLength() >= 0)
        layout.writeHeader(header);
    else
        appendSpaces(header, prefixLength(tabwriteStartLineAt));
    return header;
}

QString layoutLine(QStringView line, const ColumnSpecs &rows, int tabwriteStartLineAt)
{
    QString out;
    UnitWriter writer(out);
    appendLayout(writer, line, rows, prefixLength(tabwriteStartLineAt), cp::hasSurrogates(line), maxResultLength);
    return out;
}

TabwriteLayout::TabwriteLayout(const ColumnSpecs &rows, int tabwriteStartLineAt)
    : m_rows(rows), m_prefix(prefixLength(tabwriteStartLineAt))
{
    // The header line is the headings, each followed by its gap, without the
    // spaces at its start and end. It is kept as those pieces, never built
    // whole: a gap may be as wide as the grid allows.
    qsizetype total = 0;
    m_headerFits = true;
    for (const ColumnSpec &row : m_rows) {
        const qint64 gap = headerGap(row);
        total = saturatingAdd(saturatingAdd(total, row.column_heading.size()), gap);
        if (total > maxResultLength)
            m_headerFits = false;
        m_gaps.append(gap);
    }
    if (!m_headerFits)
        return;
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        const QString &heading = m_rows.at(i).column_heading;
        const qsizetype spaces = leadingSpaces(heading);
        m_headerFrom += spaces;
        if (spaces < heading.size())
            break;
        m_headerFrom += m_gaps.at(i);
    }
    m_headerTo = total;
    if (m_headerFrom >= total) {
        m_headerFrom = m_headerTo = 0;
    } else {
        for (qsizetype i = m_rows.size() - 1; i >= 0; --i) {
            m_headerTo -= m_gaps.at(i);
            const QString &heading = m_rows.at(i).column_heading;
            const qsizetype spaces = trailingSpaces(heading);
            m_headerTo -= spaces;
            if (spaces < heading.size())
                break;
        }
    }

    // The most one non-empty line can become: its prefix, every row's spaces
    // and, copied from the line, at most the line itself for every row.
    m_lineSpaces = m_prefix;
    for (const ColumnSpec &row : m_rows) {
        if (givesColumn(row)) {
            m_lineSpaces = saturatingAdd(m_lineSpaces, *row.spaces_b4_next_column);
            if (copiesText(row))
                ++m_copyingRows;
        }
    }
}

qsizetype TabwriteLayout::headerLength() const
{
    return m_headerFits ? m_prefix + m_headerTo - m_headerFrom : -1;
}

void TabwriteLayout::writeHeader(QString &out, const UnitWriter::Spill *spill) const
{
    UnitWriter writer(out, spill);
    writer.putSpaces(m_prefix);
    // Each piece as far as it lies within the trimmed header.
    qsizetype pos = 0;
    const auto clip = [&](qsizetype length, const auto &put) {
        const qsizetype from = qMax(pos, m_headerFrom);
        const qsizetype to = qMin(pos + length, m_headerTo);
        if (from < to)
            put(from - pos, to - from);
        pos += length;
    };
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        const QString &heading = m_rows.at(i).column_heading;
        clip(heading.size(), [&](qsizetype at, qsizetype n) { writer.put(QStringView(heading).sliced(at, n)); });
        clip(m_gaps.at(i), [&](qsizetype, qsizetype n) { writer.putSpaces(n); });
    }
}

qsizetype TabwriteLayout::linesLength(QStringView text, qsizetype limit) const
{
    const qsizetype units = text.size();
    const qsizetype lines = units / 2 + 1;
    const qsizetype bound = saturatingAdd(saturatingAdd(saturatingMul(lines, m_lineSpaces + 2),
                                                        saturatingMul(units, m_copyingRows)), units);
    if (bound <= limit)
        return notCounted;
    const bool textSurrogates = cp::hasSurrogates(text);
    UnitCounter counter;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = nextCrLf(text, start);
        const QStringView line = end < 0 ? text.sliced(start) : text.sliced(start, end - start);
        if (!line.isEmpty()
            && !appendLayout(counter, line, m_rows, m_prefix, textSurrogates && cp::hasSurrogates(line), limit))
            return -1;
        if (end < 0)
            break;
        counter.putCrLf();
        start = end + 2;
        if (counter.size() > limit)
            return -1;
    }
    return counter.size() > limit ? -1 : counter.size();
}

void TabwriteLayout::writeLines(QStringView text, QString &out, FrameObserver *observer,
                                const UnitWriter::Spill *spill) const
{
    UnitWriter writer(out, spill);
    const bool textSurrogates = cp::hasSurrogates(text);
    qsizetype start = 0;
    for (qsizetype index = 0;; ++index) {
        if (observer)
            observer->lineStarting(index);
        const qsizetype end = nextCrLf(text, start);
        const QStringView line = end < 0 ? text.sliced(start) : text.sliced(start, end - start);
        // Empty lines stay empty, without the prefix.
        if (!line.isEmpty())
            appendLayout(writer, line, m_rows, m_prefix, textSurrogates && cp::hasSurrogates(line), maxResultLength);
        if (end < 0)
            break;
        writer.putCrLf();
        start = end + 2;
    }
}

TextResult tabwriteText(QStringView text, const ColumnSpecs &rows, int tabwriteStartLineAt,
                        FrameObserver *observer)
{
    if (text.isEmpty())
        return {};
    if (tabwriteStartLineAt < 0 || tabwriteStartLineAt > 999)
        return TextResult::refusal(
            QStringLiteral("\"New lines start at column:\" must be a number from 0 to 999."),
            QStringLiteral("tabwriteStartLineAt"));
    TextResult check = checkColumnSpecs(rows);
    if (check.refused())
        return check;

    // The size first: a result too large to hold is refused before any of it
    // is built.
    const TabwriteLayout layout(rows, tabwriteStartLineAt);
    const qsizetype header = layout.headerLength();
    if (header < 0)
        return TextResult::refusal(tooLargeMessage());
    const qsizetype lines = layout.linesLength(text, maxResultLength - header - 2);
    if (lines == -1)
        return TextResult::refusal(tooLargeMessage());

    TextResult result;
    QString &output = result.text;
    output.reserve(header + 2 + (lines >= 0 ? lines : text.size() + text.size() / 8));
    layout.writeHeader(output);
    output += crlf;
    if (observer)
        observer->runStarting(lineCount(text));
    layout.writeLines(text, output, observer);
    if (observer)
        observer->runFinished();
    return result;
}

} // namespace tw
