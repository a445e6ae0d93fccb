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

// The header line without prefix or CR LF. False when it would be too large.
bool buildHeader(QString &header, const ColumnSpecs &rows)
{
    for (const ColumnSpec &row : rows) {
        const qint64 room = qint64(row.number_of_characters.value_or(0))
            + qint64(row.spaces_b4_next_column.value_or(0));
        qint64 gap = room - cp::length(row.column_heading, cp::hasSurrogates(row.column_heading));
        // A heading wider than its column is written whole and followed by
        // the column's full room, which pushes the later headings right.
        if (gap < 0)
            gap = room;
        // Negative counts in the grid give no spaces instead of failing.
        if (gap < 0)
            gap = 0;
        if (header.size() + row.column_heading.size() + gap > maxResultLength)
            return false;
        header += row.column_heading;
        appendSpaces(header, gap);
    }
    header = trimSpaces(header).toString();
    return true;
}

// Appends one laid-out line (prefix included) to out. A row is passed over
// as far as its values cannot be used: without usable spaces it gives
// nothing, without a usable start column or count it gives only its spaces.
// False when the line would grow too large to hold.
bool appendLayout(QString &out, QStringView line, const ColumnSpecs &rows, qsizetype prefix,
                  bool surrogates)
{
    appendSpaces(out, prefix);
    for (const ColumnSpec &row : rows) {
        if (!row.spaces_b4_next_column || *row.spaces_b4_next_column < 0)
            continue;
        if (row.get_data_from_column && *row.get_data_from_column >= 1
            && row.number_of_characters && *row.number_of_characters >= 0)
            out += midChars(line, *row.get_data_from_column, *row.number_of_characters,
                            surrogates);
        if (out.size() + *row.spaces_b4_next_column > maxResultLength)
            return false;
        appendSpaces(out, *row.spaces_b4_next_column);
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
    QString header;
    appendSpaces(header, prefixLength(tabwriteStartLineAt));
    QString headings;
    if (buildHeader(headings, rows))
        header += headings;
    return header;
}

QString layoutLine(QStringView line, const ColumnSpecs &rows, int tabwriteStartLineAt)
{
    QString out;
    appendLayout(out, line, rows, prefixLength(tabwriteStartLineAt), cp::hasSurrogates(line));
    return out;
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

    const qsizetype prefix = prefixLength(tabwriteStartLineAt);
    QString headings;
    if (!buildHeader(headings, rows))
        return TextResult::refusal(tooLargeMessage());

    TextResult result;
    QString &output = result.text;
    output.reserve(prefix + headings.size() + 2 + text.size() + text.size() / 8);
    appendSpaces(output, prefix);
    output += headings;
    output += crlf;

    // The lines follow the header; the frame puts CR LF between them and
    // keeps empty lines empty, without the prefix.
    const bool textSurrogates = cp::hasSurrogates(text);
    QString buffer;
    bool overflow = false;
    LineFrame frame(
        [&](QString &line) {
            if (overflow) {
                line.clear();
                return;
            }
            buffer.truncate(0); // clear() would free the capacity every line
            const bool fits =
                appendLayout(buffer, line, rows, prefix, textSurrogates && cp::hasSurrogates(line));
            std::swap(line, buffer);
            if (!fits || output.size() + line.size() > maxResultLength) {
                overflow = true;
                line.clear();
            }
        },
        LineGate{}, output);

    if (observer)
        observer->runStarting(lineCount(text));
    QString line;
    qsizetype start = 0;
    for (qsizetype index = 0;; ++index) {
        if (observer)
            observer->lineStarting(index);
        const qsizetype end = text.indexOf(crlf, start);
        const QStringView piece = end < 0 ? text.sliced(start) : text.sliced(start, end - start);
        line.resize(piece.size());
        std::copy(piece.begin(), piece.end(), line.begin());
        frame.addLine(line);
        if (end < 0 || overflow)
            break;
        start = end + 2;
    }
    if (observer)
        observer->runFinished();
    if (overflow)
        return TextResult::refusal(tooLargeMessage());
    return result;
}

} // namespace tw
