// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/db/dberror.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSqlError>

#include <sqlite3.h>

namespace tw {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("tw::DbError", text);
}

// The engine quotes names in its messages in several ways; take the name
// after `prefix` with any quotes removed.
QString itemAfter(const QString &message, const QString &prefix)
{
    const qsizetype at = message.indexOf(prefix, 0, Qt::CaseInsensitive);
    if (at < 0)
        return {};
    QString item = message.mid(at + prefix.size()).trimmed();
    if (item.size() >= 2 && (item.front() == u'"' || item.front() == u'\'' || item.front() == u'`')) {
        const QChar quote = item.front();
        const qsizetype end = item.indexOf(quote, 1);
        if (end > 0)
            return item.mid(1, end - 1);
    }
    const qsizetype space = item.indexOf(u' ');
    return space < 0 ? item : item.left(space);
}

DbError withEngineText(int number, const QString &item, const QString &engineMessage)
{
    // Without the item our own text would have a hole in it; the engine's
    // message names what went wrong instead.
    const bool namesItem = standardDescription(number, QStringLiteral("%1")).contains(QLatin1String("%1"));
    if (item.isEmpty() && namesItem && !engineMessage.isEmpty())
        return DbError{number, engineMessage};
    DbError error = DbError::make(number, item);
    if (error.description.isEmpty())
        error.description = engineMessage;
    return error;
}

DbError mapConstraint(const QString &message)
{
    // Our own tables name their CHECK constraints "tw_size:<field>" and
    // "tw_nonempty:<field>", so a refused value tells which rule it broke.
    static const QString checkPrefix = QStringLiteral("CHECK constraint failed: ");
    if (message.contains(checkPrefix, Qt::CaseInsensitive)) {
        const QString name = message.mid(message.indexOf(checkPrefix, 0, Qt::CaseInsensitive)
                                         + checkPrefix.size()).trimmed();
        if (name.startsWith(QLatin1String("tw_size:")))
            return DbError::make(ErrorNumber::ValueTooLong, name.mid(8));
        if (name.startsWith(QLatin1String("tw_nonempty:")))
            return DbError::make(ErrorNumber::ZeroLengthRefused, name.mid(12));
        return withEngineText(ErrorNumber::ValidationRule, name, message);
    }
    if (message.contains(QLatin1String("UNIQUE constraint failed"), Qt::CaseInsensitive)
        || message.contains(QLatin1String("PRIMARY KEY"), Qt::CaseInsensitive)) {
        if (message.contains(QLatin1String("MSysQueries."), Qt::CaseInsensitive))
            return DbError::make(ErrorNumber::ObjectExists);
        return withEngineText(ErrorNumber::DuplicateKey, {}, message);
    }
    if (message.contains(QLatin1String("NOT NULL constraint failed"), Qt::CaseInsensitive)) {
        QString field = itemAfter(message, QStringLiteral("failed:"));
        field = field.mid(field.lastIndexOf(u'.') + 1);
        return DbError::make(ErrorNumber::NullNotAllowed, field);
    }
    if (message.contains(QLatin1String("FOREIGN KEY"), Qt::CaseInsensitive))
        return withEngineText(ErrorNumber::ForeignKey, {}, message);
    return withEngineText(ErrorNumber::ValidationRule, {}, message);
}

DbError mapGenericError(const QString &message, ErrorContext context)
{
    const auto has = [&message](const char *text) {
        return message.contains(QLatin1String(text), Qt::CaseInsensitive);
    };
    if (has("no such table"))
        return DbError::make(ErrorNumber::InputTableNotFound, itemAfter(message, QStringLiteral("no such table:")));
    if (has("no such column"))
        return withEngineText(ErrorNumber::TooFewParameters, {}, message);
    if (has("no such function"))
        return DbError::make(ErrorNumber::UndefinedFunction, itemAfter(message, QStringLiteral("no such function:")));
    if (has("no such index"))
        return withEngineText(ErrorNumber::ItemNotFound, {}, message);
    if (has("duplicate column name"))
        return DbError::make(ErrorNumber::FieldDefinedTwice, itemAfter(message, QStringLiteral("duplicate column name:")));
    if (has("already exists")) {
        const QString item = itemAfter(message, message.startsWith(QLatin1String("table"), Qt::CaseInsensitive)
                                                    ? QStringLiteral("table") : QStringLiteral(" "));
        if (message.startsWith(QLatin1String("table"), Qt::CaseInsensitive))
            return DbError::make(ErrorNumber::TableExists, item);
        return withEngineText(ErrorNumber::ObjectExists, {}, message);
    }
    if (has("there is already"))
        return withEngineText(ErrorNumber::ObjectExists, {}, message);
    if (has("reserved for internal use"))
        return withEngineText(ErrorNumber::InvalidName, {}, message);
    if (has("no transaction is active"))
        return DbError::make(ErrorNumber::NoTransaction);
    if (has("within a transaction"))
        return withEngineText(ErrorNumber::InvalidOperation, {}, message);
    if (has("syntax error") || has("incomplete input") || has("unrecognized token")
        || has("wrong number of arguments") || has("misuse of aggregate")) {
        if (context == ErrorContext::Expression)
            return withEngineText(ErrorNumber::SyntaxErrorInExpression, {}, message);
        return withEngineText(ErrorNumber::SyntaxError, {}, message);
    }
    return withEngineText(ErrorNumber::OtherEngineError, {}, message);
}

} // namespace

QString standardDescription(int number, const QString &item)
{
    QString text;
    switch (number) {
    case ErrorNumber::OutOfMemory: text = tr("Out of memory."); break;
    case ErrorNumber::FileAlreadyOpen: text = tr("The file is already open."); break;
    case ErrorNumber::PermissionDenied: text = tr("Permission denied."); break;
    case ErrorNumber::PathFileAccess: text = tr("Path/file access error."); break;
    case ErrorNumber::InvalidArgument: text = tr("Invalid argument."); break;
    case ErrorNumber::TableExists: text = tr("Table '%1' already exists."); break;
    case ErrorNumber::ObjectNotFound: text = tr("The database engine could not find the object '%1'."); break;
    case ErrorNumber::ObjectExists: text = tr("Object '%1' already exists."); break;
    case ErrorNumber::NoCurrentIndex: text = tr("Operation invalid without a current index."); break;
    case ErrorNumber::UpdateWithoutEdit: text = tr("Update or CancelUpdate without AddNew or Edit."); break;
    case ErrorNumber::NoCurrentRecord: text = tr("No current record."); break;
    case ErrorNumber::DuplicateKey:
        text = tr("The changes you requested to the table were not successful because they would create duplicate values in the index, primary key, or relationship.");
        break;
    case ErrorNumber::FileNotFound: text = tr("Could not find file '%1'."); break;
    case ErrorNumber::DiskFull: text = tr("Not enough space on disk."); break;
    case ErrorNumber::ReadOnly: text = tr("Cannot update. Database or object is read-only."); break;
    case ErrorNumber::NoTransaction: text = tr("You tried to commit or rollback a transaction without first beginning a transaction."); break;
    case ErrorNumber::CouldNotLock: text = tr("Could not lock file: the database is in use."); break;
    case ErrorNumber::TooFewParameters: text = tr("Too few parameters. Expected %1."); break;
    case ErrorNumber::SyntaxErrorInExpression: text = tr("Syntax error in query expression '%1'."); break;
    case ErrorNumber::InputTableNotFound: text = tr("The database engine cannot find the input table or query '%1'."); break;
    case ErrorNumber::UndefinedFunction: text = tr("Undefined function '%1' in expression."); break;
    case ErrorNumber::InvalidName: text = tr("'%1' isn't a valid name."); break;
    case ErrorNumber::SyntaxError: text = tr("Syntax error in SQL statement."); break;
    case ErrorNumber::CharactersAfterEnd: text = tr("Characters found after end of SQL statement."); break;
    case ErrorNumber::RecordDeleted: text = tr("Record is deleted."); break;
    case ErrorNumber::FieldDefinedTwice: text = tr("Cannot define field '%1' more than once."); break;
    case ErrorNumber::InvalidOperation: text = tr("Invalid operation."); break;
    case ErrorNumber::NotSupportedForType: text = tr("Operation is not supported for this type of object."); break;
    case ErrorNumber::InvalidFieldType: text = tr("Invalid field data type."); break;
    case ErrorNumber::NoFieldDefined: text = tr("No field defined--cannot append table '%1'."); break;
    case ErrorNumber::ItemNotFound: text = tr("Item not found in this collection."); break;
    case ErrorNumber::NullNotAllowed: text = tr("The field '%1' cannot contain a Null value."); break;
    case ErrorNumber::ZeroLengthRefused: text = tr("Field '%1' can't be a zero-length string."); break;
    case ErrorNumber::ValueTooLong:
        text = tr("The field '%1' is too small to accept the amount of data you attempted to add.  Try inserting or pasting less data.");
        break;
    case ErrorNumber::NotADatabase: text = tr("Unrecognized database format '%1'."); break;
    case ErrorNumber::TypeMismatch: text = tr("Data type mismatch in criteria expression."); break;
    default: return {};
    }
    return text.contains(QLatin1String("%1")) ? text.arg(item) : text;
}

DbError DbError::make(int number, const QString &item)
{
    return DbError{number, standardDescription(number, item)};
}

DbError mapEngineError(int sqliteCode, const QString &engineMessage, ErrorContext context)
{
    const QString &message = engineMessage;
    switch (sqliteCode & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
        if (message.isEmpty())
            return {};
        return mapGenericError(message, context);
    case SQLITE_CONSTRAINT: return mapConstraint(message);
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT: return withEngineText(ErrorNumber::NotADatabase, {}, message);
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return withEngineText(ErrorNumber::CouldNotLock, {}, message);
    case SQLITE_PERM:
    case SQLITE_AUTH: return DbError::make(ErrorNumber::PermissionDenied);
    case SQLITE_READONLY: return DbError::make(ErrorNumber::ReadOnly);
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR: return withEngineText(ErrorNumber::PathFileAccess, {}, message);
    case SQLITE_FULL: return DbError::make(ErrorNumber::DiskFull);
    case SQLITE_NOMEM: return DbError::make(ErrorNumber::OutOfMemory);
    case SQLITE_TOOBIG: return withEngineText(ErrorNumber::ValueTooLong, {}, message);
    case SQLITE_MISMATCH: return DbError::make(ErrorNumber::TypeMismatch);
    case SQLITE_RANGE: return withEngineText(ErrorNumber::TooFewParameters, {}, message);
    default: break;
    }
    // QtSql does not always pass the result code on (a failed prepare can come
    // with -1); the message still tells what went wrong.
    if (message.contains(QLatin1String("constraint failed"), Qt::CaseInsensitive))
        return mapConstraint(message);
    if (message.contains(QLatin1String("not a database"), Qt::CaseInsensitive)
        || message.contains(QLatin1String("malformed"), Qt::CaseInsensitive))
        return withEngineText(ErrorNumber::NotADatabase, {}, message);
    if (message.contains(QLatin1String("database is locked"), Qt::CaseInsensitive))
        return withEngineText(ErrorNumber::CouldNotLock, {}, message);
    if (message.contains(QLatin1String("unable to open database"), Qt::CaseInsensitive))
        return withEngineText(ErrorNumber::PathFileAccess, {}, message);
    if (message.contains(QLatin1String("readonly database"), Qt::CaseInsensitive))
        return DbError::make(ErrorNumber::ReadOnly);
    if (message.isEmpty())
        return DbError::make(ErrorNumber::OtherEngineError);
    return mapGenericError(message, context);
}

DbError mapEngineError(const QSqlError &error, ErrorContext context)
{
    if (error.type() == QSqlError::NoError)
        return {};
    bool isNumber = false;
    const int code = error.nativeErrorCode().toInt(&isNumber);
    // The driver's text names the failed step ("Unable to execute statement");
    // the database text is the engine's own explanation.
    QString message = error.databaseText();
    if (message.isEmpty())
        message = error.driverText();
    DbError mapped = mapEngineError(isNumber ? code : -1, message, context);
    if (mapped.number == ErrorNumber::OtherEngineError && mapped.description.isEmpty())
        mapped.description = error.text();
    return mapped;
}

// The server's message without its severity ("ERROR:  ") and without the
// lines that point into the statement.
QString serverMessageText(const QString &message)
{
    QStringList lines = message.trimmed().split(u'\n');
    QString first;
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1String("LINE ")) || line == QLatin1String("^"))
            continue;
        first = first.isEmpty() ? line : first + u' ' + line;
        break;
    }
    static const QRegularExpression severity(QStringLiteral("^(ERROR|FATAL|PANIC):\\s+"));
    first.replace(severity, QString());
    return first.simplified();
}

// The name in the first "quoted" part of a server message.
QString firstQuoted(const QString &message)
{
    const qsizetype start = message.indexOf(u'"');
    const qsizetype end = start < 0 ? -1 : message.indexOf(u'"', start + 1);
    return end < 0 ? QString() : message.mid(start + 1, end - start - 1);
}

DbError mapServerError(const QString &sqlState, const QString &serverMessage, ErrorContext context)
{
    const QString message = serverMessageText(serverMessage);
    const QString state = sqlState.trimmed().toUpper();
    const QString stateClass = state.left(2);
    // No SQLSTATE: the connection itself failed (refused, a wrong password,
    // no such database) or broke; a file that cannot be opened is the same
    // failure on a database file.
    if (state.isEmpty() || context == ErrorContext::Open || stateClass == QLatin1String("08")
        || stateClass == QLatin1String("28") || state == QLatin1String("3D000") || state.startsWith(QLatin1String("57P"))) {
        if (state == QLatin1String("42501") || (state.isEmpty() && message.contains(QLatin1String("permission denied"))))
            return withEngineText(ErrorNumber::PermissionDenied, {}, message);
        return DbError{ErrorNumber::NotADatabase,
                       message.isEmpty() ? standardDescription(ErrorNumber::NotADatabase) : message};
    }
    if (state == QLatin1String("22001")) // value too long for type character varying(n)
        return withEngineText(ErrorNumber::ValueTooLong, {}, message);
    if (state == QLatin1String("23514")) { // check constraint "tw_size:..." / "tw_nonempty:..."
        const qsizetype at = message.lastIndexOf(QLatin1String("constraint \""));
        const QString name = at < 0 ? QString() : firstQuoted(message.mid(at));
        if (name.startsWith(QLatin1String("tw_size:")))
            return DbError::make(ErrorNumber::ValueTooLong, name.mid(8));
        if (name.startsWith(QLatin1String("tw_nonempty:")))
            return DbError::make(ErrorNumber::ZeroLengthRefused, name.mid(12));
        return withEngineText(ErrorNumber::ValidationRule, name, message);
    }
    if (state == QLatin1String("23505")) {
        if (message.contains(QLatin1String("MSysQueries"), Qt::CaseInsensitive))
            return DbError::make(ErrorNumber::ObjectExists);
        return withEngineText(ErrorNumber::DuplicateKey, {}, message);
    }
    if (state == QLatin1String("23502")) // null value in column "x" of relation ...
        return DbError::make(ErrorNumber::NullNotAllowed, firstQuoted(message));
    if (state == QLatin1String("23503"))
        return withEngineText(ErrorNumber::ForeignKey, {}, message);
    if (stateClass == QLatin1String("23"))
        return withEngineText(ErrorNumber::ValidationRule, {}, message);
    if (state == QLatin1String("42501") || state == QLatin1String("3F000"))
        return DbError::make(ErrorNumber::PermissionDenied);
    if (state == QLatin1String("42P01")) // relation "x" does not exist
        return DbError::make(ErrorNumber::InputTableNotFound, firstQuoted(message));
    if (state == QLatin1String("42P07")) // relation "x" already exists
        return DbError::make(ErrorNumber::TableExists, firstQuoted(message));
    if (state == QLatin1String("42701"))
        return DbError::make(ErrorNumber::FieldDefinedTwice, firstQuoted(message));
    if (state == QLatin1String("42710") || state == QLatin1String("42P06") || state == QLatin1String("42723"))
        return withEngineText(ErrorNumber::ObjectExists, {}, message);
    if (state == QLatin1String("42703"))
        return withEngineText(ErrorNumber::TooFewParameters, {}, message);
    if (state == QLatin1String("42883"))
        return withEngineText(ErrorNumber::UndefinedFunction, {}, message);
    if (state == QLatin1String("42602") || state == QLatin1String("42622"))
        return withEngineText(ErrorNumber::InvalidName, {}, message);
    if (state == QLatin1String("42601")) {
        return withEngineText(context == ErrorContext::Expression ? ErrorNumber::SyntaxErrorInExpression
                                                                  : ErrorNumber::SyntaxError,
                              {}, message);
    }
    if (state == QLatin1String("42804") || state == QLatin1String("22P02") || state == QLatin1String("22003")
        || state == QLatin1String("22007") || state == QLatin1String("22008") || state == QLatin1String("22021")
        || state == QLatin1String("22P05"))
        return withEngineText(ErrorNumber::TypeMismatch, {}, message);
    if (state == QLatin1String("25P01") || state == QLatin1String("25P02"))
        return DbError::make(ErrorNumber::NoTransaction);
    if (state == QLatin1String("25001"))
        return withEngineText(ErrorNumber::InvalidOperation, {}, message);
    if (state == QLatin1String("25006"))
        return DbError::make(ErrorNumber::ReadOnly);
    if (state == QLatin1String("40P01") || state == QLatin1String("55P03") || state == QLatin1String("55006"))
        return withEngineText(ErrorNumber::CouldNotLock, {}, message);
    if (state == QLatin1String("53100"))
        return DbError::make(ErrorNumber::DiskFull);
    if (state == QLatin1String("53200"))
        return DbError::make(ErrorNumber::OutOfMemory);
    return withEngineText(ErrorNumber::OtherEngineError, {}, message);
}

DbError mapServerError(const QSqlError &error, ErrorContext context)
{
    if (error.type() == QSqlError::NoError)
        return {};
    QString message = error.databaseText();
    if (message.isEmpty())
        message = error.driverText();
    return mapServerError(error.nativeErrorCode(), message, context);
}

} // namespace tw
