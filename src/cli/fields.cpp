// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/fields.h"

namespace tw::cli {

namespace {

using settings::Group;

std::optional<Group> groupOf(Operation operation)
{
    switch (operation) {
    case Operation::Move: return Group::Move;
    case Operation::Add: return Group::Add;
    case Operation::Replace: return Group::Replace;
    case Operation::Delete: return Group::Delete;
    case Operation::Format: return Group::Format;
    case Operation::BreakLines: return Group::LineTools;
    case Operation::Tabwrite: return Group::Tabwrite;
    case Operation::JoinLines:
    case Operation::CreateLine: break;
    }
    return std::nullopt;
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

FieldList fieldsOf(Group group)
{
    FieldList list;
    for (const settings::Field &field : settings::fields()) {
        if (field.group == group && !field.afterProcess)
            list << &field;
    }
    return list;
}

FieldList fieldsOf(Operation operation)
{
    const std::optional<Group> group = groupOf(operation);
    return group ? fieldsOf(*group) : FieldList{};
}

FieldList allFields()
{
    FieldList list;
    for (const settings::Field &field : settings::fields())
        list << &field;
    return list;
}

QString defaultText(const settings::Field &field)
{
    static const SettingsRecord defaults = SettingsRecord::defaults();
    return escape(settings::storedText(field, defaults.value(settings::fieldIndex(field.name))));
}

QString setField(SettingsRecord &given, const FieldList &offered, const QString &argument)
{
    const qsizetype equals = argument.indexOf(u'=');
    const QString name = argument.left(equals);
    const settings::Field *field = nullptr;
    for (const settings::Field *candidate : offered) {
        if (candidate->name == name)
            field = candidate;
    }
    if (!field)
        return QStringLiteral("unknown field '%1' for this operation (see --help)").arg(name);
    const qsizetype index = settings::fieldIndex(name);
    if (!given.value(index).isNull())
        return QStringLiteral("field %1 given twice").arg(name);
    QString error;
    const QString text = unescape(argument.mid(equals + 1), &error);
    if (!error.isEmpty())
        return QStringLiteral("%1: %2").arg(name, error);
    QVariant value;
    if (const QString refusal = settings::parseTypedValue(*field, text, &value); !refusal.isEmpty())
        return refusal;
    given.setValue(index, value);
    return {};
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
