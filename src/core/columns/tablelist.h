// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace tw {

// Whether a table appears in the program's table lists: the engine's catalog
// tables ("MSys…"), the program's report tables ("SSys…") and its own tables
// and named-settings tables ("tabwrite_…" in any case) never do.
bool isListedTable(const QString &name);

} // namespace tw

namespace tw {

// The select-list-entry routine on a list's entries: the index of the first
// entry exactly equal to the text (case counts), or -1.
int listEntryIndex(const QStringList &entries, const QString &text);

// The parse method of the Save to Database tab's "Process method:" box; only
// it takes a delimiter.
QString parseMethodText();
QString columnSpecsMethodText();
bool methodTakesDelimiter(const QString &method);

} // namespace tw
