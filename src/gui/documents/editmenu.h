// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class MDIForm1;
class TextBox;
class TextDocuments;
struct AppState;

// The frame's Edit menu on the two text windows. Paste and Select All act on
// the text window activated last; the enabling rules, Copy, Cut and Delete
// All look at which of the two is shown (the Text Viewer lies over the
// Manipulator, so both may be).
class EditMenu : public QObject
{
    Q_OBJECT

public:
    EditMenu(MDIForm1 &frame, AppState &state, TextDocuments &documents);

    // Pastes the clipboard into a box with the line-end repair at the end of
    // the text, and copies the result into the other text window if shown.
    void pasteInto(TextBox *target);

public Q_SLOTS:
    void menuEdit_Click();
    void menuEditCut_Click();
    void menuEditCopy_Click();
    void menuEditPaste_Click();
    void menuEditSelectAll_Click();
    void menuEditDeleteAll_Click();

private:
    TextBox *editTarget() const;
    void copySelections(bool cut);
    // The user's edit of a box that is not the one typed into.
    void userWrite(TextBox *box, const QString &text);

    MDIForm1 &m_frame;
    AppState &m_state;
    TextDocuments &m_documents;
};
