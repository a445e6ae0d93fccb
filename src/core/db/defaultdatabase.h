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
QString executableFolder();

// The folder where the program keeps its own files (the default database,
// the help pages): the folder of the executable when it runs from a build,
// with tabwright.mdb beside it. An installed program cannot write beside
// itself: it keeps them in the user's data folder, copied there from the
// installed share folder (../share/tabwright) when missing.
QString programFolder();
// The decision of programFolder(), on given folders: returns the folder to
// use, after copying what is missing into userFolder when it is that one.
QString resolveProgramFolder(const QString &executableFolder, const QString &userFolder);
// The user's data folder for the program (the application data location of
// "Tabwright").
QString userDataFolder();

// The default database the program uses: the one in the program folder. ""
// when there is none.
QString defaultDatabasePath();

} // namespace tw
