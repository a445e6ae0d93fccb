// SPDX-License-Identifier: GPL-3.0-or-later
// Times each operation tab's Process and the line tools over a 1,000,000-line
// text through the real Manipulator window, from the click to the result in
// the text box, and the longest stretch in which the window did not answer
// (no event got through: Stop, repaint and the progress bar wait that long).
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
#include "gui/manipulator/linetools.h"
#include "gui/manipulator/manipulator.h"
#include "gui/manipulator/movetab.h"
#include "gui/manipulator/numericbox.h"
#include "gui/manipulator/replacetab.h"

#include "benchsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
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
    Manipulator &window = *frame.manipulator();

    const QString text = bench::fixedWidthText(lines);

    // Each case fills its tab's fields and clicks its Process button.
    struct Case
    {
        const char *name;
        std::function<void()> run;
        // The same job by the engine alone, with the fields the tab holds.
        std::function<QString()> engine;
    };
    const QList<Case> cases{
        {"Move Text: General Move, from 10, 12 characters, to end of line",
         [&] {
             window.moveTab->Combo1->setEditText(QStringLiteral("General Move"));
             window.moveTab->MaskEdBox1->setText(QStringLiteral("10"));
             window.moveTab->MaskEdBox3->setText(QStringLiteral("12"));
             window.moveTab->Check1->setChecked(true);
             window.moveTab->Command2_Click();
         },
         [&] {
             const tw::MoveParams p = window.moveTab->params();
             return tw::runLineFrame(text, tw::moveOperation(p), tw::moveGate(p));
         }},
        {"Add Text: ' | ' at column 9",
         [&] {
             window.addTab->Text2->setText(QStringLiteral(" | "));
             window.addTab->MaskEdBox9->setText(QStringLiteral("9"));
             window.addTab->Command3_Click();
         },
         [&] {
             const tw::AddParams p = window.addTab->params();
             return tw::runLineFrame(text, tw::addOperation(p), tw::addGate(p));
         }},
        {"Replace Text: every 'EUR' by 'euro'",
         [&] {
             window.replaceTab->Combo7->setEditText(QStringLiteral("EUR"));
             window.replaceTab->Text5->setText(QStringLiteral("euro"));
             window.replaceTab->Command4_Click();
         },
         [&] {
             const tw::ReplaceParams p = window.replaceTab->params();
             return tw::runLineFrame(text, tw::replaceOperation(p), tw::replaceGate(p));
         }},
        {"Delete Text: General Delete, from 1, 9 characters",
         [&] {
             window.deleteTab->Combo6->setEditText(QStringLiteral("General Delete"));
             window.deleteTab->MaskEdBox10->setText(QStringLiteral("9"));
             window.deleteTab->Command5_Click();
         },
         [&] {
             const tw::DeleteParams p = window.deleteTab->params();
             return tw::runLineFrame(text, tw::deleteOperation(p), tw::deleteGate(p));
         }},
        {"Format Text: at '-', New column, 2 spaces",
         [&] {
             window.formatTab->Combo9->setEditText(QStringLiteral("-"));
             window.formatTab->Combo12->setEditText(QStringLiteral("New column"));
             window.formatTab->MaskEdBox16->setText(QStringLiteral("2"));
             window.formatTab->Command6_Click();
         },
         [&] { return tw::formatText(text, window.formatTab->params()).text; }},
        // Join Lines and Create Line on a text without blank lines leave one
        // line of the whole text, which the box takes seconds to lay out
        // whatever the engine does; the line tools are timed by their Process.
        {"Line tools: Process, a new line every 40 characters",
         [&] {
             window.lineTools->MaskEdBox17->setText(QStringLiteral("40"));
             window.lineTools->Command14_Click();
         },
         [&] { return tw::breakEvery(text, 40).text; }},
    };

    std::printf("lines: %lld  characters: %lld\n", static_cast<long long>(lines),
                static_cast<long long>(text.size()));
    Responsiveness responsiveness;
    int failures = 0;
    for (const Case &c : cases) {
        window.RichTextBox1->setPlainText(text);
        QCoreApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        responsiveness.start();
        c.run();
        const double seconds = clock.nsecsElapsed() / 1e9;
        const qint64 longestGap = responsiveness.stop();
        const bool changed = window.working().text() != text;
        clock.restart();
        const bool same = c.engine() == window.working().text();
        const double engineSeconds = clock.nsecsElapsed() / 1e9;
        failures += changed && same ? 0 : 1;
        std::printf("%-62s %6.3f s (engine alone %5.3f s)  longest unanswered: %4lld ms%s%s\n", c.name, seconds,
                    engineSeconds, static_cast<long long>(longestGap), changed ? "" : "  (TEXT UNCHANGED)",
                    same ? "" : "  (DIFFERS FROM THE ENGINE)");
    }
    return failures == 0 ? 0 : 1;
}
