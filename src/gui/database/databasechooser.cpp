// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/database/databasechooser.h"

#include "core/db/serveraddress.h"
#include "core/db/session.h"
#include "gui/database/form4.h"
#include "gui/shell/errorreporter.h"

#include <QCoreApplication>

namespace databases {

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("databases", text);
}
} // namespace

FileDialogRequest databaseDialogRequest()
{
    FileDialogRequest request;
    request.title = tr("Tabwrite - Select database");
    request.filter = tr("Microsoft database (*.mdb)|*.mdb|All files (*.*)|*.*");
    return request;
}

bool openWithPassword(tw::DatabaseSession &session, const QString &path, QWidget *parent)
{
    Form4 dialog(parent);
    bool opened = false;
    dialog.openDatabase = [&](const QString &user, const QString &password) {
        const tw::DatabaseSession::Switch result = session.open(path, user, password);
        if (result.fellBack) {
            Toolkit::instance().message(tr("An error has occured while opening a database.  The default "
                                           "database will now be re-opened."));
        } else if (result.error.isError() && result.error.number == tw::ErrorNumber::NotADatabase
                   && tw::isServerAddress(path)) {
            // A server that is not there, or refuses the user or password:
            // its own words say which, where a file's message would mislead.
            Toolkit::instance().message(tr("Tabwright could not connect to the database server %1.\n\n%2")
                                            .arg(tw::displayDatabaseName(path), result.error.description),
                                        Buttons::Ok, Icon::Information, tr("Tabwright - Sorry..."));
            return false;
        } else if (result.error.isError()) {
            errors::report(result.error);
            return false;
        }
        opened = true;
        return true;
    };
    dialog.exec();
    return opened;
}

} // namespace databases
