// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/documents/caretstatus.h"

#include "gui/shell/mdiform1.h"
#include "gui/shell/textbox.h"
#include "gui/documents/form5.h"
#include "gui/documents/textdocuments.h"
#include "gui/manipulator/manipulator.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTimer>

CaretStatus::CaretStatus(MDIForm1 &frame, TextDocuments &documents)
    : QObject(&documents), m_frame(frame), m_documents(documents)
{
    setObjectName(QStringLiteral("CaretStatus"));
    m_label = new QLabel(&frame);
    m_label->setObjectName(QStringLiteral("caretPosition"));
    frame.statusBar()->addPermanentWidget(m_label);
    watch(frame.manipulator()->RichTextBox1);
    watch(documents.textViewer()->RichTextBox1);
    connect(frame.mdiArea, &QMdiArea::subWindowActivated, this, &CaretStatus::follow);
    m_box = frame.manipulator()->RichTextBox1;
    scheduleUpdate();
}

void CaretStatus::watch(TextBox *box)
{
    connect(box, &QsciScintilla::cursorPositionChanged, this, [this, box] {
        if (box == m_box)
            scheduleUpdate();
    });
    connect(box, &QsciScintilla::textChanged, this, [this, box] {
        if (box == m_box)
            m_cacheValid = false;
    });
}

void CaretStatus::follow(QMdiSubWindow *window)
{
    TextBox *box = nullptr;
    if (window && window->widget() == m_frame.manipulator())
        box = m_frame.manipulator()->RichTextBox1;
    else if (window && window == m_documents.textViewerWindow())
        box = m_documents.textViewer()->RichTextBox1;
    if (!box)
        return; // the Search window and the others leave the last text box shown
    if (box != m_box) {
        m_box = box;
        m_cacheValid = false;
    }
    scheduleUpdate();
}

void CaretStatus::scheduleUpdate()
{
    // Caret moves come in bursts (a held arrow key, a paste); one count when
    // the window is idle serves them all.
    if (m_pending)
        return;
    m_pending = true;
    QTimer::singleShot(0, this, &CaretStatus::update);
}

tw::LineColumn CaretStatus::current()
{
    if (!m_box)
        return {};
    const long caret = m_box->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    // The bytes before the caret, in place: the range ends at the caret, where
    // an edit leaves Scintilla's gap, so nothing is moved or copied.
    const auto data = reinterpret_cast<const char *>(
        m_box->SendScintilla(QsciScintillaBase::SCI_GETRANGEPOINTER, 0UL, caret));
    if (!data)
        return {};
    const QByteArrayView bytes(data, caret);
    qsizetype breaks = 0;
    if (m_cacheValid && caret >= m_cachedOffset)
        breaks = m_cachedBreaks + tw::countLineBreaks(bytes, m_cachedOffset, caret);
    else
        breaks = tw::countLineBreaks(bytes, 0, caret);
    m_cacheValid = true;
    m_cachedOffset = caret;
    m_cachedBreaks = breaks;
    return {1 + breaks, tw::columnAt(bytes, caret)};
}

void CaretStatus::update()
{
    m_pending = false;
    const tw::LineColumn position = current();
    m_label->setText(tr("Line %1, Column %2").arg(position.line).arg(position.column));
}
