// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/db/querydef.h"
#include "core/db/rowsource.h"
#include "core/db/simpleselect.h"

#include <QString>

#include <memory>

namespace tw {

class Database;
class TableRows;

namespace detail {
struct Connection;
struct Snapshot;
} // namespace detail

// The rows of a query's result for a grid, read lazily so a result of a
// million rows shows at once.
//
// A select of plain fields of one table (see SimpleSelect) is kept as what it
// is: the rowids of that table's rows that meet its condition, in its order.
// Its rows are read a page at a time and can be changed and deleted.
//
// Any other result (joins, groupings, calculated columns, VALUES, WITH, a
// read-only pragma) cannot be written back. Its rows are copied into a
// temporary table of the connection as they are first shown: the first few
// hundred when it opens, more as the user scrolls, all of them once it is
// sorted or filtered. The count comes from the engine, so the counter is
// right from the start.
//
// Like a table's rows, no statement stays open between calls, and once the
// database is closed every call fails with 3219.
class QueryRows : public RowSource
{
public:
    QueryRows();
    ~QueryRows() override;
    QueryRows(const QueryRows &) = delete;
    QueryRows &operator=(const QueryRows &) = delete;

    // Opens on a query with its parameter values. Fails as running it would
    // (the engine's message, 3061 for a parameter without a value), and with
    // 3219 for a statement that returns no rows or changes data.
    DbError open(Database &database, const QueryDef &query);
    void close();
    bool isOpen() const override { return static_cast<bool>(m_connection.lock()) && !m_fields.isEmpty(); }
    const QList<FieldDef> &fields() const override { return m_fields; }
    const QueryDef &query() const { return m_query; }
    // The table whose rows these are when they can be written back.
    QString baseTable() const;

    Result<std::vector<qint64>> rowids(const QueryShape &shape) const override;
    Result<QHash<qint64, QVariantList>> values(const std::vector<qint64> &rowids) const override;

    bool isEditable() const override { return static_cast<bool>(m_base); }
    // New rows would not belong to the result: a query result takes none.
    bool canAdd() const override { return false; }
    DbError update(qint64 rowid, const Values &values) override;
    Result<qint64> insert(const Values &values) override;
    DbError remove(qint64 rowid) override;

private:
    std::shared_ptr<detail::Connection> connection() const;
    // Editable rows: the table, the parts of the select and the table's
    // field behind each column.
    bool openOnTable(Database &database, const std::shared_ptr<detail::Connection> &c);
    // On a server: the whole result copied by the server into a temporary
    // table, read as a table's rows are, and not written back.
    DbError openOnServer(Database &database, const std::shared_ptr<detail::Connection> &c);
    Result<std::vector<qint64>> tableRowids(const QueryShape &shape) const;
    Result<QHash<qint64, QVariantList>> tableValues(const std::vector<qint64> &rowids) const;
    // `select` ends in "IN (": the rows of those keys, key first.
    Result<QHash<qint64, QVariantList>> readByKeys(const QString &select, const std::vector<qint64> &keys) const;
    // Any other rows: copied into the result table as they are wanted.
    DbError openResultTable(const std::shared_ptr<detail::Connection> &c, const QStringList &declaredTypes);
    DbError restart() const;
    DbError fill(qint64 wanted) const;
    Result<qint64> countRows() const;

    std::weak_ptr<detail::Connection> m_connection;
    QueryDef m_query;
    QString m_engineSql; // translated; parameters still named
    QList<FieldDef> m_fields;

    std::unique_ptr<TableRows> m_base;
    SimpleSelect m_parts;
    QList<int> m_baseFields;

    std::shared_ptr<detail::Snapshot> m_result;
    std::unique_ptr<TableRows> m_serverRows; // reads m_result on a server
    mutable qint64 m_filled = 0;
    mutable bool m_complete = false;
};

} // namespace tw
