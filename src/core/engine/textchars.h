// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/engine/codepoints.h"

#include <QString>
#include <QStringView>

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Character helpers of the whole-text operations, on top of the column
// helpers in codepoints.h: columns count characters while QString indexes
// UTF-16 code units, and a character outside the Basic Multilingual Plane
// must never be cut in half.

namespace tw::chars {

inline constexpr char16_t cr = u'\r';
inline constexpr char16_t lf = u'\n';

// Results above this many characters are refused rather than risking the
// machine's memory on a run that multiplies its text.
inline constexpr qsizetype maxResultLength = qsizetype(1) << 29;

inline QString tooLargeMessage()
{
    return QStringLiteral("The result would be too large to hold (more than %1 characters). "
                          "Nothing was changed.")
        .arg(maxResultLength);
}

// Index of the character after the one starting at unit index u.
inline qsizetype nextChar(QStringView text, qsizetype u)
{
    if (u + 1 < text.size() && cp::isHigh(text[u].unicode()) && cp::isLow(text[u + 1].unicode()))
        return u + 2;
    return u + 1;
}

// The code unit at u, or -1 past the end ("no character", which equals
// neither CR, LF nor a space).
inline int unitAt(QStringView text, qsizetype u)
{
    return u >= 0 && u < text.size() ? int(text[u].unicode()) : -1;
}

// `count` characters starting at the 1-based column `column`; shorter or
// empty where the text ends first, empty for a column below 1.
inline QStringView midChars(QStringView text, qsizetype column, qsizetype count, bool surrogates)
{
    if (column < 1 || count <= 0)
        return {};
    const qsizetype from = cp::advance(text, 0, column - 1, surrogates);
    const qsizetype to = cp::advance(text, from, count, surrogates);
    return text.sliced(from, to - from);
}

// Leading and trailing spaces removed; other white space is kept, since a tab
// can be a delimiter of its own.
inline QStringView trimSpaces(QStringView text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text[from] == u' ')
        ++from;
    while (to > from && text[to - 1] == u' ')
        --to;
    return text.sliced(from, to - from);
}

inline void appendSpaces(QString &out, qsizetype n)
{
    if (n > 0)
        out.resize(out.size() + n, u' ');
}

// Searches over raw code units. Lines are short and texts long, so these run
// eight units at a time where the processor allows and inline, without the
// call and setup a library search costs for every short piece. Each returns
// the first unit in [p, end) that matches, or end.

#if defined(__SSE2__)
namespace detail {
inline __m128i load8(const char16_t *p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
}
inline const char16_t *firstMarked(const char16_t *p, __m128i marks)
{
    const unsigned mask = unsigned(_mm_movemask_epi8(marks));
    return mask ? p + (std::countr_zero(mask) >> 1) : nullptr;
}
} // namespace detail
#endif

inline const char16_t *findUnit(const char16_t *p, const char16_t *end, char16_t c)
{
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi16(short(c));
    for (; end - p >= 8; p += 8) {
        if (const char16_t *hit = detail::firstMarked(p, _mm_cmpeq_epi16(detail::load8(p), wanted)))
            return hit;
    }
#endif
    while (p < end && *p != c)
        ++p;
    return p;
}

// findUnit for a range inside a larger one that begins at floor: the last
// few units are compared in one step, reading up to eight units back from
// end (but not before floor), instead of one by one. Short sections of a
// line are the usual case of a delimiter search.
inline const char16_t *findUnitWithin(const char16_t *floor, const char16_t *p,
                                      const char16_t *end, char16_t c)
{
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi16(short(c));
    for (; end - p >= 8; p += 8) {
        if (const char16_t *hit = detail::firstMarked(p, _mm_cmpeq_epi16(detail::load8(p), wanted)))
            return hit;
    }
    if (p < end && end - floor >= 8) {
        const char16_t *q = end - 8;
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(detail::load8(q), wanted)));
        mask >>= 2 * (p - q); // lanes before p are not part of the range
        return mask ? p + (std::countr_zero(mask) >> 1) : end;
    }
#else
    Q_UNUSED(floor);
#endif
    while (p < end && *p != c)
        ++p;
    return p;
}

// The first unit that is a or b.
inline const char16_t *findEitherUnit(const char16_t *p, const char16_t *end, char16_t a,
                                      char16_t b)
{
#if defined(__SSE2__)
    const __m128i as = _mm_set1_epi16(short(a));
    const __m128i bs = _mm_set1_epi16(short(b));
    for (; end - p >= 8; p += 8) {
        const __m128i v = detail::load8(p);
        if (const char16_t *hit = detail::firstMarked(
                p, _mm_or_si128(_mm_cmpeq_epi16(v, as), _mm_cmpeq_epi16(v, bs))))
            return hit;
    }
#endif
    while (p < end && *p != a && *p != b)
        ++p;
    return p;
}

// The first CR or LF.
inline const char16_t *findBreakUnit(const char16_t *p, const char16_t *end)
{
#if defined(__SSE2__)
    const __m128i crs = _mm_set1_epi16(short(cr));
    const __m128i lfs = _mm_set1_epi16(short(lf));
    for (; end - p >= 8; p += 8) {
        const __m128i v = detail::load8(p);
        if (const char16_t *hit = detail::firstMarked(
                p, _mm_or_si128(_mm_cmpeq_epi16(v, crs), _mm_cmpeq_epi16(v, lfs))))
            return hit;
    }
#endif
    while (p < end && *p != cr && *p != lf)
        ++p;
    return p;
}

// The first CR, LF or surrogate (either half).
inline const char16_t *findBreakOrSurrogate(const char16_t *p, const char16_t *end)
{
#if defined(__SSE2__)
    const __m128i crs = _mm_set1_epi16(short(cr));
    const __m128i lfs = _mm_set1_epi16(short(lf));
    const __m128i top = _mm_set1_epi16(short(0xF800));
    const __m128i surrogate = _mm_set1_epi16(short(0xD800));
    for (; end - p >= 8; p += 8) {
        const __m128i v = detail::load8(p);
        const __m128i marks = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi16(v, crs), _mm_cmpeq_epi16(v, lfs)),
            _mm_cmpeq_epi16(_mm_and_si128(v, top), surrogate));
        if (const char16_t *hit = detail::firstMarked(p, marks))
            return hit;
    }
#endif
    while (p < end && *p != cr && *p != lf && (*p & 0xF800) != 0xD800)
        ++p;
    return p;
}

// Index of the first CR LF at or after from, or -1.
inline qsizetype nextCrLf(QStringView text, qsizetype from)
{
    const char16_t *begin = text.utf16();
    const char16_t *end = begin + text.size();
    for (const char16_t *p = begin + from;; ++p) {
        p = findUnit(p, end, cr);
        if (end - p < 2)
            return -1;
        if (p[1] == lf)
            return p - begin;
    }
}

// Appends to a QString through a plain pointer: a result built from many
// small pieces otherwise spends its time in the checks of every append. While
// a writer is open the string's size is its capacity and the units past
// size() are not yet written; finish() (or the destructor) cuts the string to
// what was written. The string must not be touched otherwise meanwhile.
//
// A writer given a spill hands what it holds on whenever its buffer is full
// and starts over, so a result of any size passes through a buffer of fixed
// size (the command line writes it away as it comes). size() still counts
// everything written; view() and truncate() only reach what was not handed on.
class UnitWriter
{
public:
    using Spill = std::function<void(QStringView)>;
    // Units a spilling writer holds before it hands them on.
    static constexpr qsizetype spillUnits = qsizetype(1) << 18;

    explicit UnitWriter(QString &target, const Spill *spill = nullptr)
        : m_target(target), m_used(target.size()), m_spill(spill)
    {
        if (m_spill && target.capacity() < spillUnits)
            target.reserve(spillUnits);
        if (target.capacity() > m_used)
            target.resize(target.capacity());
        attach();
    }
    ~UnitWriter() { finish(); }
    UnitWriter(const UnitWriter &) = delete;
    UnitWriter &operator=(const UnitWriter &) = delete;

    void finish()
    {
        if (m_target.size() != m_used)
            m_target.resize(m_used);
    }
    // Hands everything held on to the spill (nothing without one).
    void spill()
    {
        if (!m_spill || m_used == 0)
            return;
        (*m_spill)(QStringView(m_data, m_used));
        m_spilled += m_used;
        m_used = 0;
    }

    qsizetype size() const { return m_spilled + m_used; }
    QStringView view() const { return QStringView(m_data, m_used); }
    // Forgets what was written from index `size` on; the capacity stays.
    void truncate(qsizetype size) { m_used = qMin(m_used, qMax<qsizetype>(size - m_spilled, 0)); }

    void put(const char16_t *units, qsizetype n)
    {
        if (n > m_capacity - m_used) [[unlikely]] {
            putLarge(units, n);
            return;
        }
        if (n > 0)
            std::memcpy(m_data + m_used, units, size_t(n) * sizeof(char16_t));
        m_used += n;
    }
    void put(QStringView text) { put(text.utf16(), text.size()); }
    void put(char16_t unit)
    {
        reserve(1);
        m_data[m_used++] = unit;
    }
    void putCrLf()
    {
        reserve(2);
        m_data[m_used] = cr;
        m_data[m_used + 1] = lf;
        m_used += 2;
    }
    void putSpaces(qsizetype n)
    {
        while (n > 0) {
            // A spilling writer takes a long run in slices of its buffer.
            const qsizetype step = m_spill ? qMin(n, spillUnits) : n;
            reserve(step);
            std::fill_n(m_data + m_used, step, u' ');
            m_used += step;
            n -= step;
        }
    }

private:
    void putLarge(const char16_t *units, qsizetype n)
    {
        while (m_spill && n > spillUnits) {
            const qsizetype step = spillUnits;
            reserve(step);
            std::memcpy(m_data + m_used, units, size_t(step) * sizeof(char16_t));
            m_used += step;
            units += step;
            n -= step;
        }
        reserve(n);
        if (n > 0)
            std::memcpy(m_data + m_used, units, size_t(n) * sizeof(char16_t));
        m_used += n;
    }
    void reserve(qsizetype n)
    {
        if (n > m_capacity - m_used)
            grow(n);
    }
    void grow(qsizetype n)
    {
        if (m_spill && m_used > 0) {
            spill();
            if (n <= m_capacity)
                return;
        }
        const qsizetype want = qMax(m_used + n, qMax<qsizetype>(m_capacity + m_capacity / 2, 64));
        m_target.resize(want);
        if (m_target.capacity() > want)
            m_target.resize(m_target.capacity());
        attach();
    }
    void attach()
    {
        m_data = reinterpret_cast<char16_t *>(m_target.data());
        m_capacity = m_target.size();
    }

    QString &m_target;
    char16_t *m_data = nullptr;
    qsizetype m_used;
    qsizetype m_capacity = 0;
    const Spill *m_spill = nullptr;
    qsizetype m_spilled = 0;
};

// Counts what a UnitWriter would be given, without writing it: a result's
// size is known before any of it is built.
class UnitCounter
{
public:
    qsizetype size() const { return m_size; }
    void put(const char16_t *, qsizetype n) { m_size += n; }
    void put(QStringView text) { m_size += text.size(); }
    void put(char16_t) { ++m_size; }
    void putCrLf() { m_size += 2; }
    void putSpaces(qsizetype n) { m_size += qMax<qsizetype>(n, 0); }

private:
    qsizetype m_size = 0;
};

// Sums that saturate instead of overflowing, for bounds on a result's size.
inline qsizetype saturatingAdd(qsizetype a, qsizetype b)
{
    qsizetype sum;
    return __builtin_add_overflow(a, b, &sum) ? std::numeric_limits<qsizetype>::max() : sum;
}
inline qsizetype saturatingMul(qsizetype a, qsizetype b)
{
    qsizetype product;
    return __builtin_mul_overflow(a, b, &product) ? std::numeric_limits<qsizetype>::max() : product;
}

} // namespace tw::chars
