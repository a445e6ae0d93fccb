// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class MDIForm1;
class Manipulator;
class TextDocuments;
struct AppState;

// What the Text/Lines tab adds to ordinary editing in the Manipulator's text
// box: its own paste (plain text, line breaks put right at the end of the
// text), Tab inserting a tab while the focus stays in the box, Ctrl+F opening
// the Search window, Escape closing the window, the line-tool buttons
// following the text, and the text mirrored into the Text Viewer.
class TextLinesEditing : public QObject
{
    Q_OBJECT

public:
    TextLinesEditing(MDIForm1 &frame, AppState &state, TextDocuments &documents);

    // Join Lines, Process and Create Line work on the text, so they are
    // offered only while there is one. They are looked up by name: the page
    // that holds them may not be built yet.
    void enableLineTools(bool enabled);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void paste();
    bool insertTab();
    void RichTextBox1_KeyUp();
    void RichTextBox1_GotFocus();
    void RichTextBox1_SelChange();
    Manipulator &window() const;

    MDIForm1 &m_frame;
    AppState &m_state;
    TextDocuments &m_documents;
};
