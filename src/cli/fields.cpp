// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/fields.h"

#include <type_traits>
#include <vector>

namespace tw::cli {

namespace {

template <class P>
using Member = std::variant<QString P::*, int P::*, bool P::*>;

template <class P>
struct Def
{
    const char *name;
    Member<P> member;
    const char *meaning;
};

const std::vector<Def<MoveParams>> &moveDefs()
{
    static const std::vector<Def<MoveParams>> defs = {
        {"textToMove", &MoveParams::textToMove, "\"General Move\", \"Specific Move\" or a text to find and move (required)"},
        {"moveSpecificText", &MoveParams::moveSpecificText, "Specific Move: the text expected at moveFromCol"},
        {"moveFromCol", &MoveParams::moveFromCol, "column of the piece to move"},
        {"moveNumOfChars", &MoveParams::moveNumOfChars, "General Move: length of the piece"},
        {"moveToCol", &MoveParams::moveToCol, "column to put the piece at"},
        {"moveEndOfLine", &MoveParams::moveEndOfLine, "1: put the piece at the end of the line"},
        {"moveOptions", &MoveParams::moveOptions, "\"Add spaces\" or \"Omit spaces\" around the piece"},
        {"moveSpaces", &MoveParams::moveSpaces, "number of spaces"},
        {"movePlaceSpaces", &MoveParams::movePlaceSpaces, "\"Both sides\", \"Left side\" or \"Right side\""},
    };
    return defs;
}

const std::vector<Def<AddParams>> &addDefs()
{
    static const std::vector<Def<AddParams>> defs = {
        {"addText", &AddParams::addText, "the text to add (required)"},
        {"addIfContains", &AddParams::addIfContains, "only lines containing this text; \\r\\n: only empty lines"},
        {"addAtCol", &AddParams::addAtCol, "column to add at"},
        {"addEndOfLine", &AddParams::addEndOfLine, "1: add at the end of the line"},
        {"addOptions", &AddParams::addOptions, "\"Add spaces\" or \"Omit spaces\" around the text"},
        {"addSpaces", &AddParams::addSpaces, "number of spaces"},
        {"addPlaceSpaces", &AddParams::addPlaceSpaces, "\"Both sides\", \"Left side\" or \"Right side\""},
    };
    return defs;
}

const std::vector<Def<ReplaceParams>> &replaceDefs()
{
    static const std::vector<Def<ReplaceParams>> defs = {
        {"replaceText", &ReplaceParams::replaceText, "\"General Replace\", \"Specific Replace\" or a text to find and replace everywhere (required)"},
        {"replaceSpecificText", &ReplaceParams::replaceSpecificText, "Specific Replace: the text expected at replaceAtCol"},
        {"replaceAtCol", &ReplaceParams::replaceAtCol, "column of the part to replace"},
        {"replaceNumOfChars", &ReplaceParams::replaceNumOfChars, "General Replace: length of the part"},
        {"replaceWith", &ReplaceParams::replaceWith, "the replacement"},
        {"replaceEndOfLine", &ReplaceParams::replaceEndOfLine, "1: take the part from the end of the line"},
    };
    return defs;
}

const std::vector<Def<DeleteParams>> &deleteDefs()
{
    static const std::vector<Def<DeleteParams>> defs = {
        {"deleteText", &DeleteParams::deleteText, "\"General Delete\", \"Specific Delete\" or a text to find and delete everywhere (required)"},
        {"deleteSpecificText", &DeleteParams::deleteSpecificText, "Specific Delete: the text expected at deleteFromCol; \\r\\n: delete empty lines"},
        {"deleteFromCol", &DeleteParams::deleteFromCol, "column of the part to delete"},
        {"deleteNumOfChars", &DeleteParams::deleteNumOfChars, "General Delete: length of the part"},
        {"deleteEndOfLine", &DeleteParams::deleteEndOfLine, "1: take the part from the end of the line"},
        {"deleteOptions", &DeleteParams::deleteOptions, "\"Add spaces\": put spaces in place of the part"},
        {"deleteSpaces", &DeleteParams::deleteSpaces, "number of spaces"},
    };
    return defs;
}

const std::vector<Def<FormatParams>> &formatDefs()
{
    static const std::vector<Def<FormatParams>> defs = {
        {"formatCreate", &FormatParams::formatCreate, "at each delimiter: \"New line\" or \"New column\""},
        {"formatRemoveDelimiter", &FormatParams::formatRemoveDelimiter, "1: drop the delimiter"},
        {"formatDelimiter", &FormatParams::formatDelimiter, "delimiter character, a series of them, or spaces (required unless a delimiter string is used)"},
        {"formatUseDelimiterString", &FormatParams::formatUseDelimiterString, "1: use formatDelimiterString instead"},
        {"formatDelimiterString", &FormatParams::formatDelimiterString, "delimiter matched as a whole string"},
        {"formatMoveDelimiter", &FormatParams::formatMoveDelimiter, "New column: \"Yes\" starts the next column with the delimiter"},
        {"formatSpacesBetweenCols", &FormatParams::formatSpacesBetweenCols, "New column: spaces after each section"},
        {"formatAddText", &FormatParams::formatAddText, "\"Start of line\", \"End of line\", \"Start of column\", \"End of column\" or \"Omit text\""},
        {"formatTextToAdd", &FormatParams::formatTextToAdd, "text added to each section"},
        {"formatAddFromCol", &FormatParams::formatAddFromCol, "when formatTextToAdd is empty: column of the line to copy from"},
        {"formatNumOfChars", &FormatParams::formatNumOfChars, "when formatTextToAdd is empty: characters to copy"},
        {"formatFirstSection", &FormatParams::formatFirstSection, "\"No\": the first section gets no added text"},
        {"formatOptions", &FormatParams::formatOptions, "\"Add spaces\" or \"Omit spaces\" around the added text"},
        {"formatPlaceSpaces", &FormatParams::formatPlaceSpaces, "\"Both sides\", \"Left side\" or \"Right side\""},
        {"formatSpaces", &FormatParams::formatSpaces, "number of spaces"},
    };
    return defs;
}

const std::vector<Def<LineToolParams>> &breakDefs()
{
    static const std::vector<Def<LineToolParams>> defs = {
        {"startLineAfter", &LineToolParams::startLineAfter, "start a new line after every this many characters (empty or 0: no change)"},
    };
    return defs;
}

const std::vector<Def<TabwriteParams>> &tabwriteDefs()
{
    static const std::vector<Def<TabwriteParams>> defs = {
        {"tabwriteStartLineAt", &TabwriteParams::tabwriteStartLineAt, "column every laid-out line starts at"},
    };
    return defs;
}

template <class P>
QList<FieldInfo> describe(const std::vector<Def<P>> &defs)
{
    const P defaults;
    QList<FieldInfo> list;
    for (const Def<P> &def : defs) {
        FieldInfo info{QString::fromLatin1(def.name), FieldKind::Text, {}, QString::fromUtf8(def.meaning)};
        std::visit([&](auto member) {
            using T = std::remove_cvref_t<decltype(defaults.*member)>;
            if constexpr (std::is_same_v<T, QString>) {
                info.defaultValue = escape(defaults.*member);
            } else if constexpr (std::is_same_v<T, bool>) {
                info.kind = FieldKind::Check;
                info.defaultValue = (defaults.*member) ? QStringLiteral("1") : QStringLiteral("0");
            } else {
                info.kind = FieldKind::Number;
                // The line-length box starts empty; every other box starts at 1.
                const int value = defaults.*member;
                info.defaultValue = value == 0 ? QString() : QString::number(value);
            }
        }, def.member);
        list.append(info);
    }
    return list;
}

template <class P>
QString setIn(P &params, const std::vector<Def<P>> &defs, const QString &name, const QString &value)
{
    for (const Def<P> &def : defs) {
        if (name != QLatin1StringView(def.name))
            continue;
        return std::visit([&](auto member) -> QString {
            using T = std::remove_cvref_t<decltype(params.*member)>;
            if constexpr (std::is_same_v<T, QString>) {
                QString error;
                QString text = unescape(value, &error);
                if (!error.isEmpty())
                    return QStringLiteral("%1: %2").arg(name, error);
                params.*member = std::move(text);
            } else if constexpr (std::is_same_v<T, bool>) {
                if (value != u"0" && value != u"1")
                    return QStringLiteral("%1 is a check box and takes 0 or 1, not '%2'").arg(name, value);
                params.*member = value == u"1";
            } else {
                // The numeric boxes take up to three digits; empty reads as 0.
                bool digits = value.size() <= 3;
                for (QChar c : value)
                    digits = digits && c >= u'0' && c <= u'9';
                if (!digits)
                    return QStringLiteral("%1 takes a number from 0 to 999 or nothing, not '%2'")
                        .arg(name, value);
                params.*member = value.isEmpty() ? 0 : value.toInt();
            }
            return {};
        }, def.member);
    }
    return QStringLiteral("unknown field '%1' for this operation (see --help)").arg(name);
}

} // namespace

const QList<OperationInfo> &operations()
{
    static const QList<OperationInfo> list = {
        {Operation::Move, QStringLiteral("move"), QStringLiteral("Move Text: move a piece of each line to another column")},
        {Operation::Add, QStringLiteral("add"), QStringLiteral("Add Text: add a text to each line")},
        {Operation::Replace, QStringLiteral("replace"), QStringLiteral("Replace Text: replace part of each line")},
        {Operation::Delete, QStringLiteral("delete"), QStringLiteral("Delete Text: delete part of each line")},
        {Operation::Format, QStringLiteral("format"), QStringLiteral("Format Text: split lines at a delimiter into lines or columns")},
        {Operation::JoinLines, QStringLiteral("join-lines"), QStringLiteral("Join Lines: join the lines of each paragraph")},
        {Operation::CreateLine, QStringLiteral("create-line"), QStringLiteral("Create Line: join the whole text into one line")},
        {Operation::BreakLines, QStringLiteral("break-lines"), QStringLiteral("start a new line after every startLineAfter characters")},
        {Operation::Tabwrite, QStringLiteral("tabwrite"), QStringLiteral("Tabwrite Text: lay lines out in columns by --columns FILE")},
    };
    return list;
}

const OperationInfo *findOperation(const QString &name)
{
    for (const OperationInfo &info : operations()) {
        if (info.name == name)
            return &info;
    }
    return nullptr;
}

QList<FieldInfo> fieldsOf(Operation operation)
{
    switch (operation) {
    case Operation::Move: return describe(moveDefs());
    case Operation::Add: return describe(addDefs());
    case Operation::Replace: return describe(replaceDefs());
    case Operation::Delete: return describe(deleteDefs());
    case Operation::Format: return describe(formatDefs());
    case Operation::BreakLines: return describe(breakDefs());
    case Operation::Tabwrite: return describe(tabwriteDefs());
    case Operation::JoinLines:
    case Operation::CreateLine: break;
    }
    return {};
}

QString setField(Parameters &p, Operation operation, const QString &name, const QString &value)
{
    switch (operation) {
    case Operation::Move: return setIn(p.move, moveDefs(), name, value);
    case Operation::Add: return setIn(p.add, addDefs(), name, value);
    case Operation::Replace: return setIn(p.replace, replaceDefs(), name, value);
    case Operation::Delete: return setIn(p.remove, deleteDefs(), name, value);
    case Operation::Format: return setIn(p.format, formatDefs(), name, value);
    case Operation::BreakLines: return setIn(p.lineTool, breakDefs(), name, value);
    case Operation::Tabwrite: return setIn(p.tabwrite, tabwriteDefs(), name, value);
    case Operation::JoinLines:
    case Operation::CreateLine: break;
    }
    return QStringLiteral("this operation takes no fields, not '%1'").arg(name);
}

QString unescape(const QString &value, QString *error)
{
    if (!value.contains(u'\\'))
        return value;
    QString text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != u'\\') {
            text += c;
            continue;
        }
        const QChar next = i + 1 < value.size() ? value.at(i + 1) : QChar();
        switch (next.unicode()) {
        case u'r': text += u'\r'; break;
        case u'n': text += u'\n'; break;
        case u't': text += u'\t'; break;
        case u'\\': text += u'\\'; break;
        default:
            *error = next.isNull()
                         ? QStringLiteral("a backslash at the end (write \\\\ for a backslash)")
                         : QStringLiteral("unknown escape \\%1 (use \\r, \\n, \\t or \\\\)").arg(next);
            return {};
        }
        ++i;
    }
    return text;
}

QString escape(const QString &text)
{
    QString out;
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'\r': out += QStringLiteral("\\r"); break;
        case u'\n': out += QStringLiteral("\\n"); break;
        case u'\t': out += QStringLiteral("\\t"); break;
        case u'\\': out += QStringLiteral("\\\\"); break;
        default: out += c;
        }
    }
    return out;
}

bool isFieldArgument(const QString &argument)
{
    const qsizetype equals = argument.indexOf(u'=');
    if (equals <= 0)
        return false;
    for (qsizetype i = 0; i < equals; ++i) {
        const QChar c = argument.at(i);
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_'))
            return false;
    }
    return true;
}

QStringList insertedTexts(const Parameters &p, Operation operation)
{
    switch (operation) {
    case Operation::Add: return {p.add.addText};
    case Operation::Replace: return {p.replace.replaceWith};
    case Operation::Format: return {p.format.formatTextToAdd};
    default: return {};
    }
}

} // namespace tw::cli
