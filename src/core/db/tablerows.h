// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/db/dberror.h"
#include "core/db/fielddef.h"
#include "core/db/queryshape.h"
#include "core/db/result.h"
#include "core/db/rowsource.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

namespace tw {

class Database;

namespace detail {
struct Connection;
}

// The rows of one stored table, reached by rowid: what a grid needs to show
// a big table. On a server the key is the table's primary key when that is
// one whole-number field, otherwise the row's place (ctid), which the server
// moves when a row changes: the key a row was listed under keeps reaching it. It lists the rowids of the rows it shows once, then reads the
// values of the rows on screen a page at a time and writes single rows back.
//
// No statement stays open between calls, so it never holds a lock that would
// block another connection. It holds its database weakly, like a record set:
// once the database is closed every call fails with 3219.
class TableRows : public RowSource
{
public:
    TableRows();
    ~TableRows() override;
    TableRows(const TableRows &) = delete;
    TableRows &operator=(const TableRows &) = delete;

    // Opens on a stored table, named without regard to case. A table that
    // uses every name of the row key for fields of its own fails with 3219.
    DbError open(Database &database, const QString &table);
    // Opens on a temporary table of a server connection holding a query's
    // result (QueryRows): the table list does not show it.
    DbError openServerResult(Database &database, const QString &table, const QList<FieldDef> &fields);
    void close();
    bool isOpen() const override { return !m_table.isEmpty(); }

    // The stored spelling of the table's name, and its fields.
    const QString &table() const { return m_table; }
    const QList<FieldDef> &fields() const override { return m_fields; }
    // The name the rows' key is read under (rowid, or _rowid_ or oid when
    // the table has a field of that name).
    const QString &rowidColumn() const { return m_rowidColumn; }
    // The whole table, unfiltered and unsorted.
    QueryShape shape() const { return QueryShape(m_table); }

    // The rowids of the rows the shape's filters let through, in the order of
    // its sort, ties in table order. Only the filters and the sort are read:
    // the rows are this table's whatever table the shape names. Read straight
    // from the engine, so a million rows list in the time the engine takes.
    // An expression the engine refuses fails as an expression (3075, 3061).
    Result<std::vector<qint64>> rowids(const QueryShape &shape) const override;

    // The values of the rows with these rowids, in field order. A rowid whose
    // row is gone (deleted by another window) has no entry.
    Result<QHash<qint64, QVariantList>> values(const std::vector<qint64> &rowids) const override;

    bool isEditable() const override { return true; }
    bool canAdd() const override { return true; }
    // Stores values in one row; 3167 when the row is no longer there.
    DbError update(qint64 rowid, const Values &values) override;
    // Adds a row (fields without a value get their default); its rowid.
    Result<qint64> insert(const Values &values) override;
    // Deletes one row. A row already gone is no error: it is gone.
    DbError remove(qint64 rowid) override;

private:
    std::shared_ptr<detail::Connection> connection() const;

    // The same on a server (servertablerows.cpp).
    DbError openOnServer(const QString &stored, const QList<FieldDef> &fields);
    Result<std::vector<qint64>> serverRowids(const detail::Connection &c, const QueryShape &shape) const;
    Result<QHash<qint64, QVariantList>> serverValues(const detail::Connection &c,
                                                     const std::vector<qint64> &rowids) const;
    DbError serverUpdate(const detail::Connection &c, qint64 rowid, const Values &values);
    Result<qint64> serverInsert(const detail::Connection &c, const Values &values);
    DbError serverRemove(const detail::Connection &c, qint64 rowid);
    // A listed key as the SQL literal that reaches its row now.
    QString serverKeyLiteral(qint64 rowid) const;
    // A value the server reads from the key column, as a key.
    qint64 serverKey(const QVariant &value) const;

    std::weak_ptr<detail::Connection> m_connection;
    QString m_table;
    QList<FieldDef> m_fields;
    QString m_rowidColumn;
    bool m_server = false;
    bool m_byPlace = false; // keyed by ctid
    // Rows that moved since they were listed: listed key -> key now, and back.
    // Listing the keys afresh (a const read) starts them over.
    mutable QHash<qint64, qint64> m_movedTo;
    mutable QHash<qint64, qint64> m_movedFrom;
};

} // namespace tw
