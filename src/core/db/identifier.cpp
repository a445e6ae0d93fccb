// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/db/identifier.h"

#include <QRegularExpression>

#include <sqlite3.h>

namespace tw {

QString quoteIdentifier(const QString &name)
{
    QString quoted = name;
    quoted.replace(u'"', QLatin1String("\"\""));
    return u'"' + quoted + u'"';
}

QString bracketedIdentifier(const QString &name)
{
    if (!name.contains(u']'))
        return u'[' + name + u']';
    QString quoted = name;
    quoted.replace(u'`', QLatin1String("``"));
    return u'`' + quoted + u'`';
}

QString userIdentifier(const QString &name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    const QByteArray utf8 = name.toUtf8();
    if (plain.match(name).hasMatch() && !sqlite3_keyword_check(utf8.constData(), int(utf8.size())))
        return name;
    return bracketedIdentifier(name);
}

QString quoteString(const QString &text)
{
    QString quoted = text;
    quoted.replace(u'\'', QLatin1String("''"));
    return u'\'' + quoted + u'\'';
}

bool isValidFieldName(const QString &name)
{
    if (name.isEmpty() || name.front().isSpace())
        return false;
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    return true;
}

bool isValidTableName(const QString &name)
{
    return isValidFieldName(name) && !name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive);
}

} // namespace tw
