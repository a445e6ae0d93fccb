// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/engine/params.h"
#include "core/engine/textparams.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <variant>

// The command line's operations and the fields each one takes. A field is
// named as the settings record field that stores its control and takes the
// control's text, so a command line reads like a saved settings.

namespace tw::cli {

enum class Operation { Move, Add, Replace, Delete, Format, JoinLines, CreateLine, BreakLines, Tabwrite };

// Every parameter record an operation may need; the operation fills its own
// and the others keep their defaults (the controls' values when the window
// opens).
struct Parameters
{
    MoveParams move;
    AddParams add;
    ReplaceParams replace;
    DeleteParams remove;
    FormatParams format;
    LineToolParams lineTool;
    TabwriteParams tabwrite;
};

enum class FieldKind { Text, Number, Check };

struct FieldInfo
{
    QString name;
    FieldKind kind;
    QString defaultValue; // as the help shows it: escaped, empty numbers as ""
    QString meaning;
};

struct OperationInfo
{
    Operation operation;
    QString name;
    QString summary;
};

const QList<OperationInfo> &operations();
// Nothing when the name is not an operation.
const OperationInfo *findOperation(const QString &name);
QList<FieldInfo> fieldsOf(Operation operation);

// Whether a command-line argument is FIELD=VALUE: a name of letters (and
// underscores) before the first '='. Anything else, a path such as ./a=b.txt
// included, is not taken for a field.
bool isFieldArgument(const QString &argument);

// Sets one field from FIELD=VALUE. Returns an empty string when it was set,
// otherwise the one-line reason (unknown field, bad escape, value out of range).
QString setField(Parameters &parameters, Operation operation, const QString &name,
                 const QString &value);

// \r, \n, \t and \\ stand for CR, LF, tab and a backslash; any other
// backslash is an error (returned in *error) rather than a guess.
QString unescape(const QString &value, QString *error);
QString escape(const QString &text);

// The text values an operation may put into its result (added, replacing or
// heading texts), for checking that the output encoding can hold them.
QStringList insertedTexts(const Parameters &parameters, Operation operation);

} // namespace tw::cli
