// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/db/sqltokenizer.h"

namespace tw {

namespace {

bool isWordStart(QChar c)
{
    return c.isLetter() || c == u'_' || c.unicode() >= 0x80;
}

bool isWordChar(QChar c)
{
    return isWordStart(c) || c.isDigit() || c == u'$';
}

// Index just past a quoted piece that starts at `from` with `quote` and ends
// with `close`; a doubled closing quote stays inside. Unterminated pieces run
// to the end, which the engine then reports as an error.
qsizetype skipQuoted(const QString &sql, qsizetype from, QChar close, bool doubling)
{
    qsizetype i = from + 1;
    while (i < sql.size()) {
        if (sql[i] == close) {
            if (doubling && i + 1 < sql.size() && sql[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return sql.size();
}

} // namespace

QString SqlToken::unquoted() const
{
    if (text.size() < 2)
        return text;
    switch (kind) {
    case DoubleQuoted: return text.mid(1, text.size() - 2).replace(QLatin1String("\"\""), QLatin1String("\""));
    case String: return text.mid(1, text.size() - 2).replace(QLatin1String("''"), QLatin1String("'"));
    case Bracketed:
        if (text.front() == u'`')
            return text.mid(1, text.size() - 2).replace(QLatin1String("``"), QLatin1String("`"));
        return text.mid(1, text.size() - 2);
    default: return text;
    }
}

QList<SqlToken> tokenizeSql(const QString &sql)
{
    QList<SqlToken> tokens;
    qsizetype i = 0;
    const qsizetype n = sql.size();
    const auto push = [&](SqlToken::Kind kind, qsizetype end) {
        tokens.append(SqlToken{kind, sql.mid(i, end - i)});
        i = end;
    };
    while (i < n) {
        const QChar c = sql[i];
        const QChar next = i + 1 < n ? sql[i + 1] : QChar();
        if (c.isSpace()) {
            qsizetype end = i + 1;
            while (end < n && sql[end].isSpace())
                ++end;
            push(SqlToken::Space, end);
        } else if (c == u'-' && next == u'-') {
            qsizetype end = sql.indexOf(u'\n', i);
            push(SqlToken::Space, end < 0 ? n : end);
        } else if (c == u'/' && next == u'*') {
            const qsizetype close = sql.indexOf(QLatin1String("*/"), i + 2);
            push(SqlToken::Space, close < 0 ? n : close + 2);
        } else if (c == u'\'') {
            push(SqlToken::String, skipQuoted(sql, i, u'\'', true));
        } else if (c == u'"') {
            push(SqlToken::DoubleQuoted, skipQuoted(sql, i, u'"', true));
        } else if (c == u'[') {
            push(SqlToken::Bracketed, skipQuoted(sql, i, u']', false));
        } else if (c == u'`') {
            push(SqlToken::Bracketed, skipQuoted(sql, i, u'`', true));
        } else if (c == u'#') {
            const qsizetype close = sql.indexOf(u'#', i + 1);
            const qsizetype newline = sql.indexOf(u'\n', i + 1);
            if (close > i + 1 && (newline < 0 || close < newline))
                push(SqlToken::DateLiteral, close + 1);
            else
                push(SqlToken::Punct, i + 1);
        } else if ((c == u':' || c == u'@' || c == u'$') && isWordStart(next)) {
            qsizetype end = i + 1;
            while (end < n && isWordChar(sql[end]))
                ++end;
            push(SqlToken::Parameter, end);
        } else if (c == u'?') {
            qsizetype end = i + 1;
            while (end < n && sql[end].isDigit())
                ++end;
            push(SqlToken::Parameter, end);
        } else if (c.isDigit() || (c == u'.' && next.isDigit())) {
            qsizetype end = i;
            while (end < n && (sql[end].isDigit() || sql[end] == u'.'))
                ++end;
            if (end < n && (sql[end] == u'e' || sql[end] == u'E')) {
                qsizetype exp = end + 1;
                if (exp < n && (sql[exp] == u'+' || sql[exp] == u'-'))
                    ++exp;
                if (exp < n && sql[exp].isDigit()) {
                    end = exp;
                    while (end < n && sql[end].isDigit())
                        ++end;
                }
            }
            push(SqlToken::Number, end);
        } else if (isWordStart(c)) {
            qsizetype end = i + 1;
            while (end < n && isWordChar(sql[end]))
                ++end;
            push(SqlToken::Word, end);
        } else {
            static const QLatin1String twoCharOps[] = {QLatin1String("<>"), QLatin1String("<="),
                                                       QLatin1String(">="), QLatin1String("!="),
                                                       QLatin1String("=="), QLatin1String("||"),
                                                       QLatin1String("<<"), QLatin1String(">>")};
            qsizetype end = i + 1;
            for (const QLatin1String &op : twoCharOps) {
                if (QStringView(sql).mid(i, 2) == op) {
                    end = i + 2;
                    break;
                }
            }
            push(SqlToken::Punct, end);
        }
    }
    return tokens;
}

} // namespace tw
