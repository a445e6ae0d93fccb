// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/text/textcodec.h"

#include <QString>

#include <memory>

class QFile;

namespace tw {

// Streaming reader: yields the working text one line at a time into a buffer
// the caller reuses, without building the whole text. The encoding is only
// known at the end of the bytes, so they are either read whole first, or,
// for a regular file opened to stream, scanned once to learn the format and
// then read again a piece at a time into one reused buffer, which holds
// little and keeps the bytes in the cache (or read once, the first piece
// telling the format, for a caller that can start over: see Reading). Never mapped, so a file another
// program changes meanwhile cannot pull the bytes away (see readWhole); a
// file found changed on the second reading stops the run with an error.
class TextSource
{
public:
    // Stream reads a regular file twice: once to learn its format, then a
    // piece at a time for the text. StreamOnce reads it once, taking the
    // format from its first piece and holding the rest to it: a later piece
    // that says otherwise (a CR in a text that had none, a byte that is not
    // UTF-8, a NUL) ends the reading with misjudged(), and the caller, who
    // must be able to drop what it made of the text so far, starts over with
    // Stream. Most texts tell their format in their first piece.
    enum class Reading { Whole, Stream, StreamOnce };

    TextSource();
    ~TextSource();
    TextSource(const TextSource &) = delete;
    TextSource &operator=(const TextSource &) = delete;

    // path empty or "-" reads standard input, which is always read whole.
    FileError open(const QString &path, Reading reading = Reading::Whole);

    const TextFormat &format() const { return m_format; }
    qint64 byteSize() const { return m_total; }
    // True when the file holds no text at all (no bytes, or a BOM alone).
    bool isEmpty() const { return m_textBegin >= m_total; }
    // A failure met on the way (a read that failed, a file that changed
    // since its format was learnt): the calls below then give no more text,
    // and what they gave is not the whole text.
    const FileError &error() const { return m_error; }
    // StreamOnce: the format taken from the first piece proved wrong further
    // on. error() is set; nothing given so far is to be used.
    bool misjudged() const { return m_misjudged; }

    // The next line of the working text without its CR LF, decoded into line.
    // A text with n line breaks gives n + 1 lines; an empty text gives none.
    bool nextLine(QString &line);
    // The next block of whole lines, about maxBytes of the file (more when a
    // single line is longer), decoded into text. The blocks joined with CR LF
    // are the working text, so an operation that treats each line on its own
    // can run block by block.
    bool nextBlock(QString &text, qint64 maxBytes);
    // Like nextBlock, except that a line longer than maxBytes comes in
    // pieces of about maxBytes, cut between characters: *endsLine is false
    // for every piece but the line's last. The pieces of a line joined, and
    // the lines joined with CR LF, are the working text; an operation that
    // looks at the text as a stream of characters need never hold a whole
    // line.
    bool nextPiece(QString &text, qint64 maxBytes, bool *endsLine);
    // The next piece of the file's own bytes, BOM left out, about maxBytes
    // long and cut anywhere, for an operation that works on them without
    // decoding: the pieces joined are the bytes of the text. Not to be mixed
    // with the calls above.
    bool nextBytes(QByteArrayView &bytes, qint64 maxBytes);
    // The rest of the working text whole, line breaks as CR LF.
    QString readAll();

private:
    FileError readWhole(QFile &file, const QString &name, FormatScanner &scanner);
    FileError readWholeText();
    FileError scanFile(QFile &file, const QString &name, bool once);
    bool next(QString &text, qint64 maxBytes, bool wholeLines, bool *endsLine);
    // Streaming: reads on until at least need bytes from m_pos are there, or
    // the file has ended. False on an error (m_error is set).
    bool fill(qint64 need);
    // The line break of the line starting at lineStart, searched from from
    // to m_size: its LF, or nullptr.
    const char *findBreak(const char *lineStart, const char *from) const;
    // The LF ending the line at m_pos, searched from m_pos + from on and
    // reading on as needed: its offset from m_pos, or -1 when the text ends
    // first (or on an error).
    qint64 breakFrom(qint64 from);
    bool finished();

    void releaseOwned();

    std::unique_ptr<QFile> m_file;
    QString m_name;
    // The bytes of a source read rather than mapped, in memory of their own
    // that can grow without copying.
    char *m_owned = nullptr;
    qint64 m_ownedCapacity = 0;
    const char *m_data = nullptr;
    qint64 m_size = 0;      // bytes of m_data ready to be taken
    qint64 m_filled = 0;    // bytes of m_data read (streaming: some not yet checked)
    qint64 m_total = 0;     // bytes of the whole file
    qint64 m_base = 0;      // where m_data starts in the file
    qint64 m_textBegin = 0; // after the BOM
    qint64 m_pos = 0;
    bool m_streaming = false;
    bool m_speculating = false; // the format came from the first piece
    bool m_misjudged = false;
    bool m_eof = true;      // nothing left to read
    bool m_done = false;
    TextFormat m_format;
    FormatScanner m_check;  // the second reading, held against the first
    FileError m_error;
};

} // namespace tw
