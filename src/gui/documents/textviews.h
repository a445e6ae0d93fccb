// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

class BusyState;
class QFont;
class ChildWindows;
class TextBox;
namespace tw {
class TextDocument;
}

// The text boxes that show the working text: the Manipulator's and the Text
// Viewer's. They are two views of one Scintilla document, so what is typed in
// one is in the other at once; nothing is copied between them. The program's
// replacements of the text (textReplaced) go into that document once, and
// each user edit in either box is handed to the TextDocument, which keeps the
// undo rules.
//
// It also knows which of the windows showing the text is which, for the
// commands that work on "the text window": the Edit menu works on the one the
// user activated last (the edit target); searches work on the Manipulator
// while it is shown, otherwise on the Text Viewer.
class TextViews : public QObject
{
    Q_OBJECT

public:
    enum class Role { Manipulator, Viewer };

    TextViews(tw::TextDocument &document, BusyState &busy, ChildWindows &children, QObject *parent = nullptr);

    // A box and the window that holds it. The first box's document becomes
    // the one every later box shows.
    void addView(Role role, TextBox *box, QWidget *window);

    TextBox *box(Role role) const;
    bool isShown(Role role) const;
    // The box the Edit menu's Paste and Select All act on; nullptr when no
    // text window was activated yet or the last one was closed.
    TextBox *editTarget() const;
    void setEditTarget(Role role);
    void clearEditTarget();
    bool editTargetIs(Role role) const;
    // The box searches work on: the Manipulator's while it is shown,
    // otherwise the Text Viewer's; nullptr when neither is.
    TextBox *searchTarget() const;
    // Shows the window of a box above the others.
    void bringForward(TextBox *box);
    // After Undo the focus goes to the Text Viewer when it is shown, and back
    // to the Manipulator when that was the window the user worked in.
    void focusAfterUndo();
    // The caret goes along when the text moves from one window to the other.
    void copyCaret(Role from, Role to);

    tw::TextDocument &document() const { return m_document; }
    // The boxes show the text with its very long lines in pieces, and take
    // no edits meanwhile.
    bool isShownInPieces() const { return m_shownInPieces; }

Q_SIGNALS:
    // The program's replacement of the text is in the boxes.
    void textShown();
    void shownInPiecesChanged(bool inPieces);

public Q_SLOTS:
    void setTextFont(const QFont &font);
    void setLineEndsShown(bool shown);

private:
    void showDocumentText();
    void userEdited(TextBox *box);

    struct View
    {
        QPointer<TextBox> box;
        QPointer<QWidget> window;
    };
    const View &view(Role role) const;

    tw::TextDocument &m_document;
    BusyState &m_busy;
    ChildWindows &m_children;
    View m_views[2];
    bool m_hasEditTarget = false;
    bool m_shownInPieces = false;
    Role m_editTarget = Role::Manipulator;
};
