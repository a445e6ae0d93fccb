// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/manipulator/processingframe.h"

#include "core/text/textdocument.h"
#include "core/text/textfile.h"
#include "gui/manipulator/afterprocessboxes.h"
#include "gui/shell/busystate.h"
#include "gui/shell/errorreporter.h"
#include "gui/shell/textbox.h"
#include "gui/shell/toolkit.h"

#include <QComboBox>
#include <QLayout>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

#include <limits>

namespace {
// How long a run works before it lets the window repaint and Stop answer.
constexpr int sliceMilliseconds = 30;

QString fieldText(const QWidget *field)
{
    if (auto combo = qobject_cast<const QComboBox *>(field))
        return combo->currentText();
    if (auto line = qobject_cast<const QLineEdit *>(field))
        return line->text();
    if (auto plain = qobject_cast<const QPlainTextEdit *>(field))
        return plain->toPlainText();
    return {};
}

// Puts the focus into the first field of a tab page that takes it.
void focusFirstField(QWidget *page)
{
    // The tab's own fields sit at the top of its page, above the boxes every
    // operation tab shares.
    if (QLayoutItem *top = page->layout() ? page->layout()->itemAt(0) : nullptr; top && top->widget())
        page = top->widget();
    for (QWidget *w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain()) {
        if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled()
            && w->isVisibleTo(page)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}
} // namespace

ProcessingFrame::ProcessingFrame(tw::TextDocument &document, BusyState &busy, QObject *parent)
    : QObject(parent), m_document(document), m_busy(busy)
{
}

void ProcessingFrame::setParts(const Parts &parts)
{
    m_parts = parts;
}

const QString &ProcessingFrame::text() const
{
    return m_document.text();
}

QWidget *ProcessingFrame::page(Tab tab) const
{
    return m_parts.pages.at(tab);
}

AfterProcessBoxes *ProcessingFrame::afterProcessBoxes(Tab tab) const
{
    return m_parts.afterBoxes.at(tab);
}

int ProcessingFrame::currentTab() const
{
    return m_parts.tabs->currentIndex();
}

void ProcessingFrame::showTab(Tab tab)
{
    m_parts.tabs->setCurrentIndex(tab);
}

void ProcessingFrame::showTabAndFirstField(Tab tab)
{
    showTab(tab);
    focusFirstField(page(tab));
}

void ProcessingFrame::focusText()
{
    m_parts.box->setFocus();
}

bool ProcessingFrame::isBusy() const
{
    return m_busy.isBusy();
}

void ProcessingFrame::nothingToProcess()
{
    Toolkit::instance().message(tr("There is nothing to process.  Please open a file by selecting File "
                                   "menu/Open, or enter text into the text box on the Text/Lines tab."));
    showTab(TextLines);
    focusText();
}

void ProcessingFrame::announce(const QString &news)
{
    m_busy.announce(news);
}

bool ProcessingFrame::runProcessingFrame(const LineRun &run)
{
    QElapsedTimer started;
    started.start();
    // One run at a time: a run lets window events through, and a second run
    // started from inside it would hand the text box a result built from a
    // text that the first run is about to replace.
    if (isBusy())
        return false;
    if (run.requiredField && fieldText(run.requiredField).isEmpty()) {
        Toolkit::instance().message(run.missingFieldMessage);
        run.requiredField->setFocus();
        return false;
    }
    if (m_document.isEmpty()) {
        nothingToProcess();
        return false;
    }
    // Held by value: a command started from the events the run lets through
    // (File > Open) may replace the working text, which must not free the
    // characters the run is still reading.
    const QString text = m_document.text();
    beginRun(0, started);
    FrameProgress progress(*this);
    QString result;
    if (!computeRun([&] { result = tw::runLineFrame(text, run.operation, run.gate, &progress); }))
        return true;
    finishRun(result, run.after);
    return true;
}

void ProcessingFrame::reportOutOfMemory()
{
    errors::report(tw::FileError{tw::FileError::OutOfMemory,
                                 tr("There is not enough memory for the result.  Nothing was changed.")});
}

bool ProcessingFrame::beginRun(qsizetype progressMaximum, const QElapsedTimer &commandStarted)
{
    if (isBusy())
        return false;
    m_document.beginRun();
    m_busy.setBusy(true);
    showRunState(true, progressMaximum);
    if (commandStarted.isValid())
        m_sliceClock = commandStarted;
    else
        m_sliceClock.start();
    return true;
}

void ProcessingFrame::finishRun(const QString &result, AfterProcessBoxes *after)
{
    m_parts.stop->setEnabled(false);
    // Still busy while the box takes the result in, so events may run
    // between the pieces of a big text.
    m_document.finishRun(result);
    m_parts.progress->setVisible(false);
    if (after && after->showTextTab()) {
        showTab(TextLines);
        focusText();
        if (after->selectWholeText())
            m_parts.box->select(0, m_parts.box->characterCount());
        else
            m_parts.box->setCaret(0);
    }
    m_busy.setBusy(false);
    restoreIdleState();
}

void ProcessingFrame::abandonRun()
{
    m_document.abandonRun();
    m_busy.setBusy(false);
    restoreIdleState();
}

bool ProcessingFrame::beginReadingRun(qsizetype progressMaximum)
{
    if (isBusy())
        return false;
    m_busy.setBusy(true);
    showRunState(true, progressMaximum);
    m_sliceClock.start();
    return true;
}

void ProcessingFrame::endReadingRun()
{
    m_busy.setBusy(false);
    restoreIdleState();
}

void ProcessingFrame::stop()
{
    m_mayGoOn = false;
    m_parts.stop->setEnabled(false);
}

void ProcessingFrame::setCounterVisible(bool visible)
{
    for (QWidget *part : std::as_const(m_parts.counter))
        part->setVisible(visible);
}

void ProcessingFrame::showProgress(qsizetype maximum)
{
    if (maximum < 2)
        return;
    // The bar counts lines (or characters); a run of more than it can count
    // moves it in proportion.
    m_parts.progress->setRange(1, int(qMin<qsizetype>(maximum, std::numeric_limits<int>::max())));
    m_parts.progress->setValue(1);
    m_parts.progress->setVisible(true);
}

void ProcessingFrame::showRunState(bool running, qsizetype progressMaximum)
{
    setCounterVisible(!running);
    if (running)
        showProgress(progressMaximum);
    m_parts.stop->setEnabled(running);
    // The user cannot type into a text that the run is about to replace.
    m_parts.box->setReadOnly(running);
    // Hourglass over the program while the run goes on, but the arrow over
    // Stop so it plainly can be pressed.
    QWidget *window = m_parts.window;
    if (running) {
        window->window()->setCursor(Qt::WaitCursor);
        window->setCursor(Qt::WaitCursor);
        m_parts.stop->setCursor(Qt::ArrowCursor);
    } else {
        window->window()->unsetCursor();
        window->unsetCursor();
        m_parts.stop->unsetCursor();
    }
}

void ProcessingFrame::restoreIdleState()
{
    showRunState(false, 0);
    m_parts.progress->setVisible(false);
}

bool ProcessingFrame::yieldIfDue(qsizetype progressValue)
{
    if (m_sliceClock.elapsed() < sliceMilliseconds)
        return false;
    if (m_parts.progress->isVisible()) {
        const qint64 maximum = m_parts.progress->maximum();
        m_parts.progress->setValue(int(qMin<qint64>(progressValue, maximum)));
    }
    ++m_yieldCount;
    QCoreApplication::processEvents();
    m_sliceClock.start();
    return true;
}
