// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/text/caretposition.h"

#include <QObject>
#include <QList>
#include <QPointer>

class QLabel;
class QStatusBar;
class QTimer;
class TextBox;

// The caret's line and column in the active text box, and how many lines the
// text has, on the frame's status bar. Users pick column numbers for the
// operations from what they see, so they are counted as the operations count
// them (see caretposition.h).
class CaretStatus : public QObject
{
    Q_OBJECT

public:
    // The label goes onto the status bar; it follows the box first given.
    CaretStatus(QStatusBar *statusBar, TextBox *first, QObject *parent);

    QLabel *label() const { return m_label; }
    QLabel *lineCountLabel() const { return m_lines; }
    // The position shown, worked out now rather than when the window is idle.
    tw::LineColumn current();
    // Shows the caret of another box (the window the user activated). The
    // box is watched from then on.
    void follow(TextBox *box);
    // The program replaced the whole text (a big one goes in without the
    // box's usual notices).
    void textReplaced();

private:
    void watch(TextBox *box);
    void scheduleUpdate();
    void update();
    void countLines();
    // Keeping the line count up to date from each change, so it is not
    // counted again in the whole text whenever typing pauses.
    void textChanging(long position, int type, long length);
    void settleInsertion();
    qsizetype breaksIn(long from, long to) const;
    char byteAt(long position) const;

    QLabel *m_label;
    QLabel *m_lines;
    QTimer *m_recount;
    QPointer<TextBox> m_box;
    QList<TextBox *> m_watched;
    bool m_pending = false;
    // The line count up to a byte offset, kept while the text does not change,
    // so moving the caret forward in a long text only counts what it passed.
    bool m_cacheValid = false;
    qsizetype m_cachedOffset = 0;
    qsizetype m_cachedBreaks = 0;
    // CR LF pairs in the whole text; -1 while it is to be counted afresh.
    qsizetype m_breaks = -1;
    // An insertion announced but not yet counted (its text is in only after
    // the notice).
    long m_insertAt = -1;
    long m_insertLength = 0;
};
