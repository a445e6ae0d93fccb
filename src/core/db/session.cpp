// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/db/session.h"

#include "core/db/serveraddress.h"

namespace tw {

bool samePath(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

DatabaseSession::DatabaseSession(QObject *parent) : QObject(parent) {}

DatabaseSession::~DatabaseSession() = default;

void DatabaseSession::setDefault(const QString &path, const QString &folder)
{
    m_defaultPath = path;
    m_folder = folder;
}

bool DatabaseSession::isExternal() const
{
    return !samePath(m_currentPath, m_defaultPath);
}

DbError DatabaseSession::switchTo(const QString &path, const QString &user, const QString &password)
{
    if (m_database.isOpen())
        Q_EMIT aboutToSwitch();
    // Whatever shows the current database shows it without a password.
    m_currentPath = displayDatabaseName(path);
    // The handle is replaced, never doubled: the new file is open before the
    // old one closes, and a failure leaves no database open.
    m_database.close();
    const DbError error = m_database.open(path, user, password);
    Q_EMIT switched();
    return error;
}

DbError DatabaseSession::openDefault()
{
    return switchTo(m_defaultPath);
}

DbError DatabaseSession::reopenDefaultIfClosed()
{
    if (m_database.isOpen())
        return {};
    return openDefault();
}

DatabaseSession::Switch DatabaseSession::open(const QString &path, const QString &user, const QString &password)
{
    {
        Database trial;
        if (DbError error = trial.open(path, user, password); error.isError())
            return {error, false};
    }
    if (DbError error = switchTo(path, user, password); error.isError()) {
        (void)openDefault();
        return {error, true};
    }
    return {};
}

DbError DatabaseSession::useDefault()
{
    return openDefault();
}

bool DatabaseSession::leaveExternal(DbError *error)
{
    if (!isExternal())
        return true;
    if (confirmLeavingExternal && !confirmLeavingExternal())
        return false;
    const DbError opened = openDefault();
    if (error)
        *error = opened;
    return true;
}

void DatabaseSession::notifyTablesChanged()
{
    Q_EMIT tablesChanged();
}

} // namespace tw
