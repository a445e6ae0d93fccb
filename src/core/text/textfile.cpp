// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/textfile.h"

#include <QFileInfo>

#include <new>

namespace tw {

TextFileContent decodeText(QByteArrayView bytes)
{
    TextFileContent content;
    qint64 bom = 0;
    content.error = detectFormat(bytes, QStringLiteral("The text"), &content.format, &bom);
    if (content.error) {
        content.format = TextFormat();
        return content;
    }
    content.byteSize = bytes.size();
    decodeInto(content.text, bytes.sliced(bom), content.format);
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
    try {
        TextSource source;
        content.error = source.open(path);
        if (content.error)
            return content;
        content.format = source.format();
        content.byteSize = source.byteSize();
        content.text = source.readAll();
    } catch (const std::bad_alloc &) {
        // Its text would not fit in the memory there is: a refusal like any
        // other, with nothing half read kept.
        content = {};
        content.error = {FileError::OutOfMemory,
                         QStringLiteral("%1 is too large to open: there is not enough memory for its text").arg(path)};
    }
    return content;
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

} // namespace tw
