// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/lineframe.h"
#include "engine/textparams.h"

#include <QString>
#include <QStringView>

// Format Text: splits every line at a delimiter into sections and either puts
// each section on a line of its own ("New line") or keeps them on one line
// with spaces after each ("New column"), optionally removing or moving the
// delimiter and adding a text to every section.

namespace tw {

// Checks the parameters before anything changes. Returns a refusal (message
// and the field to focus) or an empty result when the run may go ahead.
TextResult checkFormatParams(const FormatParams &params);

// The whole run: checks the parameters, then rewrites every non-empty line
// with newLine or newColumn; empty lines and a trailing CR LF stay. An empty
// text comes back empty without any check, as there is nothing to process.
TextResult formatText(QStringView text, const FormatParams &params,
                      FrameObserver *observer = nullptr);

// One non-empty line without CR LF. newLine's result holds CR LF between the
// sections and none after the last one. Neither checks the parameters.
QString newLine(QStringView line, const FormatParams &params);
QString newColumn(QStringView line, const FormatParams &params);

// A section with the added text applied. firstSection tells whether it counts
// as the first delimited section (which "No" for the first section exempts).
QString formatAddText(QStringView section, QStringView line, bool firstSection,
                      const FormatParams &params);

} // namespace tw
