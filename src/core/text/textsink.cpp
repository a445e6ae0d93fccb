// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/textsink.h"

#include "core/text/pipes.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace tw {

namespace {

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

// Why a write failed, in words a user acts on.
QString writeFailure(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("no space left on the disk");
    case EFBIG:
        return QStringLiteral("the file would grow past the largest size allowed");
    default:
        return qt_error_string(error);
    }
}

// Whether the name is there as something other than a regular file or a
// folder: a device, a named pipe, a socket.
bool isSpecialFile(const QString &path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISREG(info.st_mode)
        && !S_ISDIR(info.st_mode);
}

constexpr qsizetype sinkBufferBytes = 256 * 1024;

bool stdoutInRegularFile()
{
    struct stat info;
    return ::fstat(STDOUT_FILENO, &info) == 0 && S_ISREG(info.st_mode) && ::lseek(STDOUT_FILENO, 0, SEEK_CUR) >= 0;
}

// Where what is written to standard output in a regular file begins: its
// place in the file, or the file's end when it was opened to append (>>).
qint64 stdoutStart()
{
    if (!stdoutInRegularFile())
        return -1;
    struct stat info;
    const int flags = ::fcntl(STDOUT_FILENO, F_GETFL);
    if (flags >= 0 && (flags & O_APPEND))
        return ::fstat(STDOUT_FILENO, &info) == 0 ? qint64(info.st_size) : -1;
    return ::lseek(STDOUT_FILENO, 0, SEEK_CUR);
}

} // namespace

TextSink::TextSink() = default;
TextSink::~TextSink()
{
    cancel();
}

void TextSink::start(const TextFormat &format, const QString &name)
{
    m_name = name;
    m_buffer.resize(sinkBufferBytes);
    m_used = m_encoder.start(format, name, m_buffer.data());
    m_error = {};
}

FileError TextSink::open(const QString &path, const TextFormat &format)
{
    cancel();
    const bool toStdout = path.isEmpty() || path == u"-";
    start(format, toStdout ? QStringLiteral("standard output") : path);
    m_stdoutStart = -1;
    if (toStdout) {
        m_fd = STDOUT_FILENO;
        widenPipe(m_fd);
        m_stdoutStart = stdoutStart();
        return {};
    }
    if (isSpecialFile(path)) {
        auto file = std::make_unique<QFile>(path);
        if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            m_error = openWriteError(path, file->errorString());
            return m_error;
        }
        m_fd = file->handle();
        m_device = std::move(file);
        return {};
    }
    auto file = std::make_unique<QSaveFile>(path);
    if (!file->open(QIODevice::WriteOnly)) {
        m_error = openWriteError(path, file->errorString());
        return m_error;
    }
    // Written through its descriptor, so a failed write tells its cause;
    // QSaveFile keeps the replacing and the renaming.
    m_fd = file->handle();
    m_saveFile = file.get();
    m_device = std::move(file);
    return {};
}

void TextSink::openBuffer(QByteArray *target, const TextFormat &format)
{
    cancel();
    start(format, QStringLiteral("The text"));
    m_target = target;
}

void TextSink::fail(const FileError &error)
{
    if (!m_error)
        m_error = error;
}

bool TextSink::writeOut(const char *bytes, qsizetype size)
{
    while (size > 0) {
        const ssize_t wrote = ::write(m_fd, bytes, size_t(size));
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            fail({FileError::PathFileAccess,
                  QStringLiteral("%1 cannot be written: %2").arg(m_name, writeFailure(wrote < 0 ? errno : ENOSPC))});
            return false;
        }
        bytes += wrote;
        size -= wrote;
    }
    return true;
}

void TextSink::flush()
{
    if (m_used == 0 || m_error)
        return;
    if (m_target)
        m_target->append(m_buffer.constData(), m_used);
    else if (m_fd >= 0)
        writeOut(m_buffer.constData(), m_used);
    m_used = 0;
}

void TextSink::write(QStringView text)
{
    if (m_error)
        return;
    // Encode in slices that always fit the buffer: at most three bytes per
    // unit, plus room for a held-back CR or half of a surrogate pair.
    constexpr qsizetype perUnit = TextEncoder::maxBytesPerUnit;
    constexpr qsizetype holdBack = TextEncoder::holdBackBytes / TextEncoder::maxBytesPerUnit;
    while (!text.isEmpty() && !m_error) {
        qsizetype room = (sinkBufferBytes - m_used) / perUnit - holdBack;
        if (room < 4096) {
            flush();
            room = (sinkBufferBytes - m_used) / perUnit - holdBack;
        }
        const qsizetype slice = qMin(text.size(), room);
        char *end = m_encoder.encode(text.first(slice), m_buffer.data() + m_used);
        if (m_encoder.error()) {
            fail(m_encoder.error());
            return;
        }
        m_used = end - m_buffer.data();
        text = text.sliced(slice);
    }
}

void TextSink::writeBytes(QByteArrayView bytes)
{
    if (m_error)
        return;
    // A small piece is gathered with others; a large one goes out as it is,
    // without a copy.
    if (bytes.size() < sinkBufferBytes / 4) {
        if (bytes.size() > sinkBufferBytes - m_used)
            flush();
        if (!bytes.isEmpty())
            std::memcpy(m_buffer.data() + m_used, bytes.data(), size_t(bytes.size()));
        m_used += bytes.size();
        return;
    }
    flush();
    if (m_error)
        return;
    if (m_target)
        m_target->append(bytes);
    else if (m_fd >= 0)
        writeOut(bytes.data(), bytes.size());
}

FileError TextSink::commit()
{
    if (m_fd < 0 && !m_target)
        return m_error ? m_error : FileError{FileError::PathFileAccess, QStringLiteral("Nothing to write to")};
    if (!m_error) {
        m_used = m_encoder.finish(m_buffer.data() + m_used) - m_buffer.data();
        if (m_encoder.error())
            fail(m_encoder.error());
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
    m_fd = -1;
    m_target = nullptr;
    return m_error;
}

bool TextSink::canTakeBack(const QString &path)
{
    if (path.isEmpty() || path == u"-")
        return stdoutInRegularFile();
    return !isSpecialFile(path);
}

void TextSink::takeBack()
{
    if (m_fd == STDOUT_FILENO && m_stdoutStart >= 0) {
        m_used = 0;
        (void)::ftruncate(m_fd, m_stdoutStart);
        (void)::lseek(m_fd, m_stdoutStart, SEEK_SET);
    }
    cancel();
}

void TextSink::cancel()
{
    if (m_saveFile)
        m_saveFile->cancelWriting();
    m_saveFile = nullptr;
    m_device.reset();
    m_fd = -1;
    m_target = nullptr;
}

} // namespace tw
