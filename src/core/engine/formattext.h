// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/engine/lineframe.h"
#include "core/engine/textchars.h"
#include "core/engine/textparams.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <memory>
#include <optional>

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

// The length formatText's result would have, counted without building it;
// -1 when that would pass the limit of what a result may hold, so formatText
// refuses it. A text formatText would not change (empty, or refused for its
// parameters) keeps its length.
qsizetype formatResultLength(QStringView text, const FormatParams &params);

class FormatEngine;

// Formats a text that arrives in pieces of whole lines, as the command line
// reads it block by block: the pieces joined with CR LF give the same result
// as formatText over the whole text. The parameters are read once, here; check
// them with checkFormatParams first.
class LineFormatter
{
public:
    explicit LineFormatter(const FormatParams &params);
    ~LineFormatter();
    LineFormatter(const LineFormatter &) = delete;
    LineFormatter &operator=(const LineFormatter &) = delete;

    // Appends the formatted lines of text to out, with CR LF between them and
    // before the first one when an earlier piece came before. An empty text
    // is one empty line. The observer hears of every line (counting on from
    // earlier pieces) but not of the run's start and end; when the result's
    // size has to be counted first, it hears of every line twice. With a
    // spill, out is only a buffer: the result is handed to the spill as it
    // grows (see UnitWriter), so a caller that writes it away holds little.
    void addLines(QStringView text, QString &out, FrameObserver *observer = nullptr,
                  const chars::UnitWriter::Spill *spill = nullptr);

    // True when the last addLines' result would have been too large to hold:
    // it was refused before any of it was built, and nothing was appended.
    // The limit holds for each call, as a caller that writes each piece's
    // result away holds no more at once.
    bool tooLarge() const;

    // The length addLines would append for text; -1 when it would pass the
    // limit. Unless exact, a text whose result cannot pass the limit is not
    // counted (notCounted).
    static constexpr qsizetype notCounted = -2;
    qsizetype resultLength(QStringView text, FrameObserver *observer, bool exact);

private:
    std::unique_ptr<FormatEngine> m_formatter;
    qsizetype m_index = 0;
    bool m_first = true;
    bool m_tooLarge = false;
};

// The usual run (one ASCII delimiter, nothing added, no series, the
// delimiter not moved) done on a file's bytes rather than on its text, for an
// encoding in which an ASCII byte is always that character and never part of
// another one (UTF-8, Windows-1252): each delimiter becomes itself (unless
// removed) followed by the file's own line break, or by the spaces between
// columns. That is what decoding, formatText and encoding in the same format
// give, without the decoding and encoding. Every byte is handled on its own,
// so the bytes may come in pieces cut anywhere.
class PlainByteFormatter
{
public:
    // Such a run for these parameters (checked with checkFormatParams), or
    // none. lineBreak is the file's line break: "\n" where the working text's
    // CR LF is written as LF, "\r\n" otherwise.
    static std::optional<PlainByteFormatter> make(const FormatParams &params, QByteArrayView lineBreak);

    // The most bytes a piece of this many bytes can become.
    qsizetype bound(qsizetype bytes) const;
    // Appends the result of the next piece of the bytes to out.
    void addBytes(QByteArrayView bytes, QByteArray &out) const;

private:
    PlainByteFormatter() = default;

    char m_delimiter = 0;
    bool m_keep = false;
    QByteArray m_after; // what follows every delimiter, padded with spaces
    qsizetype m_afterSize = 0; // and its size without them
};

// One non-empty line without CR LF. newLine's result holds CR LF between the
// sections and none after the last one. Neither checks the parameters.
QString newLine(QStringView line, const FormatParams &params);
QString newColumn(QStringView line, const FormatParams &params);

// A section with the added text applied. firstSection tells whether it counts
// as the first delimited section (which "No" for the first section exempts).
QString formatAddText(QStringView section, QStringView line, bool firstSection,
                      const FormatParams &params);

} // namespace tw
