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

// The form of a text the box shows, made part by part as the text goes into
// the box: every line longer than longLine characters cut by an LF after
// every `piece` characters (never inside a surrogate pair). Made whole first,
// it took a fifth of a second on a 100 MB line, with the window waiting, and
// a second copy of the text.
class LongLinePieces
{
public:
    // The text must outlive this.
    explicit LongLinePieces(QStringView text, qsizetype longLine = longLineLength,
                            qsizetype piece = longLinePiece);

    // False when the text has no line that long: it is shown as it is.
    bool cutsLines() const { return m_cutsLines; }
    // The shown form of the next part of the text, about `units` characters
    // of it, never ending between a CR and its LF or inside a surrogate pair;
    // empty once the whole text was given. Valid until the next call.
    QStringView next(qsizetype units);

private:
    qsizetype breakAfter(qsizetype from) const;

    QStringView m_text;
    qsizetype m_longLine;
    qsizetype m_piece;
    bool m_cutsLines = false;
    qsizetype m_at = 0;
    bool m_atLineStart = true;
    bool m_inLongLine = false;
    qsizetype m_nextBreak = 0;
    QString m_part;
};

// The whole shown form at once; a null string when the text has no such line,
// so it can be shown as it is.
QString longLinesInPieces(const QString &text, qsizetype longLine = longLineLength,
                          qsizetype piece = longLinePiece);

} // namespace tw
