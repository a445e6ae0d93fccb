// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/engine/textparams.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The line tools of the Text/Lines tab: Join Lines keeps paragraphs and joins
// the lines inside them, Create Line joins everything into one line, and
// breakEvery cuts the text into lines of a fixed number of characters. They
// scan the text character by character and can be stopped midway.

namespace tw {

namespace chars {
class UnitWriter;
}

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

// The scan behind the three tools, for a text that arrives in pieces of any
// size: a piece may end between a CR and its LF or inside a surrogate pair.
// The scanner keeps what it needs from one piece to the next (never more than
// a few characters), so the pieces' results, appended one after the other,
// are the tool's result over the whole text, and a caller that writes them
// away as it goes holds little at any time.
class LineToolScanner
{
public:
    enum class Tool { JoinLines, CreateLine, BreakEvery };

    // startLineAfter is for BreakEvery only. length is the whole text's size,
    // passed on to the observer (0 when not known).
    explicit LineToolScanner(Tool tool, int startLineAfter = 0,
                             ScanObserver *observer = nullptr, qsizetype length = 0);

    // Scans the next piece and appends its result to out. last tells that no
    // text follows; otherwise call finish() once the text has ended.
    void feed(QStringView piece, QString &out, bool last = false);
    void finish(QString &out) { feed({}, out, true); }

    // The observer said stop: later pieces are ignored.
    bool stopped() const { return m_stopped; }
    // The result would be too large to hold: the run is to be refused.
    bool tooLarge() const;

private:
    // Each scans t from u up to avail, where t[0] is at position base of the
    // text, and returns where it stopped: at avail, or before a step that
    // needs to see beyond avail while more text may follow (never when last).
    qsizetype scan(const char16_t *t, qsizetype u, qsizetype avail, bool last, qsizetype base,
                   chars::UnitWriter &out);
    qsizetype scanJoin(const char16_t *t, qsizetype u, qsizetype avail, bool last,
                       qsizetype base, chars::UnitWriter &out);
    qsizetype scanBreak(const char16_t *t, qsizetype u, qsizetype avail, bool last,
                        qsizetype base, chars::UnitWriter &out);
    bool goOn(qsizetype position, qsizetype produced);
    void consumed(const char16_t *t, qsizetype from, qsizetype to);

    Tool m_tool;
    qsizetype m_every;
    ScanObserver *m_observer;
    qsizetype m_length;
    qsizetype m_interval;
    qsizetype m_nextCheck = 0;
    bool m_stopped = false;
    bool m_tooLarge = false;
    bool m_ended = false;

    qsizetype m_produced = 0;  // units of result so far
    qsizetype m_writerBase = 0; // m_produced less the writer's size, while scanning
    qsizetype m_fed = 0;       // units of text taken before the current piece
    QString m_carry;           // units whose step has to see further ahead
    qsizetype m_carryStart = 0; // position of m_carry's first unit in the text
    int m_before1 = -1;        // the unit before the next one to scan (-1: none)
    int m_before2 = -1;        // and the one before that

    // breakEvery: where the current piece of the result stands.
    qsizetype m_steps = 0;
    bool m_inPiece = false;
    bool m_pieceEnded = false; // a CR LF goes out once more text follows
};

// Create Line over a file's own bytes, for a result written in the file's own
// format (UTF-8 or Windows-1252). CR and LF are single bytes there, never
// part of another character, so dropping every one of them is what decoding,
// createLine and encoding give, without the decoding and encoding; a line
// break at the very start of the text stays as one, in the file's own form
// ("\n" where the working text's CR LF is written as LF, "\r\n" otherwise).
// The bytes may come in pieces cut anywhere.
class ByteLineJoiner
{
public:
    explicit ByteLineJoiner(QByteArrayView lineBreak) : m_lineBreak(lineBreak.toByteArray()) {}
    // Appends the result of the next piece of the bytes to out.
    void addBytes(QByteArrayView bytes, QByteArray &out);

private:
    QByteArray m_lineBreak;
    bool m_started = false; // the text's first byte has been seen
};

} // namespace tw
