// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class TextBox;
class TextViews;

// The Text Viewer: a plain full-window view of the working text that can be
// edited. It shows the same text as the Manipulator (the two boxes are views
// of one document), so what is typed here is in the Manipulator at once, and
// Save File writes it.
class Form5 : public QWidget
{
    Q_OBJECT

public:
    explicit Form5(TextViews &views, QWidget *parent = nullptr);

    // The caption as the viewer opens: the file of the text, or "Text Viewer".
    void setCaptionFor(const QString &path);

Q_SIGNALS:
    // Escape released in the box: back to the Manipulator.
    void manipulatorRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TextBox *RichTextBox1;
};
