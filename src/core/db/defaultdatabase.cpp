// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/db/defaultdatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

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

QString executableFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // The command line runs without an application object.
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
}

QString userDataFolder()
{
    // The same folder the windows' application data location names, also
    // for the command line, which sets no application names.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/Tabwright/Tabwright");
}

QString resolveProgramFolder(const QString &executableFolder, const QString &userFolder)
{
    if (!findDefaultDatabase(executableFolder).isEmpty())
        return executableFolder;
    const QDir shipped(QDir(executableFolder).filePath(QStringLiteral("../share/tabwright")));
    if (findDefaultDatabase(shipped.path()).isEmpty())
        return executableFolder; // neither: start-up asks where the database is
    // Only what is missing is copied: the user's database and the tables in
    // it are never replaced by the shipped, empty one.
    QDir user(userFolder);
    if (!user.mkpath(QStringLiteral(".")))
        return shipped.absolutePath();
    const QStringList files = shipped.entryList(QDir::Files);
    for (const QString &file : files) {
        if (user.exists(file))
            continue;
        const QString copy = user.filePath(file);
        if (QFile::copy(shipped.filePath(file), copy))
            QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    return user.absolutePath();
}

QString programFolder()
{
    return resolveProgramFolder(executableFolder(), userDataFolder());
}

QString defaultDatabasePath()
{
    return findDefaultDatabase(programFolder());
}

} // namespace tw
