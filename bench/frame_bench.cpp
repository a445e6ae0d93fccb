// SPDX-License-Identifier: GPL-3.0-or-later
// Times the processing frame over a 1,000,000-line text with an operation that
// changes nothing, through the real Manipulator window: splitting, the line
// loop with its time-sliced event pumping, rebuilding, and handing the result
// to the text box. The run is a General Move with an empty "Move from
// column:", which leaves every line as it is.
//
//   bench_frame [lines]      (default 1000000; runs offscreen unless
//                             QT_QPA_PLATFORM says otherwise)

#include "gui/shell/mdiform1.h"
#include "gui/shell/qttoolkit.h"
#include "gui/shell/textbox.h"
#include "gui/manipulator/manipulator.h"

#include "benchsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
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
    auto window = frame.findChild<Manipulator *>(QStringLiteral("Manipulator"));
    auto box = window ? window->findChild<TextBox *>(QStringLiteral("RichTextBox1")) : nullptr;
    auto moveType = window ? window->findChild<QComboBox *>(QStringLiteral("Combo1")) : nullptr;
    auto fromColumn = window ? window->findChild<QLineEdit *>(QStringLiteral("MaskEdBox1")) : nullptr;
    auto process = window ? window->findChild<QPushButton *>(QStringLiteral("Command2")) : nullptr;
    auto tabs = window ? window->findChild<QTabWidget *>(QStringLiteral("SSTab1")) : nullptr;
    if (!box || !moveType || !fromColumn || !process || !tabs) {
        std::fprintf(stderr, "bench_frame: the Manipulator's controls are missing\n");
        return 1;
    }

    // The text goes in as a user's paste would, so the working text has it.
    const QString text = bench::fixedWidthText(lines);
    box->replaceRange(0, box->characterCount(), text);
    tabs->setCurrentIndex(ProcessingFrame::MoveText);
    moveType->setEditText(QStringLiteral("General Move"));
    fromColumn->clear();
    QCoreApplication::processEvents();

    QElapsedTimer clock;
    clock.start();
    process->click();
    const double seconds = clock.nsecsElapsed() / 1e9;

    // A run took place when the text before it became the undo copy (the
    // paste left an empty one).
    const bool same = frame.document().text() == text && box->plainText() == text
        && frame.document().undoCopy() == text;
    std::printf("lines: %lld  characters: %lld\n", static_cast<long long>(lines),
                static_cast<long long>(text.size()));
    std::printf("processing frame with a no-op operation, result in the box: %.3f s%s\n", seconds,
                same ? "" : "  (TEXT CHANGED OR NO RUN: the frame is broken)");
    return same ? 0 : 1;
}
