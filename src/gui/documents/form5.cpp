// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/documents/form5.h"

#include "gui/shell/appstate.h"
#include "gui/shell/mdiform1.h"
#include "gui/shell/textbox.h"
#include "gui/documents/editmenu.h"
#include "gui/documents/textdocuments.h"
#include "gui/manipulator/manipulator.h"

#include <QKeyEvent>
#include <QVBoxLayout>

namespace {
bool isPasteKey(const QKeyEvent *key)
{
    return key->matches(QKeySequence::Paste)
           || (key->key() == Qt::Key_V && key->modifiers() == Qt::ControlModifier);
}
} // namespace

Form5::Form5(MDIForm1 &frame, AppState &state, TextDocuments &documents, QWidget *parent)
    : QWidget(parent), m_frame(frame), m_state(state), m_documents(documents)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(tr("Manipulator - Text Viewer"));
    RichTextBox1 = new TextBox(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    // The box fills the window whatever its size.
    auto layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RichTextBox1);
    RichTextBox1->installEventFilter(this);
    connect(RichTextBox1, &TextBox::changed, this, &Form5::RichTextBox1_Change);
}

void Form5::RichTextBox1_Change()
{
    if (!m_state.programmaticChange) {
        m_state.modified = true;
        m_frame.menuFileSaveFile->setEnabled(true);
        m_frame.manipulator()->enableUndo();
        m_frame.menuSearchFind->setEnabled(!RichTextBox1->isEmpty());
    }
    m_state.programmaticChange = false;
}

bool Form5::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != RichTextBox1)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        auto key = static_cast<QKeyEvent *>(event);
        if (isPasteKey(key)) {
            event->accept();
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        auto key = static_cast<QKeyEvent *>(event);
        // The box's own paste would take the clipboard as it is; the
        // program's puts line breaks right first.
        if (isPasteKey(key)) {
            if (!m_state.paste)
                m_documents.editMenu()->pasteInto(RichTextBox1);
            return true;
        }
        break;
    }
    case QEvent::KeyRelease: {
        auto key = static_cast<QKeyEvent *>(event);
        if (!key->isAutoRepeat())
            RichTextBox1_KeyUp(key->key());
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void Form5::RichTextBox1_KeyUp(int key)
{
    m_documents.mirrorViewerIntoManipulator();
    if (key == Qt::Key_Escape)
        m_frame.menuViewTabwrite_Click();
}
