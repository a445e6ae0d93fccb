// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/engine/spacing.h"

#include <QList>
#include <QString>

// Internal to Format Text: what a run derives from its parameters once, so
// the per-line work only compares and copies.

namespace tw::format {

enum class Placement { None, Start, End };

struct Plan
{
    bool newColumn = false;
    bool remove = false;
    bool move = false;
    qsizetype between = 0;

    bool series = false;
    QString delimiter;          // a string delimiter, matched whole
    QList<QString> seriesChars; // one character each, in the order entered

    Placement place = Placement::None;
    bool typed = false;         // the text to add is typed, not copied
    QString typedText;          // typed text with its spaces already applied
    qsizetype fromCol = 1;
    qsizetype numChars = 0;
    Padding pad;
    bool exemptFirst = false;

    // The most units the text added to one section can hold.
    qsizetype maxAddedUnits() const
    {
        if (place == Placement::None)
            return 0;
        return typed ? typedText.size() : pad.total() + 2 * numChars;
    }
};

} // namespace tw::format
