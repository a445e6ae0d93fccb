// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/engine/lineframe.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>

#include <new>

class AfterProcessBoxes;
class BusyState;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QWidget;
class TextBox;
namespace tw {
class TextDocument;
}

// The run every Process button of the Manipulator goes through, and what the
// tab pages share of their window: the pages themselves, the tab strip, the
// text box. A run takes the undo copy, shows the run state (Stop, the
// progress bar, the hourglass, the counter hidden), lets window events through
// once a time slice has passed, and puts the result into the working text
// once. The tab pages build on this, never on the Manipulator itself.
class ProcessingFrame : public QObject
{
    Q_OBJECT

public:
    enum Tab { TextLines, MoveText, AddText, ReplaceText, DeleteText, FormatText, TabwriteText,
               Settings, SaveToDatabase, TabCount };

    // The window's parts a run shows its state in.
    struct Parts
    {
        QWidget *window = nullptr;
        QTabWidget *tabs = nullptr;
        TextBox *box = nullptr;
        QPushButton *stop = nullptr;
        QProgressBar *progress = nullptr;
        QList<QWidget *> counter;
        QList<QWidget *> pages;
        QList<AfterProcessBoxes *> afterBoxes;
    };

    ProcessingFrame(tw::TextDocument &document, BusyState &busy, QObject *parent = nullptr);
    void setParts(const Parts &parts);

    const tw::TextDocument &document() const { return m_document; }
    const QString &text() const;

    // The page of a tab, for the tab's own controls.
    QWidget *page(Tab tab) const;
    AfterProcessBoxes *afterProcessBoxes(Tab tab) const;
    int currentTab() const;
    void showTab(Tab tab);
    // Shows a tab and puts the focus into its first field (the Tab key on a
    // Process button goes on to the next tab this way).
    void showTabAndFirstField(Tab tab);
    void focusText();

    // What a Process button hands the frame: the tab's required field (its
    // message when empty), the line operation, its gate and the tab's
    // after-process boxes.
    struct LineRun
    {
        QWidget *requiredField = nullptr;
        QString missingFieldMessage;
        tw::LineOperation operation;
        tw::LineGate gate;
        AfterProcessBoxes *after = nullptr;
    };
    // Runs the processing frame; returns false when the run was refused
    // (missing field, nothing to process, a run already going).
    bool runProcessingFrame(const LineRun &run);

    // Shared steps of every run, for the tools that scan the whole text
    // themselves: beginRun() takes the undo copy and shows the run state,
    // finishRun() puts the result in place and hands back the focus.
    // progressMaximum is what the progress bar counts to; 0 when the run's
    // FrameProgress learns the number of lines from the engine, which counts
    // them anyway (counting them here as well held the window a second time).
    // commandStarted, when given, is when the command began: getting its text
    // ready takes a while on a big text, and counts towards the run's first
    // time slice.
    bool beginRun(qsizetype progressMaximum, const QElapsedTimer &commandStarted = {});
    void finishRun(const QString &result, AfterProcessBoxes *after);
    // Ends a run that has nothing to keep (its result would not fit): the
    // text and the undo copy stay as they were before beginRun().
    void abandonRun();

    // Computes a run's result between beginRun() and finishRun(). An
    // allocation that fails on the way (a result larger than the memory there
    // is) ends the run as a refusal would: the text and the undo copy stay as
    // they were, and the window says why. False then.
    template <class Compute>
    bool computeRun(Compute &&compute)
    {
        try {
            compute();
            return true;
        } catch (const std::bad_alloc &) {
            abandonRun();
            reportOutOfMemory();
            return false;
        }
    }
    // The window's message for a command that ran out of memory.
    static void reportOutOfMemory();

    // A run that only reads the working text (a save into a table): the run
    // state, Stop and the progress bar up to progressMaximum, without an undo
    // copy and without replacing the text. False while another run goes on.
    bool beginReadingRun(qsizetype progressMaximum);
    void endReadingRun();

    // A loop that honours Stop arms it when it starts and asks goOn() on every
    // step: true until Stop is pressed.
    void startStoppableLoop() { m_mayGoOn = true; }
    bool goOn() const { return m_mayGoOn; }
    void stop();
    // Lets pending window events run when a time slice of work has passed, and
    // moves the progress bar; returns true when events ran.
    bool yieldIfDue(qsizetype progressValue);
    // Shows the progress bar counting to maximum (not for fewer than two).
    void showProgress(qsizetype maximum);
    // Counts the times a run let events through. An operation that caches the
    // parameters it reads from its tab reads them again when this changes,
    // since the user may have changed a field meanwhile.
    quint64 yieldCount() const { return m_yieldCount; }
    bool isBusy() const;

    void nothingToProcess();
    // Says on the status bar what a command did.
    void announce(const QString &news);
    // Back to the idle state (no run): Stop off, the bar hidden, the counter shown.
    void restoreIdleState();
    // The counter goes while a file is read, as during a run.
    void setCounterVisible(bool visible);

private:
    void showRunState(bool running, qsizetype progressMaximum);

    tw::TextDocument &m_document;
    BusyState &m_busy;
    Parts m_parts;
    bool m_mayGoOn = false;
    QElapsedTimer m_sliceClock;
    quint64 m_yieldCount = 0;
};

// Moves the progress bar and lets window events run while the lines of a run
// go by.
class FrameProgress : public tw::FrameObserver
{
public:
    explicit FrameProgress(ProcessingFrame &frame) : m_frame(frame) {}
    void runStarting(qsizetype lineCount) override { m_frame.showProgress(lineCount); }
    bool lineStarting(qsizetype index) override { return m_frame.yieldIfDue(index + 1); }

private:
    ProcessingFrame &m_frame;
};
