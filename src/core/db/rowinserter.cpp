// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/db/rowinserter.h"

#include "core/db/connection.h"
#include "core/db/database.h"
#include "core/db/identifier.h"
#include "core/db/sqltokenizer.h"

#include <QHash>

#include <libpq-fe.h>
#include <sqlite3.h>

#include <algorithm>
#include <atomic>

#include <cerrno>
#include <cstring>
#include <limits>

namespace tw {

using detail::serverBegin;
using detail::serverCommit;
using detail::serverExec;
using detail::serverRollback;

namespace {
// Appends the UTF-8 of a text; an unpaired surrogate becomes U+FFFD.
char *appendUtf8(char *out, QStringView text)
{
    const char16_t *p = text.utf16();
    const char16_t *end = p + text.size();
    // Most values are plain ASCII: tested four characters at a time, then
    // narrowed.
    const char16_t *q = p;
    quint64 any = 0;
    for (; q + 4 <= end; q += 4) {
        quint64 word;
        std::memcpy(&word, q, sizeof word);
        any |= word;
    }
    for (; q < end; ++q)
        any |= *q;
    if ((any & 0xFF80FF80FF80FF80ULL) == 0) {
        for (; p < end; ++p)
            *out++ = char(*p);
        return out;
    }
    while (p < end) {
        const char16_t c = *p++;
        if (c < 0x80) {
            *out++ = char(c);
        } else if (c < 0x800) {
            *out++ = char(0xC0 | (c >> 6));
            *out++ = char(0x80 | (c & 0x3F));
        } else if ((c & 0xF800) != 0xD800) {
            *out++ = char(0xE0 | (c >> 12));
            *out++ = char(0x80 | ((c >> 6) & 0x3F));
            *out++ = char(0x80 | (c & 0x3F));
        } else if ((c & 0xFC00) == 0xD800 && p < end && (*p & 0xFC00) == 0xDC00) {
            const char32_t u = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(*p++) - 0xDC00);
            *out++ = char(0xF0 | (u >> 18));
            *out++ = char(0x80 | ((u >> 12) & 0x3F));
            *out++ = char(0x80 | ((u >> 6) & 0x3F));
            *out++ = char(0x80 | (u & 0x3F));
        } else {
            *out++ = char(0xEF);
            *out++ = char(0xBF);
            *out++ = char(0xBD);
        }
    }
    return out;
}

bool fileMayNotGrow(int cause)
{
    return cause == ENOSPC || cause == EDQUOT || cause == EFBIG;
}

// Why the last write to the database or its journal failed. The engine's
// own record of it is often overwritten by the rollback that follows a
// failed commit; each open file keeps its last error apart.
int lastWriteError(sqlite3 *handle)
{
    int cause = sqlite3_system_errno(handle);
    if (fileMayNotGrow(cause))
        return cause;
    if (sqlite3_file_control(handle, "main", SQLITE_FCNTL_LAST_ERRNO, &cause) == SQLITE_OK && fileMayNotGrow(cause))
        return cause;
    sqlite3_file *journal = nullptr;
    if (sqlite3_file_control(handle, "main", SQLITE_FCNTL_JOURNAL_POINTER, &journal) == SQLITE_OK && journal
        && journal->pMethods && journal->pMethods->xFileControl
        && journal->pMethods->xFileControl(journal, SQLITE_FCNTL_LAST_ERRNO, &cause) == SQLITE_OK)
        return cause;
    return 0;
}

DbError serverError(pg_conn *connection, const PGresult *result)
{
    if (PQstatus(connection) != CONNECTION_OK)
        return mapServerError(QString(), QString::fromUtf8(PQerrorMessage(connection)));
    const char *state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const char *message = result ? PQresultErrorMessage(result) : nullptr;
    return mapServerError(QString::fromLatin1(state ? state : ""),
                          QString::fromUtf8(message && *message ? message : PQerrorMessage(connection)));
}

// Characters, not UTF-16 units: a pair of surrogates is one, and so is an
// unpaired surrogate (it is stored as U+FFFD).
qsizetype characterCount(QStringView text)
{
    qsizetype count = text.size();
    for (qsizetype i = 1; i < text.size(); ++i) {
        if (text[i].isLowSurrogate() && text[i - 1].isHighSurrogate())
            --count;
    }
    return count;
}

// What SQLite's length() gives for a text: its characters before the first
// U+0000.
qsizetype engineLength(QStringView text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return characterCount(nul < 0 ? text : text.first(nul));
}

// Whether a column's declared type gives it text affinity, so that a bound
// text is stored as it is and length() measures that text.
bool hasTextAffinity(const QString &declared)
{
    const QString type = declared.toUpper();
    return !type.contains(QLatin1String("INT"))
        && (type.contains(QLatin1String("CHAR")) || type.contains(QLatin1String("CLOB"))
            || type.contains(QLatin1String("TEXT")));
}

// The table's CHECK constraints when every one of them is a rule of the
// program's own tables, in the exact form the program writes it:
//   CONSTRAINT "tw_size:F" CHECK (length("F") <= N)
//   CONSTRAINT "tw_nonempty:F" CHECK ("F" <> '')
// on a column of text affinity. Anything else (a user's own CHECK, another
// spelling) answers false, and the engine keeps checking.
bool readOwnRules(sqlite3 *handle, const QString &table, const QList<FieldDef> &fields, QList<int> *sizeRule,
                  QList<bool> *nonEmptyRule)
{
    QString sql;
    QHash<QString, QString> declared;
    const auto query = [handle](const char *text, const QString &value, const auto &row) {
        sqlite3_stmt *statement = nullptr;
        bool ok = sqlite3_prepare_v2(handle, text, -1, &statement, nullptr) == SQLITE_OK;
        const QByteArray name = value.toUtf8();
        ok = ok && sqlite3_bind_text(statement, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT) == SQLITE_OK;
        int step = SQLITE_ROW;
        while (ok && (step = sqlite3_step(statement)) == SQLITE_ROW)
            row(statement);
        sqlite3_finalize(statement);
        return ok && step == SQLITE_DONE;
    };
    const auto text = [](sqlite3_stmt *statement, int column) {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, column)));
    };
    if (!query("SELECT sql FROM main.sqlite_master WHERE type = 'table' AND name = ?", table,
               [&](sqlite3_stmt *statement) { sql = text(statement, 0); })
        || !query("SELECT name, type FROM pragma_table_info(?, 'main')", table,
                  [&](sqlite3_stmt *statement) { declared.insert(text(statement, 0), text(statement, 1)); }))
        return false;

    QList<SqlToken> tokens = tokenizeSql(sql);
    tokens.removeIf([](const SqlToken &token) { return token.kind == SqlToken::Space; });
    *sizeRule = QList<int>(fields.size(), -1);
    *nonEmptyRule = QList<bool>(fields.size(), false);
    const auto at = [&tokens](qsizetype i) { return i >= 0 && i < tokens.size() ? tokens[i] : SqlToken(); };
    const auto names = [&](qsizetype i, const QString &field) {
        return at(i).kind == SqlToken::DoubleQuoted && at(i).unquoted() == field;
    };
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        if (!tokens[i].isWord("check"))
            continue;
        if (!at(i - 2).isWord("constraint") || at(i - 1).kind != SqlToken::DoubleQuoted)
            return false;
        const QString rule = at(i - 1).unquoted();
        const QString field = rule.mid(rule.indexOf(u':') + 1);
        const qsizetype index = std::find_if(fields.cbegin(), fields.cend(),
                                             [&](const FieldDef &f) { return f.name == field; })
                                - fields.cbegin();
        if (index >= fields.size() || !hasTextAffinity(declared.value(field)))
            return false;
        if (rule == QStringLiteral("tw_size:") + field && at(i + 1).isPunct("(") && at(i + 2).isWord("length")
            && at(i + 3).isPunct("(") && names(i + 4, field) && at(i + 5).isPunct(")") && at(i + 6).isPunct("<=")
            && at(i + 7).kind == SqlToken::Number && at(i + 8).isPunct(")")) {
            bool ok = false;
            const int size = at(i + 7).text.toInt(&ok);
            if (!ok || fields[index].type != FieldType::Text || size != fields[index].size)
                return false;
            (*sizeRule)[index] = size;
            i += 8;
        } else if (rule == QStringLiteral("tw_nonempty:") + field && at(i + 1).isPunct("(") && names(i + 2, field)
                   && at(i + 3).isPunct("<>") && at(i + 4).kind == SqlToken::String && at(i + 4).text == u"''"
                   && at(i + 5).isPunct(")")) {
            (*nonEmptyRule)[index] = true;
            i += 5;
        } else {
            return false;
        }
    }
    return true;
}

// A value in COPY's text form: backslash, tab and line breaks escaped. The
// UTF-8 goes straight onto the line; most values need no escape at all.
void appendCopyValue(QByteArray &line, QByteArray &scratch, QStringView value)
{
    const qsizetype at = line.size();
    line.resize(at + value.size() * 3);
    char *start = line.data() + at;
    char *end = appendUtf8(start, value);
    const char *special = start;
    while (special < end && *special != '\\' && *special != '\t' && *special != '\n' && *special != '\r')
        ++special;
    if (special == end) {
        line.resize(end - line.constData());
        return;
    }
    scratch = QByteArray(start, end - start);
    line.resize(at);
    for (const char c : std::as_const(scratch)) {
        switch (c) {
        case '\\': line.append("\\\\", 2); break;
        case '\t': line.append("\\t", 2); break;
        case '\n': line.append("\\n", 2); break;
        case '\r': line.append("\\r", 2); break;
        default: line.append(c); break;
        }
    }
}

DbError engineError(sqlite3 *handle)
{
    const int code = sqlite3_extended_errcode(handle);
    // The engine says "disk I/O error" for every failed write; a file that
    // may not grow (no space left, a quota, a file size limit) is what the
    // user has to hear about.
    if ((code & 0xFF) == SQLITE_IOERR && fileMayNotGrow(lastWriteError(handle)))
        return DbError::make(ErrorNumber::DiskFull);
    return mapEngineError(code, QString::fromUtf8(sqlite3_errmsg(handle)));
}
} // namespace

RowInserter::RowInserter() = default;

RowInserter::~RowInserter()
{
    close();
}

DbError RowInserter::open(Database &database, const QString &table, Checks checks)
{
    (void)close(); // a run that opens again has finished the one before
    m_closeError = {};
    m_closedUnder = ClosedUnder::No;
    if (!database.m_connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    const Result<QString> stored = database.findTable(table);
    if (!stored && stored.error().number == ErrorNumber::ObjectNotFound)
        return DbError::make(ErrorNumber::InputTableNotFound, table);
    if (!stored)
        return stored.error();
    if (database.m_connection->server)
        return openServer(database, stored.value());
    Result<QList<FieldDef>> fieldList = database.fields(stored.value());
    if (!fieldList)
        return fieldList.error();
    sqlite3 *handle = database.m_connection->handle();
    if (!handle)
        return DbError::make(ErrorNumber::InvalidOperation);

    QStringList names;
    QStringList marks;
    for (const FieldDef &field : fieldList.value()) {
        names << quoteIdentifier(field.name);
        marks << QStringLiteral("?");
    }
    const QString sql = QStringLiteral("INSERT INTO ") + quoteIdentifier(stored.value()) + QStringLiteral(" (")
        + names.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", "))
        + QStringLiteral(")");
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare16_v3(handle, sql.utf16(), int(sql.size() * sizeof(char16_t)), SQLITE_PREPARE_PERSISTENT,
                             &statement, nullptr)
        != SQLITE_OK) {
        const DbError error = engineError(handle);
        sqlite3_finalize(statement);
        return error;
    }
    m_connection = database.m_connection;
    m_handle = handle;
    m_statement = statement;
    m_table = stored.value();
    m_fields = fieldList.value();
    if (checks == Checks::InserterAlone
        && readOwnRules(handle, m_table, m_fields, &m_sizeRule, &m_nonEmptyRule))
        m_checksHere = takeOverChecks(handle);
    m_values = QList<QStringView>(m_fields.size());
    m_given = QList<bool>(m_fields.size(), false);
    m_boundBefore = QList<bool>(m_fields.size(), false);
    closeWithTheDatabase(database);
    return {};
}

DbError RowInserter::openServer(Database &database, const QString &storedName)
{
    Result<QList<FieldDef>> fieldList = database.fields(storedName);
    if (!fieldList)
        return fieldList.error();
    pg_conn *connection = database.m_connection->serverHandle();
    if (!connection)
        return DbError::make(ErrorNumber::InvalidOperation);
    QStringList names;
    QStringList marks;
    bool allText = true;
    for (const FieldDef &field : fieldList.value()) {
        names << quoteIdentifier(field.name);
        marks << QStringLiteral("$%1").arg(marks.size() + 1);
        allText = allText && field.isText();
    }
    const QString columns = quoteIdentifier(storedName) + QStringLiteral(" (") + names.join(QStringLiteral(", "))
        + u')';
    static std::atomic<int> counter{0};
    const QByteArray name = "tw_insert_" + QByteArray::number(++counter);
    const QByteArray sql = (QStringLiteral("INSERT INTO ") + columns + QStringLiteral(" VALUES (")
                            + marks.join(QStringLiteral(", ")) + u')')
                               .toUtf8();
    PGresult *prepared = PQprepare(connection, name.constData(), sql.constData(), int(marks.size()), nullptr);
    const bool ok = PQresultStatus(prepared) == PGRES_COMMAND_OK;
    const DbError error = ok ? DbError() : serverError(connection, prepared);
    PQclear(prepared);
    if (error.isError())
        return error;
    m_connection = database.m_connection;
    m_server = connection;
    m_statementName = name;
    m_copyStatement = (QStringLiteral("COPY ") + columns + QStringLiteral(" FROM STDIN")).toUtf8();
    m_copyRows = allText;
    m_copying = false;
    m_table = storedName;
    m_fields = fieldList.value();
    m_values = QList<QStringView>(m_fields.size());
    m_given = QList<bool>(m_fields.size(), false);
    closeWithTheDatabase(database);
    return {};
}

void RowInserter::closeWithTheDatabase(Database &database)
{
    // Closing the database closes the inserter first; a failed commit then
    // answers the next call, so the run learns why its records were lost.
    database.m_connection->beforeClose.append({this, [this] {
        const bool open = m_inTransaction;
        if (!m_keepOnClose)
            rollback();
        m_closeError = close();
        if (open)
            m_closedUnder = m_keepOnClose && !m_closeError.isError() ? ClosedUnder::Committed : ClosedUnder::RolledBack;
    }});
}

DbError RowInserter::checkServerRow() const
{
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        const FieldDef &field = m_fields.at(i);
        if (!m_given[i]) {
            if (field.required)
                return DbError::make(ErrorNumber::NullNotAllowed, field.name);
            continue;
        }
        const QStringView value = m_values[i];
        if (field.type == FieldType::Text && value.size() > field.size && characterCount(value) > field.size)
            return DbError::make(ErrorNumber::ValueTooLong, field.name);
        if (field.isText() && !field.allowZeroLength && value.isEmpty())
            return DbError::make(ErrorNumber::ZeroLengthRefused, field.name);
        if (value.contains(QChar(0)))
            return DbError{ErrorNumber::TypeMismatch,
                           QStringLiteral("The value for the field '%1' holds the character U+0000, which the "
                                          "database server cannot store.")
                               .arg(field.name)};
    }
    return {};
}

DbError RowInserter::insertServer()
{
    DbError error = checkServerRow();
    if (!error.isError() && m_copyRows && m_inTransaction) {
        if (!m_copying) {
            PGresult *started = PQexec(m_server, m_copyStatement.constData());
            if (PQresultStatus(started) == PGRES_COPY_IN)
                m_copying = true;
            else
                error = serverError(m_server, started);
            PQclear(started);
        }
        if (m_copying) {
            m_line.resize(0); // keeps its room for the next row
            for (qsizetype i = 0; i < m_values.size(); ++i) {
                if (i > 0)
                    m_line.append('\t');
                if (m_given[i])
                    appendCopyValue(m_line, m_utf8, m_values[i]);
                else
                    m_line.append("\\N", 2);
            }
            m_line.append('\n');
            if (PQputCopyData(m_server, m_line.constData(), int(m_line.size())) != 1)
                error = serverError(m_server, nullptr);
        }
    } else if (!error.isError()) {
        // Every value is encoded first, so the buffer is not moved under a
        // value already passed on.
        qsizetype room = 0;
        for (qsizetype i = 0; i < m_values.size(); ++i) {
            if (m_given[i])
                room += m_values[i].size() * 3 + 1;
        }
        if (m_utf8.size() < room)
            m_utf8.resize(room);
        QList<const char *> values(m_values.size(), nullptr);
        char *out = m_utf8.data();
        for (qsizetype i = 0; i < m_values.size(); ++i) {
            if (!m_given[i])
                continue;
            values[i] = out;
            out = appendUtf8(out, m_values[i]);
            *out++ = '\0';
        }
        // A refused row would end the transaction; the savepoint keeps it.
        const bool guarded = m_inTransaction;
        if (guarded)
            error = serverExec(m_server, "SAVEPOINT tw_row");
        if (!error.isError()) {
            PGresult *result = PQexecPrepared(m_server, m_statementName.constData(), int(values.size()),
                                              values.constData(), nullptr, nullptr, 0);
            if (PQresultStatus(result) != PGRES_COMMAND_OK)
                error = serverError(m_server, result);
            PQclear(result);
            if (guarded && PQstatus(m_server) == CONNECTION_OK)
                (void)serverExec(m_server, error.isError() ? "ROLLBACK TO SAVEPOINT tw_row" : "RELEASE SAVEPOINT tw_row");
        }
    }
    for (qsizetype i = 0; i < m_values.size(); ++i)
        m_given[i] = false;
    return error;
}

DbError RowInserter::endCopy(bool keep)
{
    if (!m_copying)
        return {};
    m_copying = false;
    if (PQputCopyEnd(m_server, keep ? nullptr : "the load was rolled back") != 1)
        return serverError(m_server, nullptr);
    DbError error;
    while (PGresult *result = PQgetResult(m_server)) {
        if (!error.isError() && keep && PQresultStatus(result) != PGRES_COMMAND_OK)
            error = serverError(m_server, result);
        PQclear(result);
    }
    return error;
}

bool RowInserter::isOpen() const
{
    return m_statement != nullptr || m_server != nullptr;
}

DbError RowInserter::close()
{
    if (m_server) {
        const DbError error = commit();
        if (PQstatus(m_server) == CONNECTION_OK && PQtransactionStatus(m_server) == PQTRANS_IDLE)
            (void)serverExec(m_server, ("DEALLOCATE " + m_statementName).constData());
        m_server = nullptr;
        if (const auto connection = m_connection.lock())
            connection->beforeClose.removeIf([this](const auto &hook) { return hook.first == this; });
        m_connection.reset();
        return error;
    }
    if (!m_statement)
        return {};
    const DbError error = commit();
    sqlite3_finalize(m_statement);
    m_statement = nullptr;
    handBackChecks();
    m_handle = nullptr;
    if (const auto connection = m_connection.lock())
        connection->beforeClose.removeIf([this](const auto &hook) { return hook.first == this; });
    m_connection.reset();
    return error;
}

DbError RowInserter::closedError() const
{
    return m_closeError.isError() ? m_closeError : DbError::make(ErrorNumber::InvalidOperation);
}

void RowInserter::setText(int field, QStringView value)
{
    if (!isOpen() || field < 0 || field >= m_values.size())
        return;
    m_values[field] = value;
    m_given[field] = true;
}

bool RowInserter::takeOverChecks(sqlite3 *handle)
{
    // Switching the pragma expires the prepared statements; the insert is
    // prepared again, without the CHECK constraints, at its first step.
    return sqlite3_exec(handle, "PRAGMA ignore_check_constraints = ON", nullptr, nullptr, nullptr) == SQLITE_OK;
}

void RowInserter::handBackChecks()
{
    if (!m_checksHere)
        return;
    m_checksHere = false;
    (void)sqlite3_exec(m_handle, "PRAGMA ignore_check_constraints = OFF", nullptr, nullptr, nullptr);
}

DbError RowInserter::checkOwnRules() const
{
    // The engine tests every NOT NULL before any CHECK: a row missing a
    // required value is left to it, so that it fails as it always did.
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        if (!m_given[i] && m_fields.at(i).required)
            return {};
    }
    // Then the CHECK constraints in the order they are declared: field by
    // field, the size before the zero-length rule. A Null passes both.
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        if (!m_given[i])
            continue;
        const QStringView value = m_values[i];
        const int size = m_sizeRule[i];
        if (size >= 0 && value.size() > size && engineLength(value) > size)
            return DbError::make(ErrorNumber::ValueTooLong, m_fields.at(i).name);
        if (m_nonEmptyRule[i] && value.isEmpty())
            return DbError::make(ErrorNumber::ZeroLengthRefused, m_fields.at(i).name);
    }
    return {};
}

DbError RowInserter::insert()
{
    if (m_server)
        return insertServer();
    if (!m_statement)
        return closedError();
    if (m_checksHere) {
        if (DbError error = checkOwnRules(); error.isError()) {
            for (qsizetype i = 0; i < m_values.size(); ++i)
                m_given[i] = false;
            return error;
        }
    }
    // Every value is encoded first, so the buffer is not moved under a
    // value already bound.
    qsizetype room = 0;
    for (qsizetype i = 0; i < m_values.size(); ++i) {
        if (m_given[i])
            room += m_values[i].size() * 3 + 1;
    }
    if (m_utf8.size() < room)
        m_utf8.resize(room);
    char *out = m_utf8.data();
    DbError error;
    for (qsizetype i = 0; i < m_values.size(); ++i) {
        if (!m_given[i]) {
            // A field that held a value in the row before is Null in this one.
            if (m_boundBefore[i])
                sqlite3_bind_null(m_statement, int(i) + 1);
            continue;
        }
        char *start = out;
        out = appendUtf8(out, m_values[i]);
        const qint64 bytes = out - start;
        if (bytes > std::numeric_limits<int>::max()) {
            error = DbError::make(ErrorNumber::ValueTooLong, m_fields.at(i).name);
            break;
        }
        *out++ = '\0';
        // Bound as a terminated text when it holds no NUL character, so the
        // engine's size checks read it in place instead of copying it.
        const bool terminated = std::memchr(start, 0, size_t(bytes)) == nullptr;
        sqlite3_bind_text(m_statement, int(i) + 1, start, terminated ? -1 : int(bytes), SQLITE_STATIC);
    }
    if (!error.isError() && sqlite3_step(m_statement) != SQLITE_DONE)
        error = engineError(m_handle);
    sqlite3_reset(m_statement);
    for (qsizetype i = 0; i < m_values.size(); ++i) {
        m_boundBefore[i] = m_given[i];
        m_given[i] = false;
    }
    return error;
}

DbError RowInserter::execute(const char *sql)
{
    if (m_server)
        return serverExec(m_server, sql);
    if (!m_handle)
        return closedError();
    if (sqlite3_exec(m_handle, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        return engineError(m_handle);
    return {};
}

DbError RowInserter::deleteAll()
{
    if (!m_handle && !m_server)
        return closedError();
    if (const DbError error = endCopy(true); error.isError())
        return error;
    // The name is an identifier, never text pasted into the statement.
    const QByteArray sql = (QStringLiteral("DELETE FROM ") + quoteIdentifier(m_table)).toUtf8();
    return execute(sql.constData());
}

DbError RowInserter::begin()
{
    const DbError error = m_server ? serverBegin(m_server) : execute("BEGIN");
    m_inTransaction = !error.isError();
    return error;
}

DbError RowInserter::commit()
{
    if (!m_inTransaction)
        return {};
    m_inTransaction = false;
    if (m_server) {
        // The rows of a COPY are in once the server has accepted its end.
        if (const DbError error = endCopy(true); error.isError()) {
            (void)serverRollback(m_server);
            return error;
        }
        return serverCommit(m_server);
    }
    if (!m_handle)
        return closedError();
    // After some failures (a full disk, no memory) the engine rolls the
    // whole transaction back by itself; a COMMIT then would only say there
    // is no transaction, which hides that the rows are gone.
    if (sqlite3_get_autocommit(m_handle))
        return DbError::make(ErrorNumber::NoTransaction);
    DbError error = execute("COMMIT");
    // A commit that failed (the disk is full, another program holds the
    // file) leaves the transaction open; rolling it back gives the handle
    // back in a known state. The commit's error tells the caller why.
    if (error.isError() && m_handle && !sqlite3_get_autocommit(m_handle))
        (void)execute("ROLLBACK");
    return error;
}

void RowInserter::rollback()
{
    if (!m_inTransaction)
        return;
    m_inTransaction = false;
    if (m_server) {
        (void)endCopy(false);
        (void)serverRollback(m_server);
        return;
    }
    if (m_handle && !sqlite3_get_autocommit(m_handle))
        (void)execute("ROLLBACK");
}

} // namespace tw
