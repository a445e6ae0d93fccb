// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/grids/gridmodel.h"

#include "core/db/queryrows.h"
#include "core/db/tablerows.h"

#include <QCoreApplication>
#include <QLocale>
#include <QMetaObject>

#include <algorithm>
#include <limits>

namespace tw {

namespace {
constexpr int pageSize = 128;
// Enough pages for several screens of scrolling back and forth; beyond that
// the cache starts again rather than growing with the table.
constexpr int maxCachedPages = 64;

// The engine's words, and the field: in a grid of many columns the user
// must see which cell holds the text that is no number.
DbError conversionError(const QString &field)
{
    return DbError{3421, QStringLiteral("Data type conversion error.") + QStringLiteral("\n\n")
                             + QCoreApplication::translate("GridModel", "Field: %1").arg(field)};
}

// A cell's typed text as the value to store: an empty cell is Null, numbers
// go to numeric fields as numbers.
bool storedValue(const FieldDef &field, const QVariant &typed, QVariant *out)
{
    if (typed.isNull() || (typed.typeId() == QMetaType::QString && typed.toString().isEmpty())) {
        *out = QVariant();
        return true;
    }
    if (!field.isNumeric()) {
        *out = typed;
        return true;
    }
    const QString text = typed.toString().trimmed();
    bool ok = false;
    switch (field.type) {
    case FieldType::Boolean: {
        const QString lower = text.toLower();
        if (lower == QLatin1String("true") || lower == QLatin1String("yes")) {
            *out = -1;
            return true;
        }
        if (lower == QLatin1String("false") || lower == QLatin1String("no")) {
            *out = 0;
            return true;
        }
        const qlonglong number = text.toLongLong(&ok);
        *out = number == 0 ? 0 : -1;
        return ok;
    }
    case FieldType::Byte:
    case FieldType::Integer:
    case FieldType::Long:
    case FieldType::BigInt: {
        const qlonglong number = text.toLongLong(&ok);
        *out = number;
        return ok;
    }
    default: {
        const double number = text.toDouble(&ok);
        *out = number;
        return ok;
    }
    }
}
} // namespace

GridModel::GridModel(QObject *parent) : QAbstractTableModel(parent) {}

GridModel::~GridModel() = default;

void GridModel::dropCache()
{
    m_pages.clear();
    m_readFailed = false;
}

const QList<FieldDef> &GridModel::fields() const
{
    static const QList<FieldDef> none;
    return m_rows ? m_rows->fields() : none;
}

DbError GridModel::open(Database &database, const QueryShape &shape)
{
    beginResetModel();
    dropCache();
    m_rowids.clear();
    m_pendingRow = -1;
    auto table = std::make_unique<TableRows>();
    DbError error = table->open(database, shape.table());
    if (!error.isError()) {
        // The stored spelling of the name, so captions and SQL agree.
        QueryShape named = table->shape();
        for (const QString &filter : shape.filters())
            named = named.filteredBy(filter);
        named = named.sortedBy(shape.sort());
        Result<std::vector<qint64>> rowids = table->rowids(named);
        error = rowids.error();
        if (rowids) {
            m_shape = named;
            m_rowids = std::move(rowids).value();
        }
    }
    m_rows.reset(error.isError() ? nullptr : table.release());
    endResetModel();
    return error;
}

DbError GridModel::openQuery(Database &database, const QueryDef &query)
{
    beginResetModel();
    dropCache();
    m_rowids.clear();
    m_pendingRow = -1;
    auto rows = std::make_unique<QueryRows>();
    DbError error = rows->open(database, query);
    if (!error.isError()) {
        Result<std::vector<qint64>> rowids = rows->rowids(QueryShape());
        error = rowids.error();
        if (rowids) {
            m_shape = QueryShape();
            m_rowids = std::move(rowids).value();
        }
    }
    m_rows.reset(error.isError() ? nullptr : rows.release());
    endResetModel();
    return error;
}

void GridModel::close()
{
    beginResetModel();
    dropCache();
    m_rows.reset();
    m_rowids.clear();
    m_pendingRow = -1;
    m_shape = QueryShape();
    endResetModel();
}

DbError GridModel::requery()
{
    return reshape(m_shape);
}

DbError GridModel::reshape(const QueryShape &shape)
{
    if (!isOpen())
        return DbError::make(ErrorNumber::InvalidOperation);
    Result<std::vector<qint64>> rowids = m_rows->rowids(shape);
    if (!rowids)
        return rowids.error();
    beginResetModel();
    dropCache();
    m_pendingRow = -1;
    m_shape = shape;
    m_rowids = std::move(rowids).value();
    endResetModel();
    return {};
}

void GridModel::setAddRowEnabled(bool enabled)
{
    // A read-only result, or a query's, takes no new rows.
    if (enabled && m_rows && !m_rows->canAdd())
        enabled = false;
    if (enabled == m_addRow)
        return;
    beginResetModel();
    m_addRow = enabled;
    endResetModel();
}

bool GridModel::isNewRecordRow(int row) const
{
    return m_addRow && isOpen() && row == int(m_rowids.size());
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !isOpen())
        return 0;
    const qint64 rows = qint64(m_rowids.size()) + (m_addRow ? 1 : 0);
    return int(std::min<qint64>(rows, std::numeric_limits<int>::max()));
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(fields().size());
}

const QVariantList *GridModel::rowValues(int row) const
{
    if (row < 0 || row >= int(m_rowids.size()))
        return nullptr;
    const qint64 page = row / pageSize;
    auto found = m_pages.constFind(page);
    if (found == m_pages.constEnd()) {
        if (m_readFailed)
            return nullptr;
        if (m_pages.size() >= maxCachedPages)
            m_pages.clear();
        const size_t first = size_t(page) * pageSize;
        const size_t last = std::min(first + pageSize, m_rowids.size());
        const std::vector<qint64> wanted(m_rowids.begin() + qsizetype(first), m_rowids.begin() + qsizetype(last));
        const Result<QHash<qint64, QVariantList>> read = m_rows->values(wanted);
        if (!read) {
            reportReadFailure(read.error());
            return nullptr;
        }
        QList<QVariantList> rows;
        rows.reserve(qsizetype(wanted.size()));
        // A row deleted by another window meanwhile shows empty.
        for (const qint64 rowid : wanted)
            rows << read.value().value(rowid, QVariantList(fields().size()));
        found = m_pages.insert(page, rows);
    }
    return &found.value()[row % pageSize];
}

void GridModel::reportReadFailure(const DbError &error) const
{
    m_readFailed = true;
    // The view asks for values while it paints; a window that answers the
    // signal with a message box must not open it in the middle of a paint.
    // (data() is const; the report is no part of its answer.)
    auto *self = const_cast<GridModel *>(this);
    QMetaObject::invokeMethod(self, [self, error] { Q_EMIT self->errorOccurred(error); }, Qt::QueuedConnection);
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    if (index.row() == m_pendingRow && m_pendingChanged.value(index.column()))
        return m_pendingValues.value(index.column());
    const QVariantList *values = rowValues(index.row());
    const QVariant value = values ? values->value(index.column()) : QVariant();
    // Numbers with a fraction are shown and edited as their shortest exact
    // text: the view's own display keeps six digits, and its spin box editor
    // two decimals, either of which would change the value a user sees or saves.
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    return value;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < fields().size() ? QVariant(fields()[section].name) : QVariant();
    if (isNewRecordRow(section))
        return QStringLiteral("*");
    return section == m_pendingRow ? QVariant(QStringLiteral("✎")) : QVariant(section + 1);
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags shown = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    return isEditable() ? shown | Qt::ItemIsEditable : shown;
}

bool GridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !isEditable())
        return false;
    const int row = index.row();
    // Moving to another row writes the row being left first.
    if (m_pendingRow >= 0 && m_pendingRow != row && !submit())
        return false;
    if (data(index, Qt::EditRole) == value && m_pendingRow != row)
        return false;
    // A text that cannot go into a numeric field is refused in its cell, so
    // the cell can keep it for the user to correct; the row's other edits stay.
    const FieldDef &field = fields().at(index.column());
    if (QVariant stored; !storedValue(field, value, &stored)) {
        Q_EMIT errorOccurred(conversionError(field.name));
        return false;
    }
    if (m_pendingRow != row) {
        m_pendingRow = row;
        m_pendingValues = QVariantList(fields().size());
        m_pendingChanged = QList<bool>(fields().size(), false);
        Q_EMIT headerDataChanged(Qt::Vertical, row, row);
    }
    m_pendingValues[index.column()] = value;
    m_pendingChanged[index.column()] = true;
    Q_EMIT dataChanged(index, index);
    return true;
}

bool GridModel::submit()
{
    if (m_pendingRow < 0)
        return true;
    const int row = m_pendingRow;
    const bool adding = isNewRecordRow(row);
    auto drop = [this, row] {
        m_pendingRow = -1;
        Q_EMIT headerDataChanged(Qt::Vertical, row, row);
        Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
    };
    if (confirmCommit && !confirmCommit()) {
        drop();
        return false;
    }
    RowSource::Values values;
    for (int c = 0; c < fields().size(); ++c) {
        if (!m_pendingChanged[c])
            continue;
        QVariant stored;
        if (!storedValue(fields()[c], m_pendingValues[c], &stored)) {
            drop();
            Q_EMIT errorOccurred(conversionError(fields()[c].name));
            return false;
        }
        values.insert(c, stored);
    }
    qint64 rowid = 0;
    DbError error;
    if (adding) {
        const Result<qint64> inserted = m_rows->insert(values);
        error = inserted.error();
        rowid = inserted.valueOr(0);
    } else {
        error = m_rows->update(m_rowids[size_t(row)], values);
    }
    if (error.isError()) {
        drop();
        Q_EMIT errorOccurred(error);
        return false;
    }
    if (adding) {
        m_pendingRow = -1;
        // The new record takes the place of the empty row, and a fresh empty
        // row follows it.
        beginInsertRows({}, row + 1, row + 1);
        m_rowids.push_back(rowid);
        m_pages.remove(row / pageSize);
        endInsertRows();
        Q_EMIT headerDataChanged(Qt::Vertical, row, row + 1);
        Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
    } else {
        m_pages.remove(row / pageSize);
        drop();
    }
    Q_EMIT rowWritten(adding);
    return true;
}

void GridModel::revert()
{
    if (m_pendingRow < 0)
        return;
    const int row = m_pendingRow;
    m_pendingRow = -1;
    Q_EMIT headerDataChanged(Qt::Vertical, row, row);
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

bool GridModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || count != 1 || row < 0 || !isOpen())
        return false;
    if (!isEditable()) {
        Q_EMIT errorOccurred(DbError::make(ErrorNumber::ReadOnly));
        return false;
    }
    if (isNewRecordRow(row)) {
        revert();
        return false;
    }
    if (row >= int(m_rowids.size()))
        return false;
    if (confirmDelete && !confirmDelete())
        return false;
    if (m_pendingRow == row)
        revert();
    if (const DbError error = m_rows->remove(m_rowids[size_t(row)]); error.isError()) {
        Q_EMIT errorOccurred(error);
        return false;
    }
    beginRemoveRows({}, row, row);
    m_rowids.erase(m_rowids.begin() + row);
    if (m_pendingRow > row)
        --m_pendingRow;
    m_pages.clear();
    endRemoveRows();
    Q_EMIT rowDeleted();
    return true;
}

} // namespace tw
