// SPDX-License-Identifier: GPL-3.0-or-later
// Times each operation tab's Process and the line tools over a 1,000,000-line
// text through the real Manipulator window, from the click to the result in
// the text box, and the longest stretch in which the window did not answer
// (no event got through: Stop, repaint and the progress bar wait that long),
// and how long Stop pressed 100 ms into a second run waits to get through and
// until the window is idle again, and whether it stopped the run (a run that
// got through its text before the press only has its result to show, which
// Stop does not cut short).
//
//   bench_tabs [lines]      (default 1000000; offscreen unless
//                            QT_QPA_PLATFORM says otherwise)

#include "gui/shell/mdiform1.h"
#include "gui/shell/qttoolkit.h"
#include "gui/shell/textbox.h"
#include "core/engine/formattext.h"
#include "core/engine/lineops.h"
#include "core/engine/linetools.h"
#include "gui/manipulator/addtab.h"
#include "gui/manipulator/deletetab.h"
#include "gui/manipulator/formattab.h"
#include "gui/manipulator/manipulator.h"
#include "gui/manipulator/movetab.h"
#include "gui/manipulator/replacetab.h"

#include "benchsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {
// Notes the longest gap between two passes of the event loop while a run
// goes on; the timer fires whenever events get through.
class Responsiveness
{
public:
    Responsiveness()
    {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longest = qMax(m_longest, m_clock.restart());
        });
    }
    void start()
    {
        m_longest = 0;
        m_clock.start();
        m_timer.start();
    }
    qint64 stop()
    {
        m_timer.stop();
        return qMax(m_longest, m_clock.elapsed());
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

// A control or tab page of the Manipulator by its name; the benchmark cannot
// go on without it.
template <typename T>
T *find(QWidget *window, const char *name)
{
    T *found = window->findChild<T *>(QLatin1String(name));
    if (!found) {
        std::fprintf(stderr, "bench_tabs: no control %s in the Manipulator\n", name);
        std::exit(1);
    }
    return found;
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qsizetype lines = argc > 1 ? QString::fromLocal8Bit(argv[1]).toLongLong() : 1000000;

    QTemporaryDir folder;
    QtToolkit toolkit;
    Toolkit::install(&toolkit);
    const std::unique_ptr<MDIForm1> started = bench::startFrame(folder, "bench_tabs");
    if (!started)
        return 1;
    MDIForm1 &frame = *started;
    auto window = find<Manipulator>(&frame, "Manipulator");
    auto box = find<TextBox>(window, "RichTextBox1");
    auto tabs = find<QTabWidget>(window, "SSTab1");
    auto setText = [window](const char *name, const QString &text) {
        if (auto combo = window->findChild<QComboBox *>(QLatin1String(name)))
            combo->setEditText(text);
        else
            find<QLineEdit>(window, name)->setText(text);
    };
    auto click = [window](const char *name) { find<QPushButton>(window, name)->click(); };

    const QString text = bench::fixedWidthText(lines);

    // Each case fills its tab's fields and clicks its Process button.
    struct Case
    {
        const char *name;
        int tab;
        std::function<void()> run;
        // The same job by the engine alone, with the fields the tab holds.
        std::function<QString()> engine;
    };
    const QList<Case> cases{
        {"Move Text: General Move, from 10, 12 characters, to end of line", ProcessingFrame::MoveText,
         [&] {
             setText("Combo1", QStringLiteral("General Move"));
             setText("MaskEdBox1", QStringLiteral("10"));
             setText("MaskEdBox3", QStringLiteral("12"));
             find<QCheckBox>(window, "Check1")->setChecked(true);
             click("Command2");
         },
         [&] {
             const tw::MoveParams p = find<MoveTab>(window, "MoveTab")->params();
             return tw::runLineFrame(text, tw::moveOperation(p), tw::moveGate(p));
         }},
        {"Add Text: ' | ' at column 9", ProcessingFrame::AddText,
         [&] {
             setText("Text2", QStringLiteral(" | "));
             setText("MaskEdBox9", QStringLiteral("9"));
             click("Command3");
         },
         [&] {
             const tw::AddParams p = find<AddTab>(window, "AddTab")->params();
             return tw::runLineFrame(text, tw::addOperation(p), tw::addGate(p));
         }},
        {"Replace Text: every 'EUR' by 'euro'", ProcessingFrame::ReplaceText,
         [&] {
             setText("Combo7", QStringLiteral("EUR"));
             setText("Text5", QStringLiteral("euro"));
             click("Command4");
         },
         [&] {
             const tw::ReplaceParams p = find<ReplaceTab>(window, "ReplaceTab")->params();
             return tw::runLineFrame(text, tw::replaceOperation(p), tw::replaceGate(p));
         }},
        {"Delete Text: General Delete, from 1, 9 characters", ProcessingFrame::DeleteText,
         [&] {
             setText("Combo6", QStringLiteral("General Delete"));
             setText("MaskEdBox10", QStringLiteral("9"));
             click("Command5");
         },
         [&] {
             const tw::DeleteParams p = find<DeleteTab>(window, "DeleteTab")->params();
             return tw::runLineFrame(text, tw::deleteOperation(p), tw::deleteGate(p));
         }},
        {"Format Text: at '-', New column, 2 spaces", ProcessingFrame::FormatText,
         [&] {
             setText("Combo9", QStringLiteral("-"));
             setText("Combo12", QStringLiteral("New column"));
             setText("MaskEdBox16", QStringLiteral("2"));
             click("Command6");
         },
         [&] { return tw::formatText(text, find<FormatTab>(window, "FormatTab")->params()).text; }},
        // Join Lines and Create Line on a text without blank lines leave one
        // line of the whole text, which the box takes seconds to lay out
        // whatever the engine does; the line tools are timed by their Process.
        {"Line tools: Process, a new line every 40 characters", ProcessingFrame::TextLines,
         [&] {
             setText("MaskEdBox17", QStringLiteral("40"));
             click("Command14");
         },
         [&] { return tw::breakEvery(text, 40).text; }},
    };

    std::printf("lines: %lld  characters: %lld\n", static_cast<long long>(lines),
                static_cast<long long>(text.size()));
    Responsiveness responsiveness;
    int failures = 0;
    for (const Case &c : cases) {
        // The text goes in as a user's paste would, so the working text has it.
        box->replaceRange(0, box->characterCount(), text);
        tabs->setCurrentIndex(c.tab);
        QCoreApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        responsiveness.start();
        c.run();
        const double seconds = clock.nsecsElapsed() / 1e9;
        const qint64 longestGap = responsiveness.stop();
        const QString result = frame.document().text();
        const bool changed = result != text;
        clock.restart();
        const bool same = c.engine() == frame.document().text();
        const double engineSeconds = clock.nsecsElapsed() / 1e9;
        failures += changed && same ? 0 : 1;

        // The same run again, with Stop pressed 100 ms into it: how long the
        // press waited for the window, and how long from the press until the
        // window was idle again (the line tools end their run with what they
        // did so far; the operation tabs run on by design).
        box->replaceRange(0, box->characterCount(), text);
        QCoreApplication::processEvents();
        QElapsedTimer runClock;
        QElapsedTimer stopClock;
        qint64 pressWaited = -1;
        // Its own timer, gone with the run: a press after it would only land
        // in the next case.
        QTimer press;
        press.setSingleShot(true);
    press.setTimerType(Qt::PreciseTimer);
        press.setInterval(100);
        QObject::connect(&press, &QTimer::timeout, [&] {
            pressWaited = runClock.elapsed() - 100;
            stopClock.start();
            find<QPushButton>(window, "Command17")->click();
        });
        runClock.start();
        press.start();
        c.run();
        const qint64 stopMs = stopClock.isValid() ? stopClock.elapsed() : -1;
        // A stopped line tool keeps what it got through.
        const qsizetype kept = frame.document().text().size();
        const QString stopped = kept == result.size() && frame.document().text() == result
                                    ? QStringLiteral("ran to the end")
                                    : QStringLiteral("stopped, kept %1%").arg(100 * kept / qMax<qsizetype>(result.size(), 1));
        std::printf("%-62s %6.3f s (engine alone %5.3f s)  longest unanswered: %4lld ms  "
                    "Stop: waited %4lld ms, idle %4lld ms after, %s%s%s\n",
                    c.name, seconds, engineSeconds, static_cast<long long>(longestGap),
                    static_cast<long long>(pressWaited), static_cast<long long>(stopMs), qPrintable(stopped),
                    changed ? "" : "  (TEXT UNCHANGED)",
                    same ? "" : "  (DIFFERS FROM THE ENGINE)");
        std::fflush(stdout);
    }
    return failures == 0 ? 0 : 1;
}
