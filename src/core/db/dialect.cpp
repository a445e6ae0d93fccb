// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/db/dialect.h"

#include "core/db/identifier.h"
#include "core/db/sqltokenizer.h"

#include <QDate>
#include <QStringView>
#include <QRegularExpression>
#include <QTime>

namespace tw {

namespace {

// Index of the next token after `i` that is not blank, or -1.
qsizetype nextSolid(const QList<SqlToken> &tokens, qsizetype i)
{
    for (qsizetype j = i + 1; j < tokens.size(); ++j) {
        if (tokens[j].kind != SqlToken::Space)
            return j;
    }
    return -1;
}

// Desktop-database like patterns use * and ? as wildcards and [x] for a
// literal character; the engine wants % and _. Returns the engine pattern and
// whether it needs an ESCAPE '\' clause.
QString translateLikePattern(const QString &pattern, bool *needsEscape)
{
    QString out;
    bool escaped = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        QChar c = pattern[i];
        bool literal = false;
        if (c == u'[' && i + 2 < pattern.size() && pattern[i + 2] == u']') {
            c = pattern[i + 1];
            i += 2;
            literal = true;
        }
        if (!literal && c == u'*') {
            out += u'%';
        } else if (!literal && c == u'?') {
            out += u'_';
        } else if (c == u'%' || c == u'_' || c == u'\\') {
            out += u'\\';
            out += c;
            escaped = true;
        } else {
            out += c;
        }
    }
    *needsEscape = escaped;
    return out;
}

// Users write a text criterion between two pairs of apostrophes (''abc'')
// when a prompt shows the double quote that way. Outside a literal that form
// is never valid SQL (an empty text directly followed by a name), so it is
// read as the double-quoted text it stands for. Literals, quoted names and
// an ordinary empty text ('') are left alone.
QString apostrophePairsAsQuotes(const QString &sql)
{
    QString out;
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = sql[i];
        if (c == u'\'' && i + 2 < n && sql[i + 1] == u'\'' && sql[i + 2] != u'\'' && !sql[i + 2].isSpace()) {
            const qsizetype close = sql.indexOf(QLatin1String("''"), i + 2);
            if (close > i + 2 && !sql[close - 1].isSpace() && (close + 2 >= n || sql[close + 2] != u'\'')
                && !QStringView(sql).sliced(i + 2, close - i - 2).contains(u'\'')) {
                QString inner = sql.mid(i + 2, close - i - 2);
                inner.replace(u'"', QLatin1String("\"\""));
                out += u'"' + inner + u'"';
                i = close + 1;
                continue;
            }
        }
        if (c == u'\'' || c == u'"' || c == u'[' || c == u'`') {
            const QChar end = c == u'[' ? QChar(u']') : c;
            qsizetype j = i + 1;
            while (j < n) {
                if (sql[j] == end) {
                    if (end != u']' && j + 1 < n && sql[j + 1] == end) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += QStringView(sql).sliced(i, std::min(j + 1, n) - i);
            i = j;
            continue;
        }
        out += c;
    }
    return out;
}

} // namespace

QString isoFromDateLiteral(const QString &inner)
{
    static const QRegularExpression pattern(QStringLiteral(
        R"(^\s*(?:(\d{1,2})[/-](\d{1,2})[/-](\d{1,4})|(\d{4})-(\d{1,2})-(\d{1,2}))?)"
        R"((?:\s+|^\s*|T)?(?:(\d{1,2}):(\d{2})(?::(\d{2}))?\s*([AaPp][Mm])?)?\s*$)"));
    const QRegularExpressionMatch m = pattern.match(inner);
    if (!m.hasMatch())
        return {};
    const bool hasDate = !m.captured(1).isEmpty() || !m.captured(4).isEmpty();
    const bool hasTime = !m.captured(7).isEmpty();
    if (!hasDate && !hasTime)
        return {};
    QDate date(1899, 12, 30); // a time alone is a time on the day zero of desktop databases
    if (!m.captured(1).isEmpty()) {
        int year = m.captured(3).toInt();
        if (m.captured(3).size() <= 2)
            year += year < 30 ? 2000 : 1900;
        date = QDate(year, m.captured(1).toInt(), m.captured(2).toInt());
    } else if (!m.captured(4).isEmpty()) {
        date = QDate(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
    }
    if (!date.isValid())
        return {};
    QString iso = date.toString(Qt::ISODate);
    if (hasTime) {
        int hour = m.captured(7).toInt();
        const QString ampm = m.captured(10).toUpper();
        if (!ampm.isEmpty()) {
            if (hour < 1 || hour > 12)
                return {};
            hour = hour % 12 + (ampm == QLatin1String("PM") ? 12 : 0);
        }
        const QTime time(hour, m.captured(8).toInt(), m.captured(9).toInt());
        if (!time.isValid())
            return {};
        if (time != QTime(0, 0) || !hasDate)
            iso += u' ' + time.toString(QStringLiteral("HH:mm:ss"));
    }
    return iso;
}

QString translateUserSql(const QString &userSql)
{
    const QList<SqlToken> tokens = tokenizeSql(apostrophePairsAsQuotes(userSql));
    QString out;
    QString createPrefix;
    QList<bool> parenIsNullCall; // per open parenthesis: does it close an isnull(...)?
    const qsizetype first = nextSolid(tokens, -1);
    const bool isSelect = first >= 0 && tokens[first].isWord("select");
    bool pendingLike = false;
    bool statementEnded = false;

    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const SqlToken &t = tokens[i];
        const qsizetype next = nextSolid(tokens, i);

        if (t.isPunct(";"))
            statementEnded = true;

        // delete * from T
        if (t.isWord("delete") && next >= 0 && tokens[next].isPunct("*")) {
            const qsizetype after = nextSolid(tokens, next);
            if (after >= 0 && tokens[after].isWord("from")) {
                out += t.text + u' ';
                i = after - 1;
                continue;
            }
        }
        // select ... into T from ...: the engine's form is create table T as select
        if (isSelect && !statementEnded && parenIsNullCall.isEmpty() && createPrefix.isEmpty()
            && t.isWord("into") && next >= 0) {
            const SqlToken &target = tokens[next];
            if (target.kind == SqlToken::Word || target.kind == SqlToken::DoubleQuoted
                || target.kind == SqlToken::Bracketed) {
                const QString name = target.kind == SqlToken::Word ? target.text : target.unquoted();
                createPrefix = QStringLiteral("create table ") + quoteIdentifier(name) + QStringLiteral(" as ");
                i = next;
                if (i + 1 < tokens.size() && tokens[i + 1].kind == SqlToken::Space && out.endsWith(u' '))
                    ++i; // one blank where "into T" was
                continue;
            }
        }
        // isnull(x) -> ((x) IS NULL)
        if (t.isWord("isnull") && next >= 0 && tokens[next].isPunct("(")) {
            out += QLatin1String("((");
            parenIsNullCall.append(true);
            i = next;
            continue;
        }
        if (t.isPunct("(")) {
            parenIsNullCall.append(false);
            out += t.text;
            continue;
        }
        if (t.isPunct(")") && !parenIsNullCall.isEmpty()) {
            out += parenIsNullCall.takeLast() ? QStringLiteral(") IS NULL)") : QStringLiteral(")");
            continue;
        }
        // a not = b
        if (t.isWord("not") && next >= 0 && tokens[next].isPunct("=")) {
            out += QLatin1String("<>");
            i = next;
            continue;
        }
        if (t.isWord("like")) {
            pendingLike = true;
            out += t.text;
            continue;
        }
        if (t.kind == SqlToken::DoubleQuoted || t.kind == SqlToken::String) {
            QString text = t.unquoted();
            if (pendingLike) {
                bool needsEscape = false;
                text = translateLikePattern(text, &needsEscape);
                out += quoteString(text);
                const bool hasEscapeClause = next >= 0 && tokens[next].isWord("escape");
                if (needsEscape && !hasEscapeClause)
                    out += QLatin1String(" ESCAPE '\\'");
            } else {
                out += t.kind == SqlToken::String ? t.text : quoteString(text);
            }
            pendingLike = false;
            continue;
        }
        if (t.kind == SqlToken::DateLiteral) {
            const QString iso = isoFromDateLiteral(t.text.mid(1, t.text.size() - 2));
            out += iso.isEmpty() ? t.text : quoteString(iso);
            pendingLike = false;
            continue;
        }
        if (t.kind != SqlToken::Space)
            pendingLike = false;
        out += t.text;
    }
    if (createPrefix.isEmpty())
        return out;
    // Keep leading blanks and comments where they were.
    qsizetype lead = 0;
    while (lead < out.size() && out[lead].isSpace())
        ++lead;
    return out.left(lead) + createPrefix + out.mid(lead);
}

QString serverSql(const QString &engineSql, const QStringList &fields)
{
    const QList<SqlToken> tokens = tokenizeSql(engineSql);
    const auto fieldNamed = [&](const QString &name) {
        for (const QString &field : fields)
            if (field.compare(name, Qt::CaseInsensitive) == 0)
                return field;
        return QString();
    };
    QString out;
    QList<bool> parenIsVal; // per open parenthesis: does it close a val(...)?
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const SqlToken &t = tokens[i];
        const qsizetype next = nextSolid(tokens, i);
        const bool call = next >= 0 && tokens[next].isPunct("(");
        if (t.kind == SqlToken::Word && !call && !fieldNamed(t.text).isEmpty()) {
            out += quoteIdentifier(fieldNamed(t.text));
        } else if (t.kind == SqlToken::Bracketed || t.kind == SqlToken::DoubleQuoted) {
            const QString field = fieldNamed(t.unquoted());
            out += quoteIdentifier(field.isEmpty() ? t.unquoted() : field);
        } else if (t.isWord("like")) {
            out += QLatin1String("ilike");
        } else if (t.isWord("val") && call) {
            // The leading number of the text, as the file engine's val() reads it.
            out += QLatin1String("coalesce(substring(ltrim((");
            parenIsVal.append(true);
            i = next;
        } else if (t.isPunct("(")) {
            parenIsVal.append(false);
            out += t.text;
        } else if (t.isPunct(")") && !parenIsVal.isEmpty()) {
            out += parenIsVal.takeLast()
                ? QStringLiteral(")::text) from '^[+-]?(?:[0-9]+[.]?[0-9]*|[.][0-9]+)(?:[eE][+-]?[0-9]+)?')"
                                 "::double precision, 0)")
                : QStringLiteral(")");
        } else {
            out += t.text;
        }
    }
    return out;
}

QString selectIntoTable(const QString &userSql)
{
    const QString engineSql = translateUserSql(userSql);
    const QList<SqlToken> tokens = tokenizeSql(engineSql);
    const qsizetype first = nextSolid(tokens, -1);
    const qsizetype second = nextSolid(tokens, first);
    const qsizetype name = nextSolid(tokens, second);
    const qsizetype as = nextSolid(tokens, name);
    // Only the translation writes "create table" from a statement that began
    // with select.
    const QList<SqlToken> userTokens = tokenizeSql(userSql);
    const qsizetype userFirst = nextSolid(userTokens, -1);
    if (userFirst < 0 || !userTokens[userFirst].isWord("select") || as < 0 || !tokens[first].isWord("create")
        || !tokens[second].isWord("table") || !tokens[as].isWord("as"))
        return {};
    return tokens[name].unquoted();
}

QStringList namedParameters(const QString &sql)
{
    QStringList names;
    for (const SqlToken &t : tokenizeSql(sql)) {
        if (t.kind == SqlToken::Parameter && t.text.startsWith(u':')) {
            const QString name = t.text.mid(1);
            bool seen = false;
            for (const QString &n : std::as_const(names))
                seen = seen || n.compare(name, Qt::CaseInsensitive) == 0;
            if (!seen)
                names.append(name);
        }
    }
    return names;
}

BoundSql bindNamedParameters(const QString &sql, const QMap<QString, QVariant> &valuesByLowerName)
{
    BoundSql bound;
    for (const SqlToken &t : tokenizeSql(sql)) {
        if (t.kind == SqlToken::Parameter && t.text.startsWith(u':')) {
            const QString name = t.text.mid(1);
            const auto found = valuesByLowerName.constFind(name.toLower());
            if (found == valuesByLowerName.cend()) {
                if (!bound.missing.contains(name, Qt::CaseInsensitive))
                    bound.missing.append(name);
                bound.values.append(QVariant());
            } else {
                bound.values.append(*found);
            }
            bound.sql += u'?';
        } else {
            bound.sql += t.text;
        }
    }
    return bound;
}

QString inlineParameterValues(const QString &sql, const QMap<QString, QVariant> &valuesByLowerName)
{
    QString out;
    for (const SqlToken &t : tokenizeSql(sql)) {
        if (t.kind != SqlToken::Parameter || !t.text.startsWith(u':')) {
            out += t.text;
            continue;
        }
        const QVariant value = valuesByLowerName.value(t.text.mid(1).toLower());
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
            out += value.isNull() ? QStringLiteral("NULL") : value.toString();
            break;
        default:
            out += value.isNull() ? QStringLiteral("NULL") : quoteString(value.toString());
            break;
        }
    }
    return out;
}

bool hasTextAfterStatement(const QString &sql)
{
    bool ended = false;
    for (const SqlToken &t : tokenizeSql(sql)) {
        if (t.isPunct(";"))
            ended = true;
        else if (ended && t.kind != SqlToken::Space)
            return true;
    }
    return false;
}

} // namespace tw
