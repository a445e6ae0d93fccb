// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/text/textcodec.h"
#include "core/text/textsink.h"
#include "core/text/textsource.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The one reader and the one writer of text files. The window's File menu and
// the command line both go through here, so a file opened and saved unchanged
// comes back byte for byte whichever way it travelled. The rules of encodings
// and line ends are the codec's (textcodec.h); TextSource streams a file in,
// TextSink streams one out.

namespace tw {

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

// Files larger than this are refused by the whole-text reader: their text
// would not fit comfortably in memory twice (the file's and the window's).
inline constexpr qint64 maxWholeFileBytes = qint64(1) << 31;

} // namespace tw
