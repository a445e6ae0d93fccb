// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// How clipboard text enters the working text. The working text separates its
// lines with CR LF, while text copied from most Linux programs ends its lines
// with LF alone; and a paste at the very end of the text repairs a line break
// cut in half. These rules are shared by the Edit menu, the Text Viewer and the
// Text/Lines tab, so all three paste alike.

namespace tw {

// The clipboard text as the working text holds it: a text with no CR at all
// has each LF turned into CR LF (the same rule as for a file holding no CR); a
// text holding any CR is taken as it is, so a copy out of the box pastes back
// unchanged, lone CRs and LFs included.
QString clipboardToWorkingText(const QString &clipboard);

// Edit > Paste (and Ctrl+V in the Text Viewer) with the caret at the end of
// the text: what is appended, and what the clipboard offers afterwards.
struct PasteAtEnd
{
    QString appended;
    QString clipboardAfter;
};
// Ends with CR LF: appended as it is. Ends with a lone CR: LF is added, so the
// text ends in a whole line break. Otherwise appended as it is, and the
// clipboard afterwards offers it followed by CR LF, so a second paste at the
// end starts a new line.
PasteAtEnd editPasteAtEnd(const QString &clipboard);

// Ctrl+V on the Text/Lines tab at the end of the text: a lone CR at the end
// gets its LF; the clipboard afterwards offers the text as appended.
QString textLinesPasteAtEnd(const QString &clipboard);

} // namespace tw
