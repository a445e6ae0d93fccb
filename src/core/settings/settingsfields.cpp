// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/settingsfields.h"

#include "core/engine/deleteops.h"

namespace tw::settings {

namespace {

template <auto group, auto member>
auto &memberOf(Parameters &p)
{
    return (p.*group).*member;
}

QStringList spacingOptions()
{
    return {QString::fromUtf16(entry::addSpaces), QString::fromUtf16(entry::omitSpaces)};
}

QStringList placements()
{
    return {QString::fromUtf16(entry::bothSides), QString::fromUtf16(entry::leftSide),
            QString::fromUtf16(entry::rightSide)};
}

const QStringList yesNo{QStringLiteral("Yes"), QStringLiteral("No")};

// One row of the table: the pieces in the order a reader of the record
// thinks of them.
Field field(const char *name, Kind kind, const char *control, Control input, Group group, Binding binding,
            const char *meaning, QStringList entries = {})
{
    return Field{QString::fromLatin1(name), kind, QString::fromLatin1(control), input, group, false,
                 std::move(entries), binding, QString::fromUtf8(meaning)};
}

// The two after-process boxes of a tab.
QList<Field> afterBoxes(const char *prefix, const char *afterBox, const char *selectAllBox, Group group,
                        Binding after, Binding selectAll)
{
    const QString name = QString::fromLatin1(prefix);
    return {Field{name + QStringLiteral("AfterProcess"), Kind::Check, QString::fromLatin1(afterBox),
                  Control::CheckBox, group, true, {}, after, QStringLiteral("1: a run ends on the Text/Lines tab")},
            Field{name + QStringLiteral("AfterProcessShow"), Kind::Check, QString::fromLatin1(selectAllBox),
                  Control::CheckBox, group, true, {}, selectAll,
                  QStringLiteral("1: and selects the whole result there")}};
}

QList<Field> makeFields()
{
    using P = Parameters;
    QList<Field> list{
        field("startLineAfter", Kind::Text, "MaskEdBox17", Control::NumberBox, Group::LineTools,
              &memberOf<&P::lineTool, &LineToolParams::startLineAfter>,
              "start a new line after every this many characters (empty or 0: no change)"),

        field("textToMove", Kind::Text, "Combo1", Control::DropDown, Group::Move,
              &memberOf<&P::move, &MoveParams::textToMove>,
              "\"General Move\", \"Specific Move\" or a text to find and move (required)",
              {QString::fromUtf16(entry::generalMove), QString::fromUtf16(entry::specificMove)}),
        field("moveSpecificText", Kind::Text, "Text1", Control::TextBox, Group::Move,
              &memberOf<&P::move, &MoveParams::moveSpecificText>, "Specific Move: the text expected at moveFromCol"),
        field("moveFromCol", Kind::Number, "MaskEdBox1", Control::NumberBox, Group::Move,
              &memberOf<&P::move, &MoveParams::moveFromCol>, "column of the piece to move"),
        field("moveNumOfChars", Kind::Number, "MaskEdBox3", Control::NumberBox, Group::Move,
              &memberOf<&P::move, &MoveParams::moveNumOfChars>, "General Move: length of the piece"),
        field("moveToCol", Kind::Number, "MaskEdBox2", Control::NumberBox, Group::Move,
              &memberOf<&P::move, &MoveParams::moveToCol>, "column to put the piece at"),
        field("moveEndOfLine", Kind::Check, "Check1", Control::CheckBox, Group::Move,
              &memberOf<&P::move, &MoveParams::moveEndOfLine>, "1: put the piece at the end of the line"),
        field("moveOptions", Kind::Text, "Combo2", Control::FixedList, Group::Move,
              &memberOf<&P::move, &MoveParams::moveOptions>, "spaces around the piece", spacingOptions()),
        field("moveSpaces", Kind::Number, "MaskEdBox5", Control::NumberBox, Group::Move,
              &memberOf<&P::move, &MoveParams::moveSpaces>, "number of spaces"),
        field("movePlaceSpaces", Kind::Text, "Combo3", Control::FixedList, Group::Move,
              &memberOf<&P::move, &MoveParams::movePlaceSpaces>, "where the spaces go", placements()),
    };
    list += afterBoxes("move", "Check5", "Check11", Group::Move,
                       &memberOf<&P::moveAfter, &AfterProcessFlags::afterProcess>,
                       &memberOf<&P::moveAfter, &AfterProcessFlags::afterProcessShow>);

    list += {
        field("addText", Kind::Text, "Text2", Control::TextBox, Group::Add, &memberOf<&P::add, &AddParams::addText>,
              "the text to add (required)"),
        field("addIfContains", Kind::Text, "Text3", Control::MultiLineBox, Group::Add,
              &memberOf<&P::add, &AddParams::addIfContains>,
              "only lines containing this text; \\r\\n: only empty lines"),
        field("addAtCol", Kind::Number, "MaskEdBox9", Control::NumberBox, Group::Add,
              &memberOf<&P::add, &AddParams::addAtCol>, "column to add at"),
        field("addEndOfLine", Kind::Check, "Check2", Control::CheckBox, Group::Add,
              &memberOf<&P::add, &AddParams::addEndOfLine>, "1: add at the end of the line"),
        field("addOptions", Kind::Text, "Combo5", Control::FixedList, Group::Add,
              &memberOf<&P::add, &AddParams::addOptions>, "spaces around the text", spacingOptions()),
        field("addSpaces", Kind::Number, "MaskEdBox6", Control::NumberBox, Group::Add,
              &memberOf<&P::add, &AddParams::addSpaces>, "number of spaces"),
        field("addPlaceSpaces", Kind::Text, "Combo4", Control::FixedList, Group::Add,
              &memberOf<&P::add, &AddParams::addPlaceSpaces>, "where the spaces go", placements()),
    };
    list += afterBoxes("add", "Check6", "Check12", Group::Add,
                       &memberOf<&P::addAfter, &AfterProcessFlags::afterProcess>,
                       &memberOf<&P::addAfter, &AfterProcessFlags::afterProcessShow>);

    list += {
        field("replaceText", Kind::Text, "Combo7", Control::DropDown, Group::Replace,
              &memberOf<&P::replace, &ReplaceParams::replaceText>,
              "\"General Replace\", \"Specific Replace\" or a text to find and replace everywhere (required)",
              {QString::fromUtf16(entry::generalReplace), QString::fromUtf16(entry::specificReplace)}),
        field("replaceSpecificText", Kind::Text, "Text4", Control::TextBox, Group::Replace,
              &memberOf<&P::replace, &ReplaceParams::replaceSpecificText>,
              "Specific Replace: the text expected at replaceAtCol"),
        field("replaceAtCol", Kind::Number, "MaskEdBox11", Control::NumberBox, Group::Replace,
              &memberOf<&P::replace, &ReplaceParams::replaceAtCol>, "column of the part to replace"),
        field("replaceNumOfChars", Kind::Number, "MaskEdBox8", Control::NumberBox, Group::Replace,
              &memberOf<&P::replace, &ReplaceParams::replaceNumOfChars>, "General Replace: length of the part"),
        field("replaceWith", Kind::Text, "Text5", Control::TextBox, Group::Replace,
              &memberOf<&P::replace, &ReplaceParams::replaceWith>, "the replacement"),
        field("replaceEndOfLine", Kind::Check, "Check3", Control::CheckBox, Group::Replace,
              &memberOf<&P::replace, &ReplaceParams::replaceEndOfLine>, "1: take the part from the end of the line"),
    };
    list += afterBoxes("replace", "Check7", "Check13", Group::Replace,
                       &memberOf<&P::replaceAfter, &AfterProcessFlags::afterProcess>,
                       &memberOf<&P::replaceAfter, &AfterProcessFlags::afterProcessShow>);

    list += {
        field("deleteText", Kind::Text, "Combo6", Control::DropDown, Group::Delete,
              &memberOf<&P::remove, &DeleteParams::deleteText>,
              "\"General Delete\", \"Specific Delete\", \"Delete Lines Containing\", \"Keep Lines Containing\" "
              "or a text to find and delete everywhere (required)",
              deleteTypes()),
        field("deleteSpecificText", Kind::Text, "Text6", Control::MultiLineBox, Group::Delete,
              &memberOf<&P::remove, &DeleteParams::deleteSpecificText>,
              "Specific Delete: the text expected at deleteFromCol; the two line entries: the text "
              "looked for; \\r\\n: empty lines"),
        field("deleteFromCol", Kind::Number, "MaskEdBox7", Control::NumberBox, Group::Delete,
              &memberOf<&P::remove, &DeleteParams::deleteFromCol>, "column of the part to delete"),
        field("deleteNumOfChars", Kind::Number, "MaskEdBox10", Control::NumberBox, Group::Delete,
              &memberOf<&P::remove, &DeleteParams::deleteNumOfChars>, "General Delete: length of the part"),
        field("deleteEndOfLine", Kind::Check, "Check4", Control::CheckBox, Group::Delete,
              &memberOf<&P::remove, &DeleteParams::deleteEndOfLine>, "1: take the part from the end of the line"),
        field("deleteOptions", Kind::Text, "Combo8", Control::FixedList, Group::Delete,
              &memberOf<&P::remove, &DeleteParams::deleteOptions>, "\"Add spaces\": put spaces in place of the part",
              spacingOptions()),
        field("deleteSpaces", Kind::Number, "MaskEdBox12", Control::NumberBox, Group::Delete,
              &memberOf<&P::remove, &DeleteParams::deleteSpaces>, "number of spaces"),
    };
    list += afterBoxes("delete", "Check8", "Check14", Group::Delete,
                       &memberOf<&P::deleteAfter, &AfterProcessFlags::afterProcess>,
                       &memberOf<&P::deleteAfter, &AfterProcessFlags::afterProcessShow>);

    list += {
        field("formatCreate", Kind::Text, "Combo12", Control::FixedList, Group::Format,
              &memberOf<&P::format, &FormatParams::formatCreate>, "what each delimiter starts",
              {QStringLiteral("New line"), QStringLiteral("New column")}),
        field("formatRemoveDelimiter", Kind::Check, "Check18", Control::CheckBox, Group::Format,
              &memberOf<&P::format, &FormatParams::formatRemoveDelimiter>, "1: drop the delimiter"),
        field("formatDelimiter", Kind::Text, "Combo9", Control::DropDown, Group::Format,
              &memberOf<&P::format, &FormatParams::formatDelimiter>,
              "delimiter character, a series of them, or spaces (required unless a delimiter string is used)",
              {QStringLiteral(";"), QStringLiteral(","), QStringLiteral("\""), QStringLiteral("|"),
               QStringLiteral("="), QStringLiteral("/"), QStringLiteral("\\")}),
        field("formatUseDelimiterString", Kind::Check, "Check17", Control::CheckBox, Group::Format,
              &memberOf<&P::format, &FormatParams::formatUseDelimiterString>, "1: use formatDelimiterString instead"),
        field("formatDelimiterString", Kind::Text, "Text11", Control::TextBox, Group::Format,
              &memberOf<&P::format, &FormatParams::formatDelimiterString>, "delimiter matched as a whole string"),
        field("formatMoveDelimiter", Kind::Text, "Combo14", Control::FixedList, Group::Format,
              &memberOf<&P::format, &FormatParams::formatMoveDelimiter>,
              "New column: \"Yes\" starts the next column with the delimiter", yesNo),
        field("formatSpacesBetweenCols", Kind::Number, "MaskEdBox16", Control::NumberBox, Group::Format,
              &memberOf<&P::format, &FormatParams::formatSpacesBetweenCols>, "New column: spaces after each section"),
        field("formatAddText", Kind::Text, "Combo13", Control::FixedList, Group::Format,
              &memberOf<&P::format, &FormatParams::formatAddText>, "where a text is added to each section",
              {QStringLiteral("Start of line"), QStringLiteral("End of line"), QStringLiteral("Start of column"),
               QStringLiteral("End of column"), QStringLiteral("Omit text")}),
        field("formatTextToAdd", Kind::Text, "Text9", Control::TextBox, Group::Format,
              &memberOf<&P::format, &FormatParams::formatTextToAdd>, "text added to each section"),
        field("formatAddFromCol", Kind::Number, "MaskEdBox14", Control::NumberBox, Group::Format,
              &memberOf<&P::format, &FormatParams::formatAddFromCol>,
              "when formatTextToAdd is empty: column of the line to copy from"),
        field("formatNumOfChars", Kind::Number, "MaskEdBox15", Control::NumberBox, Group::Format,
              &memberOf<&P::format, &FormatParams::formatNumOfChars>,
              "when formatTextToAdd is empty: characters to copy"),
        field("formatFirstSection", Kind::Text, "Combo15", Control::FixedList, Group::Format,
              &memberOf<&P::format, &FormatParams::formatFirstSection>,
              "\"No\": the first section gets no added text", yesNo),
        field("formatOptions", Kind::Text, "Combo10", Control::FixedList, Group::Format,
              &memberOf<&P::format, &FormatParams::formatOptions>, "spaces around the added text", spacingOptions()),
        field("formatPlaceSpaces", Kind::Text, "Combo11", Control::FixedList, Group::Format,
              &memberOf<&P::format, &FormatParams::formatPlaceSpaces>, "where the spaces go", placements()),
        field("formatSpaces", Kind::Number, "MaskEdBox13", Control::NumberBox, Group::Format,
              &memberOf<&P::format, &FormatParams::formatSpaces>, "number of spaces"),
    };
    list += afterBoxes("format", "Check9", "Check15", Group::Format,
                       &memberOf<&P::formatAfter, &AfterProcessFlags::afterProcess>,
                       &memberOf<&P::formatAfter, &AfterProcessFlags::afterProcessShow>);

    list += field("tabwriteStartLineAt", Kind::Number, "MaskEdBox4", Control::NumberBox, Group::Tabwrite,
                  &memberOf<&P::tabwrite, &TabwriteParams::tabwriteStartLineAt>,
                  "column every laid-out line starts at");
    list += afterBoxes("tabwrite", "Check10", "Check16", Group::Tabwrite,
                       &memberOf<&P::tabwriteAfter, &AfterProcessFlags::afterProcess>,
                       &memberOf<&P::tabwriteAfter, &AfterProcessFlags::afterProcessShow>);

    list += {
        field("databaseProcessMethod", Kind::Text, "Combo18", Control::FixedList, Group::SaveToDatabase,
              &memberOf<&P::database, &DatabaseParams::databaseProcessMethod>,
              "how each line is cut into the values of a record", {parseMethodText(), columnSpecsMethodText()}),
        field("databaseDelimiter", Kind::Text, "Text10", Control::TextBox, Group::SaveToDatabase,
              &memberOf<&P::database, &DatabaseParams::databaseDelimiter>, "the delimiter for the parse method"),
    };
    return list;
}

} // namespace

const QList<Field> &fields()
{
    static const QList<Field> list = makeFields();
    return list;
}

qsizetype fieldIndex(const QString &name)
{
    const QList<Field> &list = fields();
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list.at(i).name == name)
            return i;
    }
    return -1;
}

const Field *findField(const QString &name)
{
    const qsizetype index = fieldIndex(name);
    return index < 0 ? nullptr : &fields().at(index);
}

} // namespace tw::settings
