// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/documents/editmenu.h"

#include "core/text/textdocument.h"
#include "gui/documents/pasting.h"
#include "gui/documents/textviews.h"
#include "gui/shell/textbox.h"

#include <QApplication>
#include <QClipboard>

using Role = TextViews::Role;

EditMenu::EditMenu(TextViews &views, QObject *parent) : QObject(parent), m_views(views)
{
    setObjectName(QStringLiteral("EditMenu"));
}

EditMenu::Offer EditMenu::menuEdit_Click() const
{
    Offer offer;
    const bool hasText = !m_views.document().isEmpty();
    if (m_views.isShown(Role::Manipulator)) {
        // The Manipulator's box is seen only on its Text/Lines tab.
        const bool textTab = m_views.box(Role::Manipulator)->isVisible();
        offer.selectionCommands = textTab && hasText;
        offer.paste = textTab;
    } else if (m_views.isShown(Role::Viewer)) {
        offer.selectionCommands = hasText;
        offer.paste = true;
    }
    return offer;
}

void EditMenu::copySelections(bool cut)
{
    QClipboard *clipboard = QApplication::clipboard();
    clipboard->clear();
    // With both shown the viewer's selection is the one left on the clipboard.
    for (Role role : {Role::Manipulator, Role::Viewer}) {
        if (!m_views.isShown(role))
            continue;
        TextBox *box = m_views.box(role);
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
    TextBox *box = m_views.editTarget();
    if (!box)
        return;
    box->setFocus();
    box->setCaret(0);
    box->select(0, box->characterCount());
}

void EditMenu::menuEditDeleteAll_Click()
{
    // Emptying is an edit like any other: the text before it becomes the undo
    // copy, and Undo brings it back. Both windows show the one text.
    TextBox *box = m_views.isShown(Role::Manipulator) ? m_views.box(Role::Manipulator)
                   : m_views.isShown(Role::Viewer)    ? m_views.box(Role::Viewer)
                                                      : nullptr;
    if (box && !box->isEmpty())
        box->replaceRange(0, box->characterCount(), QString());
}

void EditMenu::menuEditPaste_Click()
{
    if (TextBox *box = m_views.editTarget())
        pasting::editPaste(box);
}
