// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

// Columns count characters, and a character outside the Basic Multilingual
// Plane is two UTF-16 code units (a surrogate pair) that must never be split.
// These helpers map columns and counts to code-unit indexes. Callers check a
// line once with hasSurrogates(); for the usual line without surrogates every
// helper is plain index arithmetic. A surrogate that is not part of a pair
// counts as one character of its own.

namespace tw::cp {

inline bool isHigh(char16_t c) { return (c & 0xFC00) == 0xD800; }
inline bool isLow(char16_t c) { return (c & 0xFC00) == 0xDC00; }

inline bool hasSurrogates(QStringView text)
{
    const char16_t *p = text.utf16();
    const qsizetype n = text.size();
    // Branch-free in blocks so the compiler can vectorise the common case.
    qsizetype i = 0;
    for (; i + 32 <= n; i += 32) {
        unsigned any = 0;
        for (qsizetype k = 0; k < 32; ++k)
            any |= unsigned((p[i + k] & 0xF800) == 0xD800);
        if (any)
            return true;
    }
    for (; i < n; ++i) {
        if ((p[i] & 0xF800) == 0xD800)
            return true;
    }
    return false;
}

// True when index does not fall between the two halves of a pair.
inline bool isBoundary(QStringView text, qsizetype index)
{
    return index <= 0 || index >= text.size()
        || !(isLow(text[index].unicode()) && isHigh(text[index - 1].unicode()));
}

// The code-unit index reached by stepping at most n characters from index.
inline qsizetype advance(QStringView text, qsizetype index, qsizetype n, bool surrogates)
{
    if (n <= 0)
        return index;
    if (!surrogates)
        return index + qMin(n, text.size() - index);
    const qsizetype size = text.size();
    while (n > 0 && index < size) {
        if (isHigh(text[index].unicode()) && index + 1 < size && isLow(text[index + 1].unicode()))
            index += 2;
        else
            ++index;
        --n;
    }
    return index;
}

// The code-unit index of a 1-based column; the text's size when the column
// lies past the end. Columns below 1 count as 1.
inline qsizetype indexOfColumn(QStringView text, qsizetype column, bool surrogates)
{
    return advance(text, 0, column - 1, surrogates);
}

// Number of characters in the text.
inline qsizetype length(QStringView text, bool surrogates)
{
    if (!surrogates)
        return text.size();
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!(isLow(text[i].unicode()) && i > 0 && isHigh(text[i - 1].unicode())))
            ++count;
    }
    return count;
}

// The code-unit index where the last n characters begin (0 when the text has
// no more than n).
inline qsizetype indexOfLastChars(QStringView text, qsizetype n, bool surrogates)
{
    if (n <= 0)
        return text.size();
    if (!surrogates)
        return qMax<qsizetype>(0, text.size() - n);
    qsizetype index = text.size();
    while (n > 0 && index > 0) {
        if (index >= 2 && isLow(text[index - 1].unicode()) && isHigh(text[index - 2].unicode()))
            index -= 2;
        else
            --index;
        --n;
    }
    return index;
}

// The first occurrence of what at or after code-unit index from that neither
// begins nor ends inside a pair; -1 when there is none. Exact and
// case-sensitive.
inline qsizetype find(QStringView text, QStringView what, qsizetype from, bool surrogates)
{
    qsizetype at = text.indexOf(what, from);
    if (!surrogates)
        return at;
    while (at >= 0 && !(isBoundary(text, at) && isBoundary(text, at + what.size())))
        at = text.indexOf(what, at + 1);
    return at;
}

} // namespace tw::cp
