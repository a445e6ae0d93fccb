// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>

// Line and column of a caret, counted the way the text operations count them,
// so a user can read the column numbers for an operation off the status bar:
// both 1-based, only CR LF ends a line, a lone CR or LF and a tab are one
// column each, and a character outside the Basic Multilingual Plane is one
// column. Works on the UTF-8 bytes the text box holds, without decoding them.

namespace tw {

struct LineColumn
{
    qsizetype line = 1;
    qsizetype column = 1;
    friend bool operator==(const LineColumn &, const LineColumn &) = default;
};

// The number of CR LF pairs whose LF lies in [from, to); a pair is counted by
// its LF, so counts of adjoining ranges add up.
qsizetype countLineBreaks(QByteArrayView utf8, qsizetype from, qsizetype to);

// The column of the caret at byteOffset (the characters between the last
// CR LF before it and the caret, plus one).
qsizetype columnAt(QByteArrayView utf8, qsizetype byteOffset);

LineColumn lineColumnAt(QByteArrayView utf8, qsizetype byteOffset);

} // namespace tw
