// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/pasterules.h"

namespace tw {

namespace {
const QString crLf = QStringLiteral("\r\n");

bool endsWithLoneCr(const QString &text)
{
    return text.endsWith(u'\r');
}
} // namespace

QString clipboardToWorkingText(const QString &clipboard)
{
    if (clipboard.contains(u'\r') || !clipboard.contains(u'\n'))
        return clipboard;
    QString text = clipboard;
    text.replace(u'\n', crLf);
    return text;
}

PasteAtEnd editPasteAtEnd(const QString &clipboard)
{
    if (clipboard.endsWith(crLf))
        return {clipboard, clipboard};
    if (endsWithLoneCr(clipboard)) {
        const QString repaired = clipboard + u'\n';
        return {repaired, repaired};
    }
    return {clipboard, clipboard + crLf};
}

QString textLinesPasteAtEnd(const QString &clipboard)
{
    return endsWithLoneCr(clipboard) ? clipboard + u'\n' : clipboard;
}

} // namespace tw
