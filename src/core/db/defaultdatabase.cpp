// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/db/defaultdatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tw {

QString defaultDatabaseName()
{
    return QStringLiteral("tabwright.mdb");
}

QString findDefaultDatabase(const QString &folder)
{
    const QDir dir(folder);
    if (dir.exists(defaultDatabaseName()))
        return dir.filePath(defaultDatabaseName());
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : entries) {
        if (entry.compare(defaultDatabaseName(), Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return {};
}

QString programFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // The command line runs without an application object.
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
}

QString defaultDatabasePath()
{
    return findDefaultDatabase(programFolder());
}

} // namespace tw
