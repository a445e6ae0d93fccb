// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>

namespace tw::cli {

// One line of text in UTF-8, whatever the locale: messages name files and
// fields in the user's own characters.
inline void printLine(const QString &text, std::FILE *stream = stderr)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fputc('\n', stream);
}

} // namespace tw::cli
