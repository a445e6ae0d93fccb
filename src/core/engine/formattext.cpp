// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/engine/formattext.h"

#include "core/engine/formatplan.h"
#include "core/engine/formatseries.h"
#include "core/engine/spacing.h"
#include "core/engine/textchars.h"

#include <QList>

#include <bit>

namespace tw {

using namespace chars;
using format::Placement;
using format::Plan;

namespace {

constexpr QStringView newLineEntry = u"New line";
constexpr QStringView newColumnEntry = u"New column";

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

// Whether a match of the delimiter can begin or end inside a surrogate pair:
// only when it begins with a low or ends with a high surrogate. For every
// other delimiter a match is always whole characters, so the line need not be
// checked for pairs before searching it.
bool mayCutPairs(QStringView delimiter)
{
    return !delimiter.isEmpty()
        && (cp::isLow(delimiter.front().unicode()) || cp::isHigh(delimiter.back().unicode()));
}

// The first occurrence of what (not empty) at or after from, exact and
// case-sensitive; -1 when there is none. Looks for the first unit eight at a
// time and compares the rest only there.
qsizetype findText(QStringView text, QStringView what, qsizetype from)
{
    const qsizetype len = what.size();
    if (from < 0 || len > text.size() - from)
        return -1;
    const char16_t *begin = text.utf16();
    const char16_t *last = begin + text.size() - len + 1; // past the last start
    const char16_t *w = what.utf16();
    for (const char16_t *p = begin + from;; ++p) {
        p = findUnit(p, last, w[0]);
        if (p == last)
            return -1;
        if (len == 1 || std::memcmp(p + 1, w + 1, size_t(len - 1) * sizeof(char16_t)) == 0)
            return p - begin;
    }
}

// As cp::find: a match that cuts a pair does not count.
inline qsizetype findDelimiter(QStringView line, QStringView what, qsizetype from,
                               bool surrogates)
{
    if (what.size() == 1 && !surrogates) {
        // The usual delimiter, one character: one search, nothing to compare.
        const char16_t *begin = line.utf16();
        const char16_t *end = begin + line.size();
        if (from < 0 || from >= line.size())
            return -1;
        const char16_t *p = findUnitWithin(begin, begin + from, end, what.front().unicode());
        return p == end ? -1 : p - begin;
    }
    qsizetype at = findText(line, what, from);
    if (!surrogates)
        return at;
    while (at >= 0 && !(cp::isBoundary(line, at) && cp::isBoundary(line, at + what.size())))
        at = findText(line, what, at + 1);
    return at;
}

} // namespace

namespace {

// The last series pass's result, into a writer or a counter.
template <class Out>
class OutSink final : public format::PieceSink
{
public:
    explicit OutSink(Out &out) : m_out(out) {}
    void take(QStringView piece) override { m_out.put(piece); }

private:
    Out &m_out;
};

} // namespace

// Formats lines by a plan, reusing its buffers from line to line. Every
// routine writes into a UnitWriter or, with the same steps, only counts into
// a UnitCounter, so that a result's size is known before it is built.
class FormatEngine
{
public:
    explicit FormatEngine(Plan plan) : m_plan(std::move(plan))
    {
        // Whether a line has to be checked for surrogate pairs at all: the
        // text copied from a column counts characters, and a delimiter with
        // a surrogate at an edge must not match half a pair.
        m_checkPairs = m_plan.place != Placement::None && !m_plan.typed;
        m_checkPairs = m_checkPairs || mayCutPairs(m_plan.delimiter);
        for (const QString &c : std::as_const(m_plan.seriesChars))
            m_checkPairs = m_checkPairs || mayCutPairs(c);
        const char16_t first = m_plan.delimiter.isEmpty() ? 0 : m_plan.delimiter.front().unicode();
        m_plain = !m_plan.series && m_plan.delimiter.size() == 1 && first != cr && first != lf
            && (first & 0xF800) != 0xD800 && m_plan.place == Placement::None && !m_plan.move;
        if (m_plan.series && m_plan.newColumn)
            m_seriesColumns = std::make_unique<format::SeriesColumns>(m_plan);
    }

    // The most units a text of this many units and lines can become, without
    // looking at it (saturating). Below the limit, no run can be refused.
    qsizetype bound(qsizetype units, qsizetype lines) const
    {
        const qsizetype added = m_plan.maxAddedUnits();
        // A delimiter is at least one unit, so a line has at most as many
        // sections as units, plus one.
        const qsizetype gap = m_plan.newColumn ? m_plan.between : 2;
        const qsizetype passes = m_plan.series && m_plan.newColumn ? m_plan.seriesChars.size() : 1;
        qsizetype size = units;
        for (qsizetype j = 0; j < passes; ++j) {
            // Each pass: every unit may be a delimiter followed by the gap and
            // a text, and every line gets one more text.
            size = saturatingAdd(saturatingMul(size, saturatingAdd(1 + gap, added)), saturatingMul(lines, added));
            if (size > maxResultLength)
                return size;
        }
        return size;
    }

    // The usual run: one delimiter character, nothing added or moved. Then a
    // line's result is the line with what goes after every delimiter put in,
    // and a text of many lines can be formatted in one pass over it, without
    // finding its lines first. Only for a text whose result cannot pass the
    // limit, so that nothing needs counting.
    bool plainFits(QStringView text) const
    {
        const qsizetype between = m_plan.newColumn ? m_plan.between : 2;
        // The most one unit can become, every line's CR LF counted as well.
        return m_plain && text.size() <= (maxResultLength - 2) / (2 + between);
    }

    qsizetype formatPlainText(UnitWriter &out, QStringView text)
    {
        const qsizetype between = m_plan.newColumn ? m_plan.between : 2;
        const char16_t delimiter = m_plan.delimiter.front().unicode();
        const qsizetype kept = m_plan.remove ? 0 : 1;
        const char16_t *begin = text.utf16();
        const char16_t *end = begin + text.size();
        const char16_t *copied = begin;
        qsizetype breaks = 0;
        // Every CR and delimiter is a stop: a CR LF counts a line (only that
        // pair ends one, and the delimiter is never CR or LF), a delimiter
        // sends what came before it out.
        const auto stop = [&](const char16_t *p) {
            if (*p == cr) {
                breaks += end - p >= 2 && p[1] == lf;
                return;
            }
            out.put(copied, p - copied + kept);
            if (m_plan.newColumn)
                out.putSpaces(between);
            else
                out.putCrLf();
            copied = p + 1;
        };
        const char16_t *p = begin;
#if defined(__SSE2__)
        // Eight units at a time, taking every stop of the eight from one
        // comparison rather than searching again after each.
        const __m128i delimiters = _mm_set1_epi16(short(delimiter));
        const __m128i crs = _mm_set1_epi16(short(cr));
        for (; end - p >= 8; p += 8) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            unsigned mask = unsigned(_mm_movemask_epi8(
                _mm_or_si128(_mm_cmpeq_epi16(v, delimiters), _mm_cmpeq_epi16(v, crs))));
            while (mask) {
                const int bit = std::countr_zero(mask);
                mask &= ~(3u << bit); // a unit is two bits of the mask
                stop(p + (bit >> 1));
            }
        }
#endif
        for (; p < end; ++p) {
            if (*p == delimiter || *p == cr)
                stop(p);
        }
        out.put(copied, end - copied);
        return breaks + 1;
    }

    // Appends the formatted form of one non-empty line to out. False when
    // what one line (or one pass over it) produces would pass limit; out then
    // holds part of it.
    template <class Out>
    bool formatLine(Out &out, QStringView line, qsizetype limit)
    {
        const bool surrogates = m_checkPairs && cp::hasSurrogates(line);
        const qsizetype start = out.size();
        if (!m_plan.series)
            return split(out, start, limit, line, m_plan.delimiter, addedText(line, surrogates), surrogates);
        if (m_plan.newColumn) {
            OutSink<Out> sink(out);
            return m_seriesColumns->run(line, sink, limit);
        }
        return seriesLines(out, start, limit, line, surrogates);
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

    template <class Out>
    void appendSection(Out &out, QStringView section, QStringView added, bool first) const
    {
        if (added.isEmpty() || (first && m_plan.exemptFirst)) {
            out.put(section);
        } else if (m_plan.place == Placement::Start) {
            out.put(added);
            out.put(section);
        } else {
            out.put(section);
            out.put(added);
        }
    }

private:
    // Splits at a delimiter matched whole. New line puts CR LF after every
    // found section, New column puts the spaces between columns there; the
    // last section (no delimiter after it) gets neither. Only the line's
    // first section counts as the first delimited section.
    template <class Out>
    bool split(Out &out, qsizetype start, qsizetype limit, QStringView line, QStringView delim,
               QStringView added, bool surrogates)
    {
        const qsizetype size = line.size();
        const qsizetype len = delim.size();
        qsizetype pos = 0;
        for (qsizetype k = 1;; ++k) {
            const bool first = k == 1;
            const qsizetype p = len > 0 ? findDelimiter(line, delim, pos, surrogates) : -1;
            if (p < 0) {
                // With the delimiter moved, the last column begins with the
                // delimiter in front of it.
                const qsizetype from = m_plan.move ? qMax<qsizetype>(pos - len, 0) : pos;
                appendSection(out, from < size ? line.sliced(from) : QStringView(), added, first);
                return out.size() - start <= limit;
            }
            QStringView section;
            if (m_plan.move)
                section = k == 1 ? line.first(p) : line.sliced(pos - len, p - (pos - len));
            else
                section = line.sliced(pos, (m_plan.remove ? p : p + len) - pos);
            appendSection(out, section, added, first);
            if (m_plan.newColumn)
                out.putSpaces(m_plan.between);
            else
                out.putCrLf();
            pos = p + len;
            if (out.size() - start > limit)
                return false;
        }
    }

    // New line with a series: one scan that looks for the series' characters
    // in turn and starts over after a complete cycle.
    template <class Out>
    bool seriesLines(Out &out, qsizetype start, qsizetype limit, QStringView line, bool surrogates)
    {
        const QStringView added = addedText(line, surrogates);
        const qsizetype n = m_plan.seriesChars.size();
        qsizetype pos = 0;
        for (qsizetype j = 1;; ++j) {
            const qsizetype i = j <= n
                ? findDelimiter(line, m_plan.seriesChars[j - 1], pos, surrogates)
                : -1;
            if (i < 0) {
                appendSection(out, pos < line.size() ? line.sliced(pos) : QStringView(), added,
                              j == 1);
                return out.size() - start <= limit;
            }
            const qsizetype len = m_plan.seriesChars[j - 1].size();
            appendSection(out, line.sliced(pos, (m_plan.remove ? i : i + len) - pos), added,
                          j == 1);
            out.putCrLf();
            pos = i + len;
            if (pos < line.size() && j == n)
                j = 0;
            if (out.size() - start > limit)
                return false;
        }
    }

    Plan m_plan;
    bool m_checkPairs = false;
    bool m_plain = false;
    QString m_added;
    std::unique_ptr<format::SeriesColumns> m_seriesColumns;
};

LineFormatter::LineFormatter(const FormatParams &params)
    : m_formatter(std::make_unique<FormatEngine>(makePlan(params)))
{
}

LineFormatter::~LineFormatter() = default;

bool LineFormatter::tooLarge() const
{
    return m_tooLarge;
}

qsizetype LineFormatter::resultLength(QStringView text, FrameObserver *observer, bool exact)
{
    const qsizetype units = text.size();
    const qsizetype lines = units / 2 + 1; // every line but the last ends in CR LF
    // The CR LF before this piece, when one came before.
    const qsizetype join = m_first ? 0 : 2;
    if (!exact && m_formatter->bound(units, lines) <= maxResultLength - join)
        return notCounted; // cannot pass the limit: not worth counting
    UnitCounter counter;
    qsizetype index = m_index;
    qsizetype start = 0;
    for (;;) {
        if (observer)
            observer->lineStarting(index);
        ++index;
        const qsizetype end = nextCrLf(text, start);
        const QStringView line = end < 0 ? text.sliced(start) : text.sliced(start, end - start);
        if (!line.isEmpty() && !m_formatter->formatLine(counter, line, maxResultLength))
            return -1;
        if (end < 0)
            break;
        counter.putCrLf();
        start = end + 2;
        if (counter.size() > maxResultLength)
            return -1;
    }
    const qsizetype total = counter.size() + join;
    return total > maxResultLength ? -1 : total;
}

void LineFormatter::addLines(QStringView text, QString &out, FrameObserver *observer,
                             const UnitWriter::Spill *spill)
{
    m_tooLarge = false;
    // The size first: a result too large to hold is refused before any of it
    // is built.
    const qsizetype length = resultLength(text, observer, false);
    if (length == -1) {
        m_tooLarge = true;
        return;
    }
    if (length > 0 && !spill)
        out.reserve(out.size() + length);
    UnitWriter writer(out, spill);
    if (!observer && m_formatter->plainFits(text)) {
        if (!m_first)
            writer.putCrLf();
        m_index += m_formatter->formatPlainText(writer, text);
        m_first = false;
        return;
    }
    qsizetype start = 0;
    for (;;) {
        if (observer)
            observer->lineStarting(m_index);
        ++m_index;
        const qsizetype end = nextCrLf(text, start);
        const QStringView line = end < 0 ? text.sliced(start) : text.sliced(start, end - start);
        if (!m_first)
            writer.putCrLf();
        m_first = false;
        // Format never sees an empty line: it keeps its place and gets no
        // added text.
        if (!line.isEmpty())
            m_formatter->formatLine(writer, line, maxResultLength);
        if (end < 0)
            break;
        start = end + 2;
    }
}

namespace {

// Copies n bytes, a short run in one or two 16-byte moves where the bytes
// after it up to limit can be read; the caller leaves 16 bytes of room past
// the end of what it writes. Sections between delimiters are short, and a
// library call for each would cost more than the copy.
inline char *copyShort(char *out, const char *from, qsizetype n, const char *limit)
{
#if defined(__SSE2__)
    if (n <= 16 && limit - from >= 16) {
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out),
                         _mm_loadu_si128(reinterpret_cast<const __m128i *>(from)));
        return out + n;
    }
    if (n <= 32 && limit - from >= 32) {
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out),
                         _mm_loadu_si128(reinterpret_cast<const __m128i *>(from)));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 16),
                         _mm_loadu_si128(reinterpret_cast<const __m128i *>(from + 16)));
        return out + n;
    }
#endif
    if (n > 0)
        std::memcpy(out, from, size_t(n));
    return out + n;
}

} // namespace

std::optional<PlainByteFormatter> PlainByteFormatter::make(const FormatParams &params,
                                                           QByteArrayView lineBreak)
{
    const Plan plan = makePlan(params);
    if (plan.series || plan.delimiter.size() != 1 || plan.place != Placement::None || plan.move)
        return std::nullopt;
    const char16_t delimiter = plan.delimiter.front().unicode();
    if (delimiter == 0 || delimiter >= 0x80 || delimiter == cr || delimiter == lf)
        return std::nullopt;
    PlainByteFormatter formatter;
    formatter.m_delimiter = char(delimiter);
    formatter.m_keep = !plan.remove;
    formatter.m_after = plan.newColumn ? QByteArray(plan.between, ' ') : lineBreak.toByteArray();
    formatter.m_afterSize = formatter.m_after.size();
    // Padded to 16 bytes, so that a short line break or run of spaces goes
    // in with copyShort as well.
    formatter.m_after.resize(qMax<qsizetype>(formatter.m_afterSize, 16), ' ');
    return formatter;
}

qsizetype PlainByteFormatter::bound(qsizetype bytes) const
{
    return saturatingMul(bytes, 1 + m_afterSize);
}

void PlainByteFormatter::addBytes(QByteArrayView bytes, QByteArray &out) const
{
    const char *p = bytes.data();
    const char *const end = p + bytes.size();
    const qsizetype kept = m_keep ? 1 : 0;
    const qsizetype after = m_afterSize;

    // The delimiters are counted first, so that the result goes through a
    // plain pointer into room made once.
    qsizetype count = 0;
    const char *q = p;
#if defined(__SSE2__)
    // Matches are counted down in a byte register (each adds -1) and summed
    // every 255 rounds, before a byte could overflow.
    const __m128i wanted = _mm_set1_epi8(m_delimiter);
    const __m128i zero = _mm_setzero_si128();
    while (end - q >= 16) {
        __m128i sums = zero;
        for (int round = 0; round < 255 && end - q >= 16; ++round, q += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(q));
            sums = _mm_sub_epi8(sums, _mm_cmpeq_epi8(v, wanted));
        }
        const __m128i total = _mm_sad_epu8(sums, zero);
        count += _mm_cvtsi128_si32(total) + _mm_cvtsi128_si32(_mm_srli_si128(total, 8));
    }
#endif
    for (; q < end; ++q)
        count += *q == m_delimiter;

    constexpr qsizetype room = 16; // for the 16-byte moves of copyShort
    const qsizetype start = out.size();
    out.resize(start + bytes.size() + count * (kept + after - 1) + room);
    char *o = out.data() + start;
    const char *afterBytes = m_after.constData();
    const char *afterEnd = afterBytes + m_after.size();
    const char *copied = p;
    const auto stop = [&](const char *hit) {
        o = copyShort(o, copied, hit - copied + kept, end);
        o = copyShort(o, afterBytes, after, afterEnd);
        copied = hit + 1;
    };
#if defined(__SSE2__)
    for (; end - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        for (unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, wanted))); mask;
             mask &= mask - 1)
            stop(p + std::countr_zero(mask));
    }
#endif
    for (; p < end; ++p) {
        if (*p == m_delimiter)
            stop(p);
    }
    o = copyShort(o, copied, end - copied, end);
    out.resize(o - out.constData());
}

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

qsizetype formatResultLength(QStringView text, const FormatParams &params)
{
    if (text.isEmpty() || checkFormatParams(params).refused())
        return text.size();
    LineFormatter formatter(params);
    return formatter.resultLength(text, nullptr, true);
}

TextResult formatText(QStringView text, const FormatParams &params, FrameObserver *observer)
{
    if (text.isEmpty())
        return {};
    TextResult check = checkFormatParams(params);
    if (check.refused())
        return check;

    LineFormatter formatter(params);
    TextResult result;
    if (observer)
        observer->runStarting(lineCount(text));
    formatter.addLines(text, result.text, observer);
    if (observer)
        observer->runFinished();
    if (formatter.tooLarge())
        return TextResult::refusal(tooLargeMessage());
    return result;
}

namespace {

QString formatOneLine(QStringView line, FormatParams p)
{
    FormatEngine formatter(makePlan(p));
    QString out;
    UnitWriter writer(out);
    formatter.formatLine(writer, line, maxResultLength);
    writer.finish();
    return out;
}

} // namespace

QString newLine(QStringView line, const FormatParams &params)
{
    FormatParams p = params;
    p.formatCreate = newLineEntry.toString();
    return formatOneLine(line, std::move(p));
}

QString newColumn(QStringView line, const FormatParams &params)
{
    FormatParams p = params;
    p.formatCreate = newColumnEntry.toString();
    return formatOneLine(line, std::move(p));
}

QString formatAddText(QStringView section, QStringView line, bool firstSection,
                      const FormatParams &params)
{
    Plan plan;
    planAddedText(plan, params);
    FormatEngine formatter(std::move(plan));
    QString out;
    UnitWriter writer(out);
    formatter.appendSection(writer, section, formatter.addedText(line, cp::hasSurrogates(line)),
                            firstSection);
    writer.finish();
    return out;
}

} // namespace tw
