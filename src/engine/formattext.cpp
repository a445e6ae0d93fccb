// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/formattext.h"

#include "engine/spacing.h"
#include "engine/textchars.h"

#include <QList>

namespace tw {

namespace {

using namespace chars;

constexpr QStringView newLineEntry = u"New line";
constexpr QStringView newColumnEntry = u"New column";

enum class Placement { None, Start, End };

Placement placementOf(QStringView formatAddText)
{
    // The list offers the "line" pair for New line and the "column" pair for
    // New column; a value of the other pair left in the box works the same.
    if (formatAddText == u"Start of line" || formatAddText == u"Start of column")
        return Placement::Start;
    if (formatAddText == u"End of line" || formatAddText == u"End of column")
        return Placement::End;
    return Placement::None;
}

// Which sections of one split count as the first delimited section.
enum class FirstRule { FirstOnly, All, None };

// Everything a run derives from the parameters once, so the per-line work
// only compares and copies.
struct Plan
{
    bool newColumn = false;
    bool remove = false;
    bool move = false;
    qsizetype between = 0;

    bool series = false;
    QString delimiter;          // a string delimiter, matched whole
    QList<QString> seriesChars; // one character each, in the order entered

    Placement place = Placement::None;
    bool typed = false;         // the text to add is typed, not copied
    QString typedText;          // typed text with its spaces already applied
    qsizetype fromCol = 1;
    qsizetype numChars = 0;
    Padding pad;
    bool exemptFirst = false;
};

void planAddedText(Plan &plan, const FormatParams &p)
{
    plan.place = placementOf(p.formatAddText);
    plan.pad = spacingPadding(p.formatOptions, p.formatSpaces, p.formatPlaceSpaces);
    plan.exemptFirst = p.formatFirstSection == u"No";
    plan.typed = !p.formatTextToAdd.isEmpty();
    if (plan.typed) {
        plan.typedText.fill(u' ', plan.pad.left);
        plan.typedText += p.formatTextToAdd;
        appendSpaces(plan.typedText, plan.pad.right);
    }
    plan.fromCol = p.formatAddFromCol;
    plan.numChars = qMax(p.formatNumOfChars, 0);
}

Plan makePlan(const FormatParams &p)
{
    Plan plan;
    plan.newColumn = p.formatCreate == newColumnEntry;
    plan.remove = p.formatRemoveDelimiter;
    plan.move = plan.newColumn && !plan.remove && p.formatMoveDelimiter == u"Yes";
    plan.between = plan.newColumn ? qMax(p.formatSpacesBetweenCols, 0) : 0;
    planAddedText(plan, p);

    if (p.formatUseDelimiterString) {
        plan.delimiter = p.formatDelimiterString;
        return plan;
    }
    const QStringView trimmed = trimSpaces(p.formatDelimiter);
    if (trimmed.isEmpty()) {
        // Only spaces: the run of spaces as entered is the delimiter.
        plan.delimiter = p.formatDelimiter;
        return plan;
    }
    for (qsizetype u = 0; u < trimmed.size();) {
        const qsizetype next = nextChar(trimmed, u);
        plan.seriesChars.append(trimmed.sliced(u, next - u).toString());
        u = next;
    }
    if (plan.seriesChars.size() == 1) {
        plan.delimiter = plan.seriesChars.first();
        plan.seriesChars.clear();
    } else {
        plan.series = true;
    }
    return plan;
}

// Formats lines by a plan, reusing its buffers from line to line.
class Formatter
{
public:
    explicit Formatter(Plan plan) : m_plan(std::move(plan)) {}

    bool overflow() const { return m_overflow; }

    // Appends the formatted form of one non-empty line to out.
    void formatLine(QString &out, QStringView line)
    {
        const bool surrogates = cp::hasSurrogates(line);
        if (!m_plan.series) {
            split(out, line, m_plan.delimiter, addedText(line, surrogates), FirstRule::FirstOnly,
                  surrogates);
        } else if (m_plan.newColumn) {
            seriesColumns(out, line, surrogates);
        } else {
            seriesLines(out, line, surrogates);
        }
    }

    // The text to add for sections of this line; empty when nothing is added.
    QStringView addedText(QStringView line, bool surrogates)
    {
        if (m_plan.place == Placement::None)
            return {};
        if (m_plan.typed)
            return m_plan.typedText;
        const QStringView copied = midChars(line, m_plan.fromCol, m_plan.numChars, surrogates);
        m_added.fill(u' ', m_plan.pad.left);
        m_added += copied;
        appendSpaces(m_added, m_plan.pad.right);
        return m_added;
    }

    void appendSection(QString &out, QStringView section, QStringView added, bool first) const
    {
        if (added.isEmpty() || (first && m_plan.exemptFirst)) {
            out += section;
        } else if (m_plan.place == Placement::Start) {
            out += added;
            out += section;
        } else {
            out += section;
            out += added;
        }
    }

private:
    bool tooLarge(const QString &out)
    {
        if (out.size() > maxResultLength)
            m_overflow = true;
        return m_overflow;
    }

    // Splits at a delimiter matched whole. New line puts CR LF after every
    // found section, New column puts the spaces between columns there; the
    // last section (no delimiter after it) gets neither.
    void split(QString &out, QStringView line, QStringView delim, QStringView added,
               FirstRule rule, bool surrogates)
    {
        const qsizetype size = line.size();
        const qsizetype len = delim.size();
        qsizetype pos = 0;
        for (qsizetype k = 1;; ++k) {
            const bool first = rule == FirstRule::All || (rule == FirstRule::FirstOnly && k == 1);
            const qsizetype p = len > 0 ? cp::find(line, delim, pos, surrogates) : -1;
            if (p < 0) {
                // With the delimiter moved, the last column begins with the
                // delimiter in front of it.
                const qsizetype from = m_plan.move ? qMax<qsizetype>(pos - len, 0) : pos;
                appendSection(out, from < size ? line.sliced(from) : QStringView(), added, first);
                return;
            }
            QStringView section;
            if (m_plan.move)
                section = k == 1 ? line.first(p) : line.sliced(pos - len, p - (pos - len));
            else
                section = line.sliced(pos, (m_plan.remove ? p : p + len) - pos);
            appendSection(out, section, added, first);
            if (m_plan.newColumn)
                appendSpaces(out, m_plan.between);
            else
                out += crlf;
            pos = p + len;
            if (tooLarge(out))
                return;
        }
    }

    // New line with a series: one scan that looks for the series' characters
    // in turn and starts over after a complete cycle.
    void seriesLines(QString &out, QStringView line, bool surrogates)
    {
        const QStringView added = addedText(line, surrogates);
        const qsizetype n = m_plan.seriesChars.size();
        qsizetype pos = 0;
        for (qsizetype j = 1;; ++j) {
            const qsizetype i = j <= n
                ? cp::find(line, m_plan.seriesChars[j - 1], pos, surrogates)
                : -1;
            if (i < 0) {
                appendSection(out, pos < line.size() ? line.sliced(pos) : QStringView(), added,
                              j == 1);
                return;
            }
            const qsizetype len = m_plan.seriesChars[j - 1].size();
            appendSection(out, line.sliced(pos, (m_plan.remove ? i : i + len) - pos), added,
                          j == 1);
            out += crlf;
            pos = i + len;
            if (pos < line.size() && j == n)
                j = 0;
            if (tooLarge(out))
                return;
        }
    }

    // New column with a series: one split per series character, each pass
    // working on what the pass before left, the text to add included.
    void seriesColumns(QString &out, QStringView line, bool surrogates)
    {
        const qsizetype n = m_plan.seriesChars.size();
        QStringView current = line;
        for (qsizetype j = 1; j <= n; ++j) {
            // Passes alternate between two buffers; the last one writes out.
            QString &target = j == n ? out : (j % 2 ? m_passA : m_passB);
            if (j < n)
                target.truncate(0); // keeps the capacity for the next line
            if (j > 1)
                surrogates = cp::hasSurrogates(current);
            const QStringView added = addedText(current, surrogates);
            split(target, current, m_plan.seriesChars[j - 1], added,
                  j == 1 ? FirstRule::All : FirstRule::None, surrogates);
            if (tooLarge(target))
                return;
            current = target;
        }
    }

    Plan m_plan;
    QString m_added;
    QString m_passA;
    QString m_passB;
    bool m_overflow = false;
};

} // namespace

TextResult checkFormatParams(const FormatParams &p)
{
    if (p.formatUseDelimiterString && p.formatDelimiterString.isEmpty())
        return TextResult::refusal(QStringLiteral("Please enter character(s) to use as a delimiter."),
                                   QStringLiteral("formatDelimiterString"));
    if (!p.formatUseDelimiterString && p.formatDelimiter.isEmpty())
        return TextResult::refusal(
            QStringLiteral("Please enter or select character(s) to use as delimiter(s)."),
            QStringLiteral("formatDelimiter"));
    // The numeric boxes hold three digits; anything else did not come from
    // them and could make a run write without bound.
    const struct
    {
        int value;
        const char *field;
        const char *caption;
    } numbers[] = {
        {p.formatSpacesBetweenCols, "formatSpacesBetweenCols", "Spaces between columns:"},
        {p.formatAddFromCol, "formatAddFromCol", "Add text from column:"},
        {p.formatNumOfChars, "formatNumOfChars", "# of characters:"},
        {p.formatSpaces, "formatSpaces", "# of spaces:"},
    };
    for (const auto &number : numbers) {
        if (number.value < 0 || number.value > 999)
            return TextResult::refusal(
                QStringLiteral("\"%1\" must be a number from 0 to 999.")
                    .arg(QLatin1String(number.caption)),
                QString::fromLatin1(number.field));
    }

    if (p.formatCreate != newLineEntry && p.formatCreate != newColumnEntry)
        return TextResult::refusal(
            QStringLiteral("Please select \"New line\" or \"New column\" in "
                           "\"At delimiter, create:\"."),
            QStringLiteral("formatCreate"));
    if (placementOf(p.formatAddText) != Placement::None && p.formatTextToAdd.isEmpty()
        && p.formatAddFromCol < 1)
        return TextResult::refusal(
            QStringLiteral("The text to add is copied from each line, so \"Add text from "
                           "column:\" needs a column of 1 or more.  Please enter a column, or "
                           "enter the text to add."),
            QStringLiteral("formatAddFromCol"));
    return {};
}

TextResult formatText(QStringView text, const FormatParams &params, FrameObserver *observer)
{
    if (text.isEmpty())
        return {};
    TextResult check = checkFormatParams(params);
    if (check.refused())
        return check;

    Formatter formatter(makePlan(params));
    QString buffer;
    qsizetype produced = 0;
    const LineOperation operation = [&](QString &line) {
        if (formatter.overflow() || produced > maxResultLength) {
            line.clear(); // the run is refused below; stop growing the output
            return;
        }
        buffer.truncate(0); // clear() would free the capacity every line
        formatter.formatLine(buffer, line);
        produced += buffer.size() + 2;
        std::swap(line, buffer);
    };
    // Format never drops a line and never sees an empty one: empty lines keep
    // their place and get no added text.
    TextResult result;
    result.text = runLineFrame(text, operation, LineGate{}, observer);
    if (formatter.overflow() || produced > maxResultLength)
        return TextResult::refusal(tooLargeMessage());
    return result;
}

QString newLine(QStringView line, const FormatParams &params)
{
    FormatParams p = params;
    p.formatCreate = newLineEntry.toString();
    Formatter formatter(makePlan(p));
    QString out;
    formatter.formatLine(out, line);
    return out;
}

QString newColumn(QStringView line, const FormatParams &params)
{
    FormatParams p = params;
    p.formatCreate = newColumnEntry.toString();
    Formatter formatter(makePlan(p));
    QString out;
    formatter.formatLine(out, line);
    return out;
}

QString formatAddText(QStringView section, QStringView line, bool firstSection,
                      const FormatParams &params)
{
    Plan plan;
    planAddedText(plan, params);
    Formatter formatter(std::move(plan));
    QString out;
    formatter.appendSection(out, section, formatter.addedText(line, cp::hasSurrogates(line)),
                            firstSection);
    return out;
}

} // namespace tw
