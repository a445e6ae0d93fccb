// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class TextBox;

// Pasting the clipboard's plain text into a text box, with the line-end rules
// of the working text (see core/text/pasterules.h). Each paste is one edit of
// the user's, so Undo takes it back in one step, and the caret is left before
// the pasted text.
namespace pasting {

// Edit > Paste, and Ctrl+V in the Text Viewer.
void editPaste(TextBox *target);
// Ctrl+V on the Text/Lines tab.
void textLinesPaste(TextBox *target);

} // namespace pasting
