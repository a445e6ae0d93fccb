// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/engine/lineframe.h"
#include "core/engine/params.h"

#include <QString>

// Replace Text: replace part of each line, chosen by column and length, by
// column and an expected text, or as every occurrence of a typed text.
// A column of 0 counts as column 1.

namespace tw {

void generalReplace(QString &line, const ReplaceParams &params);
void specificReplace(QString &line, const ReplaceParams &params);
// Every occurrence of the typed text, left to right; the search resumes after
// the inserted replacement, so replacements are never searched again.
void enteredReplace(QString &line, const ReplaceParams &params);

// Dispatches on replaceText as the tab's Process does ("General Replace",
// "Specific Replace", any other text is searched for; empty: no change).
void replaceLine(QString &line, const ReplaceParams &params);

// Replace takes only non-empty lines.
LineGate replaceGate(const ReplaceParams &params);

QString replaceMissingFieldMessage(const ReplaceParams &params);

LineOperation replaceOperation(const ReplaceParams &params);

} // namespace tw
