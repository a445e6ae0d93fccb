// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/documents/caretstatus.h"

#include "gui/shell/textbox.h"

#include <QLabel>
#include <QStatusBar>
#include <QTimer>

CaretStatus::CaretStatus(QStatusBar *statusBar, TextBox *first, QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("CaretStatus"));
    m_label = new QLabel(statusBar);
    m_label->setObjectName(QStringLiteral("caretPosition"));
    m_lines = new QLabel(statusBar);
    m_lines->setObjectName(QStringLiteral("lineCount"));
    statusBar->addPermanentWidget(m_label);
    statusBar->addPermanentWidget(m_lines);
    // Counting a big text's lines takes a moment: once typing pauses, not on
    // every key.
    m_recount = new QTimer(this);
    m_recount->setSingleShot(true);
    m_recount->setInterval(250);
    connect(m_recount, &QTimer::timeout, this, &CaretStatus::countLines);
    follow(first);
}

void CaretStatus::watch(TextBox *box)
{
    connect(box, &QsciScintilla::cursorPositionChanged, this, [this, box] {
        if (box == m_box)
            scheduleUpdate();
    });
    // Told before each change, with its place: a change after the counted
    // stretch leaves that count good, so a key at the end of a big text
    // does not count its lines again from the start.
    connect(box, &QsciScintillaBase::SCN_MODIFIED, this,
            [this, box](int position, int type, const char *, int length, int, int, int, int, int, int) {
                if (box != m_box
                    || !(type & (QsciScintillaBase::SC_MOD_BEFOREINSERT | QsciScintillaBase::SC_MOD_BEFOREDELETE)))
                    return;
                if (position < m_cachedOffset)
                    m_cacheValid = false;
                textChanging(position, type, length);
                m_recount->start();
            });
}

void CaretStatus::follow(TextBox *box)
{
    if (!box)
        return;
    if (box != m_box) {
        if (!m_watched.contains(box)) {
            m_watched << box;
            watch(box);
        }
        m_box = box;
        m_cacheValid = false;
        m_breaks = -1;
    }
    scheduleUpdate();
    m_recount->start(0);
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
    settleInsertion();
    // When the box sees exactly as many lines as there are CR LF pairs, every
    // line end it knows is a CR LF, so its own line index gives the caret's
    // line, and only that line is counted for the column: a far move back
    // counts nothing from the start of the text.
    if (m_breaks >= 0 && m_box->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT) == m_breaks + 1) {
        const long line =
            m_box->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(caret));
        const long start =
            m_box->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
        const auto data = reinterpret_cast<const char *>(m_box->SendScintilla(
            QsciScintillaBase::SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), caret - start));
        if (data)
            return {1 + line, tw::columnAt(QByteArrayView(data, caret - start), caret - start)};
    }
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

void CaretStatus::textReplaced()
{
    m_cacheValid = false;
    m_breaks = -1;
    m_insertAt = -1;
    scheduleUpdate();
    m_recount->start();
}

char CaretStatus::byteAt(long position) const
{
    return position < 0 ? '\0'
                        : char(m_box->SendScintilla(QsciScintillaBase::SCI_GETCHARAT, static_cast<unsigned long>(position)));
}

qsizetype CaretStatus::breaksIn(long from, long to) const
{
    // The byte before the range goes along, for a pair whose CR lies there.
    to = qMin(to, long(m_box->SendScintilla(QsciScintillaBase::SCI_GETLENGTH)));
    const long start = qMax(0L, from - 1);
    if (to <= from)
        return 0;
    const auto data = reinterpret_cast<const char *>(m_box->SendScintilla(
        QsciScintillaBase::SCI_GETRANGEPOINTER, static_cast<unsigned long>(start), to - start));
    return data ? tw::countLineBreaks(QByteArrayView(data, to - start), from - start, to - start) : 0;
}

void CaretStatus::settleInsertion()
{
    if (m_insertAt < 0)
        return;
    // The pairs whose LF is among the inserted bytes or just after them.
    m_breaks += breaksIn(m_insertAt, m_insertAt + m_insertLength + 1);
    m_insertAt = -1;
}

void CaretStatus::textChanging(long position, int type, long length)
{
    settleInsertion();
    if (m_breaks < 0)
        return;
    if (type & QsciScintillaBase::SC_MOD_BEFOREDELETE) {
        // The pairs that lose their CR or their LF, and the pair the two
        // sides make when they meet.
        m_breaks -= breaksIn(position, position + length + 1);
        if (byteAt(position - 1) == '\r' && byteAt(position + length) == '\n')
            ++m_breaks;
    } else {
        // A pair the insertion comes between; what it brings is counted
        // once it is in.
        if (byteAt(position - 1) == '\r' && byteAt(position) == '\n')
            --m_breaks;
        m_insertAt = position;
        m_insertLength = length;
    }
}

void CaretStatus::countLines()
{
    if (!m_box)
        return;
    settleInsertion();
    if (m_breaks < 0) {
        const long length = m_box->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
        const auto data =
            static_cast<const char *>(m_box->SendScintillaPtrResult(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
        m_breaks = data ? tw::countLineBreaks(QByteArrayView(data, length), 0, length) : 0;
    }
    const qsizetype lines = 1 + m_breaks;
    m_lines->setText(lines == 1 ? tr("1 line") : tr("%L1 lines").arg(lines));
}

void CaretStatus::update()
{
    m_pending = false;
    const tw::LineColumn position = current();
    m_label->setText(tr("Line %1, Column %2").arg(position.line).arg(position.column));
}
