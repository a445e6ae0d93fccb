// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class BusyState;
class ChildWindows;
class Form13;
class Form3;
class Preferences;
class QWidget;
namespace tw {
class DatabaseSession;
}

// The database half of the File menu: switching to another database and
// back, and the table commands with the table list window and the table
// window. The frame routes its menu entries here.
class DatabaseMenu : public QObject
{
    Q_OBJECT

public:
    DatabaseMenu(tw::DatabaseSession &session, BusyState &busy, ChildWindows &children, Form3 *tableList,
                 Form13 *tableWindow, QWidget *dialogParent);

    // Where the server connections used lately are remembered.
    void setPreferences(Preferences *preferences) { m_preferences = preferences; }

    void createTableList();
    // Asks for the name to save the shown table under; "" when nothing is to
    // be copied.
    QString tableCheck();
    void saveTableAs(const QString &newTableName);

public Q_SLOTS:
    void menuFileOpenDB_Click();
    void menuFileOpenServer_Click();
    void menuFileUseOrig_Click();
    void menuFileOpenTable_Click();
    void menuFileDeleteTable_Click();
    void menuFileSaveTableAs_Click();
    void List1_DblClick(const QString &name);

private:
    void showTableList(bool forOpening);
    void showTable(const QString &name, const QString &windowCaption);

    tw::DatabaseSession &m_session;
    BusyState &m_busy;
    ChildWindows &m_children;
    Form3 *m_form3;
    Form13 *m_form13;
    QWidget *m_dialogParent;
    Preferences *m_preferences = nullptr;
};
