// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/db/queryshape.h"

#include "core/db/identifier.h"

namespace tw {

QueryShape QueryShape::filteredBy(const QString &expression) const
{
    QueryShape shape = *this;
    if (!expression.trimmed().isEmpty())
        shape.m_filters.append(expression.trimmed());
    return shape;
}

QueryShape QueryShape::sortedBy(const QString &expression) const
{
    QueryShape shape = *this;
    shape.m_sort = expression.trimmed();
    return shape;
}

QString QueryShape::fromClause() const
{
    return quoteIdentifier(m_schema) + u'.' + quoteIdentifier(m_table);
}

QString QueryShape::whereClause() const
{
    if (m_filters.isEmpty())
        return {};
    QStringList parts;
    for (const QString &filter : m_filters)
        parts.append(u'(' + filter + QStringLiteral("\n)"));
    return QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
}

QString QueryShape::orderByClause(const QString &tieBreak) const
{
    QStringList keys;
    if (!m_sort.isEmpty())
        keys.append(m_sort);
    if (!tieBreak.isEmpty())
        keys.append(tieBreak);
    if (keys.isEmpty())
        return {};
    // A line break keeps a trailing "--" comment in the sort text from
    // swallowing the tie-break.
    return QStringLiteral(" ORDER BY ") + keys.join(QStringLiteral("\n, "));
}

QString QueryShape::selectSql(const QString &columns, const QString &tieBreak) const
{
    return QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM ") + fromClause() + whereClause()
        + orderByClause(tieBreak);
}

} // namespace tw
