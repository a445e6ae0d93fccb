// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/manipulator/textlinesediting.h"

#include "gui/shell/appstate.h"
#include "gui/shell/mdiform1.h"
#include "gui/shell/textbox.h"
#include "core/text/pasterules.h"
#include "gui/documents/textdocuments.h"
#include "gui/manipulator/manipulator.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPushButton>

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

TextLinesEditing::TextLinesEditing(MDIForm1 &frame, AppState &state, TextDocuments &documents)
    : QObject(&documents), m_frame(frame), m_state(state), m_documents(documents)
{
    setObjectName(QStringLiteral("TextLinesEditing"));
    TextBox *box = window().RichTextBox1;
    box->installEventFilter(this);
    connect(box, &QsciScintilla::selectionChanged, this, &TextLinesEditing::RichTextBox1_SelChange);
}

Manipulator &TextLinesEditing::window() const
{
    return *m_frame.manipulator();
}

void TextLinesEditing::enableLineTools(bool enabled)
{
    for (const char *name : {"Command13", "Command14", "Command15"})
        if (auto button = window().findChild<QPushButton *>(QLatin1String(name)))
            button->setEnabled(enabled);
}

bool TextLinesEditing::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != window().RichTextBox1)
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
            if (!m_state.paste)
                paste();
            return true;
        case Key::Find:
            m_documents.menuSearchFind_Click();
            return true;
        case Key::Tab:
            if (!insertTab()) {
                if (QWidget *next = nextFocus(window().RichTextBox1))
                    next->setFocus(Qt::TabFocusReason);
            }
            return true;
        case Key::Escape:
            m_documents.closeManipulator();
            return true;
        case Key::Other:
            break;
        }
        break;
    case QEvent::KeyRelease:
        if (!static_cast<QKeyEvent *>(event)->isAutoRepeat())
            RichTextBox1_KeyUp();
        break;
    case QEvent::FocusIn:
        RichTextBox1_GotFocus();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void TextLinesEditing::paste()
{
    TextBox *box = window().RichTextBox1;
    const qsizetype caret = box->selectionStart();
    QClipboard *clipboard = QApplication::clipboard();
    // Plain text only: whatever formatting the clipboard also offers is left.
    QString pasted = tw::clipboardToWorkingText(clipboard->text());
    m_state.paste = true;
    if (caret >= box->characterCount()) {
        pasted = tw::textLinesPasteAtEnd(pasted);
        box->replaceRange(box->characterCount(), 0, pasted);
    } else {
        box->replaceRange(caret, box->selectionLength(), pasted);
    }
    box->setCaret(caret);
    m_frame.menuFileSaveFile->setEnabled(true);
    m_state.paste = false;
    // The clipboard keeps offering what was pasted.
    clipboard->setText(pasted);
}

bool TextLinesEditing::insertTab()
{
    TextBox *box = window().RichTextBox1;
    if (box->isEmpty() || box->isReadOnly())
        return false;
    // The tab goes in at the caret; a selection is kept, not replaced.
    const qsizetype caret = box->selectionStart();
    box->replaceRange(caret, 0, QStringLiteral("\t"));
    box->setCaret(caret + 1);
    return true;
}

void TextLinesEditing::RichTextBox1_KeyUp()
{
    enableLineTools(!window().RichTextBox1->isEmpty());
    m_documents.mirrorManipulatorIntoViewer();
}

void TextLinesEditing::RichTextBox1_GotFocus()
{
    if (!m_state.programmaticChange) {
        const WorkingText &text = window().working();
        if (text.text() == text.undoCopy()) {
            window().Command1->setEnabled(false);
            m_frame.menuEditUndo->setEnabled(false);
        }
        if (text.isEmpty())
            enableLineTools(false);
    }
    m_state.programmaticChange = false;
}

void TextLinesEditing::RichTextBox1_SelChange()
{
    enableLineTools(!window().RichTextBox1->isEmpty());
}
