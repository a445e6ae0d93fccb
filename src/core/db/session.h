// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/db/database.h"

#include <QObject>
#include <QString>

#include <functional>

namespace tw {

// The program's one open database and the paths around it: the default
// database (the program's own, found at start-up), and the current one, which
// is the default or a database the user opened. It is the only way to open,
// switch and close them. Before a switch it says so (aboutToSwitch), so the
// windows that show rows of the database let go of them; after it (switched)
// they read what they show again.
class DatabaseSession : public QObject
{
    Q_OBJECT

public:
    explicit DatabaseSession(QObject *parent = nullptr);
    ~DatabaseSession() override;

    // The default database and the folder it was found in (ending in "/"),
    // before it is opened.
    void setDefault(const QString &path, const QString &folder);
    const QString &defaultPath() const { return m_defaultPath; }
    const QString &folder() const { return m_folder; }
    // The database the commands work on, as shown (a server's address
    // without its password); "" until one is open.
    const QString &currentPath() const { return m_currentPath; }
    // The current database is not the default one (paths compared without
    // regard to case).
    bool isExternal() const;

    Database &database() { return m_database; }
    const Database &database() const { return m_database; }

    // Opens the default database as the current one (start-up, and again
    // whenever a command finds no database open).
    DbError openDefault();
    DbError reopenDefaultIfClosed();

    struct Switch
    {
        DbError error;          // why the database could not be opened
        bool fellBack = false;  // it was tried and failed; the default is current again
    };
    // Makes another database current. It is tried on a handle of its own
    // first: one that cannot be opened leaves everything as it was. The user
    // name and password are handed to the server and kept nowhere else.
    Switch open(const QString &path, const QString &user = {}, const QString &password = {});
    // Back to the default database, without asking.
    DbError useDefault();

    // The program's own tables live in the default database: a command that
    // needs them while another database is current asks (through the hook,
    // which the windows set) whether to close that database, and goes back to
    // the default one on Yes. True when the default database is current now.
    std::function<bool()> confirmLeavingExternal;
    bool leaveExternal(DbError *error = nullptr);

    // A command added, copied or deleted tables: lists of tables read again.
    void notifyTablesChanged();

Q_SIGNALS:
    void aboutToSwitch();
    void switched();
    void tablesChanged();

private:
    DbError switchTo(const QString &path, const QString &user = {}, const QString &password = {});

    Database m_database;
    QString m_defaultPath;
    QString m_folder;
    QString m_currentPath;
};

// Database paths name the same file when they differ only in letter case.
bool samePath(const QString &a, const QString &b);

} // namespace tw
