// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/database/databasemenu.h"

#include "core/columns/tablecopy.h"
#include "core/columns/tablelist.h"
#include "core/db/session.h"
#include "gui/database/databasechooser.h"
#include "gui/database/form13.h"
#include "gui/database/form3.h"
#include "gui/database/serverwindow.h"
#include "gui/shell/busystate.h"
#include "gui/shell/childwindows.h"
#include "gui/shell/errorreporter.h"
#include "gui/shell/toolkit.h"

DatabaseMenu::DatabaseMenu(tw::DatabaseSession &session, BusyState &busy, ChildWindows &children, Form3 *tableList,
                           Form13 *tableWindow, QWidget *dialogParent)
    : QObject(dialogParent), m_session(session), m_busy(busy), m_children(children), m_form3(tableList),
      m_form13(tableWindow), m_dialogParent(dialogParent)
{
    setObjectName(QStringLiteral("databaseMenu"));
    connect(m_form3, &Form3::tableDoubleClicked, this, &DatabaseMenu::List1_DblClick);
    // The list names tables of the database about to go.
    connect(&m_session, &tw::DatabaseSession::aboutToSwitch, this, [this] { m_children.closeChild(m_form3); });
}

void DatabaseMenu::menuFileOpenDB_Click()
{
    const QString picked = Toolkit::instance().fileDialog(databases::databaseDialogRequest());
    if (picked.isEmpty())
        return;
    databases::openWithPassword(m_session, picked, m_dialogParent);
}

void DatabaseMenu::menuFileOpenServer_Click()
{
    ServerWindow window(m_session, m_preferences, m_dialogParent);
    window.exec();
}

void DatabaseMenu::menuFileUseOrig_Click()
{
    if (const tw::DbError error = m_session.useDefault(); error.isError())
        errors::report(error);
    if (m_children.isChildShown(m_form3))
        createTableList();
}

void DatabaseMenu::createTableList()
{
    // Only a database that is not open is opened again: reopening an open
    // one would pull the rows from under the table window.
    if (!m_session.isExternal())
        (void)m_session.reopenDefaultIfClosed();
    QStringList listed;
    const tw::Result<QStringList> tables = m_session.database().tableNames();
    for (const QString &name : tables.value())
        if (tw::isListedTable(name))
            listed << name;
    m_form3->setTables(listed);
    if (listed.isEmpty())
        m_children.closeChild(m_form3);
}

void DatabaseMenu::showTableList(bool forOpening)
{
    createTableList();
    m_form3->setPurpose(forOpening ? Form3::Purpose::Open : Form3::Purpose::Delete);
    if (m_form3->tableCount() == 0)
        return;
    m_children.showChild(m_form3);
    m_form3->focusList();
}

void DatabaseMenu::menuFileOpenTable_Click()
{
    showTableList(true);
}

void DatabaseMenu::menuFileDeleteTable_Click()
{
    showTableList(false);
}

void DatabaseMenu::showTable(const QString &name, const QString &windowCaption)
{
    if (const tw::DbError error = m_form13->openTable(name); error.isError())
        errors::report(error);
    m_form13->setCaptions(windowCaption, name);
    m_children.showChild(m_form13);
    m_form13->focusGrid();
}

void DatabaseMenu::List1_DblClick(const QString &name)
{
    if (m_form3->purpose() == Form3::Purpose::Open) {
        showTable(name, tr("Table - ") + name);
        m_children.closeChild(m_form3);
        return;
    }
    const int answer = Toolkit::instance().message(tr("Delete this table: ") + name + u'?', Buttons::YesNo,
                                                   Icon::Question, tr("Tabwright - Be careful"), Answer::No);
    if (answer != Answer::Yes)
        return;
    const bool showing = m_children.isChildShown(m_form13);
    if (showing && m_form13->openTableName().compare(name, Qt::CaseInsensitive) == 0)
        m_children.closeChild(m_form13);
    if (const tw::DbError error = m_session.database().dropTable(name); error.isError()) {
        errors::report(error);
    } else {
        // The file shrinks by the table's size. When it cannot just now (the
        // table window still reads it), the space is reused by later tables.
        HourglassGuard hourglass;
        (void)m_session.database().compact();
    }
    m_session.notifyTablesChanged();
    if (m_children.isChildShown(m_form13))
        m_form13->openTable(m_form13->openTableName());
    createTableList();
}

QString DatabaseMenu::tableCheck()
{
    QString openTable = m_form13->openTableName();
    if (openTable.isEmpty())
        openTable = tw::exportTableName();
    Toolkit &toolkit = Toolkit::instance();
    QString newName;
    int answer = Answer::Yes;
    bool taken = true;
    while (answer == Answer::Yes && taken) {
        taken = false;
        newName = toolkit.inputBox(tr("Please enter a name to save the table as:"),
                                   QString::fromLatin1(applicationTitle), openTable);
        if (newName.isEmpty())
            break;
        const tw::Result<bool> found = tw::isTableNameTaken(m_session.database(), newName);
        taken = found.valueOr(false);
        if (taken)
            answer = toolkit.message(tr("This table name (") + newName
                                         + tr(") is already in the database.  Would you like to enter another name?"),
                                     Buttons::YesNo, Icon::Question, tr("Tabwright - It's your choice..."));
    }
    return taken ? QString() : newName;
}

void DatabaseMenu::saveTableAs(const QString &newTableName)
{
    const QString source = m_form13->openTableName().isEmpty() ? tw::exportTableName() : m_form13->openTableName();
    // The copy takes the table as it is shown, a row being edited included.
    m_form13->commitWithoutAsking();

    tw::DbError error;
    {
        HourglassGuard hourglass;
        error = tw::copyTable(m_session.database(), source, newTableName,
                              [this](qint64 copied, qint64 total) { m_busy.reportProgress(copied, total); });
        m_busy.endProgress();
    }
    // A copy that failed is said so, rather than shown as if it had worked.
    if (error.isError()) {
        errors::report(error);
        return;
    }
    m_session.notifyTablesChanged();
    if (source == tw::exportTableName())
        return;
    showTable(newTableName, tr("Tables - ") + newTableName);
    if (m_children.isChildShown(m_form3))
        createTableList();
}

void DatabaseMenu::menuFileSaveTableAs_Click()
{
    const QString newName = tableCheck();
    if (!newName.isEmpty())
        saveTableAs(newName);
}
