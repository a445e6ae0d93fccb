// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/text/caretposition.h"

#include <QObject>
#include <QPointer>

class MDIForm1;
class QLabel;
class QMdiSubWindow;
class TextBox;
class TextDocuments;

// The caret's line and column in the active text box, on the frame's status
// bar. Users pick column numbers for the operations from what they see, so
// they are counted as the operations count them (see caretposition.h).
class CaretStatus : public QObject
{
    Q_OBJECT

public:
    CaretStatus(MDIForm1 &frame, TextDocuments &documents);

    QLabel *label() const { return m_label; }
    // The position shown, worked out now rather than when the window is idle.
    tw::LineColumn current();

private:
    void follow(QMdiSubWindow *window);
    void watch(TextBox *box);
    void scheduleUpdate();
    void update();

    MDIForm1 &m_frame;
    TextDocuments &m_documents;
    QLabel *m_label;
    QPointer<TextBox> m_box;
    bool m_pending = false;
    // The line count up to a byte offset, kept while the text does not change,
    // so moving the caret forward in a long text only counts what it passed.
    bool m_cacheValid = false;
    qsizetype m_cachedOffset = 0;
    qsizetype m_cachedBreaks = 0;
};
