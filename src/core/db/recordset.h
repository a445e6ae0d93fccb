// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/db/dberror.h"
#include "core/db/fielddef.h"
#include "core/db/queryshape.h"
#include "core/db/result.h"

#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

namespace tw {

namespace detail {
struct Connection;
struct Snapshot;
}

enum class RecordsetType {
    Table = 1,    // a whole table in table order; index and seek, no sort or filter
    Dynaset = 2,  // rows of a table, possibly filtered and sorted; editable
    Snapshot = 4, // read-only
};

// Rows of a table or of a query, walked one at a time.
//
// Over a table the record set keeps only the rowids of its rows (in table
// order, or the order of its sort or index) and reads a row when it becomes
// current, so a big table costs eight bytes a row. Rows of any other query
// are copied once into a temporary table of the connection and read the same
// way; such record sets are read-only. No statement stays open between calls,
// so a record set never holds a lock that would block another connection.
class Recordset
{
public:
    enum class EditMode { None, Edit, Add };

    Recordset();
    Recordset(Recordset &&) noexcept;
    Recordset &operator=(Recordset &&) noexcept;
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;
    ~Recordset();

    bool isOpen() const;
    void close();

    RecordsetType type() const;
    bool isUpdatable() const;
    // The table or SQL text it was opened on.
    QString source() const;
    // The rows it shows, as FROM/WHERE/ORDER BY (for grids on QSqlQueryModel).
    QueryShape shape() const;
    // An engine select returning the same rows in the same order.
    QString selectSql() const;

    const QList<FieldDef> &fields() const;
    int fieldIndex(const QString &name) const; // -1 when unknown; case-insensitive

    // Position. BOF and EOF are both true on an empty set.
    bool isBof() const;
    bool isEof() const;
    qint64 recordCount() const;
    qint64 absolutePosition() const; // 0-based; -1 when there is no current record
    DbError setAbsolutePosition(qint64 position);
    DbError moveFirst();
    DbError moveLast();
    DbError moveNext();
    DbError movePrevious();
    DbError move(qint64 rows);

    // Values of the current record, or of the record being edited or added.
    Result<QVariant> value(const QString &field) const;
    Result<QVariant> value(int index) const;
    DbError setValue(const QString &field, const QVariant &value);
    DbError setValue(int index, const QVariant &value);

    EditMode editMode() const;
    DbError addNew();
    DbError edit();
    // Stores the record being edited or added. A too-long text fails with
    // 3163, an empty text in a field that refuses it with 3315; the edit stays
    // open so the caller can correct it or cancel.
    DbError update();
    void cancelUpdate();
    DbError deleteRecord();

    // Index and seek, on table-type record sets only.
    DbError setIndex(const QString &indexName);
    QString index() const;
    // comparison: "=", ">=", ">", "<=" or "<"; keys: values for the index's
    // first columns, compared by the index's collation (nameOfSettings
    // ignores case).
    DbError seek(const QString &comparison, const QVariantList &keys);
    bool noMatch() const;

    // New record sets over the same rows. Expressions are in the user SQL
    // dialect; an invalid one fails with 3075 and leaves this one untouched.
    // Table-type record sets cannot be sorted or filtered (3251).
    Result<Recordset> sorted(const QString &sortExpression) const;
    Result<Recordset> filtered(const QString &filterExpression) const;
    Result<Recordset> clone() const;
    // Reads the rows again (new, changed and deleted rows show) and moves to
    // the first.
    DbError requery();

private:
    friend class Database;
    struct Data;

    static Result<Recordset> open(std::shared_ptr<detail::Connection> connection, const QueryShape &shape,
                                  RecordsetType type, bool updatable, const QString &source,
                                  QList<FieldDef> fields, std::shared_ptr<detail::Snapshot> snapshot);
    Result<Recordset> reshaped(const QueryShape &shape) const;
    DbError loadRowids();
    DbError loadCurrent() const;
    bool hasCurrent() const;
    QString orderTieBreak() const;

    std::unique_ptr<Data> m_data;
};

} // namespace tw
