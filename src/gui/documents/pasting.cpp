// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/documents/pasting.h"

#include "core/text/pasterules.h"
#include "gui/shell/textbox.h"

#include <QApplication>
#include <QClipboard>

namespace pasting {

void editPaste(TextBox *target)
{
    const qsizetype caret = target->selectionStart();
    QClipboard *clipboard = QApplication::clipboard();
    const QString clip = tw::clipboardToWorkingText(clipboard->text());
    QString clipboardAfter = clip;
    if (caret >= target->characterCount()) {
        const tw::PasteAtEnd pasted = tw::editPasteAtEnd(clip);
        target->replaceRange(target->characterCount(), 0, pasted.appended);
        clipboardAfter = pasted.clipboardAfter;
    } else {
        target->replaceRange(caret, target->selectionLength(), clip);
    }
    target->setCaret(caret);
    clipboard->setText(clipboardAfter);
}

void textLinesPaste(TextBox *target)
{
    const qsizetype caret = target->selectionStart();
    QClipboard *clipboard = QApplication::clipboard();
    // Plain text only: whatever formatting the clipboard also offers is left.
    QString pasted = tw::clipboardToWorkingText(clipboard->text());
    if (caret >= target->characterCount()) {
        pasted = tw::textLinesPasteAtEnd(pasted);
        target->replaceRange(target->characterCount(), 0, pasted);
    } else {
        target->replaceRange(caret, target->selectionLength(), pasted);
    }
    target->setCaret(caret);
    // The clipboard keeps offering what was pasted.
    clipboard->setText(pasted);
}

} // namespace pasting
