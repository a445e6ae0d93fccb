// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/db/simpleselect.h"

#include "core/db/sqltokenizer.h"

#include <QStringList>

namespace tw {

namespace {

// Words that end a select list's FROM term or start a clause this form does
// not allow.
bool isClauseWord(const SqlToken &t)
{
    static const char *const words[] = {"where", "order", "group", "having", "limit", "window", "union", "except",
                                        "intersect", "join", "inner", "left", "right", "full", "cross", "natural",
                                        "outer", "on", "using", "indexed", "not", "as", "from", "select", "values"};
    for (const char *word : words)
        if (t.isWord(word))
            return true;
    return false;
}

bool isName(const SqlToken &t)
{
    return t.kind == SqlToken::DoubleQuoted || t.kind == SqlToken::Bracketed
        || (t.kind == SqlToken::Word && !isClauseWord(t));
}

// The tokens of a statement without its blanks, comments and closing
// semicolon, each with the text between it and the next one kept, so a part
// can be put back together as written. Parentheses set the depth.
struct Piece {
    SqlToken token;
    int depth = 0;
    QString text; // the token and the blanks after it
};

} // namespace

std::optional<SimpleSelect> parseSimpleSelect(const QString &engineSql)
{
    QList<Piece> pieces;
    int depth = 0;
    bool ended = false;
    for (const SqlToken &t : tokenizeSql(engineSql)) {
        if (t.kind == SqlToken::Space) {
            if (!pieces.isEmpty())
                pieces.last().text += u' ';
            continue;
        }
        if (ended)
            return std::nullopt; // a second statement
        if (t.isPunct(";") && depth == 0) {
            ended = true;
            continue;
        }
        if (t.isPunct(")"))
            --depth;
        pieces.append({t, depth, t.text});
        if (t.isPunct("("))
            ++depth;
    }
    qsizetype i = 0;
    const auto at = [&](qsizetype k) -> const SqlToken * { return k < pieces.size() ? &pieces[k].token : nullptr; };
    const auto join = [&](qsizetype from, qsizetype to) {
        QString text;
        for (qsizetype k = from; k < to; ++k)
            text += pieces[k].text;
        return text.trimmed();
    };

    if (!at(i) || !at(i)->isWord("select"))
        return std::nullopt;
    ++i;
    if (at(i) && at(i)->isWord("distinct"))
        return std::nullopt;
    if (at(i) && at(i)->isWord("all"))
        ++i;
    const qsizetype columnsStart = i;
    while (at(i) && !(pieces[i].depth == 0 && at(i)->isWord("from")))
        ++i;
    if (!at(i) || i == columnsStart)
        return std::nullopt;
    SimpleSelect parts;
    parts.columns = join(columnsStart, i);
    ++i; // FROM

    const qsizetype fromStart = i;
    if (!at(i) || !isName(*at(i)) || (at(i + 1) && at(i + 1)->isPunct(".")))
        return std::nullopt;
    parts.table = at(i)->kind == SqlToken::Word ? at(i)->text : at(i)->unquoted();
    ++i;
    if (at(i) && at(i)->isWord("as")) {
        ++i;
        if (!at(i) || !isName(*at(i)))
            return std::nullopt;
        ++i;
    } else if (at(i) && isName(*at(i))) {
        ++i;
    }
    parts.from = join(fromStart, i);

    if (at(i) && at(i)->isWord("where")) {
        const qsizetype whereStart = ++i;
        while (at(i) && !(pieces[i].depth == 0 && at(i)->isWord("order") && at(i + 1) && at(i + 1)->isWord("by"))) {
            // Clauses that merge or cut rows make the result something else.
            if (pieces[i].depth == 0
                && (at(i)->isWord("group") || at(i)->isWord("having") || at(i)->isWord("limit")
                    || at(i)->isWord("window") || at(i)->isWord("union") || at(i)->isWord("except")
                    || at(i)->isWord("intersect")))
                return std::nullopt;
            ++i;
        }
        parts.where = join(whereStart, i);
        if (parts.where.isEmpty())
            return std::nullopt;
    }
    if (at(i) && at(i)->isWord("order") && at(i + 1) && at(i + 1)->isWord("by")) {
        i += 2;
        const qsizetype orderStart = i;
        while (at(i)) {
            if (pieces[i].depth == 0
                && (at(i)->isWord("limit") || at(i)->isWord("union") || at(i)->isWord("except")
                    || at(i)->isWord("intersect")))
                return std::nullopt;
            ++i;
        }
        parts.orderBy = join(orderStart, i);
        if (parts.orderBy.isEmpty())
            return std::nullopt;
    }
    if (at(i))
        return std::nullopt; // a join, a grouping, a second table...
    return parts;
}

} // namespace tw
