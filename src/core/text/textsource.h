// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/text/textcodec.h"

#include <QString>

#include <memory>

class QFile;

namespace tw {

// Streaming reader: yields the working text one line at a time into a buffer
// the caller reuses, without building the whole text. The bytes are read
// whole first, because the encoding is only known at their end, and never
// mapped, so a file another program changes meanwhile cannot pull them away
// (see readWhole).
class TextSource
{
public:
    TextSource();
    ~TextSource();
    TextSource(const TextSource &) = delete;
    TextSource &operator=(const TextSource &) = delete;

    // path empty or "-" reads standard input.
    FileError open(const QString &path);

    const TextFormat &format() const { return m_format; }
    qint64 byteSize() const { return m_size; }
    // True when the file holds no text at all (no bytes, or a BOM alone).
    bool isEmpty() const { return m_textBegin >= m_size; }

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
    // The rest of the working text whole, line breaks as CR LF.
    QString readAll();

private:
    FileError readWhole(QFile &file, const QString &name);
    bool next(QString &text, qint64 maxBytes, bool wholeLines, bool *endsLine);
    // The line break at or after from: its LF, or nullptr.
    const char *findBreak(const char *from) const;

    void releaseOwned();

    std::unique_ptr<QFile> m_file;
    // The bytes of a source read rather than mapped, in memory of their own
    // that can grow without copying.
    char *m_owned = nullptr;
    qint64 m_ownedCapacity = 0;
    const char *m_data = nullptr;
    qint64 m_size = 0;
    qint64 m_textBegin = 0; // after the BOM
    qint64 m_pos = 0;
    bool m_done = false;
    TextFormat m_format;
};

} // namespace tw
