// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/grids/gridmodel.h"

#include "core/db/connection.h"
#include "core/db/database.h"
#include "core/db/identifier.h"

#include <QLocale>
#include <QSqlError>
#include <QSqlRecord>

#include <sqlite3.h>

#include <algorithm>

namespace tw {

namespace {
constexpr int pageSize = 128;
// Enough pages for several screens of scrolling back and forth; beyond that
// the cache starts again rather than growing with the table.
constexpr int maxCachedPages = 64;

DbError conversionError()
{
    return DbError{3421, QStringLiteral("Data type conversion error.")};
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

QSqlDatabase GridModel::db() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

void GridModel::dropCache()
{
    m_pages.clear();
    m_pageQuery = QSqlQuery();
    m_pageQueryReady = false;
}

DbError GridModel::open(Database &database, const QueryShape &shape)
{
    beginResetModel();
    dropCache();
    m_connectionName.clear();
    m_rowids.clear();
    m_fields.clear();
    m_pendingRow = -1;
    const Result<QString> stored = database.findTable(shape.table());
    DbError error = stored.error();
    if (!error.isError()) {
        const Result<QList<FieldDef>> fields = database.fields(stored.value());
        error = fields.error();
        if (!error.isError()) {
            m_fields = fields.value();
            m_rowidColumn.clear();
            // A table may use one of the rowid names for a field of its own;
            // one of the other names then still reaches the row key.
            for (const char *candidate : {"rowid", "_rowid_", "oid"}) {
                const bool taken = std::any_of(m_fields.cbegin(), m_fields.cend(), [&](const FieldDef &f) {
                    return f.name.compare(QLatin1String(candidate), Qt::CaseInsensitive) == 0;
                });
                if (!taken) {
                    m_rowidColumn = QLatin1String(candidate);
                    break;
                }
            }
            // The stored spelling of the name, so captions and SQL agree.
            QueryShape named(stored.value(), shape.schema());
            for (const QString &filter : shape.filters())
                named = named.filteredBy(filter);
            named = named.sortedBy(shape.sort());
            m_connectionName = database.connectionName();
            error = m_rowidColumn.isEmpty() ? DbError::make(ErrorNumber::InvalidOperation)
                                            : loadRowids(named, m_rowids);
            if (!error.isError())
                m_shape = named;
        }
    }
    if (error.isError()) {
        m_connectionName.clear();
        m_fields.clear();
        m_rowids.clear();
    }
    endResetModel();
    return error;
}

void GridModel::close()
{
    beginResetModel();
    dropCache();
    m_connectionName.clear();
    m_rowids.clear();
    m_fields.clear();
    m_pendingRow = -1;
    m_shape = QueryShape();
    endResetModel();
}

namespace {
// Reads the rowids of a statement straight from the SQLite handle. A table of
// a million rows then lists in the time the engine takes, instead of paying a
// QVariant and a driver call per row. False when the statement cannot run
// this way; the caller then reads through QtSql, which reports the error.
bool readRowidsDirectly(const QSqlDatabase &db, const QString &sql, std::vector<qint64> &rowids)
{
    sqlite3 *handle = detail::sqliteHandle(db);
    if (!handle)
        return false;
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return false;
    }
    std::vector<qint64> loaded;
    int status;
    while ((status = sqlite3_step(statement)) == SQLITE_ROW)
        loaded.push_back(sqlite3_column_int64(statement, 0));
    sqlite3_finalize(statement);
    if (status != SQLITE_DONE)
        return false;
    rowids = std::move(loaded);
    return true;
}
} // namespace

DbError GridModel::loadRowids(const QueryShape &shape, std::vector<qint64> &rowids) const
{
    // The rowid breaks ties, so rows of equal sort keys keep table order.
    const QString sql = shape.selectSql(m_rowidColumn, m_rowidColumn);
    if (readRowidsDirectly(db(), sql, rowids))
        return {};
    QSqlQuery query(db());
    query.setForwardOnly(true);
    if (!query.exec(sql))
        return mapEngineError(query.lastError(), ErrorContext::Expression);
    std::vector<qint64> loaded;
    while (query.next())
        loaded.push_back(query.value(0).toLongLong());
    if (query.lastError().isValid())
        return mapEngineError(query.lastError(), ErrorContext::Expression);
    rowids = std::move(loaded);
    return {};
}

DbError GridModel::requery()
{
    return reshape(m_shape);
}

DbError GridModel::reshape(const QueryShape &shape)
{
    if (!isOpen())
        return DbError::make(ErrorNumber::InvalidOperation);
    std::vector<qint64> rowids;
    if (const DbError error = loadRowids(shape, rowids); error.isError())
        return error;
    beginResetModel();
    dropCache();
    m_pendingRow = -1;
    m_shape = shape;
    m_rowids = std::move(rowids);
    endResetModel();
    return {};
}

void GridModel::setAddRowEnabled(bool enabled)
{
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
    return parent.isValid() ? 0 : int(m_fields.size());
}

const QVariantList *GridModel::rowValues(int row) const
{
    if (row < 0 || row >= int(m_rowids.size()))
        return nullptr;
    const qint64 page = row / pageSize;
    auto found = m_pages.constFind(page);
    if (found == m_pages.constEnd()) {
        if (m_pages.size() >= maxCachedPages)
            m_pages.clear();
        if (!m_pageQueryReady) {
            QStringList columns{m_rowidColumn};
            for (const FieldDef &field : m_fields)
                columns << quoteIdentifier(field.name);
            m_pageQuery = QSqlQuery(db());
            m_pageQuery.setForwardOnly(true);
            const QString placeholders = QStringList(pageSize, QStringLiteral("?")).join(u',');
            m_pageQueryReady = m_pageQuery.prepare(QStringLiteral("SELECT ") + columns.join(QStringLiteral(", "))
                                                   + QStringLiteral(" FROM ") + m_shape.fromClause()
                                                   + QStringLiteral(" WHERE ") + m_rowidColumn
                                                   + QStringLiteral(" IN (") + placeholders + u')');
            if (!m_pageQueryReady)
                return nullptr;
        }
        const qsizetype first = page * pageSize;
        const qsizetype last = std::min<qsizetype>(first + pageSize, qsizetype(m_rowids.size()));
        for (int i = 0; i < pageSize; ++i)
            m_pageQuery.bindValue(i, m_rowids[size_t(std::min(first + i, last - 1))]);
        QHash<qint64, QVariantList> byRowid;
        if (m_pageQuery.exec()) {
            while (m_pageQuery.next()) {
                QVariantList values;
                values.reserve(m_fields.size());
                for (int c = 0; c < m_fields.size(); ++c)
                    values << m_pageQuery.value(c + 1);
                byRowid.insert(m_pageQuery.value(0).toLongLong(), values);
            }
        }
        m_pageQuery.finish();
        QList<QVariantList> rows;
        rows.reserve(last - first);
        // A row deleted by another window meanwhile shows empty.
        for (qsizetype r = first; r < last; ++r)
            rows << byRowid.value(m_rowids[size_t(r)], QVariantList(m_fields.size()));
        found = m_pages.insert(page, rows);
    }
    return &found.value()[row % pageSize];
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
        return section >= 0 && section < m_fields.size() ? QVariant(m_fields[section].name) : QVariant();
    if (isNewRecordRow(section))
        return QStringLiteral("*");
    return section == m_pendingRow ? QVariant(QStringLiteral("✎")) : QVariant(section + 1);
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

bool GridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !isOpen())
        return false;
    const int row = index.row();
    // Moving to another row writes the row being left first.
    if (m_pendingRow >= 0 && m_pendingRow != row && !submit())
        return false;
    if (data(index, Qt::EditRole) == value && m_pendingRow != row)
        return false;
    if (m_pendingRow != row) {
        m_pendingRow = row;
        m_pendingValues = QVariantList(m_fields.size());
        m_pendingChanged = QList<bool>(m_fields.size(), false);
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
    QStringList columns;
    QVariantList values;
    for (int c = 0; c < m_fields.size(); ++c) {
        if (!m_pendingChanged[c])
            continue;
        QVariant stored;
        if (!storedValue(m_fields[c], m_pendingValues[c], &stored)) {
            drop();
            Q_EMIT errorOccurred(conversionError());
            return false;
        }
        columns << quoteIdentifier(m_fields[c].name);
        values << stored;
    }
    QSqlQuery query(db());
    QString sql;
    if (adding) {
        sql = QStringLiteral("INSERT INTO ") + m_shape.fromClause() + QStringLiteral(" (") + columns.join(u',')
            + QStringLiteral(") VALUES (") + QStringList(columns.size(), QStringLiteral("?")).join(u',') + u')';
    } else {
        sql = QStringLiteral("UPDATE ") + m_shape.fromClause() + QStringLiteral(" SET ")
            + columns.join(QStringLiteral(" = ?, ")) + QStringLiteral(" = ? WHERE ") + m_rowidColumn
            + QStringLiteral(" = ?");
        values << m_rowids[size_t(row)];
    }
    bool ok = query.prepare(sql);
    for (int i = 0; ok && i < values.size(); ++i)
        query.bindValue(i, values[i]);
    ok = ok && query.exec();
    if (!ok) {
        const DbError error = mapEngineError(query.lastError());
        drop();
        Q_EMIT errorOccurred(error);
        return false;
    }
    if (adding) {
        const qint64 rowid = query.lastInsertId().toLongLong();
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
    QSqlQuery query(db());
    const bool ok = query.prepare(QStringLiteral("DELETE FROM ") + m_shape.fromClause() + QStringLiteral(" WHERE ")
                                  + m_rowidColumn + QStringLiteral(" = ?"));
    if (ok)
        query.bindValue(0, m_rowids[size_t(row)]);
    if (!ok || !query.exec()) {
        Q_EMIT errorOccurred(mapEngineError(query.lastError()));
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
