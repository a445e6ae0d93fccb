// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Qsci/qsciscintilla.h>

#include <functional>

// The rich text box of the Manipulator and the Text Viewer: a view of the
// working text, exactly as it is (CR LF, lone CR and LF included). Several
// boxes may show one Scintilla document; each reports userEdited() once per
// action of the user's in that box (a key, a paste, a drop), so a typed-over
// selection is one edit, not a deletion and an insertion. Changes made in
// another box or by the program are not reported here. Positions in its
// interface count characters (code points), as the text operations do, never
// Scintilla's bytes.
class TextBox : public QsciScintilla
{
    Q_OBJECT

public:
    explicit TextBox(QWidget *parent = nullptr);

    QString plainText() const;
    // The program replaces the whole text, without recording anything in
    // Scintilla's own undo history (the program keeps its own undo copy) and
    // without a userEdited(). A big text goes in by pieces; betweenPieces,
    // when given, runs after each (to let the window answer).
    void setPlainText(const QString &text, const std::function<void()> &betweenPieces = {});
    bool isEmpty() const;
    // Length in characters.
    qsizetype characterCount() const;

    qsizetype selectionStart() const;
    qsizetype selectionLength() const;
    void select(qsizetype start, qsizetype length);
    void setCaret(qsizetype position);

    // Replaces length characters at start with text as one edit of the
    // user's, as typing would: one userEdited() follows. The paste commands and
    // the tab insertion go through here, so they are undone as one step.
    void replaceRange(qsizetype start, qsizetype length, const QString &text);

    // The font of the text, in every style the box uses.
    void setTextFont(const QFont &font);

    qsizetype bytePosition(qsizetype characterPosition) const;
    qsizetype characterPosition(qsizetype bytePosition) const;

Q_SIGNALS:
    void userEdited();

protected:
    // Every event the box handles is one action of the user's: whatever it
    // changes is reported once, at its end.
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    // Files dragged onto the box are the window's to open, not text to insert.
    void dragEnterEvent(QDragEnterEvent *event) override;

private:
    void scintillaTextChanged();

    // Counts nested user actions; changes inside one are reported at its end.
    class Action;
    int m_actionDepth = 0;
    bool m_changePending = false;
    // The program is writing the text, through this box or another one on
    // the same document: no box takes that for the user's edit.
    static int s_programWrites;
};
