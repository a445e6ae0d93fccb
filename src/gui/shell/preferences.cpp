// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/preferences.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QSettings>

namespace {
const QString fontKey = QStringLiteral("Settings/Font");
const QString lineEndsKey = QStringLiteral("Settings/ShowLineEnds");
const QString recentKey = QStringLiteral("Settings/RecentFiles");
const QString geometryKey = QStringLiteral("Settings/FrameGeometry");

QString folderKey(Preferences::Folder folder)
{
    switch (folder) {
    case Preferences::Folder::OpenText: return QStringLiteral("Settings/OpenFolder");
    case Preferences::Folder::SaveText: return QStringLiteral("Settings/SaveFolder");
    case Preferences::Folder::Database: return QStringLiteral("Settings/DatabaseFolder");
    }
    return {};
}
} // namespace

Preferences::Preferences(const QString &settingsFile, QObject *parent)
    : QObject(parent),
      m_settings(settingsFile.isEmpty()
                     ? std::make_unique<QSettings>(QStringLiteral("Tabwright"), QStringLiteral("Tabwright"))
                     : std::make_unique<QSettings>(settingsFile, QSettings::IniFormat))
{
}

Preferences::~Preferences() = default;

QFont Preferences::textFont() const
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (const QString stored = m_settings->value(fontKey).toString(); !stored.isEmpty())
        font.fromString(stored);
    return font;
}

void Preferences::setTextFont(const QFont &font)
{
    m_settings->setValue(fontKey, font.toString());
    Q_EMIT textFontChanged(font);
}

bool Preferences::lineEndsShown() const
{
    return m_settings->value(lineEndsKey, false).toBool();
}

void Preferences::setLineEndsShown(bool shown)
{
    m_settings->setValue(lineEndsKey, shown);
    Q_EMIT lineEndsShownChanged(shown);
}

QString Preferences::lastFolder(Folder folder) const
{
    return m_settings->value(folderKey(folder)).toString();
}

void Preferences::rememberFolderOf(Folder folder, const QString &filePath)
{
    if (!filePath.isEmpty())
        m_settings->setValue(folderKey(folder), QFileInfo(filePath).absolutePath());
}

QStringList Preferences::recentFiles() const
{
    return m_settings->value(recentKey).toStringList();
}

void Preferences::addRecentFile(const QString &path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    QStringList files = recentFiles();
    files.removeAll(full);
    files.prepend(full);
    while (files.size() > maxRecentFiles)
        files.removeLast();
    m_settings->setValue(recentKey, files);
    Q_EMIT recentFilesChanged();
}

void Preferences::removeRecentFile(const QString &path)
{
    QStringList files = recentFiles();
    if (files.removeAll(path) == 0)
        return;
    m_settings->setValue(recentKey, files);
    Q_EMIT recentFilesChanged();
}

QByteArray Preferences::frameGeometry() const
{
    return m_settings->value(geometryKey).toByteArray();
}

void Preferences::setFrameGeometry(const QByteArray &geometry)
{
    m_settings->setValue(geometryKey, geometry);
}

QVariant Preferences::setting(const QString &key, const QVariant &fallback) const
{
    return m_settings->value(QStringLiteral("Settings/") + key, fallback);
}

void Preferences::setSetting(const QString &key, const QVariant &value)
{
    m_settings->setValue(QStringLiteral("Settings/") + key, value);
}
