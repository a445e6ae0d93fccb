// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class Preferences;
class ProcessingFrame;
class SettingsDirty;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
namespace tw {
class DatabaseSession;
}

// The "S&ave to Database" tab: where the records go (the default database or
// one the user picks), into which table, and how each line is cut into
// fields. The "&Save" button's run is the save's own. The tab follows the
// database session: a newly opened database fills its table list.
class SaveTargetTab : public QObject
{
    Q_OBJECT

public:
    SaveTargetTab(ProcessingFrame &window, tw::DatabaseSession &session, SettingsDirty &dirty,
                  Preferences &preferences);

    // The select-list-entry routine: empties the box's text, then selects the
    // first entry exactly equal to the text. False when there is none.
    static bool selectListEntry(QComboBox *box, const QString &text);

    // Rebuilds the table list from the current database, keeping the typed
    // name when it is still a table.
    void refreshDbaseTableList();
    // The table list alone, entry after entry, as a newly opened database
    // gives it.
    void fillTableList();
    // Runs when the tab becomes the selected one.
    void showTab();
    // The target is a new table in the default database (Option1).
    bool targetsDefaultDatabase() const;

    QGroupBox *Frame1;
    QRadioButton *Option1;
    QRadioButton *Option2;
    QRadioButton *Option3;
    QPushButton *Command11;
    QLabel *Label43;
    QComboBox *Combo17;
    QLabel *Label44;
    QComboBox *Combo18;
    QLabel *Label45;
    QLineEdit *Text10;
    // "Trim spaces from values": off until the user turns it on, then
    // remembered for the next run of the program.
    QCheckBox *CheckTrim;
    QPushButton *Command10;

public Q_SLOTS:
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Command11_Click();
    void Combo18_Change();
    // "&Save": the working text into the target table (savetable.cpp).
    void Command10_Click();

private:
    void chooseExternalOption(QRadioButton *option);
    void applyMethodRule();
    void databaseSwitched();
    void listTables(const QStringList &names);

    ProcessingFrame &m_window;
    tw::DatabaseSession &m_session;
    SettingsDirty &m_dirty;
    Preferences &m_preferences;
    QString m_rememberedTable;
};
