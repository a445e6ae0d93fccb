// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace tw {

// Which rows of one table a record set or grid shows, and in which order:
// FROM, WHERE and ORDER BY of a select, kept apart so that filtering and
// sorting never paste strings together at the call sites. Expressions are in
// the engine's SQL (run user input through translateUserSql first).
class QueryShape
{
public:
    QueryShape() = default;
    // `schema` is "main" for a stored table, "temp" for a snapshot.
    explicit QueryShape(const QString &table, const QString &schema = QStringLiteral("main"))
        : m_table(table), m_schema(schema) {}

    const QString &table() const { return m_table; }
    const QString &schema() const { return m_schema; }
    const QStringList &filters() const { return m_filters; }
    const QString &sort() const { return m_sort; }

    // A further filter: rows must meet this one and every earlier one.
    QueryShape filteredBy(const QString &expression) const;
    // A new order, replacing the previous one.
    QueryShape sortedBy(const QString &expression) const;
    // The same table with no filter and no order.
    QueryShape unshaped() const { return QueryShape(m_table, m_schema); }

    QString fromClause() const;    // "main"."T"
    QString whereClause() const;   // "" or " WHERE (f1) AND (f2)"
    QString orderByClause(const QString &tieBreak = {}) const; // "" or " ORDER BY s, tieBreak"
    QString selectSql(const QString &columns = QStringLiteral("*"), const QString &tieBreak = {}) const;

    bool operator==(const QueryShape &) const = default;

private:
    QString m_table;
    QString m_schema = QStringLiteral("main");
    QStringList m_filters;
    QString m_sort;
};

} // namespace tw
