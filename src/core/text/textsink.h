// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/text/textcodec.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <memory>

class QIODevice;
class QSaveFile;

namespace tw {

// Streaming writer: takes the working text in pieces of any size (a piece may
// end between CR and LF or inside a surrogate pair) and writes it in the
// format's encoding and line ends through one reused buffer. A regular file
// (or a new one) is written through QSaveFile, so a failed or cancelled run
// leaves the old file whole. Anything else that is there by the name (a
// device, a named pipe) is written into directly, as a shell redirection
// would: replacing it with a regular file would break the system's /dev/null
// or a reader waiting at the pipe.
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
    // Bytes already in the format's encoding and line ends, written as they
    // are, for an operation that works on the file's bytes without decoding
    // them. Not to be mixed with write().
    void writeBytes(QByteArrayView bytes);
    // Flushes and, for a file, replaces it. Returns the first error met.
    FileError commit();
    // Drops what was written; a file on disk stays as it was.
    void cancel();
    // Whether what is written to the path can all be taken back, so that a
    // run may start over: a file replaced on commit, or standard output
    // redirected into a regular file.
    static bool canTakeBack(const QString &path);
    // Drops what was written, as cancel() does, and cuts standard output in
    // a regular file back to where this sink's writing began (the end of
    // what the file held, when it was opened to append).
    void takeBack();

    const FileError &error() const { return m_error; }

private:
    void start(const TextFormat &format, const QString &name);
    void flush();
    void fail(const FileError &error);
    // Writes bytes to m_fd whole; false (and the error set) when it cannot.
    bool writeOut(const char *bytes, qsizetype size);

    std::unique_ptr<QIODevice> m_device; // keeps m_fd open
    QSaveFile *m_saveFile = nullptr; // m_device when a file is replaced
    qint64 m_stdoutStart = -1;       // standard output in a regular file: where it began
    int m_fd = -1;                   // where the bytes go
    QByteArray *m_target = nullptr;  // when writing into memory
    QString m_name;
    TextEncoder m_encoder;
    QByteArray m_buffer;
    qsizetype m_used = 0;
    FileError m_error;
};

} // namespace tw
