// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/db/recordset.h"

#include "core/db/connection.h"
#include "core/db/dialect.h"
#include "core/db/identifier.h"

#include <QDate>
#include <QDateTime>
#include <QSqlError>
#include <QTime>

#include <algorithm>

namespace tw {

struct Recordset::Data {
    struct IndexColumn {
        QString name;
        QString collation;
    };

    std::weak_ptr<detail::Connection> connection;
    std::shared_ptr<detail::Snapshot> snapshot;
    QueryShape shape;
    RecordsetType type = RecordsetType::Dynaset;
    bool updatable = false;
    QString source;
    QList<FieldDef> fields;
    QString rowidColumn;

    std::vector<qint64> rowids;
    qint64 pos = -1; // -1 before the first row, rowids.size() after the last
    bool currentDeleted = false;
    bool currentLoaded = false;
    QVariantList current;

    EditMode editMode = EditMode::None;
    QVariantList buffer;
    QList<bool> changed;

    bool noMatch = false;
    QString index;
    QList<IndexColumn> indexColumns;

    QSqlQuery fetch; // prepared once; reset after every read
    bool fetchPrepared = false;

    qint64 size() const { return qint64(rowids.size()); }
};

namespace {

QVariant normalizedFor(const FieldDef &field, const QVariant &value)
{
    if (value.isNull())
        return QVariant();
    // An empty entry in a number or date field means "no value", as a bound
    // text box delivers it.
    if ((field.isNumeric() || field.type == FieldType::Date) && value.typeId() == QMetaType::QString
        && value.toString().trimmed().isEmpty())
        return QVariant();
    switch (field.type) {
    case FieldType::Boolean:
        if (value.typeId() == QMetaType::Bool)
            return value.toBool() ? 1 : 0;
        return value;
    case FieldType::Date:
        if (value.typeId() == QMetaType::QDate)
            return value.toDate().toString(Qt::ISODate);
        if (value.typeId() == QMetaType::QDateTime) {
            const QDateTime dt = value.toDateTime();
            return dt.time() == QTime(0, 0) ? dt.date().toString(Qt::ISODate)
                                            : dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        }
        if (value.typeId() == QMetaType::QTime)
            return value.toTime().toString(QStringLiteral("HH:mm:ss"));
        return value;
    case FieldType::Text:
    case FieldType::Memo:
        if (value.typeId() == QMetaType::QByteArray)
            return value;
        return value.toString();
    default:
        return value;
    }
}

} // namespace

Recordset::Recordset() = default;
Recordset::Recordset(Recordset &&) noexcept = default;
Recordset &Recordset::operator=(Recordset &&) noexcept = default;
Recordset::~Recordset() = default;

bool Recordset::isOpen() const
{
    return static_cast<bool>(m_data);
}

void Recordset::close()
{
    m_data.reset();
}

Result<Recordset> Recordset::open(std::shared_ptr<detail::Connection> connection, const QueryShape &shape,
                                  RecordsetType type, bool updatable, const QString &source,
                                  QList<FieldDef> fields, std::shared_ptr<detail::Snapshot> snapshot)
{
    if (!connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    Recordset rs;
    rs.m_data = std::make_unique<Data>();
    Data &d = *rs.m_data;
    d.connection = connection;
    d.snapshot = std::move(snapshot);
    d.shape = shape;
    d.type = type;
    d.updatable = updatable && type != RecordsetType::Snapshot;
    d.source = source;
    d.fields = std::move(fields);
    // A table may have a column called rowid; the engine's other names for
    // the row key then still reach it.
    for (const char *candidate : {"rowid", "_rowid_", "oid"}) {
        if (rs.fieldIndex(QLatin1String(candidate)) < 0) {
            d.rowidColumn = QLatin1String(candidate);
            break;
        }
    }
    if (d.rowidColumn.isEmpty())
        return DbError::make(ErrorNumber::InvalidOperation);
    if (const DbError error = rs.loadRowids(); error.isError())
        return error;
    return rs;
}

QString Recordset::orderTieBreak() const
{
    QStringList keys;
    for (const Data::IndexColumn &column : m_data->indexColumns)
        keys.append(quoteIdentifier(column.name) + QStringLiteral(" COLLATE ") + quoteIdentifier(column.collation));
    keys.append(m_data->rowidColumn);
    return keys.join(QStringLiteral(", "));
}

DbError Recordset::loadRowids()
{
    Data &d = *m_data;
    const auto connection = d.connection.lock();
    if (!connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    QSqlQuery query(connection->db());
    query.setForwardOnly(true);
    if (!query.exec(d.shape.selectSql(d.rowidColumn, orderTieBreak())))
        return mapEngineError(query.lastError(), ErrorContext::Expression);
    std::vector<qint64> rowids;
    while (query.next())
        rowids.push_back(query.value(0).toLongLong());
    if (query.lastError().isValid())
        return mapEngineError(query.lastError(), ErrorContext::Expression);
    query.finish();
    d.rowids = std::move(rowids);
    d.pos = d.rowids.empty() ? -1 : 0;
    d.currentDeleted = false;
    d.currentLoaded = false;
    d.editMode = EditMode::None;
    d.noMatch = false;
    return {};
}

DbError Recordset::loadCurrent() const
{
    Data &d = *m_data;
    if (d.currentLoaded)
        return {};
    if (!hasCurrent())
        return DbError::make(ErrorNumber::NoCurrentRecord);
    const auto connection = d.connection.lock();
    if (!connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (!d.fetchPrepared) {
        QStringList columns;
        for (const FieldDef &field : d.fields)
            columns.append(quoteIdentifier(field.name));
        d.fetch = QSqlQuery(connection->db());
        d.fetch.setForwardOnly(true);
        const QString sql = QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) + QStringLiteral(" FROM ")
            + d.shape.fromClause() + QStringLiteral(" WHERE ") + d.rowidColumn + QStringLiteral(" = ?");
        if (!d.fetch.prepare(sql)) {
            const DbError error = mapEngineError(d.fetch.lastError());
            d.fetch = QSqlQuery();
            return error;
        }
        d.fetchPrepared = true;
    }
    d.fetch.addBindValue(d.rowids[size_t(d.pos)]);
    if (!d.fetch.exec())
        return mapEngineError(d.fetch.lastError());
    const bool found = d.fetch.next();
    d.current.clear();
    for (int i = 0; i < d.fields.size(); ++i)
        d.current.append(found ? d.fetch.value(i) : QVariant());
    d.fetch.finish();
    if (!found)
        return DbError::make(ErrorNumber::RecordDeleted);
    d.currentLoaded = true;
    return {};
}

bool Recordset::hasCurrent() const
{
    return m_data && !m_data->currentDeleted && m_data->pos >= 0 && m_data->pos < m_data->size();
}

RecordsetType Recordset::type() const
{
    return m_data ? m_data->type : RecordsetType::Snapshot;
}

bool Recordset::isUpdatable() const
{
    return m_data && m_data->updatable;
}

QString Recordset::source() const
{
    return m_data ? m_data->source : QString();
}

QueryShape Recordset::shape() const
{
    return m_data ? m_data->shape : QueryShape();
}

QString Recordset::selectSql() const
{
    if (!m_data)
        return {};
    QStringList columns;
    for (const FieldDef &field : m_data->fields)
        columns.append(quoteIdentifier(field.name));
    return m_data->shape.selectSql(columns.join(QStringLiteral(", ")), orderTieBreak());
}

const QList<FieldDef> &Recordset::fields() const
{
    static const QList<FieldDef> none;
    return m_data ? m_data->fields : none;
}

int Recordset::fieldIndex(const QString &name) const
{
    if (!m_data)
        return -1;
    for (int i = 0; i < m_data->fields.size(); ++i) {
        if (m_data->fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool Recordset::isBof() const
{
    return !m_data || m_data->rowids.empty() || m_data->pos < 0;
}

bool Recordset::isEof() const
{
    return !m_data || m_data->rowids.empty() || m_data->pos >= m_data->size();
}

qint64 Recordset::recordCount() const
{
    return m_data ? m_data->size() : 0;
}

qint64 Recordset::absolutePosition() const
{
    return hasCurrent() ? m_data->pos : -1;
}

DbError Recordset::setAbsolutePosition(qint64 position)
{
    if (!m_data)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (position < 0 || position >= m_data->size())
        return DbError::make(ErrorNumber::InvalidArgument);
    cancelUpdate();
    m_data->pos = position;
    m_data->currentDeleted = false;
    m_data->currentLoaded = false;
    return {};
}

DbError Recordset::moveFirst()
{
    if (!m_data)
        return DbError::make(ErrorNumber::InvalidOperation);
    cancelUpdate();
    m_data->currentDeleted = false;
    m_data->currentLoaded = false;
    if (m_data->rowids.empty()) {
        m_data->pos = -1;
        return DbError::make(ErrorNumber::NoCurrentRecord);
    }
    m_data->pos = 0;
    return {};
}

DbError Recordset::moveLast()
{
    if (!m_data)
        return DbError::make(ErrorNumber::InvalidOperation);
    cancelUpdate();
    m_data->currentDeleted = false;
    m_data->currentLoaded = false;
    if (m_data->rowids.empty()) {
        m_data->pos = -1;
        return DbError::make(ErrorNumber::NoCurrentRecord);
    }
    m_data->pos = m_data->size() - 1;
    return {};
}

DbError Recordset::moveNext()
{
    if (!m_data)
        return DbError::make(ErrorNumber::InvalidOperation);
    cancelUpdate();
    m_data->currentLoaded = false;
    if (m_data->currentDeleted) {
        // The deleted row's place is now held by the row after it.
        m_data->currentDeleted = false;
        m_data->pos = std::min(m_data->pos, m_data->size());
        return {};
    }
    if (isEof())
        return DbError::make(ErrorNumber::NoCurrentRecord);
    ++m_data->pos;
    return {};
}

DbError Recordset::movePrevious()
{
    if (!m_data)
        return DbError::make(ErrorNumber::InvalidOperation);
    cancelUpdate();
    m_data->currentLoaded = false;
    if (!m_data->currentDeleted && isBof())
        return DbError::make(ErrorNumber::NoCurrentRecord);
    m_data->currentDeleted = false;
    m_data->pos = std::max<qint64>(m_data->pos - 1, -1);
    return {};
}

DbError Recordset::move(qint64 rows)
{
    if (!m_data)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (rows == 0)
        return hasCurrent() ? DbError() : DbError::make(ErrorNumber::NoCurrentRecord);
    if (!hasCurrent() && !m_data->currentDeleted)
        return DbError::make(ErrorNumber::NoCurrentRecord);
    cancelUpdate();
    qint64 target = m_data->pos + rows;
    if (m_data->currentDeleted && rows > 0)
        --target; // the row after the deleted one already sits at pos
    m_data->currentDeleted = false;
    m_data->currentLoaded = false;
    m_data->pos = std::clamp<qint64>(target, -1, m_data->size());
    return {};
}

Result<QVariant> Recordset::value(const QString &field) const
{
    const int index = fieldIndex(field);
    if (index < 0)
        return DbError::make(ErrorNumber::ItemNotFound);
    return value(index);
}

Result<QVariant> Recordset::value(int index) const
{
    if (!m_data)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (index < 0 || index >= m_data->fields.size())
        return DbError::make(ErrorNumber::ItemNotFound);
    if (m_data->editMode != EditMode::None)
        return m_data->buffer.value(index);
    if (m_data->currentDeleted)
        return DbError::make(ErrorNumber::RecordDeleted);
    if (const DbError error = loadCurrent(); error.isError())
        return error;
    return m_data->current.value(index);
}

DbError Recordset::setValue(const QString &field, const QVariant &value)
{
    const int index = fieldIndex(field);
    if (index < 0)
        return DbError::make(ErrorNumber::ItemNotFound);
    return setValue(index, value);
}

DbError Recordset::setValue(int index, const QVariant &value)
{
    if (!m_data)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (index < 0 || index >= m_data->fields.size())
        return DbError::make(ErrorNumber::ItemNotFound);
    if (m_data->editMode == EditMode::None)
        return DbError::make(ErrorNumber::UpdateWithoutEdit);
    m_data->buffer[index] = normalizedFor(m_data->fields[index], value);
    m_data->changed[index] = true;
    return {};
}

Recordset::EditMode Recordset::editMode() const
{
    return m_data ? m_data->editMode : EditMode::None;
}

DbError Recordset::addNew()
{
    if (!m_data)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (!m_data->updatable)
        return DbError::make(ErrorNumber::ReadOnly);
    m_data->editMode = EditMode::Add;
    m_data->buffer = QVariantList(m_data->fields.size());
    m_data->changed = QList<bool>(m_data->fields.size(), false);
    return {};
}

DbError Recordset::edit()
{
    if (!m_data)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (!m_data->updatable)
        return DbError::make(ErrorNumber::ReadOnly);
    if (!hasCurrent())
        return DbError::make(ErrorNumber::NoCurrentRecord);
    if (const DbError error = loadCurrent(); error.isError())
        return error;
    m_data->editMode = EditMode::Edit;
    m_data->buffer = m_data->current;
    m_data->changed = QList<bool>(m_data->fields.size(), false);
    return {};
}

DbError Recordset::update()
{
    if (!m_data)
        return DbError::make(ErrorNumber::InvalidOperation);
    Data &d = *m_data;
    if (d.editMode == EditMode::None)
        return DbError::make(ErrorNumber::UpdateWithoutEdit);
    const auto connection = d.connection.lock();
    if (!connection)
        return DbError::make(ErrorNumber::InvalidOperation);

    QStringList columns;
    QVariantList values;
    for (int i = 0; i < d.fields.size(); ++i) {
        if (d.changed[i]) {
            columns.append(quoteIdentifier(d.fields[i].name));
            values.append(d.buffer[i]);
        }
    }
    QSqlQuery query(connection->db());
    query.setForwardOnly(true);
    QString sql;
    if (d.editMode == EditMode::Add) {
        if (columns.isEmpty()) {
            sql = QStringLiteral("INSERT INTO ") + d.shape.fromClause() + QStringLiteral(" DEFAULT VALUES");
        } else {
            sql = QStringLiteral("INSERT INTO ") + d.shape.fromClause() + QStringLiteral(" (")
                + columns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (")
                + QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", ")) + u')';
        }
    } else {
        if (columns.isEmpty()) {
            d.editMode = EditMode::None;
            return {};
        }
        sql = QStringLiteral("UPDATE ") + d.shape.fromClause() + QStringLiteral(" SET ")
            + columns.join(QStringLiteral(" = ?, ")) + QStringLiteral(" = ? WHERE ") + d.rowidColumn
            + QStringLiteral(" = ?");
        values.append(d.rowids[size_t(d.pos)]);
    }
    if (!query.prepare(sql))
        return mapEngineError(query.lastError());
    for (const QVariant &value : std::as_const(values))
        query.addBindValue(value);
    if (!query.exec())
        return mapEngineError(query.lastError());
    // Another connection deleted the row after edit() read it: the values
    // went nowhere, which must not pass for stored.
    if (d.editMode == EditMode::Edit && query.numRowsAffected() == 0)
        return DbError::make(ErrorNumber::RecordDeleted);

    if (d.editMode == EditMode::Add) {
        // New rows join the end of the set; the current row stays current.
        const bool atEnd = d.pos >= d.size();
        d.rowids.push_back(query.lastInsertId().toLongLong());
        if (atEnd)
            d.pos = d.size();
    }
    query.finish();
    d.editMode = EditMode::None;
    d.buffer.clear();
    d.changed.clear();
    d.currentLoaded = false;
    return {};
}

void Recordset::cancelUpdate()
{
    if (!m_data)
        return;
    m_data->editMode = EditMode::None;
    m_data->buffer.clear();
    m_data->changed.clear();
}

DbError Recordset::deleteRecord()
{
    if (!m_data)
        return DbError::make(ErrorNumber::InvalidOperation);
    Data &d = *m_data;
    if (!d.updatable)
        return DbError::make(ErrorNumber::ReadOnly);
    if (!hasCurrent())
        return DbError::make(ErrorNumber::NoCurrentRecord);
    const auto connection = d.connection.lock();
    if (!connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    cancelUpdate();
    const auto result = detail::execute(connection->db(),
                                        QStringLiteral("DELETE FROM ") + d.shape.fromClause() + QStringLiteral(" WHERE ")
                                            + d.rowidColumn + QStringLiteral(" = ?"),
                                        {d.rowids[size_t(d.pos)]});
    if (!result)
        return result.error();
    d.rowids.erase(d.rowids.begin() + d.pos);
    d.currentDeleted = true;
    d.currentLoaded = false;
    return {};
}

DbError Recordset::setIndex(const QString &indexName)
{
    if (!m_data)
        return DbError::make(ErrorNumber::InvalidOperation);
    Data &d = *m_data;
    if (d.type != RecordsetType::Table)
        return DbError::make(ErrorNumber::NotSupportedForType);
    const auto connection = d.connection.lock();
    if (!connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    QSqlQuery query(connection->db());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ? "
                                 "ORDER BY rowid"));
    query.addBindValue(d.shape.table());
    if (!query.exec())
        return mapEngineError(query.lastError());
    QString stored;
    while (query.next()) {
        if (query.value(0).toString().compare(indexName, Qt::CaseInsensitive) == 0)
            stored = query.value(0).toString();
    }
    query.finish();
    if (stored.isEmpty())
        return DbError::make(ErrorNumber::ItemNotFound);

    QSqlQuery info(connection->db());
    info.setForwardOnly(true);
    info.prepare(QStringLiteral("SELECT name, coll FROM pragma_index_xinfo(?) WHERE key = 1 ORDER BY seqno"));
    info.addBindValue(stored);
    if (!info.exec())
        return mapEngineError(info.lastError());
    QList<Data::IndexColumn> columns;
    while (info.next()) {
        if (info.value(0).isNull())
            return DbError::make(ErrorNumber::NotSupportedForType); // an index on an expression
        columns.append({info.value(0).toString(), info.value(1).toString()});
    }
    info.finish();
    const QList<Data::IndexColumn> previous = d.indexColumns;
    const QString previousName = d.index;
    d.indexColumns = columns;
    d.index = stored;
    if (const DbError error = loadRowids(); error.isError()) {
        d.indexColumns = previous;
        d.index = previousName;
        return error;
    }
    return {};
}

QString Recordset::index() const
{
    return m_data ? m_data->index : QString();
}

DbError Recordset::seek(const QString &comparison, const QVariantList &keys)
{
    if (!m_data)
        return DbError::make(ErrorNumber::InvalidOperation);
    Data &d = *m_data;
    if (d.type != RecordsetType::Table)
        return DbError::make(ErrorNumber::NotSupportedForType);
    if (d.indexColumns.isEmpty())
        return DbError::make(ErrorNumber::NoCurrentIndex);
    const QString op = comparison.trimmed();
    static const QStringList operators = {QStringLiteral("="), QStringLiteral(">="), QStringLiteral(">"),
                                          QStringLiteral("<="), QStringLiteral("<")};
    if (!operators.contains(op) || keys.isEmpty() || keys.size() > d.indexColumns.size())
        return DbError::make(ErrorNumber::InvalidArgument);
    const auto connection = d.connection.lock();
    if (!connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    cancelUpdate();

    QStringList left;
    QStringList order;
    const bool backwards = op.startsWith(u'<');
    for (int i = 0; i < d.indexColumns.size(); ++i) {
        const QString column = quoteIdentifier(d.indexColumns[i].name) + QStringLiteral(" COLLATE ")
            + quoteIdentifier(d.indexColumns[i].collation);
        if (i < keys.size())
            left.append(column);
        order.append(column + (backwards ? QStringLiteral(" DESC") : QString()));
    }
    order.append(d.rowidColumn + (backwards ? QStringLiteral(" DESC") : QString()));
    QString condition;
    const QString placeholders = QStringList(keys.size(), QStringLiteral("?")).join(QStringLiteral(", "));
    if (op == QLatin1String("=")) {
        condition = left.join(QStringLiteral(" = ? AND ")) + QStringLiteral(" = ?");
    } else {
        condition = u'(' + left.join(QStringLiteral(", ")) + QStringLiteral(") ") + op + QStringLiteral(" (")
            + placeholders + u')';
    }
    QSqlQuery query(connection->db());
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral("SELECT ") + d.rowidColumn + QStringLiteral(" FROM ") + d.shape.fromClause()
                       + QStringLiteral(" WHERE ") + condition + QStringLiteral(" ORDER BY ")
                       + order.join(QStringLiteral(", ")) + QStringLiteral(" LIMIT 1")))
        return mapEngineError(query.lastError());
    for (const QVariant &key : keys)
        query.addBindValue(key);
    if (!query.exec())
        return mapEngineError(query.lastError());
    const bool found = query.next();
    const qint64 rowid = found ? query.value(0).toLongLong() : 0;
    query.finish();

    d.currentDeleted = false;
    d.currentLoaded = false;
    const auto at = found ? std::find(d.rowids.begin(), d.rowids.end(), rowid) : d.rowids.end();
    d.noMatch = at == d.rowids.end();
    // After a failed seek there is no current record.
    d.pos = d.noMatch ? d.size() : qint64(at - d.rowids.begin());
    return {};
}

bool Recordset::noMatch() const
{
    return m_data && m_data->noMatch;
}

Result<Recordset> Recordset::reshaped(const QueryShape &shape) const
{
    if (!m_data)
        return DbError::make(ErrorNumber::InvalidOperation);
    const auto connection = m_data->connection.lock();
    if (!connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    return open(connection, shape, m_data->type, m_data->updatable, m_data->source, m_data->fields,
                m_data->snapshot);
}

Result<Recordset> Recordset::sorted(const QString &sortExpression) const
{
    if (!m_data)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (m_data->type == RecordsetType::Table)
        return DbError::make(ErrorNumber::NotSupportedForType);
    return reshaped(m_data->shape.sortedBy(translateUserSql(sortExpression)));
}

Result<Recordset> Recordset::filtered(const QString &filterExpression) const
{
    if (!m_data)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (m_data->type == RecordsetType::Table)
        return DbError::make(ErrorNumber::NotSupportedForType);
    if (filterExpression.trimmed().isEmpty())
        return DbError::make(ErrorNumber::SyntaxErrorInExpression, filterExpression);
    return reshaped(m_data->shape.filteredBy(translateUserSql(filterExpression)));
}

Result<Recordset> Recordset::clone() const
{
    if (!m_data)
        return DbError::make(ErrorNumber::InvalidOperation);
    Result<Recordset> copy = reshaped(m_data->shape);
    // A clone that lost the index would walk in another order than this one.
    if (copy && !m_data->index.isEmpty()) {
        if (const DbError error = copy.value().setIndex(m_data->index); error.isError())
            return error;
    }
    return copy;
}

DbError Recordset::requery()
{
    if (!m_data)
        return DbError::make(ErrorNumber::InvalidOperation);
    return loadRowids();
}

} // namespace tw
