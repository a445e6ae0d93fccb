// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/columns/tablelist.h"
#include "core/engine/params.h"
#include "core/engine/textparams.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <variant>

// The one list of the fields a named settings keeps: every parameter field of
// the Manipulator's tabs, in the order of the settings record (table
// tabwrite_allFields), each with its control, what the control takes and how
// the record stores it. The window's writer and loader, the command line and
// the tests all read this list, so a field added here is stored, recalled,
// offered on the command line and tested without a second list to keep in
// step.

namespace tw::settings {

// How the record stores a field's value: a text (the control's text, maybe
// empty), a number (a masked box's value as a double) or a check box's value
// (a small integer, 0 clear and 1 checked).
enum class Kind { Text, Number, Check };

// What the control takes from a user.
enum class Control {
    TextBox,      // any text on one line
    MultiLineBox, // any text; a line break is CR LF
    DropDown,     // any text, the list offers a few ready ones
    FixedList,    // one of its list entries and nothing else
    NumberBox,    // up to three digits, empty reading as 0
    CheckBox,     // checked or clear
};

// The part of the Manipulator a field belongs to.
enum class Group { LineTools, Move, Add, Replace, Delete, Format, Tabwrite, SaveToDatabase };

// Whether a run ends on the Text/Lines tab and selects the whole result: the
// pair of boxes of each operation tab. The operations never read them.
struct AfterProcessFlags
{
    bool afterProcess = true;
    bool afterProcessShow = false;
};

// "Process method:" and "Enter delimiter:" of the Save to Database tab.
struct DatabaseParams
{
    QString databaseProcessMethod = parseMethodText();
    QString databaseDelimiter;
};

// Every field of the record as the operations read it. A default-made one
// holds what the controls show when the window opens.
struct Parameters
{
    LineToolParams lineTool;
    MoveParams move;
    AfterProcessFlags moveAfter;
    AddParams add;
    AfterProcessFlags addAfter;
    ReplaceParams replace;
    AfterProcessFlags replaceAfter;
    DeleteParams remove;
    AfterProcessFlags deleteAfter;
    FormatParams format;
    AfterProcessFlags formatAfter;
    TabwriteParams tabwrite;
    AfterProcessFlags tabwriteAfter;
    DatabaseParams database;
};

// Where a field's value lives in Parameters.
using Binding = std::variant<QString &(*)(Parameters &), int &(*)(Parameters &), bool &(*)(Parameters &)>;

struct Field
{
    QString name;     // the record's field name, also the command line's
    Kind kind;
    QString control;  // the control's name in the Manipulator
    Control input;
    Group group;
    bool afterProcess; // one of the after-process boxes, not an operation's field
    QStringList entries; // the list of a drop-down, in the list's order
    Binding binding;
    QString meaning;  // one line for --help
};

// The fields in record order (nameOfSettings, the key, is not among them).
const QList<Field> &fields();
// Index in fields(), or -1. Names are compared exactly, as on the command line.
qsizetype fieldIndex(const QString &name);
const Field *findField(const QString &name);

} // namespace tw::settings
