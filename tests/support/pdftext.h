// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The text of a PDF, read back with pdftotext (poppler-utils), for tests of
// what the program prints.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryFile>

// The text of a PDF file in reading order, pages separated by form feeds; a
// "(pdftotext failed: ...)" text when it could not be read.
inline QString pdfText(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!process.waitForStarted(10000))
        return QStringLiteral("(pdftotext failed: not installed?)");
    process.waitForFinished(60000);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QStringLiteral("(pdftotext failed: %1)").arg(QString::fromUtf8(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The same for a PDF held in memory.
inline QString pdfText(const QByteArray &pdf)
{
    QTemporaryFile file;
    if (!file.open() || file.write(pdf) != pdf.size())
        return QStringLiteral("(pdftotext failed: cannot write a temporary file)");
    file.close();
    return pdfText(file.fileName());
}
