// SPDX-License-Identifier: GPL-3.0-or-later
// Times the processing frame over a 1,000,000-line text with an operation that
// changes nothing, through the real Manipulator window: splitting, the line
// loop with its time-sliced event pumping, rebuilding, and handing the result
// to the text box.
//
//   bench_frame [lines]      (default 1000000; runs offscreen unless
//                             QT_QPA_PLATFORM says otherwise)

#include "gui/shell/mdiform1.h"
#include "gui/shell/qttoolkit.h"
#include "gui/shell/textbox.h"
#include "gui/manipulator/manipulator.h"

#include "benchsupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qsizetype lines = argc > 1 ? QString::fromLocal8Bit(argv[1]).toLongLong() : 1000000;

    QTemporaryDir folder;
    QtToolkit toolkit;
    Toolkit::install(&toolkit);
    const std::unique_ptr<MDIForm1> started = bench::startFrame(folder, "bench_frame");
    if (!started)
        return 1;
    MDIForm1 &frame = *started;
    Manipulator &window = *frame.manipulator();

    const QString text = bench::fixedWidthText(lines);
    window.RichTextBox1->setPlainText(text);

    Manipulator::LineRun run;
    run.operation = [](QString &) {};
    run.after = window.afterProcessBoxes(Manipulator::MoveText);

    QElapsedTimer clock;
    clock.start();
    window.runProcessingFrame(run);
    const double seconds = clock.nsecsElapsed() / 1e9;

    const bool same = window.working().text() == text && window.RichTextBox1->plainText() == text;
    std::printf("lines: %lld  characters: %lld\n", static_cast<long long>(lines),
                static_cast<long long>(text.size()));
    std::printf("processing frame with a no-op operation, result in the box: %.3f s%s\n", seconds,
                same ? "" : "  (TEXT CHANGED: the frame is broken)");
    return same ? 0 : 1;
}
