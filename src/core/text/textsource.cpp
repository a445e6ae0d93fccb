// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/textsource.h"

#include "core/text/pipes.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <sys/mman.h>
#include <unistd.h>

namespace tw {

namespace {

// Anonymous memory for the bytes of a file, asked to come in huge pages.
char *mapMemory(qint64 bytes)
{
    void *memory = ::mmap(nullptr, size_t(bytes), PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        return nullptr;
#if defined(MADV_HUGEPAGE)
    ::madvise(memory, size_t(bytes), MADV_HUGEPAGE);
#endif
    return static_cast<char *>(memory);
}

// Grows such memory; the kernel moves its pages rather than copying them.
char *growMemory(char *memory, qint64 bytes, qint64 newBytes)
{
    void *grown = ::mremap(memory, size_t(bytes), size_t(newBytes), MREMAP_MAYMOVE);
    if (grown == MAP_FAILED)
        return nullptr;
#if defined(MADV_HUGEPAGE)
    ::madvise(grown, size_t(newBytes), MADV_HUGEPAGE);
#endif
    return static_cast<char *>(grown);
}

constexpr qint64 hugePageBytes = 2 * 1024 * 1024;
// A streamed file is read this much at a time: little enough that the bytes
// are still in the cache when they are decoded.
constexpr qint64 readBytes = 256 * 1024;

QString displayName(const QString &path)
{
    return path.isEmpty() || path == u"-" ? QStringLiteral("standard input") : path;
}

FileError openReadError(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {FileError::PathFileAccess, QStringLiteral("%1: no such file").arg(path)};
    if (info.isDir())
        return {FileError::PathFileAccess, QStringLiteral("%1 is a folder, not a file").arg(path)};
    if (!info.isReadable())
        return {FileError::PermissionDenied, QStringLiteral("%1: permission denied").arg(path)};
    return {FileError::PathFileAccess, QStringLiteral("%1 cannot be read").arg(path)};
}

} // namespace

TextSource::TextSource() = default;
TextSource::~TextSource()
{
    releaseOwned();
}

FileError TextSource::open(const QString &path, Reading reading)
{
    m_file = std::make_unique<QFile>();
    releaseOwned();
    m_data = nullptr;
    m_size = m_filled = m_total = m_base = m_textBegin = m_pos = 0;
    m_streaming = false;
    m_speculating = false;
    m_misjudged = false;
    m_eof = true;
    m_done = false;
    m_format = TextFormat();
    m_check = FormatScanner();
    m_error = {};

    m_name = displayName(path);
    if (path.isEmpty() || path == u"-") {
        if (!m_file->open(STDIN_FILENO, QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
            return {FileError::PathFileAccess, QStringLiteral("standard input cannot be read")};
    } else {
        const QFileInfo info(path);
        if (!info.exists() || info.isDir())
            return openReadError(path);
        m_file->setFileName(path);
        if (!m_file->open(QIODevice::ReadOnly))
            return openReadError(path);
    }
    // Only a file whose size is known can be read twice and held to it; a
    // file that tells no size (those of /proc) is read once, whole.
    if (reading != Reading::Whole && !m_file->isSequential() && m_file->size() > 0)
        return scanFile(*m_file, m_name, reading == Reading::StreamOnce);
    return readWholeText();
}

FileError TextSource::readWholeText()
{
    FormatScanner scanner;
    if (FileError error = readWhole(*m_file, m_name, scanner))
        return error;
    if (FileError error = scanner.result(m_name, &m_format, &m_textBegin)) {
        m_format = TextFormat();
        return error;
    }
    m_pos = m_textBegin;
    return {};
}

FileError TextSource::scanFile(QFile &file, const QString &name, bool once)
{
    // The first reading learns the format, a piece at a time through one
    // buffer; a piece may end inside a character, which then comes again
    // at the start of the next one. Reading once, the first piece tells.
    m_ownedCapacity = 2 * hugePageBytes;
    m_owned = mapMemory(m_ownedCapacity);
    if (!m_owned) {
        m_ownedCapacity = 0;
        return {FileError::OutOfMemory, QStringLiteral("%1 is too large to read").arg(name)};
    }
    m_data = m_owned;
    const int fd = file.handle();
    FormatScanner scanner;
    qint64 carried = 0;
    for (;;) {
        const ssize_t got = ::read(fd, m_owned + carried, size_t(readBytes));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return {FileError::PathFileAccess, QStringLiteral("%1 cannot be read").arg(name)};
        m_total += got;
        const qint64 held = carried + got;
        const qint64 taken = scanner.feed(QByteArrayView(m_owned, held), got == 0);
        if (got == 0 || scanner.scan().nul)
            break;
        if (once && m_total < file.size()) {
            // The rest is held to this piece's verdict as it comes.
            m_speculating = true;
            m_total = file.size();
            break;
        }
        carried = held - taken;
        std::memmove(m_owned, m_owned + taken, size_t(carried));
    }
    if (FileError error = scanner.result(name, &m_format, &m_textBegin)) {
        m_format = TextFormat();
        return error;
    }
    if (::lseek(fd, 0, SEEK_SET) != 0)
        return {FileError::PathFileAccess, QStringLiteral("%1 cannot be read").arg(name)};
    if (m_total != file.size()) {
        // Not the size the file tells (a file of the system, or one being
        // written): read once more, whole, and take the text as it is then.
        releaseOwned();
        m_total = 0;
        m_format = TextFormat();
        m_textBegin = 0;
        return readWholeText();
    }
    // The second reading takes the text; its bytes are scanned again on the
    // way in and held against the first reading's verdict.
    m_streaming = true;
    m_eof = false;
    if (!fill(m_textBegin))
        return m_error;
    m_pos = qMin(m_textBegin, m_size);
    return {};
}

bool TextSource::fill(qint64 need)
{
    while (m_size - m_pos < need && !m_eof && !m_error) {
        if (m_filled + readBytes > m_ownedCapacity) {
            // What was taken goes; what is left moves to the front, and
            // the buffer grows only for a line or piece longer than it.
            if (m_pos > 0) {
                std::memmove(m_owned, m_owned + m_pos, size_t(m_filled - m_pos));
                m_filled -= m_pos;
                m_size -= m_pos;
                m_base += m_pos;
                m_pos = 0;
            }
            if (m_filled + readBytes > m_ownedCapacity) {
                char *grown = growMemory(m_owned, m_ownedCapacity, m_ownedCapacity * 2);
                if (!grown) {
                    m_error = {FileError::OutOfMemory, QStringLiteral("%1 is too large to read").arg(m_name)};
                    return false;
                }
                m_owned = grown;
                m_data = m_owned;
                m_ownedCapacity *= 2;
            }
        }
        const ssize_t got = ::read(m_file->handle(), m_owned + m_filled, size_t(readBytes));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            m_error = {FileError::PathFileAccess, QStringLiteral("%1 cannot be read").arg(m_name)};
            return false;
        }
        m_filled += got;
        m_eof = got == 0;
        m_size += m_check.feed(QByteArrayView(m_owned + m_size, m_filled - m_size), m_eof);
        const bool resized = m_base + m_filled > m_total || (m_eof && m_base + m_filled != m_total);
        bool otherFormat = m_check.contradicts(m_format);
        if (m_eof && !otherFormat && !resized) {
            TextFormat format;
            qint64 bom = 0;
            otherFormat = m_check.result(m_name, &format, &bom).failed() || !(format == m_format);
        }
        if (resized || otherFormat) {
            // A format taken from the first piece may just have been wrong;
            // a size other than the one told always means a change.
            m_misjudged = m_speculating && !resized;
            m_error = {FileError::PathFileAccess,
                       QStringLiteral("%1 changed while it was being read; run again once it no longer changes")
                           .arg(m_name)};
            return false;
        }
    }
    return !m_error;
}

void TextSource::releaseOwned()
{
    if (m_owned)
        ::munmap(m_owned, size_t(m_ownedCapacity));
    m_owned = nullptr;
    m_ownedCapacity = 0;
}

FileError TextSource::readWhole(QFile &file, const QString &name, FormatScanner &scanner)
{
    // The file is read, never mapped: a mapped file that another program
    // truncates while it is read kills the reader (SIGBUS) at the first page
    // past the new end, whereas bytes read are the text as it was when read.
    // Memory touched for the first time is slow here, mostly for the cost of
    // its 4 KB pages: faults on the way in, and TLB misses on every later
    // pass over the bytes. Memory that comes in 2 MB pages, where the system
    // gives them, is read and then scanned several times faster.
    const bool sequential = file.isSequential();
    const qint64 size = sequential ? 0 : file.size();
    // Room that is never written costs nothing, so a pipe starts with plenty,
    // and a file with one byte more than its size (to see its end in the
    // first pass).
    const qint64 start = sequential ? 16 * hugePageBytes : size + 1;
    m_ownedCapacity = qMax<qint64>((start + hugePageBytes - 1) & ~(hugePageBytes - 1), hugePageBytes);
    m_owned = mapMemory(m_ownedCapacity);
    if (!m_owned) {
        m_ownedCapacity = 0;
        return {FileError::OutOfMemory, QStringLiteral("%1 is too large to read").arg(name)};
    }
    const int fd = file.handle();
    if (sequential)
        widenPipe(fd);
    qint64 used = 0;
    qint64 scanned = 0;
    for (;;) {
        if (used == m_ownedCapacity) {
            char *grown = growMemory(m_owned, m_ownedCapacity, m_ownedCapacity * 2);
            if (!grown)
                return {FileError::OutOfMemory, QStringLiteral("%1 is too large to read").arg(name)};
            m_owned = grown;
            m_ownedCapacity *= 2;
        }
        const ssize_t got = ::read(fd, m_owned + used, size_t(m_ownedCapacity - used));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return {FileError::PathFileAccess, QStringLiteral("%1 cannot be read").arg(name)};
        used += got;
        // The format is learnt as the bytes come, while they are still in
        // the cache (and, from a pipe, while the writer is still writing).
        // A NUL byte means no text file, whatever follows: an endless source
        // of them (a device) is refused at once instead of read until memory
        // runs out.
        scanned += scanner.feed(QByteArrayView(m_owned + scanned, used - scanned), got == 0);
        if (got == 0 || scanner.scan().nul)
            break;
    }
    m_data = m_owned;
    m_size = m_filled = m_total = used;
    return {};
}

const char *TextSource::findBreak(const char *lineStart, const char *from) const
{
    const char *end = m_data + m_size;
    if (m_format.lineEnds == LineEnds::Lf)
        return static_cast<const char *>(std::memchr(from, '\n', end - from));
    // Only the exact pair CR LF ends a line; a lone LF belongs to it.
    for (const char *p = from; (p = static_cast<const char *>(std::memchr(p, '\n', end - p))); ++p) {
        if (p > lineStart && p[-1] == '\r')
            return p;
    }
    return nullptr;
}

qint64 TextSource::breakFrom(qint64 from)
{
    for (;;) {
        const char *lineStart = m_data + m_pos;
        if (const char *nl = findBreak(lineStart, lineStart + from))
            return nl - lineStart;
        if (m_eof || m_error)
            return -1;
        from = qMax(from, m_size - m_pos);
        if (!fill(m_size - m_pos + readBytes))
            return -1;
    }
}

bool TextSource::finished()
{
    if (m_done || isEmpty() || m_error) {
        m_done = true;
        return true;
    }
    return false;
}

bool TextSource::nextLine(QString &line)
{
    if (finished())
        return false;
    const qint64 nl = breakFrom(0);
    if (m_error) {
        m_done = true;
        return false;
    }
    const char *begin = m_data + m_pos;
    qint64 length = m_size - m_pos;
    if (nl >= 0)
        length = nl - (m_format.lineEnds == LineEnds::Lf ? 0 : 1);
    decodeLine(line, QByteArrayView(begin, length), m_format.encoding);
    if (nl >= 0) {
        m_pos += nl + 1;
    } else {
        m_pos = m_size;
        m_done = true;
    }
    return true;
}

bool TextSource::nextBlock(QString &text, qint64 maxBytes)
{
    bool endsLine = true;
    return next(text, maxBytes, true, &endsLine);
}

bool TextSource::nextPiece(QString &text, qint64 maxBytes, bool *endsLine)
{
    return next(text, maxBytes, false, endsLine);
}

bool TextSource::next(QString &text, qint64 maxBytes, bool wholeLines, bool *endsLine)
{
    if (finished() || !fill(maxBytes + 1)) {
        m_done = true;
        return false;
    }
    const bool lf = m_format.lineEnds == LineEnds::Lf;
    qint64 nl = -1;
    *endsLine = true;
    // After fill, less than maxBytes + 1 bytes ahead means the text ends
    // within them.
    if (m_size - m_pos > maxBytes) {
        const char *begin = m_data + m_pos;
        // The last line break within maxBytes, else the first one after.
        const char *limit = begin + maxBytes;
        for (const char *p = limit; p > begin
             && (p = static_cast<const char *>(memrchr(begin, '\n', p - begin)));) {
            if (lf || (p > begin && p[-1] == '\r')) {
                nl = p - begin;
                break;
            }
        }
        if (nl < 0 && !wholeLines) {
            // One line longer than maxBytes: a piece of it, cut between two
            // characters, and never between the CR and LF of a break.
            const char *cut = limit;
            if (m_format.encoding == TextEncoding::Utf8) {
                while (cut > begin && (static_cast<unsigned char>(*cut) & 0xC0) == 0x80)
                    --cut;
            }
            if (!lf && cut > begin && cut[-1] == '\r')
                --cut;
            if (cut == begin) {
                // Less room than one character: the character whole, or,
                // at a CR LF, the end of the line.
                if (!lf && begin[0] == '\r' && begin[1] == '\n') {
                    nl = 1;
                } else {
                    cut = begin + 1;
                    while (cut < m_data + m_size && (static_cast<unsigned char>(*cut) & 0xC0) == 0x80
                           && m_format.encoding == TextEncoding::Utf8)
                        ++cut;
                }
            }
            if (nl < 0) {
                decodeInto(text, QByteArrayView(begin, cut - begin), m_format);
                m_pos = cut - m_data;
                *endsLine = false;
                return true;
            }
        }
        if (nl < 0) {
            nl = breakFrom(maxBytes > 0 ? maxBytes - 1 : 0);
            if (m_error) {
                m_done = true;
                return false;
            }
        }
    }
    const char *begin = m_data + m_pos;
    const qint64 length = nl >= 0 ? nl - (lf ? 0 : 1) : m_size - m_pos;
    decodeInto(text, QByteArrayView(begin, length), m_format);
    if (nl >= 0) {
        m_pos += nl + 1;
    } else {
        m_pos = m_size;
        m_done = true;
    }
    return true;
}

bool TextSource::nextBytes(QByteArrayView &bytes, qint64 maxBytes)
{
    maxBytes = qMax<qint64>(maxBytes, 1);
    if (finished() || !fill(maxBytes) || m_pos >= m_size) {
        m_done = true;
        return false;
    }
    const qint64 length = qMin(maxBytes, m_size - m_pos);
    bytes = QByteArrayView(m_data + m_pos, length);
    m_pos += length;
    return true;
}

QString TextSource::readAll()
{
    if (m_done || m_error)
        return {};
    while (!m_eof && fill(m_size - m_pos + readBytes)) {
    }
    m_done = true;
    if (m_error)
        return {};
    const qint64 from = m_pos;
    m_pos = m_size;
    QString text;
    decodeInto(text, QByteArrayView(m_data + from, m_size - from), m_format);
    return text;
}


} // namespace tw
