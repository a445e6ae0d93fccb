// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace tw {

// SQL as users type it (the Queries window, filter and sort prompts, saved
// queries) follows the habits of desktop databases. This turns it into the
// engine's SQL:
//   delete * from T          -> delete from T
//   select ... into T from   -> create table "T" as select ... from
//   #8/7/00#                 -> '2000-08-07'   (m/d/y, two-digit years 30-99
//                                               are 19xx, 00-29 are 20xx)
//   "text"                   -> 'text'         ([name] stays a name)
//   like 'ab*c?'             -> like 'ab%c_'   (literal % and _ escaped)
//   isnull(x)                -> ((x) IS NULL)  (isnull is an engine keyword)
//   a not = b                -> a <> b
// val() is an SQL function registered on every connection. Texts inside
// single quotes are left alone except as a like pattern.
QString translateUserSql(const QString &userSql);

// Engine SQL (a translateUserSql result) as a PostgreSQL server takes it:
// [bracketed] and `quoted` names become "quoted" ones, like compares without
// regard to case (ilike) as it does in a database file, and val(x) becomes
// the number x starts with (0 when none), as the file engine's function
// gives it. A name that is one of `fields` in another case, bare or quoted,
// becomes the field's own spelling, quoted: names are told apart by case on
// the server, never in a database file. Everything else is left as written.
QString serverSql(const QString &engineSql, const QStringList &fields = {});

// The table a "select ... into T from ..." makes; "" for any other statement.
QString selectIntoTable(const QString &userSql);

// A date literal's text between the # signs as an ISO date (and time), or ""
// when it is not a date.
QString isoFromDateLiteral(const QString &inner);

// The named parameters (":name") of an SQL text in order of first
// appearance, names without the colon; placeholders inside literals and
// quoted names do not count.
QStringList namedParameters(const QString &sql);

// Replaces each named parameter by "?" and lists the value for each
// occurrence. Names compare without regard to case. Names without a value
// are returned in `missing` (the SQL is still rewritten).
struct BoundSql {
    QString sql;
    QVariantList values;
    QStringList missing;
};
BoundSql bindNamedParameters(const QString &sql, const QMap<QString, QVariant> &valuesByLowerName);

// The named parameters replaced by their values as literals (texts quoted,
// numbers as they are, a missing or Null value as NULL), for a statement that
// cannot take bound values (a view's definition).
QString inlineParameterValues(const QString &sql, const QMap<QString, QVariant> &valuesByLowerName);

// True when `sql` holds more than one statement (text after the first ";").
bool hasTextAfterStatement(const QString &sql);

} // namespace tw
