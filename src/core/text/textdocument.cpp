// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/textdocument.h"

namespace tw {

TextDocument::TextDocument(QObject *parent) : QObject(parent) {}

void TextDocument::replaceText(const QString &text)
{
    const bool wasEmpty = m_text.isEmpty();
    m_text = text;
    Q_EMIT textReplaced();
    if (wasEmpty != m_text.isEmpty())
        Q_EMIT emptyChanged(m_text.isEmpty());
}

void TextDocument::setModified(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    Q_EMIT modifiedChanged(modified);
}

void TextDocument::setUndoAvailable(bool available)
{
    if (m_undoAvailable == available)
        return;
    m_undoAvailable = available;
    Q_EMIT undoAvailableChanged(available);
}

void TextDocument::setOpen(bool open)
{
    if (m_open == open)
        return;
    m_open = open;
    Q_EMIT openChanged(open);
}

void TextDocument::setPath(const QString &path)
{
    m_path = path;
    if (m_shownPath == path)
        return;
    m_shownPath = path;
    Q_EMIT shownPathChanged(path);
}

void TextDocument::userEdited(const QString &text)
{
    const bool wasEmpty = m_text.isEmpty();
    m_text = text;
    m_undoCopy = m_lastSeen;
    m_lastSeen = m_text;
    setModified(true);
    setUndoAvailable(true);
    if (wasEmpty != m_text.isEmpty())
        Q_EMIT emptyChanged(m_text.isEmpty());
}

void TextDocument::undo()
{
    replaceText(m_undoCopy);
    m_lastSeen = m_text;
    setUndoAvailable(false);
}

void TextDocument::withdrawUndoIfNothingToUndo()
{
    if (m_text == m_undoCopy)
        setUndoAvailable(false);
}

void TextDocument::beginRun()
{
    m_undoBeforeRun = m_undoCopy;
    m_undoCopy = m_text;
}

void TextDocument::finishRun(const QString &result)
{
    m_undoBeforeRun.clear();
    replaceText(result);
    setUndoAvailable(true);
    setModified(true);
}

void TextDocument::abandonRun()
{
    m_undoCopy = m_undoBeforeRun;
    m_undoBeforeRun.clear();
}

FileError TextDocument::open(const QString &path)
{
    TextFileContent content = readTextFile(path);
    if (content.error.failed())
        return content.error;
    m_format = content.format;
    setPath(path);
    if (content.byteSize == 0)
        return {};
    replaceText(content.text);
    m_undoCopy = m_text;
    m_lastSeen = m_text;
    setUndoAvailable(false);
    setModified(false);
    setOpen(true);
    return {};
}

FileError TextDocument::save(const QString &path, bool *savedAsUtf8)
{
    const TextWriteResult result = writeTextFile(path, m_text, m_format);
    if (result.error.failed())
        return result.error;
    if (savedAsUtf8)
        *savedAsUtf8 = result.written.encoding != m_format.encoding;
    m_format = result.written;
    setPath(path);
    m_undoCopy = m_text;
    setUndoAvailable(false);
    setModified(false);
    setOpen(true);
    return {};
}

void TextDocument::forgetPath()
{
    m_path.clear();
}

void TextDocument::close()
{
    m_format = {};
    setPath({});
    replaceText({});
    // A first edit of the next text must not undo back to the closed one.
    m_lastSeen.clear();
    setUndoAvailable(false);
    setModified(false);
    setOpen(false);
}

} // namespace tw
