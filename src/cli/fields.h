// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/settings/settingsrecord.h"

#include <QList>
#include <QString>
#include <QStringList>

// The command line's operations and the fields each one takes. The fields are
// the named settings' own (core/settings): a field is named and checked as
// its control in the window, so a command line reads like a saved settings.

namespace tw::cli {

enum class Operation { Move, Add, Replace, Delete, Format, JoinLines, CreateLine, BreakLines, Tabwrite };

using settings::Parameters;
using settings::SettingsRecord;
using FieldList = QList<const settings::Field *>;

struct OperationInfo
{
    Operation operation;
    QString name;
    QString summary;
};

const QList<OperationInfo> &operations();
// Nothing when the name is not an operation.
const OperationInfo *findOperation(const QString &name);
// The fields an operation reads (the after-process boxes belong to the
// window alone).
FieldList fieldsOf(Operation operation);
// The fields of a part of the window, after-process boxes left out.
FieldList fieldsOf(settings::Group group);
// Every field of a named settings.
FieldList allFields();
// A field's value when the window opens, as the help shows it: escaped, an
// empty box as "".
QString defaultText(const settings::Field &field);

// Whether a command-line argument is FIELD=VALUE: a name of letters (and
// underscores) before the first '='. Anything else, a path such as ./a=b.txt
// included, is not taken for a field.
bool isFieldArgument(const QString &argument);

// Sets one field from FIELD=VALUE into the record of the fields given. The
// field must be among those offered and the value one its control takes.
// Returns an empty string when it was set, otherwise the one-line reason.
QString setField(SettingsRecord &given, const FieldList &offered, const QString &argument);

// \r, \n, \t and \\ stand for CR, LF, tab and a backslash; any other
// backslash is an error (returned in *error) rather than a guess.
QString unescape(const QString &value, QString *error);
QString escape(const QString &text);

// The text values an operation may put into its result (added, replacing or
// heading texts), for checking that the output encoding can hold them.
QStringList insertedTexts(const Parameters &parameters, Operation operation);

} // namespace tw::cli
