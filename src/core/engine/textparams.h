// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <optional>

// Parameter records of the whole-text operations: Format Text, the line tools
// of the Text/Lines tab and the Tabwrite column layout. Every field carries the
// name under which named settings store it, so the window, the settings store
// and the command line share one vocabulary. Defaults are what the controls
// show when the window opens.

namespace tw {

// The "&Format Text" tab. Texts are the controls' texts, compared exactly;
// numbers are the numeric boxes (0 to 999, an empty box reads as 0); checks
// are true when checked.
struct FormatParams
{
    QString formatCreate = QStringLiteral("New line");     // "New line" / "New column"
    bool formatRemoveDelimiter = false;
    QString formatDelimiter;                                // character(s) or a run of spaces
    bool formatUseDelimiterString = false;
    QString formatDelimiterString;                          // matched whole, spaces included
    QString formatMoveDelimiter = QStringLiteral("No");     // "Yes" / "No"
    int formatSpacesBetweenCols = 1;
    QString formatAddText = QStringLiteral("Omit text");    // "Start of line", "End of column", ...
    QString formatTextToAdd;
    int formatAddFromCol = 1;
    int formatNumOfChars = 1;
    QString formatFirstSection = QStringLiteral("Yes");     // "Yes" / "No"
    QString formatOptions = QStringLiteral("Omit spaces");  // "Add spaces" / "Omit spaces"
    QString formatPlaceSpaces = QStringLiteral("Both sides");
    int formatSpaces = 1;
};

// One row of the column layout (a ColumnSpec). The grid stores empty cells and an
// empty cell means something different from 0, so the numeric cells are
// optional; an empty heading text is the empty heading cell.
struct ColumnSpec
{
    QString column_heading;
    std::optional<int> get_data_from_column;   // 1-based start column
    std::optional<int> number_of_characters;
    std::optional<int> spaces_b4_next_column;
    std::optional<int> field_width;            // used by saving, not by the layout
};

using ColumnSpecs = QList<ColumnSpec>;

// "New lines start at column:" of the "&Tabwrite Text" tab.
struct TabwriteParams
{
    int tabwriteStartLineAt = 1;
};

// "Start new line after every ... characters" of the Text/Lines tab; the box
// starts empty, which reads as 0.
struct LineToolParams
{
    int startLineAfter = 0;
};

// What a whole-text operation hands back. A refused run carries the message
// to show and the settings name of the field to put the focus in (empty when
// no single field is at fault); its text is then meaningless and the working
// text must stay as it was. A stopped run carries the part scanned so far.
struct TextResult
{
    QString text;
    QString error;
    QString field;
    bool stopped = false;

    bool refused() const { return !error.isEmpty(); }

    static TextResult refusal(QString message, QString fieldName = {})
    {
        TextResult r;
        r.error = std::move(message);
        r.field = std::move(fieldName);
        return r;
    }
};

} // namespace tw
