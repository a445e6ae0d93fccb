// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The parameter records of the line operations. Each field carries the name
// of the settings record field that stores its control, so the window, the
// settings store and the command line share one vocabulary. Texts hold the
// control's text exactly (a list entry such as "General Move" is compared as
// written), numbers the numeric field's value (0 to 999; an empty field reads
// as 0), check boxes their state. The defaults are the controls' values when
// the Manipulator opens.

namespace tw {

// The entries of the drop-down lists, exactly as the lists offer them.
namespace entry {
inline constexpr char16_t generalMove[] = u"General Move";
inline constexpr char16_t specificMove[] = u"Specific Move";
inline constexpr char16_t generalReplace[] = u"General Replace";
inline constexpr char16_t specificReplace[] = u"Specific Replace";
inline constexpr char16_t generalDelete[] = u"General Delete";
inline constexpr char16_t specificDelete[] = u"Specific Delete";
inline constexpr char16_t deleteLinesContaining[] = u"Delete Lines Containing";
inline constexpr char16_t keepLinesContaining[] = u"Keep Lines Containing";
inline constexpr char16_t addSpaces[] = u"Add spaces";
inline constexpr char16_t omitSpaces[] = u"Omit spaces";
inline constexpr char16_t bothSides[] = u"Both sides";
inline constexpr char16_t leftSide[] = u"Left side";
inline constexpr char16_t rightSide[] = u"Right side";
} // namespace entry

// How a piece placed into a line is padded with spaces. Only the exact text
// "Add spaces" turns the padding on; a placement other than the three list
// entries adds no spaces.
struct SpacingRule
{
    QString options = QString::fromUtf16(entry::omitSpaces);
    int spaces = 1;
    QString placeSpaces = QString::fromUtf16(entry::bothSides);
};

struct MoveParams
{
    QString textToMove;          // "General Move", "Specific Move" or a text to search for
    QString moveSpecificText;
    int moveFromCol = 1;
    int moveNumOfChars = 1;
    int moveToCol = 1;
    bool moveEndOfLine = false;
    QString moveOptions = QString::fromUtf16(entry::omitSpaces);
    int moveSpaces = 1;
    QString movePlaceSpaces = QString::fromUtf16(entry::bothSides);

    SpacingRule spacing() const { return {moveOptions, moveSpaces, movePlaceSpaces}; }
};

struct AddParams
{
    QString addText;
    QString addIfContains;       // empty: every line; exactly CR LF: the empty lines
    int addAtCol = 1;
    bool addEndOfLine = false;
    QString addOptions = QString::fromUtf16(entry::omitSpaces);
    int addSpaces = 1;
    QString addPlaceSpaces = QString::fromUtf16(entry::bothSides);

    SpacingRule spacing() const { return {addOptions, addSpaces, addPlaceSpaces}; }
};

struct ReplaceParams
{
    QString replaceText;         // "General Replace", "Specific Replace" or a text to search for
    QString replaceSpecificText;
    int replaceAtCol = 1;
    int replaceNumOfChars = 1;
    QString replaceWith;
    bool replaceEndOfLine = false;
};

struct DeleteParams
{
    QString deleteText;          // a list entry (deleteTypes) or a text to search for
    QString deleteSpecificText;  // exactly CR LF: empty lines are taken, and dropped when left empty;
                                 // the text a line must contain for the two line entries
    int deleteFromCol = 1;
    int deleteNumOfChars = 1;
    bool deleteEndOfLine = false;
    QString deleteOptions = QString::fromUtf16(entry::omitSpaces);
    int deleteSpaces = 1;
};

} // namespace tw
