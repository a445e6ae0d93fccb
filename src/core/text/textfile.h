// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <memory>

class QFile;
class QIODevice;
class QSaveFile;

// The one reader and the one writer of text files. The window's File menu and
// the command line both go through here, so a file opened and saved unchanged
// comes back byte for byte whichever way it travelled.
//
// Reading rules:
//  - bytes that are valid UTF-8 are UTF-8; a leading BOM is not part of the
//    text but is remembered and written back;
//  - anything else is Windows-1252, its five undefined bytes 0x81, 0x8D, 0x8F,
//    0x90 and 0x9D standing for U+0081, U+008D, U+008F, U+0090 and U+009D, so
//    every byte has a character and comes back as itself;
//  - a file holding no CR at all has each LF turned into CR LF (the line model
//    of the working text) and gets LF line ends back when written; any other
//    file is taken as it is, lone CRs and LFs included;
//  - a file holding a NUL byte is not a text file and is refused: that is what
//    UTF-16 files and binaries look like, and decoding them as Windows-1252
//    would only produce a screenful of nonsense the user could save over them.
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

// A whole file read into a working text. byteSize tells an empty file (no
// bytes) from one whose text is empty (a BOM alone).
struct TextFileContent
{
    QString text;
    TextFormat format;
    FileError error;
    qint64 byteSize = 0;
};

// A finished write: the error, if any, and the format the bytes were written
// in, which differs from the one asked for only when a Windows-1252 text holds
// a character that Windows-1252 has no byte for (then it is written as UTF-8
// rather than losing the character, and the caller should keep this format).
struct TextWriteResult
{
    FileError error;
    TextFormat written;
};

// Whole-text interface, for the window.
TextFileContent readTextFile(const QString &path);
TextFileContent decodeText(QByteArrayView bytes);
TextWriteResult writeTextFile(const QString &path, QStringView text, const TextFormat &format);
// The bytes writeTextFile would write; an empty array with an error set when
// the text cannot be encoded at all (an unpaired surrogate).
QByteArray encodeText(QStringView text, const TextFormat &format, FileError *error = nullptr);

// Whether every character of the text has a byte in the encoding (always true
// for UTF-8 unless the text holds an unpaired surrogate).
bool canEncode(QStringView text, TextEncoding encoding);

// Files larger than this are refused by the whole-text reader: their text
// would not fit comfortably in memory twice (the file's and the window's).
inline constexpr qint64 maxWholeFileBytes = qint64(1) << 31;

// Streaming reader: yields the working text one line at a time into a buffer
// the caller reuses, without building the whole text. A pipe is read whole
// first, because its encoding is only known at its end; so is a large regular
// file when the system gives huge pages (see mapOrRead); a small one is mapped.
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
    // The rest of the working text whole, line breaks as CR LF.
    QString readAll();

private:
    FileError mapOrRead(QFile &file, const QString &name);
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

// Streaming writer: takes the working text in pieces of any size (a piece may
// end between CR and LF or inside a surrogate pair) and writes it in the
// format's encoding and line ends through one reused buffer. A file is written
// through QSaveFile, so a failed or cancelled run leaves the old file whole.
class TextSink
{
public:
    TextSink();
    ~TextSink();
    TextSink(const TextSink &) = delete;
    TextSink &operator=(const TextSink &) = delete;

    // path empty or "-" writes standard output.
    FileError open(const QString &path, const TextFormat &format);
    // Appends to a byte array instead of a file.
    void openBuffer(QByteArray *target, const TextFormat &format);
    void write(QStringView text);
    // Flushes and, for a file, replaces it. Returns the first error met.
    FileError commit();
    // Drops what was written; a file on disk stays as it was.
    void cancel();

    const FileError &error() const { return m_error; }

private:
    void start(const TextFormat &format);
    void encode(QStringView text);
    void flush();
    void fail(int number, const QString &description);

    std::unique_ptr<QIODevice> m_device;
    QSaveFile *m_saveFile = nullptr; // m_device when writing a named file
    QByteArray *m_target = nullptr;  // when writing into memory
    QString m_name;
    TextFormat m_format;
    QByteArray m_buffer;
    qsizetype m_used = 0;
    char16_t m_pendingHigh = 0; // a high surrogate whose partner is in the next piece
    bool m_pendingCr = false;   // a CR that may be the first half of CR LF
    qint64 m_unitsWritten = 0;  // for the position in an encoding error
    FileError m_error;
};

} // namespace tw
