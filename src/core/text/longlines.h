// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The text box lays out a whole line at once, and a line of tens of
// megabytes (what Create Line makes of a big text) took it many minutes. Such
// a text is shown with its very long lines cut into pieces the box draws at
// once; the working text itself stays as it is.

namespace tw {

// A line longer than this many characters (between CR or LF characters, as
// the box breaks lines) is shown in pieces.
inline constexpr qsizetype longLineLength = 100'000;
inline constexpr qsizetype longLinePiece = 1'000;

// The text with every line longer than longLine characters cut by an LF after
// every `piece` characters (never inside a surrogate pair); a null string when
// the text has no such line, so it can be shown as it is.
QString longLinesInPieces(const QString &text, qsizetype longLine = longLineLength,
                          qsizetype piece = longLinePiece);

} // namespace tw
