// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/documents/editmenu.h"

#include "gui/shell/appstate.h"
#include "gui/shell/mdiform1.h"
#include "gui/shell/textbox.h"
#include "gui/documents/form5.h"
#include "core/text/pasterules.h"
#include "gui/documents/textdocuments.h"
#include "gui/manipulator/manipulator.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

EditMenu::EditMenu(MDIForm1 &frame, AppState &state, TextDocuments &documents)
    : QObject(&documents), m_frame(frame), m_state(state), m_documents(documents)
{
    setObjectName(QStringLiteral("EditMenu"));
    connect(frame.menuEdit, &QMenu::aboutToShow, this, &EditMenu::menuEdit_Click);
    connect(frame.menuEditCut, &QAction::triggered, this, &EditMenu::menuEditCut_Click);
    connect(frame.menuEditCopy, &QAction::triggered, this, &EditMenu::menuEditCopy_Click);
    connect(frame.menuEditPaste, &QAction::triggered, this, &EditMenu::menuEditPaste_Click);
    connect(frame.menuEditSelectAll, &QAction::triggered, this, &EditMenu::menuEditSelectAll_Click);
    connect(frame.menuEditDeleteAll, &QAction::triggered, this, &EditMenu::menuEditDeleteAll_Click);
}

TextBox *EditMenu::editTarget() const
{
    if (m_state.editTarget == QLatin1String("Manipulator"))
        return m_frame.manipulator()->RichTextBox1;
    if (m_state.editTarget == QLatin1String("Text Viewer"))
        return m_documents.textViewer()->RichTextBox1;
    return nullptr;
}

void EditMenu::menuEdit_Click()
{
    bool whole = false;
    bool paste = false;
    if (m_frame.manipulatorVisible()) {
        const Manipulator *window = m_frame.manipulator();
        const bool textTab = window->SSTab1->currentIndex() == Manipulator::TextLines;
        whole = textTab && !window->working().isEmpty();
        paste = textTab;
    } else if (m_documents.viewerVisible()) {
        whole = !m_documents.textViewer()->RichTextBox1->isEmpty();
        paste = true;
    }
    for (QAction *entry : {m_frame.menuEditCut, m_frame.menuEditCopy, m_frame.menuEditSelectAll,
                           m_frame.menuEditDeleteAll})
        entry->setEnabled(whole);
    m_frame.menuEditPaste->setEnabled(paste);
}

void EditMenu::userWrite(TextBox *box, const QString &text)
{
    if (box->plainText() != text)
        box->setPlainText(text);
}

void EditMenu::copySelections(bool cut)
{
    QClipboard *clipboard = QApplication::clipboard();
    clipboard->clear();
    QList<TextBox *> boxes;
    if (m_frame.manipulatorVisible())
        boxes << m_frame.manipulator()->RichTextBox1;
    if (m_documents.viewerVisible())
        boxes << m_documents.textViewer()->RichTextBox1;
    // With both shown the viewer's selection is the one left on the clipboard.
    for (TextBox *box : boxes) {
        clipboard->setText(box->selectedText());
        if (cut && box->selectionLength() > 0)
            box->replaceRange(box->selectionStart(), box->selectionLength(), QString());
    }
}

void EditMenu::menuEditCut_Click()
{
    copySelections(true);
}

void EditMenu::menuEditCopy_Click()
{
    copySelections(false);
}

void EditMenu::menuEditSelectAll_Click()
{
    TextBox *box = editTarget();
    if (!box)
        return;
    box->setFocus();
    box->setCaret(0);
    box->select(0, box->characterCount());
}

void EditMenu::menuEditDeleteAll_Click()
{
    Manipulator *window = m_frame.manipulator();
    window->Command1->setEnabled(false);
    // Emptying is an edit like any other: the text before it becomes the undo
    // copy, and Undo brings it back.
    if (m_frame.manipulatorVisible()) {
        userWrite(window->RichTextBox1, QString());
        if (m_documents.viewerVisible())
            userWrite(m_documents.textViewer()->RichTextBox1, QString());
    } else if (m_documents.viewerVisible()) {
        userWrite(m_documents.textViewer()->RichTextBox1, QString());
    }
}

void EditMenu::menuEditPaste_Click()
{
    if (TextBox *box = editTarget())
        pasteInto(box);
}

void EditMenu::pasteInto(TextBox *target)
{
    Manipulator *window = m_frame.manipulator();
    TextBox *viewerBox = m_documents.textViewer()->RichTextBox1;
    const qsizetype caret = target->selectionStart();
    QClipboard *clipboard = QApplication::clipboard();
    const QString clip = tw::clipboardToWorkingText(clipboard->text());

    m_state.paste = true;
    QString clipboardAfter = clip;
    if (caret >= target->characterCount()) {
        // One edit, so Undo goes back to the text before the paste.
        const tw::PasteAtEnd pasted = tw::editPasteAtEnd(clip);
        target->replaceRange(target->characterCount(), 0, pasted.appended);
        clipboardAfter = pasted.clipboardAfter;
    } else {
        target->replaceRange(caret, target->selectionLength(), clip);
    }
    if (target == window->RichTextBox1 && m_documents.viewerVisible())
        m_documents.mirrorManipulatorIntoViewer();
    else if (target == viewerBox && m_frame.manipulatorVisible())
        m_documents.mirrorViewerIntoManipulator();
    target->setCaret(caret);
    m_state.paste = false;
    clipboard->setText(clipboardAfter);
}
