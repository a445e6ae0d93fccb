// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/settings/settingsfields.h"

#include <QStringView>
#include <QVariant>
#include <QVariantList>

namespace tw::settings {

// The values of a named settings, one per field of fields(), in that order.
// Each value is held as the record stores it: a QString for a text, a double
// for a number, an int for a check box. A value may be empty (Null): a field
// empty in the store leaves its control as it is when the settings load, and
// on the command line a field not given keeps what came before.
class SettingsRecord
{
public:
    SettingsRecord(); // every value empty
    // What the controls show when the window opens.
    static SettingsRecord defaults();
    static SettingsRecord from(const Parameters &parameters);

    const QVariant &value(qsizetype index) const { return m_values.at(index); }
    QVariant value(const QString &name) const;
    // Converts the value to the field's kind; Null stays Null.
    void setValue(qsizetype index, const QVariant &value);
    bool setValue(const QString &name, const QVariant &value);
    // Takes over every value the other record holds.
    void overlay(const SettingsRecord &other);
    // The values as the operations read them; a field without a value keeps
    // the one in base.
    Parameters parameters(Parameters base = {}) const;

    bool operator==(const SettingsRecord &other) const { return m_values == other.m_values; }

private:
    QVariantList m_values;
};

// A number box's text as the operations read it: its leading digits, empty
// as 0, never above 999.
int numberBoxValue(QStringView text);
// A stored number as a number box holds it: whole, 0 to 999.
int numberBoxValue(double stored);

// A value typed on the command line, checked against what its control takes
// (digits for a number box, 0 or 1 for a check box, an entry of the list for a
// fixed list). Returns "" and sets *value when it is taken, otherwise the
// reason in one line.
QString parseTypedValue(const Field &field, const QString &text, QVariant *value);

// A stored value as text (numbers in their shortest exact form) and back.
// Reading back takes any number or integer a store may hold, so what was
// stored comes back exactly.
QString storedText(const Field &field, const QVariant &value);
bool parseStoredText(const Field &field, const QString &text, QVariant *value);

} // namespace tw::settings
