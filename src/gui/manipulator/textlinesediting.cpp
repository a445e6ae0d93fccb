// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/manipulator/textlinesediting.h"

#include "core/text/textdocument.h"
#include "gui/documents/pasting.h"
#include "gui/manipulator/linetools.h"
#include "gui/shell/textbox.h"

#include <QKeyEvent>

namespace {
enum class Key { Other, Paste, Find, Tab, Escape };

Key classify(const QKeyEvent *key)
{
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (key->matches(QKeySequence::Paste) || (key->key() == Qt::Key_V && modifiers == Qt::ControlModifier))
        return Key::Paste;
    if (key->key() == Qt::Key_F && modifiers == Qt::ControlModifier)
        return Key::Find;
    if (key->key() == Qt::Key_Tab && modifiers == Qt::NoModifier)
        return Key::Tab;
    if (key->key() == Qt::Key_Escape && modifiers == Qt::NoModifier)
        return Key::Escape;
    return Key::Other;
}

// The next widget the Tab key would give the focus to.
QWidget *nextFocus(QWidget *from)
{
    for (QWidget *next = from->nextInFocusChain(); next && next != from; next = next->nextInFocusChain())
        if ((next->focusPolicy() & Qt::TabFocus) && next->isVisible() && next->isEnabled())
            return next;
    return nullptr;
}
} // namespace

TextLinesEditing::TextLinesEditing(TextBox *box, tw::TextDocument &document, LineTools *lineTools, QObject *parent)
    : QObject(parent), m_box(box), m_document(document)
{
    setObjectName(QStringLiteral("TextLinesEditing"));
    box->installEventFilter(this);
    // Join Lines, Process and Create Line work on the text, so they are
    // offered whenever there is one, however it came (typed, opened, a run's
    // result, Undo).
    lineTools->setToolsEnabled(!document.isEmpty());
    connect(&document, &tw::TextDocument::emptyChanged, lineTools,
            [lineTools](bool empty) { lineTools->setToolsEnabled(!empty); });
}

bool TextLinesEditing::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_box)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // These keys belong to the box, ahead of any shortcut of the frame.
        if (classify(static_cast<QKeyEvent *>(event)) != Key::Other) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress:
        switch (classify(static_cast<QKeyEvent *>(event))) {
        case Key::Paste:
            pasting::textLinesPaste(m_box);
            return true;
        case Key::Find:
            Q_EMIT findRequested();
            return true;
        case Key::Tab:
            if (!insertTab()) {
                if (QWidget *next = nextFocus(m_box))
                    next->setFocus(Qt::TabFocusReason);
            }
            return true;
        case Key::Escape:
            Q_EMIT closeRequested();
            return true;
        case Key::Other:
            break;
        }
        break;
    case QEvent::FocusIn:
        m_document.withdrawUndoIfNothingToUndo();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool TextLinesEditing::insertTab()
{
    if (m_box->isEmpty() || m_box->isReadOnly())
        return false;
    // The tab goes in at the caret; a selection is kept, not replaced.
    const qsizetype caret = m_box->selectionStart();
    m_box->replaceRange(caret, 0, QStringLiteral("\t"));
    m_box->setCaret(caret + 1);
    return true;
}
