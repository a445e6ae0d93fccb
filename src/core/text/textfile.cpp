// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#include <sys/mman.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Speed matters here: the command line reads, converts and writes files of
// tens of megabytes, and the common text is ASCII. Every loop below has an
// ASCII fast path that handles 16 bytes or characters at a time.

namespace tw {

namespace {

// Windows-1252 bytes 0x80-0x9F. The five bytes the code page leaves undefined
// stand for the C1 control of the same number, so every byte has a character
// and every such character its byte.
constexpr char16_t cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

inline char16_t cp1252ToUnicode(uchar byte)
{
    return byte >= 0x80 && byte < 0xA0 ? cp1252High[byte - 0x80] : char16_t(byte);
}

// The byte for a character, or -1 when Windows-1252 has none.
int unicodeToCp1252(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int k = 0; k < 32; ++k) {
        if (cp1252High[k] == c)
            return 0x80 + k;
    }
    return -1;
}

inline bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
inline bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

// What the opening pass learns about a file's bytes.
struct ByteScan
{
    bool nul = false;      // a NUL byte: not a text file
    bool cr = false;       // a CR somewhere: line ends taken as they are
    bool utf8 = true;      // strict UTF-8 throughout
};

// Length of the strict UTF-8 sequence at b[0] (a byte of 0x80 or above), or 0
// when it is not one: no overlong forms, no surrogates, nothing above
// U+10FFFF, so that decoding and encoding again gives the same bytes.
int utf8SequenceLength(const uchar *b, qint64 n)
{
    const uchar c = b[0];
    auto cont = [&](qint64 k) { return k < n && (b[k] & 0xC0) == 0x80; };
    if (c < 0xC2)
        return 0;
    if (c < 0xE0)
        return cont(1) ? 2 : 0;
    if (c < 0xF0) {
        if (!cont(1) || !cont(2))
            return 0;
        if ((c == 0xE0 && b[1] < 0xA0) || (c == 0xED && b[1] > 0x9F))
            return 0;
        return 3;
    }
    if (c < 0xF5) {
        if (!cont(1) || !cont(2) || !cont(3))
            return 0;
        if ((c == 0xF0 && b[1] < 0x90) || (c == 0xF4 && b[1] > 0x8F))
            return 0;
        return 4;
    }
    return 0;
}

// One pass over the bytes for everything the format depends on: a file of
// tens of megabytes is read from memory once, not once per question. The
// common text is ASCII, taken 64 bytes at a time; it stops at the first NUL,
// which refuses the file whatever else it holds.
ByteScan scanBytes(const uchar *b, qint64 n)
{
    ByteScan scan;
    qint64 i = 0;
    while (i < n) {
#if defined(__SSE2__)
        const __m128i zero = _mm_setzero_si128();
        const __m128i crByte = _mm_set1_epi8('\r');
        while (i + 64 <= n) {
            const auto *p = reinterpret_cast<const __m128i *>(b + i);
            const __m128i v0 = _mm_loadu_si128(p), v1 = _mm_loadu_si128(p + 1);
            const __m128i v2 = _mm_loadu_si128(p + 2), v3 = _mm_loadu_si128(p + 3);
            const __m128i any = _mm_or_si128(_mm_or_si128(v0, v1), _mm_or_si128(v2, v3));
            const __m128i low = _mm_min_epu8(_mm_min_epu8(v0, v1), _mm_min_epu8(v2, v3));
            if (_mm_movemask_epi8(_mm_or_si128(any, _mm_cmpeq_epi8(low, zero))))
                break; // a byte of 0x80 or above, or a NUL: looked at below
            if (!scan.cr) {
                const __m128i crs = _mm_or_si128(
                    _mm_or_si128(_mm_cmpeq_epi8(v0, crByte), _mm_cmpeq_epi8(v1, crByte)),
                    _mm_or_si128(_mm_cmpeq_epi8(v2, crByte), _mm_cmpeq_epi8(v3, crByte)));
                scan.cr = _mm_movemask_epi8(crs) != 0;
            }
            i += 64;
        }
#endif
        // Up to 64 bytes one at a time, then back to the fast loop.
        const qint64 stop = qMin(n, i + 64);
        while (i < stop) {
            const uchar c = b[i];
            if (c == 0) {
                scan.nul = true;
                return scan;
            }
            if (c < 0x80) {
                scan.cr = scan.cr || c == '\r';
                ++i;
                continue;
            }
            const int length = scan.utf8 ? utf8SequenceLength(b + i, n - i) : 0;
            if (length == 0) {
                // Windows-1252 from here on: only a NUL or a CR is still news.
                scan.utf8 = false;
                const auto *rest = reinterpret_cast<const char *>(b + i);
                scan.nul = std::memchr(rest, 0, n - i) != nullptr;
                if (!scan.nul)
                    scan.cr = scan.cr || std::memchr(rest, '\r', n - i) != nullptr;
                return scan;
            }
            i += length;
        }
    }
    return scan;
}

// Decodes bytes whose encoding is known (and, for UTF-8, already validated).
// With lfToCrLf each LF becomes CR LF, so the destination needs room for n
// units plus one per LF (UTF-8 never needs more units than bytes). ASCII goes
// 16 bytes at a time; a line break only restarts that loop after it, so an
// LF-only file is decoded in the same single pass.
template <bool Utf8, bool LfToCrLf>
qint64 decodeBytes(const uchar *b, qint64 n, char16_t *dst)
{
    qint64 i = 0, o = 0;
    while (i < n) {
#if defined(__SSE2__)
        const __m128i zero = _mm_setzero_si128();
        const __m128i lfByte = _mm_set1_epi8('\n');
        while (i + 16 <= n) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(b + i));
            if (_mm_movemask_epi8(v))
                break;
            // Room for these 16 units is there: o - i is the LFs so far.
            _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + o), _mm_unpacklo_epi8(v, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + o + 8), _mm_unpackhi_epi8(v, zero));
            if constexpr (LfToCrLf) {
                if (const int lfs = _mm_movemask_epi8(_mm_cmpeq_epi8(v, lfByte))) {
                    const int at = __builtin_ctz(unsigned(lfs));
                    dst[o + at] = u'\r';
                    dst[o + at + 1] = u'\n';
                    i += at + 1;
                    o += at + 2;
                    continue;
                }
            }
            i += 16;
            o += 16;
        }
        if (i >= n)
            break;
#endif
        const uchar c = b[i];
        if (c < 0x80) {
            if (LfToCrLf && c == '\n')
                dst[o++] = u'\r';
            dst[o++] = c;
            ++i;
        } else if constexpr (!Utf8) {
            dst[o++] = cp1252ToUnicode(c);
            ++i;
        } else if (c < 0xE0) {
            dst[o++] = char16_t(((c & 0x1F) << 6) | (b[i + 1] & 0x3F));
            i += 2;
        } else if (c < 0xF0) {
            dst[o++] = char16_t(((c & 0x0F) << 12) | ((b[i + 1] & 0x3F) << 6) | (b[i + 2] & 0x3F));
            i += 3;
        } else {
            const char32_t u = ((c & 0x07u) << 18) | ((b[i + 1] & 0x3Fu) << 12)
                               | ((b[i + 2] & 0x3Fu) << 6) | (b[i + 3] & 0x3Fu);
            dst[o++] = char16_t(0xD800 + ((u - 0x10000) >> 10));
            dst[o++] = char16_t(0xDC00 + ((u - 0x10000) & 0x3FF));
            i += 4;
        }
    }
    return o;
}

// Decodes a run of bytes, each LF turned into CR LF when lfToCrLf is set.
qint64 decodeRange(const char *data, qint64 n, TextEncoding encoding, bool lfToCrLf, char16_t *dst)
{
    const auto *b = reinterpret_cast<const uchar *>(data);
    if (encoding == TextEncoding::Utf8)
        return lfToCrLf ? decodeBytes<true, true>(b, n, dst) : decodeBytes<true, false>(b, n, dst);
    return lfToCrLf ? decodeBytes<false, true>(b, n, dst) : decodeBytes<false, false>(b, n, dst);
}

qint64 countByte(const char *data, qint64 n, char byte)
{
    qint64 count = 0;
    qint64 i = 0;
#if defined(__SSE2__)
    // Matches are counted down in a byte register (each adds -1) and summed
    // every 255 rounds, before a byte could overflow.
    const __m128i wanted = _mm_set1_epi8(byte);
    const __m128i zero = _mm_setzero_si128();
    while (i + 16 <= n) {
        __m128i sums = zero;
        for (int round = 0; round < 255 && i + 16 <= n; ++round, i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + i));
            sums = _mm_sub_epi8(sums, _mm_cmpeq_epi8(v, wanted));
        }
        const __m128i total = _mm_sad_epu8(sums, zero);
        count += _mm_cvtsi128_si32(total) + _mm_cvtsi128_si32(_mm_srli_si128(total, 8));
    }
#endif
    for (; i < n; ++i)
        count += data[i] == byte;
    return count;
}

// Fresh memory is costly here mostly for its page faults, one per 4 KB; a
// large buffer that is about to be filled asks for huge pages instead, which
// takes most of the cost of reading a whole file away.
void preferHugePages(void *data, qint64 bytes)
{
#if defined(MADV_HUGEPAGE)
    constexpr quintptr huge = 2 * 1024 * 1024;
    if (bytes < qint64(4 * huge))
        return;
    const quintptr begin = (quintptr(data) + huge - 1) & ~(huge - 1);
    const quintptr end = (quintptr(data) + quintptr(bytes)) & ~(huge - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(bytes);
#endif
}

// Decodes bytes whose format is known into text, reusing its buffer: in an
// LF file each LF becomes CR LF.
void decodeInto(QString &text, const char *data, qint64 n, const TextFormat &format)
{
    if (n <= 0) {
        text.resize(0);
        return;
    }
    const bool lf = format.lineEnds == LineEnds::Lf;
    text.resize(n + (lf ? countByte(data, n, '\n') : 0));
    auto *dst = reinterpret_cast<char16_t *>(text.data());
    preferHugePages(dst, text.size() * qint64(sizeof(char16_t)));
    text.resize(decodeRange(data, n, format.encoding, lf, dst));
}

// Whether the system hands out 2 MB pages to a region that asks for them.
bool hugePagesOffered()
{
#if defined(MADV_HUGEPAGE)
    static const bool offered = [] {
        QFile setting(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled"));
        return setting.open(QIODevice::ReadOnly) && !setting.readAll().contains("[never]");
    }();
    return offered;
#else
    return false;
#endif
}

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
// Below this a file is mapped: huge pages would gain little.
constexpr qint64 readWholeFrom = 8 * hugePageBytes;

QString decodeWhole(const char *data, qint64 n, const TextFormat &format)
{
    QString text;
    decodeInto(text, data, n, format);
    return text;
}

FileError notText(const QString &name)
{
    return {FileError::InvalidFileFormat,
            QStringLiteral("%1 is not a text file (it holds NUL bytes)").arg(name)};
}

// Format of a file's bytes, or a refusal when they hold a NUL; bomLength is
// set to the length of a BOM that is not part of the text.
FileError detectFormat(const char *data, qint64 n, const QString &name, TextFormat *format,
                       qint64 *bomLength)
{
    *format = TextFormat();
    *bomLength = 0;
    if (n <= 0)
        return {};
    const auto *b = reinterpret_cast<const uchar *>(data);
    const ByteScan scan = scanBytes(b, n);
    if (scan.nul)
        return notText(name);
    format->encoding = scan.utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    format->byteOrderMark = scan.utf8 && n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF;
    format->lineEnds = scan.cr ? LineEnds::AsIs : LineEnds::Lf;
    *bomLength = format->byteOrderMark ? 3 : 0;
    return {};
}

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

FileError openWriteError(const QString &path, const QString &why)
{
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    if (info.isDir())
        return {FileError::PathFileAccess, QStringLiteral("%1 is a folder, not a file").arg(path)};
    if (!folder.exists())
        return {FileError::PathFileAccess, QStringLiteral("%1: no such folder").arg(folder.filePath())};
    if ((info.exists() && !info.isWritable()) || !folder.isWritable())
        return {FileError::PermissionDenied, QStringLiteral("%1: permission denied").arg(path)};
    return {FileError::PathFileAccess, QStringLiteral("%1 cannot be written: %2").arg(path, why)};
}

constexpr qsizetype sinkBufferBytes = 256 * 1024;

} // namespace

// ---------------------------------------------------------------- whole text

TextFileContent decodeText(QByteArrayView bytes)
{
    TextFileContent content;
    qint64 bom = 0;
    content.error = detectFormat(bytes.data(), bytes.size(), QStringLiteral("The text"),
                                 &content.format, &bom);
    if (content.error) {
        content.format = TextFormat();
        return content;
    }
    content.byteSize = bytes.size();
    content.text = decodeWhole(bytes.data() + bom, bytes.size() - bom, content.format);
    return content;
}

TextFileContent readTextFile(const QString &path)
{
    TextFileContent content;
    if (QFileInfo(path).size() > maxWholeFileBytes) {
        content.error = {FileError::OutOfMemory,
                         QStringLiteral("%1 is too large to open (more than %2 MB)")
                             .arg(path).arg(maxWholeFileBytes >> 20)};
        return content;
    }
    TextSource source;
    content.error = source.open(path);
    if (content.error)
        return content;
    content.format = source.format();
    content.byteSize = source.byteSize();
    content.text = source.readAll();
    return content;
}

bool canEncode(QStringView text, TextEncoding encoding)
{
    const char16_t *s = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (c < 0x80)
            continue;
        if (encoding == TextEncoding::Windows1252) {
            if (unicodeToCp1252(c) < 0)
                return false;
        } else if (isHighSurrogate(c) && i + 1 < n && isLowSurrogate(s[i + 1])) {
            ++i;
        } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
            return false;
        }
    }
    return true;
}

QByteArray encodeText(QStringView text, const TextFormat &format, FileError *error)
{
    QByteArray bytes;
    TextSink sink;
    sink.openBuffer(&bytes, format);
    sink.write(text);
    const FileError result = sink.commit();
    if (error)
        *error = result;
    if (result)
        bytes.clear();
    return bytes;
}

TextWriteResult writeTextFile(const QString &path, QStringView text, const TextFormat &format)
{
    TextWriteResult result;
    result.written = format;
    // Losing a character the user typed would be worse than a change of
    // encoding: a Windows-1252 text that no longer fits is saved as UTF-8.
    if (format.encoding == TextEncoding::Windows1252 && !canEncode(text, format.encoding)) {
        result.written.encoding = TextEncoding::Utf8;
        result.written.byteOrderMark = false;
    }
    TextSink sink;
    result.error = sink.open(path, result.written);
    if (result.error)
        return result;
    sink.write(text);
    result.error = sink.commit();
    return result;
}

// ---------------------------------------------------------------- TextSource

TextSource::TextSource() = default;
TextSource::~TextSource()
{
    releaseOwned();
}

FileError TextSource::open(const QString &path)
{
    m_file = std::make_unique<QFile>();
    releaseOwned();
    m_data = nullptr;
    m_size = m_textBegin = m_pos = 0;
    m_done = false;
    m_format = TextFormat();

    const QString name = displayName(path);
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
    if (FileError error = mapOrRead(*m_file, name))
        return error;
    if (FileError error = detectFormat(m_data, m_size, name, &m_format, &m_textBegin)) {
        m_format = TextFormat();
        return error;
    }
    m_pos = m_textBegin;
    return {};
}

void TextSource::releaseOwned()
{
    if (m_owned)
        ::munmap(m_owned, size_t(m_ownedCapacity));
    m_owned = nullptr;
    m_ownedCapacity = 0;
}

FileError TextSource::mapOrRead(QFile &file, const QString &name)
{
    // Memory touched for the first time is slow here, mostly for the cost of
    // its 4 KB pages: faults on the way in, and TLB misses on every later
    // pass over the bytes. A mapped file costs no fresh memory, but its page
    // cache comes in 4 KB pages; a large file read into memory that comes in
    // 2 MB pages is read and then scanned several times faster. Without huge
    // pages, a regular file is mapped.
    const bool sequential = file.isSequential();
    const qint64 size = sequential ? 0 : file.size();
    if (!sequential && size > 0 && (size < readWholeFrom || !hugePagesOffered())) {
        if (uchar *mapped = file.map(0, size)) {
            m_data = reinterpret_cast<const char *>(mapped);
            m_size = size;
            return {};
        }
    }
    // Pipes, large files, and files that cannot be mapped or report no size
    // are read to their end. Room that is never written costs nothing, so a
    // pipe starts with plenty, and a file with one byte more than its size
    // (to see its end in the first pass).
    const qint64 start = sequential ? 16 * hugePageBytes : size + 1;
    m_ownedCapacity = qMax<qint64>((start + hugePageBytes - 1) & ~(hugePageBytes - 1), hugePageBytes);
    m_owned = mapMemory(m_ownedCapacity);
    if (!m_owned) {
        m_ownedCapacity = 0;
        return {FileError::OutOfMemory, QStringLiteral("%1 is too large to read").arg(name)};
    }
    const int fd = file.handle();
    qint64 used = 0;
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
        if (got == 0)
            break;
        used += got;
    }
    m_data = m_owned;
    m_size = used;
    return {};
}

const char *TextSource::findBreak(const char *from) const
{
    const char *end = m_data + m_size;
    if (m_format.lineEnds == LineEnds::Lf)
        return static_cast<const char *>(std::memchr(from, '\n', end - from));
    // Only the exact pair CR LF ends a line; a lone LF belongs to it.
    for (const char *p = from; (p = static_cast<const char *>(std::memchr(p, '\n', end - p))); ++p) {
        if (p > from && p[-1] == '\r')
            return p;
    }
    return nullptr;
}

bool TextSource::nextLine(QString &line)
{
    if (m_done || isEmpty()) {
        m_done = true;
        return false;
    }
    const char *begin = m_data + m_pos;
    const char *nl = findBreak(begin);
    qint64 length = m_size - m_pos;
    if (nl)
        length = nl - begin - (m_format.lineEnds == LineEnds::Lf ? 0 : 1);
    line.resize(length);
    line.resize(decodeRange(begin, length, m_format.encoding, false,
                            reinterpret_cast<char16_t *>(line.data())));
    if (nl) {
        m_pos = nl + 1 - m_data;
    } else {
        m_pos = m_size;
        m_done = true;
    }
    return true;
}

bool TextSource::nextBlock(QString &text, qint64 maxBytes)
{
    if (m_done || isEmpty()) {
        m_done = true;
        return false;
    }
    const char *begin = m_data + m_pos;
    const bool lf = m_format.lineEnds == LineEnds::Lf;
    const char *nl = nullptr;
    if (m_size - m_pos > maxBytes) {
        // The last line break within maxBytes, else the first one after.
        const char *limit = begin + maxBytes;
        for (const char *p = limit; p > begin
             && (p = static_cast<const char *>(memrchr(begin, '\n', p - begin)));) {
            if (lf || (p > begin && p[-1] == '\r')) {
                nl = p;
                break;
            }
        }
        if (!nl)
            nl = findBreak(limit > begin ? limit - 1 : begin);
    }
    const qint64 length = nl ? nl - begin - (lf ? 0 : 1) : m_size - m_pos;
    decodeInto(text, begin, length, m_format);
    if (nl) {
        m_pos = nl + 1 - m_data;
    } else {
        m_pos = m_size;
        m_done = true;
    }
    return true;
}

QString TextSource::readAll()
{
    if (m_done)
        return {};
    m_done = true;
    const qint64 from = m_pos;
    m_pos = m_size;
    return decodeWhole(m_data + from, m_size - from, m_format);
}

// ---------------------------------------------------------------- TextSink

TextSink::TextSink() = default;
TextSink::~TextSink()
{
    cancel();
}

void TextSink::start(const TextFormat &format)
{
    m_format = format;
    m_buffer.resize(sinkBufferBytes);
    m_used = 0;
    m_pendingHigh = 0;
    m_pendingCr = false;
    m_unitsWritten = 0;
    m_error = {};
    if (format.encoding == TextEncoding::Utf8 && format.byteOrderMark) {
        std::memcpy(m_buffer.data(), "\xEF\xBB\xBF", 3);
        m_used = 3;
    }
}

FileError TextSink::open(const QString &path, const TextFormat &format)
{
    cancel();
    start(format);
    m_name = path.isEmpty() || path == u"-" ? QStringLiteral("standard output") : path;
    if (path.isEmpty() || path == u"-") {
        auto out = std::make_unique<QFile>();
        if (!out->open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered,
                       QFileDevice::DontCloseHandle)) {
            m_error = {FileError::PathFileAccess, QStringLiteral("standard output cannot be written")};
            return m_error;
        }
        m_device = std::move(out);
        return {};
    }
    auto file = std::make_unique<QSaveFile>(path);
    if (!file->open(QIODevice::WriteOnly)) {
        m_error = openWriteError(path, file->errorString());
        return m_error;
    }
    m_saveFile = file.get();
    m_device = std::move(file);
    return {};
}

void TextSink::openBuffer(QByteArray *target, const TextFormat &format)
{
    cancel();
    start(format);
    m_name = QStringLiteral("The text");
    m_target = target;
}

void TextSink::fail(int number, const QString &description)
{
    if (!m_error)
        m_error = {number, description};
}

void TextSink::flush()
{
    if (m_used == 0 || m_error)
        return;
    if (m_target) {
        m_target->append(m_buffer.constData(), m_used);
    } else if (m_device) {
        if (m_device->write(m_buffer.constData(), m_used) != m_used)
            fail(FileError::PathFileAccess,
                 QStringLiteral("%1 cannot be written: %2").arg(m_name, m_device->errorString()));
    }
    m_used = 0;
}

void TextSink::write(QStringView text)
{
    if (m_error)
        return;
    // Encode in slices that always fit the buffer: at most three bytes per
    // unit, plus room for a held-back CR or half of a surrogate pair.
    while (!text.isEmpty() && !m_error) {
        qsizetype room = (sinkBufferBytes - m_used) / 3 - 2;
        if (room < 4096) {
            flush();
            room = (sinkBufferBytes - m_used) / 3 - 2;
        }
        const qsizetype slice = qMin(text.size(), room);
        encode(text.first(slice));
        m_unitsWritten += slice;
        text = text.sliced(slice);
    }
}

#if defined(__SSE2__)
namespace {
// placesFrom[k] selects the bytes of a register from place k on.
struct PlacesFrom
{
    alignas(16) __m128i masks[16];
    PlacesFrom()
    {
        for (int k = 0; k < 16; ++k) {
            alignas(16) char bytes[16];
            for (int j = 0; j < 16; ++j)
                bytes[j] = j >= k ? char(0xFF) : 0;
            masks[k] = _mm_load_si128(reinterpret_cast<const __m128i *>(bytes));
        }
    }
    const __m128i &operator[](int k) const { return masks[k]; }
};
const PlacesFrom placesFrom;
} // namespace
#endif

void TextSink::encode(QStringView text)
{
    const char16_t *s = text.utf16();
    const qsizetype n = text.size();
    char *out = m_buffer.data() + m_used;
    const bool lf = m_format.lineEnds == LineEnds::Lf;
    const bool utf8 = m_format.encoding == TextEncoding::Utf8;
    qsizetype i = 0;

    if (m_pendingCr) {
        m_pendingCr = false;
        if (n > 0 && s[0] == u'\n') {
            *out++ = '\n';
            i = 1;
        } else {
            *out++ = '\r';
        }
    }
    if (m_pendingHigh) {
        const char16_t high = m_pendingHigh;
        m_pendingHigh = 0;
        if (n > 0 && isLowSurrogate(s[0])) {
            const char32_t u = 0x10000 + ((char32_t(high) - 0xD800) << 10) + (s[0] - 0xDC00);
            *out++ = char(0xF0 | (u >> 18));
            *out++ = char(0x80 | ((u >> 12) & 0x3F));
            *out++ = char(0x80 | ((u >> 6) & 0x3F));
            *out++ = char(0x80 | (u & 0x3F));
            i = 1;
        } else {
            fail(FileError::InvalidFileFormat,
                 QStringLiteral("%1 holds a broken character (an unpaired surrogate) at character %2")
                     .arg(m_name).arg(m_unitsWritten));
            return;
        }
    }

    while (i < n) {
#if defined(__SSE2__)
        {
            const __m128i highBits = _mm_set1_epi16(short(0xFF80));
            const __m128i zero = _mm_setzero_si128();
            const __m128i crByte = _mm_set1_epi8('\r');
            const __m128i lfByte = _mm_set1_epi8('\n');
            while (i + 16 <= n) {
                const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
                const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i + 8));
                const __m128i wide = _mm_and_si128(_mm_or_si128(lo, hi), highBits);
                if (_mm_movemask_epi8(_mm_cmpeq_epi16(wide, zero)) != 0xFFFF)
                    break;
                __m128i bytes = _mm_packus_epi16(lo, hi);
                int kept = 16;
                if (lf) {
                    // Every line of the working text ends in CR LF, so nearly
                    // every 16 characters hold one: the pair is narrowed to LF
                    // here, in the register, by moving the bytes after each
                    // such CR down one place. A lone CR stays.
                    const unsigned crs = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, crByte)));
                    if (crs) {
                        unsigned lfs = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lfByte)));
                        if (crs & 0x8000u) {
                            // Its partner is the next character, which may
                            // be in the next piece: the loop below decides.
                            if (i + 16 == n)
                                break;
                            if (s[i + 16] == u'\n')
                                lfs |= 0x10000u;
                        }
                        for (unsigned drop = crs & (lfs >> 1); drop; drop = (drop & (drop - 1)) >> 1) {
                            const int at = __builtin_ctz(drop);
                            const __m128i after = _mm_load_si128(&placesFrom[at]);
                            bytes = _mm_or_si128(_mm_and_si128(after, _mm_srli_si128(bytes, 1)),
                                                 _mm_andnot_si128(after, bytes));
                            --kept;
                        }
                    }
                }
                _mm_storeu_si128(reinterpret_cast<__m128i *>(out), bytes);
                out += kept;
                i += 16;
            }
        }
#endif
        const qsizetype stop = qMin(n, i + 16);
        for (; i < stop; ++i) {
            const char16_t c = s[i];
            if (c < 0x80) {
                if (c == u'\r' && lf) {
                    // CR LF goes out as LF; a CR at the end of the piece waits
                    // for the next one to tell.
                    if (i + 1 == n) {
                        m_pendingCr = true;
                    } else if (s[i + 1] == u'\n') {
                        *out++ = '\n';
                        ++i;
                    } else {
                        *out++ = '\r';
                    }
                } else {
                    *out++ = char(c);
                }
            } else if (!utf8) {
                const int byte = unicodeToCp1252(c);
                if (byte < 0) {
                    fail(FileError::InvalidFileFormat,
                         QStringLiteral("%1 holds the character U+%2 (at character %3), which "
                                        "Windows-1252 cannot hold")
                             .arg(m_name)
                             .arg(uint(c), 4, 16, QLatin1Char('0'))
                             .arg(m_unitsWritten + i + 1));
                    return;
                }
                *out++ = char(byte);
            } else if (c < 0x800) {
                *out++ = char(0xC0 | (c >> 6));
                *out++ = char(0x80 | (c & 0x3F));
            } else if (isHighSurrogate(c) && i + 1 < n && isLowSurrogate(s[i + 1])) {
                const char32_t u = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (s[i + 1] - 0xDC00);
                *out++ = char(0xF0 | (u >> 18));
                *out++ = char(0x80 | ((u >> 12) & 0x3F));
                *out++ = char(0x80 | ((u >> 6) & 0x3F));
                *out++ = char(0x80 | (u & 0x3F));
                ++i;
            } else if (isHighSurrogate(c) && i + 1 == n) {
                m_pendingHigh = c;
            } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
                fail(FileError::InvalidFileFormat,
                     QStringLiteral("%1 holds a broken character (an unpaired surrogate) at "
                                    "character %2")
                         .arg(m_name).arg(m_unitsWritten + i + 1));
                return;
            } else {
                *out++ = char(0xE0 | (c >> 12));
                *out++ = char(0x80 | ((c >> 6) & 0x3F));
                *out++ = char(0x80 | (c & 0x3F));
            }
        }
    }
    m_used = out - m_buffer.data();
}

FileError TextSink::commit()
{
    if (!m_device && !m_target)
        return m_error ? m_error : FileError{FileError::PathFileAccess, QStringLiteral("Nothing to write to")};
    if (!m_error) {
        if (m_pendingCr) {
            m_pendingCr = false;
            m_buffer[m_used++] = '\r';
        }
        if (m_pendingHigh)
            fail(FileError::InvalidFileFormat,
                 QStringLiteral("%1 ends in a broken character (an unpaired surrogate)").arg(m_name));
    }
    flush();
    if (m_error) {
        cancel();
        return m_error;
    }
    if (m_saveFile && !m_saveFile->commit())
        m_error = openWriteError(m_name, m_saveFile->errorString());
    m_saveFile = nullptr;
    m_device.reset();
    m_target = nullptr;
    return m_error;
}

void TextSink::cancel()
{
    if (m_saveFile)
        m_saveFile->cancelWriting();
    m_saveFile = nullptr;
    m_device.reset();
    m_target = nullptr;
}

} // namespace tw
