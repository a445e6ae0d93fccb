// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QObject>
#include <QStringList>
#include <QVariant>

#include <memory>

class QSettings;

// What the program remembers for its user between runs, in the per-user
// application settings (section "Settings"): the font of the text boxes,
// whether line ends are shown, the folders the file dialogs last opened, the
// files opened lately and where the frame was. Windows listen to the changes
// instead of reading the settings themselves.
class Preferences : public QObject
{
    Q_OBJECT

public:
    // Without a settings file: the user's own application settings.
    explicit Preferences(const QString &settingsFile = {}, QObject *parent = nullptr);
    ~Preferences() override;

    // The system's fixed-width font until the user chooses another: columns
    // of text only line up in one.
    QFont textFont() const;
    void setTextFont(const QFont &font);

    bool lineEndsShown() const;
    void setLineEndsShown(bool shown);

    enum class Folder { OpenText, SaveText, Database };
    QString lastFolder(Folder folder) const;
    // Remembers the folder of a file the user chose.
    void rememberFolderOf(Folder folder, const QString &filePath);

    // Most recent first; at most maxRecentFiles.
    static constexpr int maxRecentFiles = 8;
    QStringList recentFiles() const;
    void addRecentFile(const QString &path);
    void removeRecentFile(const QString &path);

    QByteArray frameGeometry() const;
    void setFrameGeometry(const QByteArray &geometry);

    // Any other value of the section "Settings" ("QueryLeft", "ContactHost").
    QVariant setting(const QString &key, const QVariant &fallback = {}) const;
    void setSetting(const QString &key, const QVariant &value);

Q_SIGNALS:
    void textFontChanged(const QFont &font);
    void lineEndsShownChanged(bool shown);
    void recentFilesChanged();

private:
    std::unique_ptr<QSettings> m_settings;
};
