// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/engine/spacing.h"

#include <QString>
#include <QStringView>
#include <QVarLengthArray>

#include <algorithm>

// Small in-place edits the line operations share. They work on the line's own
// buffer, so the frame's reused line keeps its capacity and a line costs no
// allocation in the common case.

namespace tw::edit {

// Exactly the two characters CR LF: the "empty lines" marker of Add and Delete.
inline bool isExactlyCrLf(QStringView text)
{
    return text.size() == 2 && text[0] == u'\r' && text[1] == u'\n';
}

// Replaces count code units at index by n spaces.
inline void spliceSpaces(QString &line, qsizetype index, qsizetype count, qsizetype n)
{
    if (n < count) {
        line.remove(index + n, count - n);
    } else if (n > count) {
        const qsizetype oldSize = line.size();
        line.resize(oldSize + (n - count));
        QChar *d = line.data();
        std::move_backward(d + index + count, d + oldSize, d + line.size());
    }
    if (n > 0)
        std::fill_n(line.data() + index, n, QChar(u' '));
}

// Inserts padding.left spaces, the text and padding.right spaces at index.
// The text must not point into the line.
inline void insertPadded(QString &line, qsizetype index, Padding pad, QStringView text)
{
    const qsizetype k = pad.total() + text.size();
    if (k == 0)
        return;
    const qsizetype oldSize = line.size();
    line.resize(oldSize + k);
    QChar *d = line.data();
    std::move_backward(d + index, d + oldSize, d + oldSize + k);
    std::fill_n(d + index, pad.left, QChar(u' '));
    std::copy(text.begin(), text.end(), d + index + pad.left);
    std::fill_n(d + index + pad.left + text.size(), pad.right, QChar(u' '));
}

// Appends n spaces.
inline void appendSpaces(QString &line, qsizetype n)
{
    if (n > 0)
        line.resize(line.size() + n, u' ');
}

// Replaces the code units [at, at + cut) for every at in the ascending,
// non-overlapping list by the text, in one pass over the line's own buffer.
// The text must not point into the line.
template<typename Positions>
void replaceAll(QString &line, const Positions &positions, qsizetype cut, QStringView text)
{
    const qsizetype count = qsizetype(positions.size());
    if (count == 0)
        return;
    const qsizetype put = text.size();
    const qsizetype oldSize = line.size();
    if (put <= cut) {
        // Shrinking or equal: compact from the front; the unread rest of the
        // line always lies ahead of where we write.
        QChar *d = line.data();
        qsizetype write = positions[0];
        qsizetype read = positions[0];
        for (qsizetype i = 0; i < count; ++i) {
            const qsizetype at = positions[i];
            if (read != write)
                std::copy(d + read, d + at, d + write);
            write += at - read;
            std::copy(text.begin(), text.end(), d + write);
            write += put;
            read = at + cut;
        }
        if (read != write)
            std::copy(d + read, d + oldSize, d + write);
        write += oldSize - read;
        line.truncate(write);
        return;
    }
    // Growing: make room at the end, then fill from the back so nothing unread
    // is overwritten.
    line.resize(oldSize + count * (put - cut));
    QChar *d = line.data();
    qsizetype read = oldSize;
    qsizetype write = line.size();
    for (qsizetype i = count - 1; i >= 0; --i) {
        const qsizetype at = positions[i];
        const qsizetype tail = read - (at + cut);
        write -= tail;
        std::copy_backward(d + at + cut, d + read, d + write + tail);
        write -= put;
        std::copy(text.begin(), text.end(), d + write);
        read = at;
    }
}

} // namespace tw::edit
