// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/spacing.h"

#include <QString>
#include <QStringView>

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

} // namespace tw::edit
