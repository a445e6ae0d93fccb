// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/db/dberror.h"
#include "core/db/fielddef.h"
#include "core/db/queryshape.h"
#include "core/db/result.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QVariant>

#include <vector>

namespace tw {

// Rows a grid shows, reached by a key of their own (a rowid): the rows of a
// stored table, or of a query's result. A grid lists the keys of the rows it
// shows once, under a filter and an order, then reads the values of the rows
// on screen a page at a time and writes single rows back.
class RowSource
{
public:
    // Field index -> value to store.
    using Values = QMap<int, QVariant>;

    virtual ~RowSource() = default;

    virtual bool isOpen() const = 0;
    virtual const QList<FieldDef> &fields() const = 0;

    // The keys of the rows the shape's filters let through, in the order of
    // its sort (the source's own order without one). Only the shape's
    // filters and sort are read; they name the fields as fields() does.
    virtual Result<std::vector<qint64>> rowids(const QueryShape &shape) const = 0;
    // The values of the rows with these keys, in field order. A key whose
    // row is gone has no entry.
    virtual Result<QHash<qint64, QVariantList>> values(const std::vector<qint64> &rowids) const = 0;

    // Whether rows can be changed and deleted, and new ones added.
    virtual bool isEditable() const = 0;
    virtual bool canAdd() const = 0;
    virtual DbError update(qint64 rowid, const Values &values) = 0;
    virtual Result<qint64> insert(const Values &values) = 0;
    virtual DbError remove(qint64 rowid) = 0;
};

} // namespace tw
