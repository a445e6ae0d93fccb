// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/textdocument.h"

#include <utility>

namespace tw {

TextDocument::TextDocument(QObject *parent) : QObject(parent) {}

namespace {
// A gathered change larger than this goes into the text rather than grow:
// each key next to it copies it whole.
constexpr qsizetype largestPending = 1 << 16;
} // namespace

const QString &TextDocument::text() const
{
    flush();
    return m_text;
}

qsizetype TextDocument::size() const
{
    return m_text.size() + (m_hasPending ? m_pending.inserted.size() - m_pending.removed : 0);
}

void TextDocument::flush() const
{
    if (!m_hasPending)
        return;
    m_text.replace(m_pending.position, m_pending.removed, m_pending.inserted);
    m_hasPending = false;
    m_pending = {};
}

void TextDocument::dropPending()
{
    m_hasPending = false;
    m_pending = {};
}

QString TextDocument::currentMid(qsizetype position, qsizetype length) const
{
    if (!m_hasPending)
        return m_text.mid(position, length);
    // The text as it stands is m_text up to the change, the change's own
    // characters, then m_text after what the change replaced.
    const qsizetype start = m_pending.position;
    const qsizetype end = start + m_pending.inserted.size();
    const qsizetype shift = m_pending.removed - m_pending.inserted.size();
    QString part;
    part.reserve(length);
    const qsizetype stop = position + length;
    if (position < start)
        part += QStringView(m_text).sliced(position, qMin(stop, start) - position);
    if (stop > start && position < end) {
        const qsizetype from = qMax(position, start);
        part += QStringView(m_pending.inserted).sliced(from - start, qMin(stop, end) - from);
    }
    if (stop > end) {
        const qsizetype from = qMax(position, end);
        part += QStringView(m_text).sliced(from + shift, stop - from);
    }
    return part;
}

void TextDocument::applyEdit(const TextEdit &edit)
{
    if (edit.removed == 0 && edit.inserted.isEmpty())
        return;
    if (m_hasPending) {
        const qsizetype start = m_pending.position;
        const qsizetype end = start + m_pending.inserted.size();
        const bool touches = edit.position <= end && edit.position + edit.removed >= start;
        if (touches && m_pending.inserted.size() <= largestPending) {
            // One change covering both: the stretch of the text as it stands
            // that either touches, with this edit made in it.
            const qsizetype from = qMin(start, edit.position);
            const qsizetype to = qMax(end, edit.position + edit.removed);
            QString stretch = currentMid(from, to - from);
            stretch.replace(edit.position - from, edit.removed, edit.inserted);
            m_pending = {from, to - m_pending.inserted.size() + m_pending.removed - from, std::move(stretch)};
            return;
        }
        flush();
    }
    m_pending = edit;
    m_hasPending = true;
}

QString TextDocument::resolved(const Copy &copy) const
{
    switch (copy.kind) {
    case Copy::Held:
        break;
    case Copy::SameAsText:
        return text();
    case Copy::BeforeLastEdit: {
        QString text = this->text();
        for (const TextEdit &edit : m_lastEditReversed)
            text.replace(edit.position, edit.removed, edit.inserted);
        return text;
    }
    }
    return copy.held;
}

bool TextDocument::equalsText(const Copy &copy) const
{
    switch (copy.kind) {
    case Copy::Held:
        break;
    case Copy::SameAsText:
        return true;
    case Copy::BeforeLastEdit:
        // Typing a character over the same character changes nothing.
        if (m_lastEditReversed.size() == 1) {
            const TextEdit &edit = m_lastEditReversed.constFirst();
            return currentMid(edit.position, edit.removed) == edit.inserted;
        }
        return resolved(copy) == text();
    }
    return copy.held == text();
}

void TextDocument::hold(Copy &copy) const
{
    if (copy.kind == Copy::Held)
        return;
    copy.held = resolved(copy);
    copy.kind = Copy::Held;
}

void TextDocument::holdAll()
{
    hold(m_undoCopy);
    hold(m_lastSeen);
    hold(m_undoBeforeRun);
}

void TextDocument::replaceText(const QString &text)
{
    // The copies that stood for the text were made to stand on their own
    // by the caller.
    const bool wasEmpty = isEmpty();
    dropPending();
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
    const bool wasEmpty = isEmpty();
    hold(m_undoBeforeRun);
    Copy before = std::exchange(m_lastSeen, {});
    hold(before);
    m_undoCopy = std::move(before);
    dropPending();
    m_text = text;
    finishUserEdit(wasEmpty);
}

bool TextDocument::userEdited(const QList<TextEdit> &edits)
{
    qsizetype size = this->size();
    for (const TextEdit &edit : edits) {
        if (edit.position < 0 || edit.removed < 0 || edit.position > size || edit.removed > size - edit.position)
            return false;
        size += edit.inserted.size() - edit.removed;
    }
    const bool wasEmpty = isEmpty();
    hold(m_undoBeforeRun);
    Copy before = std::exchange(m_lastSeen, {});
    if (before.kind == Copy::BeforeLastEdit)
        hold(before);
    // Let go of the old undo copy first: if it shares the text's characters,
    // changing the text in place would copy them all.
    m_undoCopy = {};
    QList<TextEdit> reversed;
    reversed.reserve(edits.size());
    for (const TextEdit &edit : edits) {
        reversed.prepend({edit.position, edit.inserted.size(), currentMid(edit.position, edit.removed)});
        applyEdit(edit);
    }
    if (before.kind == Copy::SameAsText) {
        before.kind = Copy::BeforeLastEdit;
        m_lastEditReversed = std::move(reversed);
    }
    m_undoCopy = std::move(before);
    finishUserEdit(wasEmpty);
    return true;
}

void TextDocument::finishUserEdit(bool wasEmpty)
{
    m_lastSeen = {Copy::SameAsText, {}};
    setModified(true);
    setUndoAvailable(true);
    if (wasEmpty != isEmpty())
        Q_EMIT emptyChanged(isEmpty());
}

void TextDocument::undo()
{
    const QString text = resolved(m_undoCopy);
    hold(m_undoBeforeRun);
    // Both copies are the restored text.
    m_undoCopy = {Copy::SameAsText, {}};
    m_lastSeen = {Copy::SameAsText, {}};
    replaceText(text);
    setUndoAvailable(false);
}

void TextDocument::withdrawUndoIfNothingToUndo()
{
    if (equalsText(m_undoCopy))
        setUndoAvailable(false);
}

void TextDocument::beginRun()
{
    m_undoBeforeRun = std::exchange(m_undoCopy, {Copy::SameAsText, {}});
}

void TextDocument::finishRun(const QString &result)
{
    m_undoBeforeRun = {};
    holdAll();
    replaceText(result);
    setUndoAvailable(true);
    setModified(true);
}

void TextDocument::abandonRun()
{
    m_undoCopy = std::exchange(m_undoBeforeRun, {});
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
    hold(m_undoBeforeRun);
    m_undoCopy = {Copy::SameAsText, {}};
    m_lastSeen = {Copy::SameAsText, {}};
    replaceText(content.text);
    setUndoAvailable(false);
    setModified(false);
    setOpen(true);
    return {};
}

FileError TextDocument::save(const QString &path, bool *savedAsUtf8)
{
    const TextWriteResult result = writeTextFile(path, text(), m_format);
    if (result.error.failed())
        return result.error;
    if (savedAsUtf8)
        *savedAsUtf8 = result.written.encoding != m_format.encoding;
    m_format = result.written;
    setPath(path);
    m_undoCopy = {Copy::SameAsText, {}};
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
    holdAll();
    replaceText({});
    // A first edit of the next text must not undo back to the closed one.
    m_lastSeen = {};
    setUndoAvailable(false);
    setModified(false);
    setOpen(false);
}

} // namespace tw
