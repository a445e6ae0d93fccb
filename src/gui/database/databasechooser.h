// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/shell/toolkit.h"

class QWidget;
namespace tw {
class DatabaseSession;
}

// Picking another database: the file dialog that offers databases, and the
// Password Access window that opens the picked one. File > Open Database and
// the Save to Database tab's "&Select Database" both go this way.
namespace databases {

FileDialogRequest databaseDialogRequest();

// Asks for the user name and password of path and makes it the current
// database when OK opens it. A database that cannot be opened is reported and
// the window stays for another try; Cancel leaves the current database as it
// was. True when path was opened.
bool openWithPassword(tw::DatabaseSession &session, const QString &path, QWidget *parent);

} // namespace databases
