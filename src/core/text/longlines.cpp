// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/longlines.h"

namespace tw {

namespace {
bool isBreak(char16_t c)
{
    return c == u'\r' || c == u'\n';
}
} // namespace

QString longLinesInPieces(const QString &text, qsizetype longLine, qsizetype piece)
{
    const char16_t *data = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype size = text.size();
    // Whether any line is that long, without reading every character: from
    // the start of a line, the last line end among the next longLine + 1
    // characters, found looking back from their end, starts the next line to
    // look from; with none among them, that line is too long. A big text of
    // ordinary lines is done in a few thousand steps.
    bool hasLongLine = false;
    for (qsizetype start = 0; start + longLine < size;) {
        qsizetype at = start + longLine;
        while (at >= start && !isBreak(data[at]))
            --at;
        if (at < start) {
            hasLongLine = true;
            break;
        }
        start = at + 1;
    }
    if (!hasLongLine)
        return {};

    QString shown;
    shown.reserve(size + size / piece + 1);
    for (qsizetype start = 0; start < size;) {
        qsizetype end = start;
        while (end < size && !isBreak(data[end]))
            ++end;
        if (end - start > longLine) {
            for (qsizetype from = start; from < end;) {
                qsizetype to = qMin(from + piece, end);
                if (to < end && QChar::isLowSurrogate(data[to]))
                    --to;
                if (from != start)
                    shown += u'\n';
                shown += QStringView(data + from, to - from);
                from = to;
            }
        } else {
            shown += QStringView(data + start, end - start);
        }
        // The line end goes along as it is.
        qsizetype next = end;
        while (next < size && isBreak(data[next]))
            ++next;
        shown += QStringView(data + end, next - end);
        start = next;
    }
    return shown;
}

} // namespace tw
