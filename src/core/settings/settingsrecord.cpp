// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/settingsrecord.h"

#include <QLocale>

#include <cmath>
#include <type_traits>

namespace tw::settings {

namespace {

constexpr int numberBoxMaximum = 999;

QVariant normalised(const Field &field, const QVariant &value)
{
    if (value.isNull())
        return {};
    switch (field.kind) {
    case Kind::Text: {
        // An empty text is stored as a zero-length string, which an empty
        // box means, not as Null, which is a field left empty in the store.
        const QString text = value.toString();
        return text.isNull() ? QString::fromLatin1("") : text;
    }
    case Kind::Number: return value.toDouble();
    case Kind::Check: return value.toInt();
    }
    return {};
}

QString quotedList(const QStringList &entries)
{
    QStringList quoted;
    for (const QString &entry : entries)
        quoted << u'"' + entry + u'"';
    return quoted.join(QStringLiteral(", "));
}

} // namespace

SettingsRecord::SettingsRecord() : m_values(fields().size()) {}

SettingsRecord SettingsRecord::defaults()
{
    return from(Parameters{});
}

SettingsRecord SettingsRecord::from(const Parameters &parameters)
{
    SettingsRecord record;
    Parameters p = parameters; // the bindings hand out references into a record
    for (qsizetype i = 0; i < fields().size(); ++i) {
        const Field &field = fields().at(i);
        std::visit([&](auto bound) {
            const auto &member = bound(p);
            using T = std::remove_cvref_t<decltype(member)>;
            if constexpr (std::is_same_v<T, QString>) {
                record.setValue(i, member);
            } else if constexpr (std::is_same_v<T, bool>) {
                record.setValue(i, member ? 1 : 0);
            } else if (field.kind == Kind::Number) {
                record.setValue(i, double(member));
            } else {
                // A number box stored as its text: 0 is the empty box.
                record.setValue(i, member == 0 ? QString() : QString::number(member));
            }
        }, field.binding);
    }
    return record;
}

QVariant SettingsRecord::value(const QString &name) const
{
    const qsizetype index = fieldIndex(name);
    return index < 0 ? QVariant() : m_values.at(index);
}

void SettingsRecord::setValue(qsizetype index, const QVariant &value)
{
    m_values[index] = normalised(fields().at(index), value);
}

bool SettingsRecord::setValue(const QString &name, const QVariant &value)
{
    const qsizetype index = fieldIndex(name);
    if (index < 0)
        return false;
    setValue(index, value);
    return true;
}

void SettingsRecord::overlay(const SettingsRecord &other)
{
    for (qsizetype i = 0; i < m_values.size(); ++i) {
        if (!other.m_values.at(i).isNull())
            m_values[i] = other.m_values.at(i);
    }
}

Parameters SettingsRecord::parameters(Parameters base) const
{
    for (qsizetype i = 0; i < fields().size(); ++i) {
        const QVariant &value = m_values.at(i);
        if (value.isNull())
            continue;
        const Field &field = fields().at(i);
        std::visit([&](auto bound) {
            auto &member = bound(base);
            using T = std::remove_cvref_t<decltype(member)>;
            if constexpr (std::is_same_v<T, QString>)
                member = value.toString();
            else if constexpr (std::is_same_v<T, bool>)
                member = value.toInt() != 0;
            else if (field.kind == Kind::Number)
                member = numberBoxValue(value.toDouble());
            else
                member = numberBoxValue(value.toString());
        }, field.binding);
    }
    return base;
}

int numberBoxValue(QStringView text)
{
    int number = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            break;
        number = number * 10 + (c.unicode() - u'0');
        if (number > numberBoxMaximum)
            return numberBoxMaximum;
    }
    return number;
}

int numberBoxValue(double stored)
{
    if (!(stored > 0)) // also NaN
        return 0;
    return stored >= numberBoxMaximum ? numberBoxMaximum : int(std::trunc(stored));
}

QString parseTypedValue(const Field &field, const QString &text, QVariant *value)
{
    switch (field.input) {
    case Control::CheckBox:
        if (text != u"0" && text != u"1")
            return QStringLiteral("%1 is a check box and takes 0 or 1, not '%2'").arg(field.name, text);
        *value = text.toInt();
        return {};
    case Control::NumberBox: {
        bool digits = text.size() <= 3;
        for (const QChar c : text)
            digits = digits && c >= u'0' && c <= u'9';
        if (!digits)
            return QStringLiteral("%1 takes a number from 0 to 999 or nothing, not '%2'").arg(field.name, text);
        // A box stored as its text keeps the digits as typed.
        *value = field.kind == Kind::Number ? QVariant(double(numberBoxValue(text))) : QVariant(text);
        return {};
    }
    case Control::FixedList:
        if (!field.entries.contains(text))
            return QStringLiteral("%1 takes one of %2, not '%3'").arg(field.name, quotedList(field.entries), text);
        *value = text;
        return {};
    case Control::TextBox:
    case Control::MultiLineBox:
    case Control::DropDown:
        *value = text;
        return {};
    }
    return {};
}

QString storedText(const Field &field, const QVariant &value)
{
    switch (field.kind) {
    case Kind::Text: return value.toString();
    case Kind::Number: return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case Kind::Check: return QString::number(value.toInt());
    }
    return {};
}

bool parseStoredText(const Field &field, const QString &text, QVariant *value)
{
    bool ok = true;
    switch (field.kind) {
    case Kind::Text:
        *value = text;
        break;
    case Kind::Number: {
        const double number = text.toDouble(&ok);
        *value = number;
        break;
    }
    case Kind::Check: {
        const short check = text.toShort(&ok);
        *value = int(check);
        break;
    }
    }
    return ok;
}

} // namespace tw::settings
