// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class MDIForm1;
class TextBox;
class TextDocuments;
struct AppState;

// The Text Viewer: a plain full-window view of a copy of the working text
// that can be edited. What is typed here goes into the Manipulator at every
// key release while the Manipulator is shown, and back into it when the
// viewer closes; Save File always writes the Manipulator's text.
class Form5 : public QWidget
{
    Q_OBJECT

public:
    Form5(MDIForm1 &frame, AppState &state, TextDocuments &documents, QWidget *parent = nullptr);

    TextBox *RichTextBox1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void RichTextBox1_Change();
    void RichTextBox1_KeyUp(int key);

    MDIForm1 &m_frame;
    AppState &m_state;
    TextDocuments &m_documents;
};
