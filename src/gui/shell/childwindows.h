// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// The frame's side of its child windows, for the commands that open or close
// a window other than their own (the table list opening the table window,
// the Search window bringing its text forward). A child is named by its
// widget; the frame keeps the subwindow around it.
class ChildWindows
{
public:
    virtual ~ChildWindows() = default;

    // Shows the child and makes it the active one.
    virtual void showChild(QWidget *child) = 0;
    // Shows the child above the others without moving the focus to it.
    virtual void raiseChild(QWidget *child) = 0;
    // Closes the child as its close button would (it may refuse).
    virtual void closeChild(QWidget *child) = 0;
    virtual bool isChildShown(const QWidget *child) const = 0;
};
