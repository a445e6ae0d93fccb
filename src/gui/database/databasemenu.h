// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/shell/toolkit.h"

#include <QObject>

class Form13;
class Form3;
class MDIForm1;
class QMdiSubWindow;

// The database half of the File menu: switching to another database and
// back, and the table commands with the table list window, the Password
// Access window and the table window. The frame only routes its menu entries
// here.
class DatabaseMenu : public QObject
{
    Q_OBJECT

public:
    explicit DatabaseMenu(MDIForm1 &frame);
    ~DatabaseMenu() override;

    // The one instance living on the frame.
    static DatabaseMenu &of(MDIForm1 &frame);
    // The database file dialog of the frame.
    static FileDialogRequest databaseDialogRequest();

    bool tableWindowVisible() const;
    bool tableListVisible() const;
    Form13 *tableWindow() const { return m_form13; }
    Form3 *tableList() const { return m_form3; }

    // Shows the Password Access window for the current database path and
    // opens it when the user presses OK; restores the path on Cancel. True
    // when another database was opened.
    bool showPasswordAccess();

    void createTableList();
    // Closes the windows that show rows of the current database, before it
    // is replaced.
    void closeDatabaseWindows();
    // Asks for the name to save the shown table under; "" when nothing is to
    // be copied.
    QString tableCheck();
    void saveTableAs(const QString &newTableName);

public Q_SLOTS:
    void menuFileOpenDB_Click();
    void menuFileUseOrig_Click();
    void menuFileOpenTable_Click();
    void menuFileDeleteTable_Click();
    void menuFileSaveTableAs_Click();
    void List1_DblClick(const QString &name);

private:
    bool openWithDetails(const QString &path, const QString &user, const QString &password);
    void showTableList(bool forOpening);
    void showTable(const QString &name, const QString &windowCaption);
    void subWindowActivated(QMdiSubWindow *window);
    void reportError(int number, const QString &description);

    MDIForm1 &m_frame;
    Form3 *m_form3;
    Form13 *m_form13;
    QMdiSubWindow *m_form3Window;
    QMdiSubWindow *m_form13Window;
    QMdiSubWindow *m_lastActive = nullptr;
    bool m_form13Placed = false;
};
