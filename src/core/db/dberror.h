// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QSqlError;

namespace tw {

// Error numbers the windows look up to choose their messages. They keep the
// numbering desktop-database users and our message tables know.
namespace ErrorNumber {
inline constexpr int None = 0;
inline constexpr int OutOfMemory = 7;
inline constexpr int FileAlreadyOpen = 55;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathFileAccess = 75;
inline constexpr int OtherEngineError = 3000;
inline constexpr int InvalidArgument = 3001;
inline constexpr int TableExists = 3010;
inline constexpr int ObjectNotFound = 3011;
inline constexpr int ObjectExists = 3012;
inline constexpr int NoCurrentIndex = 3019;
inline constexpr int UpdateWithoutEdit = 3020;
inline constexpr int NoCurrentRecord = 3021;
inline constexpr int DuplicateKey = 3022;
inline constexpr int FileNotFound = 3024;
inline constexpr int DiskFull = 3026;
inline constexpr int ReadOnly = 3027;
inline constexpr int NoTransaction = 3034;
inline constexpr int CouldNotLock = 3050;
inline constexpr int TooFewParameters = 3061;
inline constexpr int SyntaxErrorInExpression = 3075;
inline constexpr int InputTableNotFound = 3078;
inline constexpr int UndefinedFunction = 3085;
inline constexpr int InvalidName = 3125;
inline constexpr int SyntaxError = 3131;
inline constexpr int CharactersAfterEnd = 3142;
inline constexpr int RecordDeleted = 3167;
inline constexpr int FieldDefinedTwice = 3191;
inline constexpr int ForeignKey = 3201;
inline constexpr int InvalidOperation = 3219;
inline constexpr int NotSupportedForType = 3251;
inline constexpr int InvalidFieldType = 3259;
inline constexpr int NoFieldDefined = 3264;
inline constexpr int ItemNotFound = 3265;
inline constexpr int NullNotAllowed = 3314;
inline constexpr int ZeroLengthRefused = 3315;
inline constexpr int ValidationRule = 3317;
inline constexpr int ValueTooLong = 3163;
inline constexpr int NotADatabase = 3343;
inline constexpr int TypeMismatch = 3464;
} // namespace ErrorNumber

// Where an engine message came from, for the few cases where the same engine
// failure means different things (a syntax error in a whole statement versus
// one in a filter or sort expression).
enum class ErrorContext { Statement, Expression, Open };

// The one error value of the database layer: a number our message tables know
// and a description to show when no fixed message exists for it.
struct DbError {
    int number = ErrorNumber::None;
    QString description;

    // No conversion to bool: a Result is true when it holds a value, and an
    // error that read true as well would make one of the two mean the opposite.
    bool isError() const { return number != ErrorNumber::None; }

    // An error with the layer's standard description; `item` fills in the
    // name of the table, field or query concerned where the text has one.
    static DbError make(int number, const QString &item = {});
};

// The standard description for an error number ("" for numbers we never make).
QString standardDescription(int number, const QString &item = {});

// Turns an engine failure into one of our error numbers. The sqlite result
// code (primary or extended) and the engine's message are all it needs; the
// QSqlError overload reads them from what QtSql reports.
DbError mapEngineError(int sqliteCode, const QString &engineMessage,
                       ErrorContext context = ErrorContext::Statement);
DbError mapEngineError(const QSqlError &error, ErrorContext context = ErrorContext::Statement);

// The same for a database server: the SQLSTATE it reports ("" when there was
// none, as for a failed connection) and its message. The same failure gives
// the same number as on a database file.
DbError mapServerError(const QString &sqlState, const QString &serverMessage,
                       ErrorContext context = ErrorContext::Statement);
DbError mapServerError(const QSqlError &error, ErrorContext context = ErrorContext::Statement);

} // namespace tw
