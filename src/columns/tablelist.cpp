// SPDX-License-Identifier: GPL-3.0-or-later
#include "columns/tablelist.h"

namespace tw {

bool isListedTable(const QString &name)
{
    if (name.startsWith(u"MSys") || name.startsWith(u"SSys"))
        return false;
    return !name.startsWith(u"tabwrite_", Qt::CaseInsensitive);
}

} // namespace tw
