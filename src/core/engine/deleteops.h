// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/engine/lineframe.h"
#include "core/engine/params.h"

#include <QString>
#include <QStringList>

// Delete Text: remove part of each line, chosen by column and length, by
// column and an expected text, or as every occurrence of a typed text,
// optionally putting a run of spaces in its place. A specific text of exactly
// CR LF takes the empty lines and drops those left empty (deleting blank
// lines). A column of 0 counts as column 1. Two entries work on whole lines:
// "Delete Lines Containing" drops every line holding the specific text, "Keep
// Lines Containing" every line without it (exactly CR LF there stands for an
// empty line).

namespace tw {

void generalDelete(QString &line, const DeleteParams &params);
void specificDelete(QString &line, const DeleteParams &params);
// Every occurrence of the typed text; the search resumes where the deleted
// text was, so text moved there (the filler too) is searched again. At most as
// many rounds as the line had characters.
void enteredDelete(QString &line, const DeleteParams &params);

// The entries of the type list, in the list's order.
QStringList deleteTypes();

// Dispatches on deleteText as the tab's Process does ("General Delete",
// "Specific Delete", any other text is searched for; empty, or one of the line
// entries, whose work the gate does: no change).
void deleteLine(QString &line, const DeleteParams &params);

// Non-empty lines; with deleteSpecificText exactly CR LF also the empty lines,
// and every line left empty is dropped. For the line entries, the lines kept.
LineGate deleteGate(const DeleteParams &params);

QString deleteMissingFieldMessage(const DeleteParams &params);

LineOperation deleteOperation(const DeleteParams &params);

} // namespace tw
