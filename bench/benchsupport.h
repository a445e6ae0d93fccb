// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the window benchmarks share: the frame started offscreen on a copy of
// the default database, and the fixed-width text they all time.

#include "gui/shell/mdiform1.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace bench {

// Starts the frame in the given folder on a copy of the default database
// beside the program, never on that database itself. The caller installs the
// toolkit first. Null when the copy or the start-up failed.
inline std::unique_ptr<MDIForm1> startFrame(const QTemporaryDir &folder, const char *benchName)
{
    const QString shipped = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("tabwright.mdb"));
    if (!QFile::copy(shipped, folder.filePath(QStringLiteral("tabwright.mdb")))) {
        std::fprintf(stderr, "%s: cannot copy %s\n", benchName, qPrintable(shipped));
        return nullptr;
    }
    // Settings of its own: a benchmark must not fill the user's recent files.
    auto frame = std::make_unique<MDIForm1>(
        StartupOptions{folder.path(), false, folder.filePath(QStringLiteral("settings.ini"))});
    frame->show();
    if (!frame->Form_Load())
        return nullptr;
    return frame;
}

// A fixed-width text of about 76 characters a line, CR LF between the lines,
// like the exports users load.
inline QString fixedWidthText(qsizetype lines)
{
    QString text;
    text.reserve(lines * 78);
    for (qsizetype i = 0; i < lines; ++i) {
        if (i)
            text += QLatin1String("\r\n");
        text += QStringLiteral("%1 ACME-WIDGET-%2 2026-12-06 %3 EUR  some description here")
                    .arg(i, 8, 10, QLatin1Char('0'))
                    .arg(i % 9973, 5, 10, QLatin1Char('0'))
                    .arg((i * 37) % 100000, 9, 10, QLatin1Char(' '));
    }
    return text;
}

} // namespace bench
