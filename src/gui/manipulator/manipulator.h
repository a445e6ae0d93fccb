// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/engine/lineframe.h"
#include "core/engine/workingtext.h"

#include <QElapsedTimer>
#include <QWidget>

class AddTab;
class AfterProcessBoxes;
class DeleteTab;
class FormatTab;
class LineTools;
class MDIForm1;
class SaveTargetTab;
class TabwriteTab;
class MoveTab;
class ReplaceTab;
class TextBox;
struct AppState;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;

// The window where text is reshaped: a strip of nine tabs over the working
// text, with the Undo and Stop buttons, the progress bar and the character
// counter below. It owns the working text and runs every Process button
// through one processing frame; each tab page supplies its operation.
class Manipulator : public QWidget
{
    Q_OBJECT

public:
    enum Tab { TextLines, MoveText, AddText, ReplaceText, DeleteText, FormatText, TabwriteText,
               Settings, SaveToDatabase, TabCount };

    Manipulator(MDIForm1 &frame, AppState &state, QWidget *parent = nullptr);
    ~Manipulator() override;

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
    bool beginRun(qsizetype lineCount);
    void finishRun(const QString &result, AfterProcessBoxes *after);
    // Ends a run that has nothing to keep (its result would not fit): the
    // text and the undo copy stay as they were before beginRun().
    void abandonRun();

    // A run that only reads the working text (a save into a table): the run
    // state, Stop and the progress bar up to progressMaximum, without an undo
    // copy and without replacing the text. False while another run goes on.
    bool beginReadingRun(qsizetype progressMaximum);
    void endReadingRun();

    // A loop that honours Stop arms it when it starts and asks goOn() on every
    // step: true until Stop is pressed.
    void startStoppableLoop() { m_mayGoOn = true; }
    bool goOn() const { return m_mayGoOn; }
    // Lets pending window events run when a time slice of work has passed, and
    // moves the progress bar; returns true when events ran.
    bool yieldIfDue(qsizetype progressValue);
    // Counts the times a run let events through. An operation that caches the
    // parameters it reads from its tab reads them again when this changes,
    // since the user may have changed a field meanwhile.
    quint64 yieldCount() const { return m_yieldCount; }
    bool isBusy() const { return m_busy; }

    WorkingText &working() { return m_text; }
    const WorkingText &working() const { return m_text; }
    // The program replaces the working text (a run's result, a loaded file).
    // answerMeanwhile lets window events run while a big text goes into the
    // box; only for callers that hold the window busy.
    void putText(const QString &text, bool answerMeanwhile = false);

    void nothingToProcess();
    void enableUndo();
    // Reports a file or engine error with its fixed message; some engine
    // errors are passed over and only set the silent database-error flag.
    void handleError(int number, const QString &description);

    // The page of a tab, for the tabs that fill it.
    QWidget *page(Tab tab) const;
    AfterProcessBoxes *afterProcessBoxes(Tab tab) const;

    void Form_Load();

    QTabWidget *SSTab1;
    TextBox *RichTextBox1;
    QPushButton *Command1;  // Undo
    QPushButton *Command17; // Stop
    QProgressBar *ProgressBar1;
    QLabel *Label28;
    QPlainTextEdit *Text7;
    QLabel *Label27;
    QLineEdit *Text8;
    QLabel *Label29;

    // The column layout tab and the save target tab.
    TabwriteTab *tabwriteTab = nullptr;
    SaveTargetTab *saveTargetTab = nullptr;

    // The pages of the operation tabs and the line tools, each owning its controls.
    MoveTab *moveTab = nullptr;
    AddTab *addTab = nullptr;
    ReplaceTab *replaceTab = nullptr;
    DeleteTab *deleteTab = nullptr;
    FormatTab *formatTab = nullptr;
    LineTools *lineTools = nullptr;

public Q_SLOTS:
    void Command1_Click();
    void Command17_Click();


private:
    void RichTextBox1_Change();
    void Text7_Change();
    void showRunState(bool running, qsizetype lineCount);
    void restoreIdleState();

    MDIForm1 &m_frame;
    AppState &m_state;
    WorkingText m_text;
    QList<QWidget *> m_pages;
    QList<AfterProcessBoxes *> m_afterBoxes;

    bool m_busy = false;
    bool m_mayGoOn = false;
    bool m_undoInProgress = false;
    QElapsedTimer m_sliceClock;
    quint64 m_yieldCount = 0;
    QString m_undoBeforeRun;
};
