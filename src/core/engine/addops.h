// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/engine/lineframe.h"
#include "core/engine/params.h"

#include <QString>

// Add Text: insert a fixed text at a column or at the end of each line,
// optionally padded with spaces and optionally only into lines that contain a
// given text (exactly CR LF: into the empty lines).

namespace tw {

// Inserts the (padded) text to add; no condition test. A column of 0 counts
// as column 1; a column past the end of the line appends.
void addText(QString &line, const AddParams &params);

// Whether a line that passed the gate gets the text: no condition, the
// condition occurs in the line, or it is exactly CR LF and the line is empty.
bool addConditionHolds(QStringView line, const AddParams &params);

// What the tab's Process does with one line that passed the gate: the
// condition test, then addText.
void addLine(QString &line, const AddParams &params);

// Non-empty lines; empty lines too when addIfContains is exactly CR LF.
LineGate addGate(const AddParams &params);

// "Please enter text to add." when the text to add is empty, else empty.
QString addMissingFieldMessage(const AddParams &params);

LineOperation addOperation(const AddParams &params);

} // namespace tw
