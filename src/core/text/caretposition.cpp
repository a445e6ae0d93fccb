// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/caretposition.h"

#include <cstring>

namespace tw {

qsizetype countLineBreaks(QByteArrayView utf8, qsizetype from, qsizetype to)
{
    const char *data = utf8.data();
    qsizetype count = 0;
    qsizetype position = qMax<qsizetype>(from, 1);
    while (position < to) {
        const void *found = std::memchr(data + position, '\n', size_t(to - position));
        if (!found)
            break;
        position = static_cast<const char *>(found) - data;
        if (data[position - 1] == '\r')
            ++count;
        ++position;
    }
    return count;
}

qsizetype columnAt(QByteArrayView utf8, qsizetype byteOffset)
{
    const char *data = utf8.data();
    qsizetype lineStart = byteOffset;
    while (lineStart > 1) {
        // The LF of a CR LF pair lying wholly before the caret starts the line.
        if (data[lineStart - 1] == '\n' && data[lineStart - 2] == '\r')
            break;
        --lineStart;
    }
    if (lineStart == 1)
        lineStart = 0;
    qsizetype column = 1;
    for (qsizetype i = lineStart; i < byteOffset; ++i)
        if ((static_cast<unsigned char>(data[i]) & 0xC0) != 0x80) // not a continuation byte
            ++column;
    return column;
}

LineColumn lineColumnAt(QByteArrayView utf8, qsizetype byteOffset)
{
    byteOffset = qBound<qsizetype>(0, byteOffset, utf8.size());
    return {1 + countLineBreaks(utf8, 0, byteOffset), columnAt(utf8, byteOffset)};
}

} // namespace tw
