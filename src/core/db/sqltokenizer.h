// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

namespace tw {

// A lexical piece of an SQL text. Only as much SQL as the dialect
// translation, the parameter scan and the constraint reader need is
// recognised; everything else passes through as Other.
struct SqlToken {
    enum Kind {
        Space,        // blanks and comments
        Word,         // keyword or bare name
        DoubleQuoted, // "..." (a name to the engine, a text to desktop-database users)
        Bracketed,    // [...] or `...`: a name
        String,       // '...'
        Number,
        Parameter,    // :name, @name, $name, ?, ?NNN
        DateLiteral,  // #...#
        Punct,        // operators, parentheses, comma, semicolon
        Other,
    };
    Kind kind = Other;
    QString text; // exactly as written, quotes included

    bool isWord(const char *word) const
    {
        return kind == Word && text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool isPunct(const char *p) const { return kind == Punct && text == QLatin1String(p); }
    // The name or text inside the quotes, with doubled quotes undone.
    QString unquoted() const;
};

QList<SqlToken> tokenizeSql(const QString &sql);

} // namespace tw
