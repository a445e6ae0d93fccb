// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tw {

// A table or field name as an SQL identifier: always double-quoted, with
// embedded quotes doubled, so any name (spaces, brackets, quotes, SQL text)
// stays a name and never becomes part of the statement.
QString quoteIdentifier(const QString &name);

// A name as users write it in SQL (the Queries window, saved queries): as it
// is when it is a plain word that is no SQL keyword, otherwise in [brackets]
// (in `backticks` when it holds a "]"). Double quotes would make it a text in
// that dialect.
QString userIdentifier(const QString &name);
// The same, always bracketed ([name]).
QString bracketedIdentifier(const QString &name);

// A text as an SQL string literal ('it''s'), for the rare place where a
// statement cannot take a bound value.
QString quoteString(const QString &text);

// Whether a name can name a table or field: not empty, no control characters
// and not in the engine's reserved "sqlite_" name space (tables only).
bool isValidFieldName(const QString &name);
bool isValidTableName(const QString &name);

} // namespace tw
