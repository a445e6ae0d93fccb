// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tw {

// The file name of the program's own database.
QString defaultDatabaseName();

// The program's own database in a folder, found under its name in any letter
// case; "" when the folder holds none.
QString findDefaultDatabase(const QString &folder);

// The folder of the running program's executable.
QString programFolder();

// The default database the program uses: the one beside the program. ""
// when there is none.
QString defaultDatabasePath();

} // namespace tw
