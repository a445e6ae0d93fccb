// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/codepoints.h"

#include <QString>
#include <QStringView>

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

} // namespace tw::chars
