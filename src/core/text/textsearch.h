// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QStringView>

// The searches of the Search window, on the text alone. Positions are indices
// into the QString (UTF-16 units); the window turns them into the box's
// positions. Matches may overlap: each search goes on one character after the
// start of the previous match.

namespace tw {

struct SearchOptions
{
    bool ignoreCase = true;
    bool wholeWord = false;
};

// Words are made of ASCII letters only: any other character (digits, spaces,
// punctuation, line breaks, accented and non-Latin letters) separates them.
constexpr bool separatesWords(char32_t c)
{
    return c < 65 || (c >= 91 && c <= 96) || c > 122;
}

// The first match starting at or after from, or -1. A whole-word search skips
// matches touching an ASCII letter on either side and goes on after them.
qsizetype findMatch(QStringView text, QStringView needle, qsizetype from, const SearchOptions &options);

// The index just after the character starting at position: one unit, or two
// for a surrogate pair, so a search going on never starts inside a pair.
qsizetype nextCharacter(QStringView text, qsizetype position);

// Every match, overlapping ones included, in order.
QList<qsizetype> findAllMatches(QStringView text, QStringView needle, const SearchOptions &options);

} // namespace tw
