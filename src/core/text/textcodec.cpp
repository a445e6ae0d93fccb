// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/textcodec.h"

#include <cstring>

#include <sys/mman.h>

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

// Length of the strict UTF-8 sequence at b[0] (a byte of 0x80 or above), or 0
// when it is not one: no overlong forms, no surrogates, nothing above
// U+10FFFF, so that decoding and encoding again gives the same bytes.
inline int utf8SequenceLength(const uchar *b, qint64 n)
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
// which refuses the file whatever else it holds. The bytes may come in
// pieces: unless last, a character begun in the last three bytes of a piece
// is left for the next one, and the bytes taken are returned.
qint64 scanBytes(const uchar *b, qint64 n, bool last, ByteScan &scan)
{
    if (!scan.utf8) {
        // Windows-1252 already: only a NUL or a CR is still news.
        const auto *rest = reinterpret_cast<const char *>(b);
        scan.nul = std::memchr(rest, 0, n) != nullptr;
        if (!scan.nul)
            scan.cr = scan.cr || std::memchr(rest, '\r', n) != nullptr;
        return n;
    }
    // Kept in a register rather than written back at every byte.
    bool cr = scan.cr;
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
            if (!cr) {
                const __m128i crs = _mm_or_si128(
                    _mm_or_si128(_mm_cmpeq_epi8(v0, crByte), _mm_cmpeq_epi8(v1, crByte)),
                    _mm_or_si128(_mm_cmpeq_epi8(v2, crByte), _mm_cmpeq_epi8(v3, crByte)));
                cr = _mm_movemask_epi8(crs) != 0;
            }
            i += 64;
        }
        // A text that is not all ASCII is mostly ASCII and two-byte
        // characters (the Latin, Greek, Cyrillic, Hebrew and Arabic
        // letters), 16 bytes at a time: every lead byte C2-DF is followed
        // by one continuation byte, every continuation byte follows one,
        // and no character crosses the end of the 16.
        const __m128i topTwo = _mm_set1_epi8(char(0xC0));
        const __m128i topThree = _mm_set1_epi8(char(0xE0));
        const __m128i continuation = _mm_set1_epi8(char(0x80));
        const __m128i c0 = _mm_set1_epi8(char(0xC0));
        const __m128i c1 = _mm_set1_epi8(char(0xC1));
        while (i + 16 <= n) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(b + i));
            const unsigned high = unsigned(_mm_movemask_epi8(v));
            if (_mm_movemask_epi8(_mm_cmpeq_epi8(v, zero)))
                break;
            if (high) {
                const unsigned conts =
                    unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(v, topTwo), continuation)));
                const unsigned overlong =
                    unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, c0), _mm_cmpeq_epi8(v, c1))));
                const unsigned leads =
                    unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(v, topThree), topTwo))) & ~overlong;
                if ((leads | conts) != high || (leads << 1) != conts)
                    break;
            }
            cr = cr || _mm_movemask_epi8(_mm_cmpeq_epi8(v, crByte)) != 0;
            i += 16;
        }
#endif
        // Up to 16 bytes one character at a time, then back to the fast
        // loops.
        const qint64 stop = qMin(n, i + 16);
        while (i < stop) {
            const uchar c = b[i];
            if (c < 0x80) {
                if (c == 0) {
                    scan.nul = true;
                    scan.cr = cr;
                    return i;
                }
                cr = cr || c == '\r';
                ++i;
                continue;
            }
            if (!last && n - i < 4) {
                scan.cr = cr;
                return i; // the next piece may complete it
            }
            const int length = utf8SequenceLength(b + i, n - i);
            if (length == 0) {
                scan.cr = cr;
                scan.utf8 = false;
                return i + scanBytes(b + i, n - i, last, scan);
            }
            i += length;
        }
    }
    scan.cr = cr;
    return i;
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
        // About 16 bytes a character at a time before the fast loop is
        // tried again: in a text that is not all ASCII the next 16 bytes
        // usually hold another such character.
        const qint64 stop = qMin(n, i + 16);
        while (i < stop) {
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

#if defined(__SSE2__)
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
#endif

FileError notText(const QString &name)
{
    return {FileError::InvalidFileFormat,
            QStringLiteral("%1 is not a text file (it holds NUL bytes)").arg(name)};
}

} // namespace

FileError detectFormat(QByteArrayView bytes, const QString &name, TextFormat *format, qint64 *bomLength)
{
    *format = TextFormat();
    *bomLength = 0;
    const qint64 n = bytes.size();
    if (n <= 0)
        return {};
    FormatScanner scanner;
    scanner.feed(bytes, true);
    return scanner.result(name, format, bomLength);
}

qint64 FormatScanner::feed(QByteArrayView piece, bool last)
{
    if (m_scan.nul)
        return piece.size();
    // The piece starts at byte m_bytes of the file: bytes not taken come again.
    for (qint64 at = m_head.size(); at < 3 && at - m_bytes < piece.size(); ++at)
        m_head.append(piece[at - m_bytes]);
    const auto *b = reinterpret_cast<const uchar *>(piece.data());
    const qint64 taken = m_scan.nul ? piece.size() : scanBytes(b, piece.size(), last, m_scan);
    m_bytes += taken;
    return m_scan.nul ? piece.size() : taken;
}

FileError FormatScanner::result(const QString &name, TextFormat *format, qint64 *bomLength) const
{
    *format = TextFormat();
    *bomLength = 0;
    if (m_scan.nul)
        return notText(name);
    if (m_bytes == 0)
        return {};
    format->encoding = m_scan.utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    format->byteOrderMark = m_scan.utf8 && m_head == "\xEF\xBB\xBF";
    format->lineEnds = m_scan.cr ? LineEnds::AsIs : LineEnds::Lf;
    *bomLength = format->byteOrderMark ? 3 : 0;
    return {};
}

bool FormatScanner::contradicts(const TextFormat &format) const
{
    return m_scan.nul || (m_scan.cr && format.lineEnds == LineEnds::Lf)
        || (!m_scan.utf8 && format.encoding == TextEncoding::Utf8);
}

void decodeInto(QString &text, QByteArrayView bytes, const TextFormat &format)
{
    const char *data = bytes.data();
    const qint64 n = bytes.size();
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

void decodeLine(QString &line, QByteArrayView bytes, TextEncoding encoding)
{
    line.resize(bytes.size());
    line.resize(decodeRange(bytes.data(), bytes.size(), encoding, false,
                            reinterpret_cast<char16_t *>(line.data())));
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

qsizetype TextEncoder::start(const TextFormat &format, const QString &name, char *out)
{
    m_format = format;
    m_name = name;
    m_pendingHigh = 0;
    m_pendingCr = false;
    m_unitsDone = 0;
    m_error = {};
    if (format.encoding == TextEncoding::Utf8 && format.byteOrderMark) {
        std::memcpy(out, "\xEF\xBB\xBF", 3);
        return 3;
    }
    return 0;
}

void TextEncoder::fail(int number, const QString &description)
{
    if (!m_error)
        m_error = {number, description};
}

char *TextEncoder::encode(QStringView text, char *out)
{
    if (m_error)
        return out;
    const char16_t *s = text.utf16();
    const qsizetype n = text.size();
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
                     .arg(m_name).arg(m_unitsDone));
            return out;
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
                             .arg(m_unitsDone + i + 1));
                    return out;
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
                         .arg(m_name).arg(m_unitsDone + i + 1));
                return out;
            } else {
                *out++ = char(0xE0 | (c >> 12));
                *out++ = char(0x80 | ((c >> 6) & 0x3F));
                *out++ = char(0x80 | (c & 0x3F));
            }
        }
    }
    m_unitsDone += n;
    return out;
}


char *TextEncoder::finish(char *out)
{
    if (m_error)
        return out;
    if (m_pendingCr) {
        m_pendingCr = false;
        *out++ = '\r';
    }
    if (m_pendingHigh) {
        m_pendingHigh = 0;
        fail(FileError::InvalidFileFormat,
             QStringLiteral("%1 ends in a broken character (an unpaired surrogate)").arg(m_name));
    }
    return out;
}

} // namespace tw
