// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/db/database.h"

#include "core/db/connection.h"
#include "core/db/dialect.h"
#include "core/db/identifier.h"
#include "core/db/serveraddress.h"
#include "core/db/sqlfunctions.h"
#include "core/db/sqltokenizer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

#include <atomic>

namespace tw {

namespace {

// The engine keeps a count of its memory behind one lock, taken on every
// allocation: a tenth of a large save. The program reads none of those
// figures, so they go, once, before the engine starts up (afterwards the
// setting is refused and nothing changes).
void configureEngineOnce()
{
    static const bool configured = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;
    (void)configured;
}

QString newConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("tabwright-db-%1").arg(++counter);
}

// SQLite files start with this header; checking it first keeps the driver
// from ever touching a file that is something else.
bool hasDatabaseHeader(const QString &path, qint64 *size)
{
    QFile file(path);
    *size = file.size();
    if (!file.open(QIODevice::ReadOnly))
        return false;
    static const QByteArray header("SQLite format 3\0", 16);
    return file.read(16) == header;
}

void removeConnection(const QString &name)
{
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// Whether a text handed to openRecordset is a statement rather than the
// name of a table: it starts with a word that only statements start with.
bool isStatement(const QString &text)
{
    for (const SqlToken &t : tokenizeSql(text)) {
        if (t.kind == SqlToken::Space)
            continue;
        static const QStringList statementWords = {
            QStringLiteral("select"), QStringLiteral("values"), QStringLiteral("with"),   QStringLiteral("pragma"),
            QStringLiteral("explain"), QStringLiteral("insert"), QStringLiteral("update"), QStringLiteral("delete"),
            QStringLiteral("create"), QStringLiteral("drop"),   QStringLiteral("alter"),  QStringLiteral("replace")};
        return t.isPunct("(") || (t.kind == SqlToken::Word && statementWords.contains(t.text, Qt::CaseInsensitive));
    }
    return false;
}

// The name inside [brackets] or quotes, or the text itself.
QString tableNameFrom(const QString &text)
{
    const QList<SqlToken> tokens = tokenizeSql(text.trimmed());
    if (tokens.size() == 1 && (tokens[0].kind == SqlToken::Bracketed || tokens[0].kind == SqlToken::DoubleQuoted))
        return tokens[0].unquoted();
    return text.trimmed();
}

} // namespace

Database::Database() = default;

Database::~Database()
{
    close();
}

DbError Database::open(const QString &path, const QString &user, const QString &password, OpenMode mode)
{
    if (isServerAddress(path)) {
        const QString name = newConnectionName();
        QString display;
        if (const DbError error = detail::openServer(name, path, user, password, &display); error.isError())
            return error;
        close();
        m_connection = std::make_shared<detail::Connection>();
        m_connection->name = name;
        m_connection->path = display;
        m_connection->server = true;
        return {};
    }
    if (path.isEmpty())
        return DbError::make(ErrorNumber::FileNotFound, path);
    const QFileInfo info(path);
    const QString fullPath = info.absoluteFilePath();
    bool fresh = false;
    if (!info.exists()) {
        if (mode == OpenMode::ExistingOnly)
            return DbError::make(ErrorNumber::FileNotFound, path);
        if (!info.absoluteDir().exists())
            return DbError::make(ErrorNumber::PathFileAccess);
        fresh = true;
    } else if (info.isDir()) {
        return DbError::make(ErrorNumber::PathFileAccess);
    } else if (!info.isReadable()) {
        return DbError::make(ErrorNumber::PermissionDenied);
    } else {
        qint64 size = 0;
        const bool header = hasDatabaseHeader(fullPath, &size);
        // An empty file is no database: the engine would quietly make it one.
        if (size == 0 && mode == OpenMode::CreateIfMissing)
            fresh = true;
        else if (!header)
            return DbError::make(ErrorNumber::NotADatabase, path);
    }

    configureEngineOnce();
    const QString name = newConnectionName();
    DbError failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(fullPath);
        // Short: waiting helps against another program, never against a
        // second connection of our own on the same thread.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
        if (!db.open()) {
            failure = mapEngineError(db.lastError(), ErrorContext::Open);
        } else {
            // The driver opens lazily; reading the schema proves the file is
            // a database.
            QSqlQuery probe(db);
            if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !probe.next()) {
                failure = mapEngineError(probe.lastError(), ErrorContext::Open);
                if (!failure.isError())
                    failure = DbError::make(ErrorNumber::NotADatabase, path);
            }
            probe.finish();
            if (!failure.isError() && fresh) {
                // Writes the header at once, so the new file is a database
                // even before it has a table.
                if (!probe.exec(QStringLiteral("PRAGMA application_id = 1415668343")))
                    failure = mapEngineError(probe.lastError(), ErrorContext::Open);
                probe.finish();
            }
            if (!failure.isError() && !registerSqlFunctions(db))
                failure = DbError::make(ErrorNumber::InvalidOperation);
        }
        if (failure.number == ErrorNumber::OtherEngineError || failure.number == ErrorNumber::SyntaxError)
            failure = DbError::make(ErrorNumber::NotADatabase, path);
    }
    if (failure.isError()) {
        removeConnection(name);
        return failure;
    }
    close();
    m_connection = std::make_shared<detail::Connection>();
    m_connection->name = name;
    m_connection->path = fullPath;
    return {};
}

void Database::close()
{
    if (!m_connection)
        return;
    const QString name = m_connection->name;
    // A bulk insert still going keeps what it wrote: it commits and lets go
    // of its statement, which would otherwise keep the handle from closing.
    for (const auto &hook : QList(m_connection->beforeClose))
        hook.second();
    m_connection.reset(); // record sets still around now fail cleanly
    removeConnection(name);
}

bool Database::isOpen() const
{
    return static_cast<bool>(m_connection);
}

bool Database::isServer() const
{
    return m_connection && m_connection->server;
}

QString Database::name() const
{
    return m_connection ? m_connection->path : QString();
}

QString Database::connectionName() const
{
    return m_connection ? m_connection->name : QString();
}

QSqlDatabase Database::connection() const
{
    return m_connection ? m_connection->db() : QSqlDatabase();
}

Result<qint64> Database::exec(const QString &sql, const QVariantList &values)
{
    if (!m_connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    return detail::execute(m_connection->db(), sql, values);
}

Result<qint64> Database::execUser(const QString &userSql)
{
    if (!m_connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (hasTextAfterStatement(userSql))
        return DbError::make(ErrorNumber::CharactersAfterEnd);
    return detail::execute(m_connection->db(), translateUserSql(userSql), {});
}

Result<QVariant> Database::queryValue(const QString &sql, const QVariantList &values) const
{
    if (!m_connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    const QSqlDatabase db = m_connection->db();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    // The server prepares only queries and changes of rows (see execute()).
    const bool prepared = !values.isEmpty() || !detail::isServer(db);
    if (prepared && !query.prepare(sql))
        return detail::mapDriverError(db, query.lastError());
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!(prepared ? query.exec() : query.exec(sql)))
        return detail::mapDriverError(db, query.lastError());
    const QVariant value = query.next() ? query.value(0) : QVariant();
    query.finish();
    return value;
}

DbError Database::begin()
{
    if (!m_connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (m_connection->server)
        return detail::serverBegin(m_connection->serverHandle());
    return exec(QStringLiteral("BEGIN")).error();
}

DbError Database::commit()
{
    if (!m_connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (m_connection->server)
        return detail::serverCommit(m_connection->serverHandle());
    return exec(QStringLiteral("COMMIT")).error();
}

DbError Database::rollback()
{
    if (!m_connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (m_connection->server)
        return detail::serverRollback(m_connection->serverHandle());
    return exec(QStringLiteral("ROLLBACK")).error();
}

Result<QStringList> Database::tableNames() const
{
    if (!m_connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (m_connection->server)
        return detail::serverTableNames(m_connection->db());
    QSqlQuery query(m_connection->db());
    query.setForwardOnly(true);
    // sqlite_master rows are appended as objects are created, so rowid order
    // is creation order.
    if (!query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                   "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid")))
        return mapEngineError(query.lastError());
    QStringList names;
    while (query.next())
        names.append(query.value(0).toString());
    query.finish();
    return names;
}

Result<QString> Database::findTable(const QString &name) const
{
    const Result<QStringList> names = tableNames();
    if (!names)
        return names.error();
    // A server tells "Sales" from "sales"; the name as given wins there.
    if (names.value().contains(name))
        return name;
    for (const QString &stored : names.value()) {
        if (stored.compare(name, Qt::CaseInsensitive) == 0)
            return stored;
    }
    return DbError::make(ErrorNumber::ObjectNotFound, name);
}

bool Database::tableExists(const QString &name) const
{
    return findTable(name).ok();
}

Result<QList<FieldDef>> Database::fields(const QString &table) const
{
    const Result<QString> stored = findTable(table);
    if (!stored)
        return stored.error();
    if (m_connection->server)
        return detail::serverTableFields(m_connection->db(), stored.value());
    return detail::tableFields(m_connection->db(), stored.value());
}

Result<QStringList> Database::indexNames(const QString &table) const
{
    const Result<QString> stored = findTable(table);
    if (!stored)
        return stored.error();
    if (m_connection->server)
        return DbError::make(ErrorNumber::NotSupportedForType);
    QSqlQuery query(m_connection->db());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ? "
                                 "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid"));
    query.addBindValue(stored.value());
    if (!query.exec())
        return mapEngineError(query.lastError());
    QStringList names;
    while (query.next())
        names.append(query.value(0).toString());
    query.finish();
    return names;
}

DbError Database::createTable(const TableDef &definition)
{
    if (!m_connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    const bool server = m_connection->server;
    // A server cuts longer names short without a word: the table would not
    // be found by the name it was made with.
    if (!isValidTableName(definition.name) || (server && !detail::fitsServerName(definition.name)))
        return DbError::make(ErrorNumber::InvalidName, definition.name);
    if (tableExists(definition.name))
        return DbError::make(ErrorNumber::TableExists, definition.name);
    if (definition.fields.isEmpty())
        return DbError::make(ErrorNumber::NoFieldDefined, definition.name);
    QSet<QString> seen;
    QStringList columns;
    for (const FieldDef &field : definition.fields) {
        if (!isValidFieldName(field.name) || (server && !detail::fitsServerName(field.name)))
            return DbError::make(ErrorNumber::InvalidName, field.name);
        if (seen.contains(field.name.toLower()))
            return DbError::make(ErrorNumber::FieldDefinedTwice, field.name);
        seen.insert(field.name.toLower());
        if ((field.type == FieldType::Text || field.type == FieldType::Binary)
            && (field.size < 1 || field.size > MaxTextSize))
            return DbError::make(ErrorNumber::InvalidArgument);
        columns.append(server ? detail::serverColumnDefinition(field, int(columns.size()) + 1)
                              : columnDefinition(field));
    }
    const QString sql = QStringLiteral("CREATE TABLE ") + quoteIdentifier(definition.name) + QStringLiteral(" (\n  ")
        + columns.join(QStringLiteral(",\n  ")) + QStringLiteral("\n)");
    return exec(sql).error();
}

DbError Database::dropTable(const QString &name)
{
    const Result<QString> stored = findTable(name);
    if (!stored)
        return stored.error();
    return exec(QStringLiteral("DROP TABLE ") + quoteIdentifier(stored.value())).error();
}

DbError Database::compact()
{
    if (isServer())
        return {};
    return exec(QStringLiteral("VACUUM")).error();
}

Result<Recordset> Database::openRecordset(const QString &tableOrSql, RecordsetType type)
{
    if (!m_connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    // Record sets read and edit through the file engine's row ids; on a
    // server they are refused until they have keys of their own.
    if (m_connection->server)
        return DbError::make(ErrorNumber::NotSupportedForType);
    // A table of exactly that name wins, so any name, even one that reads
    // like SQL, opens its table.
    Result<QString> stored = findTable(tableOrSql);
    if (!stored && !isStatement(tableOrSql)) {
        stored = findTable(tableNameFrom(tableOrSql));
        if (!stored && stored.error().number == ErrorNumber::ObjectNotFound)
            return DbError::make(ErrorNumber::InputTableNotFound, tableNameFrom(tableOrSql));
        if (!stored)
            return stored.error(); // the table list itself could not be read
    }
    if (stored) {
        Result<QList<FieldDef>> fieldList = detail::tableFields(m_connection->db(), stored.value());
        if (!fieldList)
            return fieldList.error();
        Result<Recordset> rs = Recordset::open(m_connection, QueryShape(stored.value()), type,
                                               type != RecordsetType::Snapshot, stored.value(),
                                               fieldList.value(), nullptr);
        if (rs || type == RecordsetType::Table)
            return rs;
        // A table without rowids can still be read.
        const QString sql = QStringLiteral("SELECT * FROM ") + quoteIdentifier(stored.value());
        return openSnapshot(sql, {}, stored.value());
    }
    if (type == RecordsetType::Table)
        return DbError::make(ErrorNumber::InvalidOperation);
    if (hasTextAfterStatement(tableOrSql))
        return DbError::make(ErrorNumber::CharactersAfterEnd);
    return openSnapshot(translateUserSql(tableOrSql), {}, tableOrSql);
}

Result<Recordset> Database::openSnapshot(const QString &engineSql, const QVariantList &values, const QString &source)
{
    const Result<detail::StatementInfo> info = detail::inspectStatement(m_connection->handle(), engineSql);
    if (!info)
        return info.error();
    if (info.value().columnCount == 0)
        return DbError::make(ErrorNumber::InvalidOperation);

    QString statement = engineSql.trimmed();
    while (statement.endsWith(u';'))
        statement.chop(1);
    // The copy keeps the declared types of the columns read, and compares
    // texts without regard to case like the tables we create.
    QStringList columns;
    QList<FieldDef> fields;
    QSet<QString> taken;
    for (int i = 0; i < info.value().columnCount; ++i) {
        QString name = info.value().columnNames.value(i);
        if (name.isEmpty())
            name = QStringLiteral("Expr%1").arg(i + 1);
        const QString base = name;
        for (int n = 1; taken.contains(name.toLower()); ++n)
            name = base + u':' + QString::number(n);
        taken.insert(name.toLower());
        const QString declared = info.value().declaredTypes.value(i);
        FieldDef field;
        field.name = name;
        parseDeclaredType(declared, &field.type, &field.size);
        fields.append(field);
        QString column = quoteIdentifier(name);
        if (!declared.isEmpty())
            column += u' ' + declared;
        columns.append(column + QStringLiteral(" COLLATE NOCASE"));
    }
    const QString table = QStringLiteral("tw_snapshot_%1").arg(++m_connection->nextSnapshotId);
    const Result<qint64> created = detail::execute(
        m_connection->db(),
        QStringLiteral("CREATE TEMP TABLE ") + quoteIdentifier(table) + QStringLiteral(" (")
            + columns.join(QStringLiteral(", ")) + u')',
        {});
    if (!created)
        return created.error();
    auto snapshot = std::make_shared<detail::Snapshot>(m_connection, table);
    const Result<qint64> copied = detail::execute(
        m_connection->db(), QStringLiteral("INSERT INTO temp.") + quoteIdentifier(table) + u' ' + statement, values);
    if (!copied)
        return copied.error();
    return Recordset::open(m_connection, QueryShape(table, QStringLiteral("temp")), RecordsetType::Snapshot, false,
                           source, fields, snapshot);
}

} // namespace tw
