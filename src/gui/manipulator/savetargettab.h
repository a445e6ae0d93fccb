// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class Manipulator;
class MDIForm1;
struct AppState;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The "S&ave to Database" tab: where the records go (the default database or
// one the user picks), into which table, and how each line is cut into
// fields. The "&Save" button's run is the save's own.
class SaveTargetTab : public QObject
{
    Q_OBJECT

public:
    SaveTargetTab(MDIForm1 &frame, AppState &state, Manipulator &window);

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

    MDIForm1 &m_frame;
    AppState &m_state;
    Manipulator &m_window;
    QString m_rememberedTable;
};
