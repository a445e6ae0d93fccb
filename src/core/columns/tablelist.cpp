// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/columns/tablelist.h"

#include <QCoreApplication>

namespace tw {

bool isListedTable(const QString &name)
{
    if (name.startsWith(u"MSys") || name.startsWith(u"SSys"))
        return false;
    return !name.startsWith(u"tabwrite_", Qt::CaseInsensitive);
}

} // namespace tw

namespace tw {

int listEntryIndex(const QStringList &entries, const QString &text)
{
    return int(entries.indexOf(text));
}

QString parseMethodText()
{
    return QCoreApplication::translate("SaveTargetTab", "Parse text using delimiter I specify");
}

QString columnSpecsMethodText()
{
    return QCoreApplication::translate("SaveTargetTab", "Use column specs on the Tabwrite Text tab");
}

bool methodTakesDelimiter(const QString &method)
{
    return method == parseMethodText();
}

} // namespace tw
