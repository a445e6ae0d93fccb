// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/db/dberror.h"
#include "core/db/recordset.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>

namespace tw {

struct QueryParameter {
    QString name;  // without the colon
    QVariant value; // invalid until set
};

// A saved query (or a temporary one, with an empty name, which is never
// stored). Its SQL is in the user dialect; parameters are the named
// placeholders ":name" in it.
class QueryDef
{
public:
    QueryDef() = default;
    QueryDef(const QString &name, const QString &sql) : m_name(name), m_sql(sql) {}

    const QString &name() const { return m_name; }
    bool isTemporary() const { return m_name.isEmpty(); }

    const QString &sql() const { return m_sql; }
    void setSql(const QString &sql) { m_sql = sql; }

    // Kept for pass-through queries to a server engine; not used to run.
    const QString &connect() const { return m_connect; }
    void setConnect(const QString &connect) { m_connect = connect; }
    bool returnsRecords() const { return m_returnsRecords; }
    void setReturnsRecords(bool returns) { m_returnsRecords = returns; }

    // Parameters in order of first appearance, with the values set so far.
    QList<QueryParameter> parameters() const;
    // 3265 when the SQL has no parameter of that name (case-insensitive).
    DbError setParameter(const QString &name, const QVariant &value);
    const QMap<QString, QVariant> &parameterValues() const { return m_values; }

private:
    friend class Database;
    QString m_name;
    QString m_sql;
    QString m_connect;
    bool m_returnsRecords = true;
    QMap<QString, QVariant> m_values; // by lower-case name
};

// What running a query gave: its records, or the number of rows it changed.
struct QueryOutcome {
    bool returnedRecords = false;
    Recordset records;
    qint64 rowsAffected = 0;
};

} // namespace tw
