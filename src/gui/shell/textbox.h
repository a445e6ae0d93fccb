// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Qsci/qsciscintilla.h>

#include <functional>

// The rich text box of the Manipulator and the Text Viewer. It holds the
// working text exactly (CR LF, lone CR and LF included) and reports one
// changed() per user action or program rewrite, so the change bookkeeping
// sees a typed-over selection as one edit, not a deletion and an insertion.
// Positions in its interface count characters (code points), as the text
// operations do, never Scintilla's bytes.
class TextBox : public QsciScintilla
{
    Q_OBJECT

public:
    explicit TextBox(QWidget *parent = nullptr);

    QString plainText() const;
    // Replaces the whole text without recording anything in Scintilla's own
    // undo history (the program keeps its own undo copy); one changed() follows.
    // A big text goes in by pieces; betweenPieces, when given, runs after
    // each (to let the window answer).
    void setPlainText(const QString &text, const std::function<void()> &betweenPieces = {});
    bool isEmpty() const;
    // Length in characters.
    qsizetype characterCount() const;

    qsizetype selectionStart() const;
    qsizetype selectionLength() const;
    void select(qsizetype start, qsizetype length);
    void setCaret(qsizetype position);

    // Replaces length characters at start with text as one edit, the way a
    // user's typing would be: one changed() follows. The program's paste and
    // tab insertion go through here, so they are undone as one step.
    void replaceRange(qsizetype start, qsizetype length, const QString &text);

    qsizetype bytePosition(qsizetype characterPosition) const;
    qsizetype characterPosition(qsizetype bytePosition) const;

Q_SIGNALS:
    void changed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void scintillaTextChanged();

    // Counts nested user actions; changes inside one are reported at its end.
    class Action;
    int m_actionDepth = 0;
    bool m_changePending = false;
    bool m_settingText = false;
};
