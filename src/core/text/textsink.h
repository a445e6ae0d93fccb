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
    void start(const TextFormat &format, const QString &name);
    void flush();
    void fail(const FileError &error);

    std::unique_ptr<QIODevice> m_device;
    QSaveFile *m_saveFile = nullptr; // m_device when writing a named file
    QByteArray *m_target = nullptr;  // when writing into memory
    QString m_name;
    TextEncoder m_encoder;
    QByteArray m_buffer;
    qsizetype m_used = 0;
    FileError m_error;
};

} // namespace tw
