// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/textparams.h"

#include <QString>
#include <QStringView>

// The line tools of the Text/Lines tab: Join Lines keeps paragraphs and joins
// the lines inside them, Create Line joins everything into one line, and
// breakEvery cuts the text into lines of a fixed number of characters. They
// scan the text character by character and can be stopped midway.

namespace tw {

// Asked before a step of a scan whether to go on. position counts UTF-16 code
// units from the start of the text and length is the text's size in the same
// unit, which is what a progress display needs. Returning false stops the
// scan there; the result then holds the part scanned so far, transformed.
class ScanObserver
{
public:
    virtual ~ScanObserver() = default;
    virtual bool goOn(qsizetype position, qsizetype length) = 0;
    // How many code units may pass between two questions. Asking at every
    // character would spend most of the run in the window's event loop.
    virtual qsizetype checkInterval() const { return 65536; }
};

// An empty text comes back empty. A refusal only happens when the result
// would be too large to hold.
TextResult joinLines(QStringView text, ScanObserver *observer = nullptr);
TextResult createLine(QStringView text, ScanObserver *observer = nullptr);

// startLineAfter of 0 (or below) leaves the text as it is.
TextResult breakEvery(QStringView text, int startLineAfter, ScanObserver *observer = nullptr);

} // namespace tw
