// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Bytes to working text and back, with no file in sight: which encoding and
// line ends a file's bytes are in, decoding them, and encoding the working
// text again so that an unchanged text gives the same bytes.
//
// Reading rules:
//  - bytes that are valid UTF-8 are UTF-8; a leading BOM is not part of the
//    text but is remembered and written back;
//  - anything else is Windows-1252, its five undefined bytes 0x81, 0x8D, 0x8F,
//    0x90 and 0x9D standing for U+0081, U+008D, U+008F, U+0090 and U+009D, so
//    every byte has a character and comes back as itself;
//  - bytes holding no CR at all have each LF turned into CR LF (the line model
//    of the working text) and get LF line ends back when encoded; any other
//    bytes are taken as they are, lone CRs and LFs included;
//  - bytes holding a NUL are not text and are refused: that is what UTF-16
//    files and binaries look like, and decoding them as Windows-1252 would
//    only produce a screenful of nonsense the user could save over them.
//
// A text that came from no file is written as UTF-8 with LF line ends, which
// is what a default-constructed TextFormat says.

namespace tw {

enum class TextEncoding { Utf8, Windows1252 };

enum class LineEnds {
    Lf,   // the file held no CR: LF on disk, CR LF in the working text
    AsIs, // the working text is the file's characters, line ends untouched
};

struct TextFormat
{
    TextEncoding encoding = TextEncoding::Utf8;
    bool byteOrderMark = false;
    LineEnds lineEnds = LineEnds::Lf;

    friend bool operator==(const TextFormat &, const TextFormat &) = default;
};

// A failed read or write. number is the run-time error number the Manipulator's
// error reporter looks up (70 and 75 have fixed messages there; any other
// number shows description); description always names the file and the cause,
// for the command line and for the numbers the reporter has no message for.
struct FileError
{
    enum : int {
        None = 0,
        OutOfMemory = 7,        // a file too large to hold as one text
        PermissionDenied = 70,
        PathFileAccess = 75,    // missing, a folder, a failed read or write
        InvalidFileFormat = 321 // not a text file, or a text the encoding cannot hold
    };

    int number = None;
    QString description;

    bool failed() const { return number != None; }
    explicit operator bool() const { return failed(); }
};

// The format of a file's bytes, or a refusal naming the file when they hold a
// NUL. *bomLength is set to the length of a BOM that is not part of the text.
FileError detectFormat(QByteArrayView bytes, const QString &name, TextFormat *format, qint64 *bomLength);

// What a scan of a file's bytes learns about them.
struct ByteScan
{
    bool nul = false;      // a NUL byte: not a text file
    bool cr = false;       // a CR somewhere: line ends taken as they are
    bool utf8 = true;      // strict UTF-8 throughout
};

// detectFormat over bytes that come in pieces, for a reader that does not
// hold them all at once: the same verdict as detectFormat over the whole.
class FormatScanner
{
public:
    // Scans the next piece (last: no piece follows) and returns how many of
    // its bytes it took. Those not taken, at most three, begin a character
    // the next piece may complete: they come again at the start of that one.
    qint64 feed(QByteArrayView piece, bool last);
    // The verdict after the last piece, as detectFormat gives it.
    FileError result(const QString &name, TextFormat *format, qint64 *bomLength) const;
    // Whether what was scanned so far cannot be text of this format, which a
    // second look at a file that changed meanwhile may find.
    bool contradicts(const TextFormat &format) const;
    const ByteScan &scan() const { return m_scan; }

private:
    ByteScan m_scan;
    QByteArray m_head; // the first three bytes, for the BOM
    qint64 m_bytes = 0;
};

// Decodes bytes whose format is known (found by detectFormat, BOM left out)
// into text, reusing its buffer: in an LF file each LF becomes CR LF.
void decodeInto(QString &text, QByteArrayView bytes, const TextFormat &format);
// Decodes one line's bytes as they are, line ends untouched.
void decodeLine(QString &line, QByteArrayView bytes, TextEncoding encoding);

// Whether every character of the text has a byte in the encoding (always true
// for UTF-8 unless the text holds an unpaired surrogate).
bool canEncode(QStringView text, TextEncoding encoding);

// Encodes the working text given in pieces of any size: a piece may end
// between CR and LF or inside a surrogate pair, and the encoder holds that
// back until the next piece tells. The caller owns the bytes' memory.
class TextEncoder
{
public:
    // Room encode() may need: this many bytes per unit, plus holdBackBytes.
    static constexpr qsizetype maxBytesPerUnit = 3;
    static constexpr qsizetype holdBackBytes = 6;

    // Starts over in a format; name is what an encoding error calls the text.
    // Returns the BOM's length written at out (room for 3 bytes).
    qsizetype start(const TextFormat &format, const QString &name, char *out);
    // Encodes a piece into out, which has room for maxBytesPerUnit bytes a
    // unit and holdBackBytes; returns the end of the bytes written. After an
    // error (a character the encoding cannot hold, an unpaired surrogate)
    // nothing more is encoded.
    char *encode(QStringView piece, char *out);
    // The end of the text: a held-back CR is written (room for 1 byte), a
    // held-back half of a surrogate pair is an error.
    char *finish(char *out);

    const FileError &error() const { return m_error; }

private:
    void fail(int number, const QString &description);

    TextFormat m_format;
    QString m_name;
    char16_t m_pendingHigh = 0; // a high surrogate whose partner is in the next piece
    bool m_pendingCr = false;   // a CR that may be the first half of CR LF
    qint64 m_unitsDone = 0;     // for the position in an encoding error
    FileError m_error;
};

} // namespace tw
