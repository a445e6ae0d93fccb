// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tw {

// Whether a table appears in the program's table lists: the engine's catalog
// tables ("MSys…"), the program's report tables ("SSys…") and its own tables
// and named-settings tables ("tabwrite_…" in any case) never do.
bool isListedTable(const QString &name);

} // namespace tw
