// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tw {
struct DbError;
struct FileError;
} // namespace tw

// The program's one reporter of file and engine errors: the fixed message for
// the error's number, or the error's own description, in an information box
// titled "Tabwright - Sorry...". Some engine errors are passed over in
// silence; report() says whether the user was told, and the caller decides
// from that whether to go on.
namespace errors {

bool report(int number, const QString &description);
bool report(const tw::DbError &error);
bool report(const tw::FileError &error);

// The File menu's own reporter, used while the menu opens.
void reportFileMenu(const tw::DbError &error);

} // namespace errors
