// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class LineTools;
class TextBox;
namespace tw {
class TextDocument;
}

// What the Text/Lines tab adds to ordinary editing in the Manipulator's text
// box: its own paste (plain text, line breaks put right at the end of the
// text), Tab inserting a tab while the focus stays in the box, Ctrl+F asking
// for the Search window, Escape asking to close the window, Undo withdrawn
// when the user comes back to a text with nothing to undo, and the line-tool
// buttons offered only while there is a text.
class TextLinesEditing : public QObject
{
    Q_OBJECT

public:
    TextLinesEditing(TextBox *box, tw::TextDocument &document, LineTools *lineTools, QObject *parent);

Q_SIGNALS:
    void findRequested();
    void closeRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool insertTab();

    TextBox *m_box;
    tw::TextDocument &m_document;
};
