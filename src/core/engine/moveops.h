// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/engine/lineframe.h"
#include "core/engine/params.h"

#include <QString>

// Move Text: cut a piece out of each line and put it in again at another
// column or at the end of the line, optionally padded with spaces. Every
// function rewrites the line in place; columns count characters (code points).

namespace tw {

// The piece of "# of characters" characters at "Move from column:". A from
// column of 0 leaves the line unchanged.
void generalMove(QString &line, const MoveParams &params);
// The piece at "Move from column:" when it equals the specific text.
void specificMove(QString &line, const MoveParams &params);
// The first occurrence of the typed move text.
void enteredMove(QString &line, const MoveParams &params);

// What the tab's Process does with one line that passed the gate: dispatches
// on textToMove ("General Move", "Specific Move", any other text is searched
// for; an empty text leaves the line alone).
void moveLine(QString &line, const MoveParams &params);

// Move takes only non-empty lines.
LineGate moveGate(const MoveParams &params);

// The message Process shows when the required field (the move type) is empty,
// or an empty string when the run may go ahead.
QString moveMissingFieldMessage(const MoveParams &params);

// moveLine bound to a copy of the parameters, for runLineFrame.
LineOperation moveOperation(const MoveParams &params);

} // namespace tw
