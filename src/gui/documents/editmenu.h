// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class TextBox;
class TextViews;

// The frame's Edit menu on the two text windows. Paste and Select All act on
// the text window activated last; the enabling rules, Copy, Cut and Delete
// All look at which of the two is shown (the Text Viewer lies over the
// Manipulator, so both may be). The frame owns the menu's entries and asks
// here what they offer.
class EditMenu : public QObject
{
    Q_OBJECT

public:
    explicit EditMenu(TextViews &views, QObject *parent = nullptr);

    struct Offer
    {
        bool selectionCommands = false; // Cut, Copy, Select All, Delete All
        bool paste = false;
    };
    // What the menu offers as it opens.
    Offer menuEdit_Click() const;

public Q_SLOTS:
    void menuEditCut_Click();
    void menuEditCopy_Click();
    void menuEditPaste_Click();
    void menuEditSelectAll_Click();
    void menuEditDeleteAll_Click();

private:
    void copySelections(bool cut);

    TextViews &m_views;
};
