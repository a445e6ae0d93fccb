// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/textdocument.h"

#include <utility>

namespace tw {

TextDocument::TextDocument(QObject *parent) : QObject(parent) {}

namespace {
// Changes gathered at more places than this go into the text. A gathered
// change larger than largestChange does too rather than grow: each key next
// to it copies it whole.
constexpr qsizetype mostChanges = 64;
constexpr qsizetype largestChange = 1 << 16;
} // namespace

const QString &TextDocument::text() const
{
    flush();
    return m_text;
}

qsizetype TextDocument::size() const
{
    qsizetype size = m_text.size();
    for (const TextEdit &change : m_changes)
        size += change.inserted.size() - change.removed;
    return size;
}

void TextDocument::flush() const
{
    if (m_changes.isEmpty())
        return;
    if (m_changes.size() == 1) {
        const TextEdit &change = m_changes.constFirst();
        // A paste over the whole text is the pasted text itself, without
        // copying a big text once more.
        if (change.position == 0 && change.removed == m_text.size())
            m_text = change.inserted;
        else
            m_text.replace(change.position, change.removed, change.inserted);
    } else {
        // One pass over the text for all of them.
        QString text;
        text.reserve(size());
        qsizetype from = 0;
        for (const TextEdit &change : std::as_const(m_changes)) {
            text += QStringView(m_text).sliced(from, change.position - from);
            text += change.inserted;
            from = change.position + change.removed;
        }
        text += QStringView(m_text).sliced(from);
        m_text = std::move(text);
    }
    m_changes.clear();
}

void TextDocument::dropPending()
{
    m_changes.clear();
}

QString TextDocument::currentMid(qsizetype position, qsizetype length) const
{
    if (m_changes.isEmpty())
        return m_text.mid(position, length);
    // The text as it stands: stretches of m_text between the changes, and
    // the changes' own characters.
    QString part;
    part.reserve(length);
    const qsizetype stop = position + length;
    qsizetype at = 0;   // in the text as it stands
    qsizetype from = 0; // in m_text
    const auto take = [&](QStringView piece) {
        const qsizetype begin = qMax(position, at);
        const qsizetype end = qMin(stop, at + piece.size());
        if (begin < end)
            part += piece.sliced(begin - at, end - begin);
        at += piece.size();
    };
    for (const TextEdit &change : m_changes) {
        if (at >= stop)
            break;
        take(QStringView(m_text).sliced(from, change.position - from));
        take(change.inserted);
        from = change.position + change.removed;
    }
    if (at < stop)
        take(QStringView(m_text).sliced(from));
    return part;
}

void TextDocument::applyEdit(const TextEdit &edit)
{
    if (edit.removed == 0 && edit.inserted.isEmpty())
        return;
    // The gathered changes the edit touches (first to last), and how far
    // the changes before a place move the text there.
    qsizetype shift = 0;
    qsizetype shiftBeforeFirst = 0;
    qsizetype shiftThroughLast = 0;
    qsizetype first = -1;
    qsizetype last = -1;
    qsizetype place = m_changes.size();
    qsizetype gathered = 0;
    for (qsizetype i = 0; i < m_changes.size(); ++i) {
        const TextEdit &change = m_changes.at(i);
        const qsizetype start = change.position + shift;
        if (edit.position + edit.removed < start) {
            place = i;
            break;
        }
        const bool touches = edit.position <= start + change.inserted.size();
        shift += change.inserted.size() - change.removed;
        if (touches) {
            if (first < 0) {
                first = i;
                shiftBeforeFirst = shift - (change.inserted.size() - change.removed);
            }
            last = i;
            shiftThroughLast = shift;
            gathered += change.inserted.size();
        }
    }
    if (first < 0) {
        if (m_changes.size() >= mostChanges) {
            flush();
            m_changes.append(edit);
            return;
        }
        // Between changes: its place in m_text.
        qsizetype before = 0;
        for (qsizetype i = 0; i < place; ++i)
            before += m_changes.at(i).inserted.size() - m_changes.at(i).removed;
        m_changes.insert(place, TextEdit{edit.position - before, edit.removed, edit.inserted});
        return;
    }
    if (gathered > largestChange) {
        flush();
        m_changes.append(edit);
        return;
    }
    // One change covering them all: the stretch of the text as it stands
    // that the edit and those changes cover, with the edit made in it.
    const TextEdit &lastChange = m_changes.at(last);
    const qsizetype start = m_changes.at(first).position + shiftBeforeFirst;
    // Where the last change ends in the text as it stands.
    const qsizetype end = lastChange.position + lastChange.removed + shiftThroughLast;
    const qsizetype from = qMin(start, edit.position);
    const qsizetype to = qMax(end, edit.position + edit.removed);
    QString stretch = currentMid(from, to - from);
    stretch.replace(edit.position - from, edit.removed, edit.inserted);
    const TextEdit merged{from - shiftBeforeFirst, (to - shiftThroughLast) - (from - shiftBeforeFirst),
                          std::move(stretch)};
    m_changes.remove(first, last - first + 1);
    m_changes.insert(first, merged);
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
