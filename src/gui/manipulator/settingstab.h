// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class FieldControls;
class ProcessingFrame;
class SettingsDirty;
class QComboBox;
class QLabel;
class QPushButton;
namespace tw {
class DatabaseSession;
}

// The "Sett&ings" tab: the state of every tab and the column layout kept
// under a name in the current database, recalled and deleted. The column
// layout's grid belongs to the Tabwrite Text tab; this tab says when the
// current settings or the layout's rows changed, and the window passes it on.
class SettingsTab : public QObject
{
    Q_OBJECT

public:
    SettingsTab(ProcessingFrame &window, tw::DatabaseSession &session, SettingsDirty &dirty, FieldControls &fields);

    // Runs when the tab becomes the selected one: the list read again and
    // the buttons enabled for it.
    void showTab();
    // Rebuilds the list of names from the current database, keeping the
    // typed name.
    void refreshNameOfSettingsList();
    // The settings last saved or selected ("tabwrite_" + name), or "".
    const QString &currentSettingsName() const { return m_current; }

    QLabel *Label42;
    QComboBox *Combo16;
    QPushButton *Command8;
    QPushButton *Command9;
    QPushButton *Command16;

public Q_SLOTS:
    void Command8_Click();  // Save Settings
    void Command9_Click();  // Select Settings
    void Command16_Click(); // Delete Settings

Q_SIGNALS:
    void currentSettingsChanged(const QString &storedName);
    // The layout's rows were replaced by a settings' column rows.
    void columnLayoutReplaced();

private:
    // Rebuilds the list and shows the entry of that name (names compare
    // without regard to case), or nothing when it is gone.
    void reselect(const QString &name);
    void setCurrent(const QString &storedName);

    tw::DatabaseSession &m_session;
    SettingsDirty &m_dirty;
    FieldControls &m_fields;
    QString m_current;
};
