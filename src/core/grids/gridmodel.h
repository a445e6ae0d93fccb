// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/db/dberror.h"
#include "core/db/fielddef.h"
#include "core/db/queryshape.h"
#include "core/db/rowsource.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QVariantList>

#include <functional>
#include <memory>
#include <vector>

namespace tw {

class Database;
class QueryDef;

// The rows of one table, or of a query's result, for a grid, editable in
// place where they can be written back.
//
// Opening reads only the rowids of the rows shown (in the order of the
// shape's sort), so a table of a million rows opens at once; the values are
// read a page at a time when the view asks for them. Rows are identified by
// rowid, never by their values, so two equal rows stay two rows when one of
// them is changed or deleted.
//
// A page that cannot be read (the table was dropped or changed by another
// connection) shows empty rows and is reported once through errorOccurred,
// after the view has drawn; no further page is read until the rows are read
// again (requery, reshape, open), so one failure is one message.
//
// Edits follow the grid habit of desktop databases: the changed cells of a
// row are kept until the row is left (submit()), then written together. With
// adding enabled an empty last row stands for the new record; writing it
// inserts the row.
class GridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit GridModel(QObject *parent = nullptr);
    ~GridModel() override;

    // Shows the rows of `shape` (a stored table) on the database. On failure
    // the model is left empty.
    DbError open(Database &database, const QueryShape &shape);
    // Shows the rows of a query's result (see QueryRows): rows of one table
    // can be edited, other results are read-only. On failure the model is
    // left empty.
    DbError openQuery(Database &database, const QueryDef &query);
    void close();
    bool isOpen() const { return m_rows && m_rows->isOpen(); }
    // Rows can be changed and deleted (a read-only result says no).
    bool isEditable() const { return m_rows && m_rows->isEditable(); }
    // The same rows read again: new, changed and deleted rows show.
    DbError requery();
    // The same rows under another filter and order; on failure the rows
    // shown stay as they were. A query's filters and order name its columns.
    DbError reshape(const QueryShape &shape);

    const QueryShape &shape() const { return m_shape; }
    QString tableName() const { return m_shape.table(); }
    const QList<FieldDef> &fields() const;
    // Stored rows shown; the new-record row does not count.
    qint64 recordCount() const { return qint64(m_rowids.size()); }

    void setAddRowEnabled(bool enabled);
    bool isNewRecordRow(int row) const;

    // Asked before a row is deleted or a changed row is written; returning
    // false cancels. Unset: no question.
    std::function<bool()> confirmDelete;
    std::function<bool()> confirmCommit;

    bool hasPendingEdit() const { return m_pendingRow >= 0; }
    int pendingRow() const { return m_pendingRow; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    bool removeRows(int row, int count, const QModelIndex &parent = {}) override;

public Q_SLOTS:
    // Writes the pending row edit. False when it was refused or failed; a
    // refused edit is dropped, a failed one too, after errorOccurred.
    bool submit() override;
    void revert() override;

Q_SIGNALS:
    void errorOccurred(const tw::DbError &error);
    // A changed or new row reached the table.
    void rowWritten(bool added);
    void rowDeleted();

private:
    const QVariantList *rowValues(int row) const;
    void reportReadFailure(const DbError &error) const;
    void dropCache();

    std::unique_ptr<RowSource> m_rows;
    QueryShape m_shape;
    std::vector<qint64> m_rowids;
    bool m_addRow = false;

    // Pages of values, read when first shown.
    mutable QHash<qint64, QList<QVariantList>> m_pages;
    // A page read failed and was reported; no page is read until the rows
    // are read again.
    mutable bool m_readFailed = false;

    int m_pendingRow = -1;
    QVariantList m_pendingValues;
    QList<bool> m_pendingChanged;
};

} // namespace tw
