// SPDX-License-Identifier: GPL-3.0-or-later
// Opens a large text file through File > Open File and saves it unchanged
// through File > Save File As (Save File is offered only for a changed text),
// in the real frame window, and checks that the copy is the file byte for
// byte. Also times one typed key in the loaded text,
// which is what the change bookkeeping costs on a text of that size, and Create
// Line and Process on it, each also with Stop pressed 100 ms in.
//
//   bench_documents [megabytes]   (default 100; runs offscreen unless
//                                  QT_QPA_PLATFORM says otherwise)

#include "gui/shell/mdiform1.h"
#include "gui/shell/textbox.h"
#include "gui/shell/toolkit.h"

#include "benchsupport.h"

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string_view>
#include <vector>

#include "core/text/textdocument.h"

namespace {
// Answers the file dialogs with the path under test; notices go to stderr.
class BenchToolkit : public Toolkit
{
public:
    QString path;
    int messageBox(const MessagePrompt &prompt) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(prompt.text));
        return Answer::Ok;
    }
    QString inputBox(const QString &, const QString &, const QString &) override { return {}; }
    QString fileDialog(const FileDialogRequest &) override { return path; }
    bool printerDialog(QPrinter &, const QString &) override { return false; }
    bool fontDialog(QFont &, const QString &) override { return false; }
    void endProgram(int exitCode) override { std::exit(exitCode); }
};

// A fixed-width text like the files users load, with some accented letters
// so the UTF-8 decoder leaves its ASCII path now and then.
bool writeSample(const QString &path, qint64 bytes, const char *lineEnd, bool windows1252, bool ascii)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray accent = ascii ? QByteArray("e") : windows1252 ? QByteArray("\xE9") : QByteArray("\xC3\xA9");
    QByteArray block;
    qint64 written = 0;
    for (qint64 i = 0; written < bytes; ++i) {
        block += QByteArray::number(i).rightJustified(8, '0') + " ACME-WIDGET-" + QByteArray::number(i % 9973)
                 + " 2026-12-06 caf" + accent + "\t" + QByteArray::number((i * 37) % 100000).rightJustified(9, ' ')
                 + " EUR  some description here" + lineEnd;
        if (block.size() > (1 << 20)) {
            written += file.write(block);
            block.clear();
        }
    }
    file.write(block);
    return true;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Milliseconds from handing the box a key until the window is idle again.
double keyMs(TextBox *box, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString &text = {})
{
    QElapsedTimer clock;
    clock.start();
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(box, &press);
    QApplication::sendEvent(box, &release);
    QCoreApplication::processEvents();
    return double(clock.nsecsElapsed()) / 1e6;
}

// Clicks a button and measures how long it took and the longest stretch in
// which the window did not get to its events.
struct ClickTiming
{
    qint64 totalMs = 0;
    qint64 longestWaitMs = 0;
};

ClickTiming timeClick(QPushButton *button)
{
    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = 0;
    qint64 longest = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - lastTick);
        lastTick = now;
    });
    ticker.start();
    button->click();
    QCoreApplication::processEvents();
    const qint64 total = clock.elapsed();
    return {total, std::max(longest, total - lastTick)};
}

// Clicks a button and presses Stop 100 ms later: how long the press waited
// for the window, and how long from the press until the window was idle
// again; -1 when the click was over before the press.
struct StopTiming
{
    qint64 waitedMs = -1;
    qint64 idleMs = -1;
};

StopTiming timeStop(QPushButton *button, QPushButton *stop)
{
    QElapsedTimer runClock;
    QElapsedTimer stopClock;
    StopTiming timing;
    QTimer press;
    press.setSingleShot(true);
    press.setTimerType(Qt::PreciseTimer);
    press.setInterval(100);
    QObject::connect(&press, &QTimer::timeout, [&] {
        timing.waitedMs = runClock.elapsed() - 100;
        stopClock.start();
        stop->click();
    });
    runClock.start();
    press.start();
    button->click();
    QCoreApplication::processEvents();
    if (stopClock.isValid())
        timing.idleMs = stopClock.elapsed();
    return timing;
}

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (file.open(QIODevice::ReadOnly))
        hash.addData(&file);
    return hash.result().toHex();
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? QString::fromLocal8Bit(argv[1]).toLongLong() : 100;

    QTemporaryDir folder;
    BenchToolkit toolkit;
    Toolkit::install(&toolkit);
    const std::unique_ptr<MDIForm1> started = bench::startFrame(folder, "bench_documents");
    if (!started)
        return 1;
    MDIForm1 &frame = *started;
    QAction *openFile = frame.findChild<QAction *>(QStringLiteral("menuFileOpenFile"));
    QAction *saveFileAs = frame.findChild<QAction *>(QStringLiteral("menuFileSaveFileAs"));
    QWidget *manipulator = frame.findChild<QWidget *>(QStringLiteral("Manipulator"));
    TextBox *box = manipulator ? manipulator->findChild<TextBox *>(QStringLiteral("RichTextBox1")) : nullptr;
    if (!openFile || !saveFileAs || !box) {
        std::fprintf(stderr, "bench_documents: the File menu or the Manipulator's text box is missing\n");
        return 1;
    }

    struct Sample
    {
        const char *name;
        const char *lineEnd;
        bool windows1252;
        bool ascii; // no accented letters at all
    };
    bool allSame = true;
    for (const Sample &sample : {Sample{"UTF-8, LF", "\n", false, false}, Sample{"Windows-1252, CR LF", "\r\n", true, false},
                                 Sample{"ASCII alone, LF", "\n", false, true}}) {
        const QString path = folder.filePath(QStringLiteral("sample.txt"));
        if (!writeSample(path, megabytes << 20, sample.lineEnd, sample.windows1252, sample.ascii))
            return 1;
        const QByteArray before = fileHash(path);
        toolkit.path = path;
        // A clean start, so the open asks nothing.
        frame.document().close();

        // Wall time, and the processor time the program itself used: the
        // two part when other work shares the machine.
        auto cpuMs = [] { return qint64(std::clock() / (CLOCKS_PER_SEC / 1000)); };
        QElapsedTimer clock;
        clock.start();
        qint64 cpu = cpuMs();
        openFile->trigger();
        QCoreApplication::processEvents();
        const qint64 openMs = clock.elapsed();
        const qint64 openCpu = cpuMs() - cpu;

        const QString copy = folder.filePath(QStringLiteral("copy.txt"));
        toolkit.path = copy;
        clock.restart();
        cpu = cpuMs();
        saveFileAs->trigger();
        const qint64 saveMs = clock.elapsed();
        const qint64 saveCpu = cpuMs() - cpu;
        const bool same = fileHash(copy) == before;
        allSame = allSame && same;

        std::printf("%-20s %4lld MB  open %5lld ms (cpu %5lld)  save %5lld ms (cpu %5lld)  %s\n", sample.name,
                    static_cast<long long>(QFileInfo(path).size() >> 20), static_cast<long long>(openMs),
                    static_cast<long long>(openCpu), static_cast<long long>(saveMs), static_cast<long long>(saveCpu),
                    same ? "byte for byte" : "DIFFERENT");
        std::fflush(stdout);

        // The yardstick: reading the whole text back from the box, which is
        // what every typed key cost before.
        clock.restart();
        const qsizetype readBack = box->plainText().size();
        const qint64 readBackMs = clock.elapsed();

        box->setFocus();
        const qsizetype length = box->characterCount();
        // Keys typed one after another at one place, as a user types; the
        // first key at a new place also moves the box's gap there, and is
        // reported on its own (the slowest of the three places).
        std::vector<double> atEnd, atMiddle, atStart, pastes, cuts;
        double firstKey = 0;
        const struct
        {
            std::vector<double> *times;
            qsizetype caret;
        } places[] = {{&atEnd, -1}, {&atMiddle, length / 2}, {&atStart, 0}};
        for (const auto &place : places) {
            box->setCaret(place.caret < 0 ? box->characterCount() : place.caret);
            firstKey = std::max(firstKey, keyMs(box, Qt::Key_X, Qt::NoModifier, QStringLiteral("x")));
            for (int i = 0; i < 9; ++i)
                place.times->push_back(keyMs(box, Qt::Key_X, Qt::NoModifier, QStringLiteral("x")));
        }
        for (int i = 0; i < 9; ++i) {
            QApplication::clipboard()->setText(QStringLiteral("a pasted line\r\nand another one\r\n"));
            box->setCaret(length / 3);
            pastes.push_back(keyMs(box, Qt::Key_V, Qt::ControlModifier));
            box->select(length / 4, 200);
            cuts.push_back(keyMs(box, Qt::Key_X, Qt::ControlModifier));
        }
        const bool kept = readBack > 0 && frame.document().text() == box->plainText();
        allSame = allSame && kept;
        std::printf("%-20s read back whole %5lld ms | median of 9: key at end %6.2f ms, middle %6.2f ms, "
                    "start %6.2f ms "
                    "(first key at a place %6.2f ms), paste %6.2f ms, cut %6.2f ms  %s\n",
                    sample.name, static_cast<long long>(readBackMs), median(atEnd), median(atMiddle), median(atStart),
                    firstKey, median(pastes), median(cuts), kept ? "text kept" : "TEXT DIFFERS FROM THE BOX");
        std::fflush(stdout);

        if (sample.ascii) {
            // The box counts no characters per line while its text is ASCII
            // alone; the first other character typed starts the count.
            box->setCaret(length / 2);
            const double firstAccent = keyMs(box, Qt::Key_Eacute, Qt::NoModifier, QStringLiteral("\u00e9"));
            std::vector<double> accents;
            for (int i = 0; i < 9; ++i)
                accents.push_back(keyMs(box, Qt::Key_Eacute, Qt::NoModifier, QStringLiteral("\u00e9")));
            const bool accentKept = frame.document().text() == box->plainText();
            allSame = allSame && accentKept;
            std::printf("%-20s first accented letter typed %6.2f ms, then median of 9 %6.2f ms  %s\n", sample.name,
                        firstAccent, median(accents), accentKept ? "text kept" : "TEXT DIFFERS FROM THE BOX");
            std::fflush(stdout);
            continue;
        }
        if (sample.lineEnd == std::string_view("\n")) {
            auto *createLine = manipulator->findChild<QPushButton *>(QStringLiteral("Command15"));
            auto *process = manipulator->findChild<QPushButton *>(QStringLiteral("Command14"));
            auto *lineLength = manipulator->findChild<QLineEdit *>(QStringLiteral("MaskEdBox17"));
            auto *stop = manipulator->findChild<QPushButton *>(QStringLiteral("Command17"));
            auto *undo = manipulator->findChild<QPushButton *>(QStringLiteral("Command1"));
            if (!createLine || !process || !lineLength || !stop || !undo) {
                std::fprintf(stderr, "bench_documents: the Text/Lines tools are missing\n");
                return 1;
            }
            // Each tool once with Stop pressed 100 ms into it, Undo bringing
            // the whole text back, and once timed to its end.
            const qsizetype before = frame.document().text().size();
            const StopTiming createStopped = timeStop(createLine, stop);
            undo->click();
            QCoreApplication::processEvents();
            if (frame.document().text().size() != before) {
                std::fprintf(stderr, "bench_documents: Undo did not bring the text back\n");
                return 1;
            }
            const ClickTiming created = timeClick(createLine);
            const qsizetype oneLine = frame.document().text().size();
            lineLength->setText(QStringLiteral("80"));
            const StopTiming breakStopped = timeStop(process, stop);
            undo->click();
            QCoreApplication::processEvents();
            if (frame.document().text().size() != oneLine) {
                std::fprintf(stderr, "bench_documents: Undo did not bring the text back\n");
                return 1;
            }
            const ClickTiming broken = timeClick(process);
            const qsizetype lines = frame.document().text().count(QLatin1String("\r\n")) + 1;
            std::printf("%-20s Create Line %6lld ms (longest wait %5lld ms, %lld of %lld characters in one line; "
                        "Stop: waited %4lld ms, idle %4lld ms after)  "
                        "Process at 80 %6lld ms (longest wait %5lld ms, %lld lines; "
                        "Stop: waited %4lld ms, idle %4lld ms after)\n",
                        sample.name, static_cast<long long>(created.totalMs),
                        static_cast<long long>(created.longestWaitMs), static_cast<long long>(oneLine),
                        static_cast<long long>(before), static_cast<long long>(createStopped.waitedMs),
                        static_cast<long long>(createStopped.idleMs), static_cast<long long>(broken.totalMs),
                        static_cast<long long>(broken.longestWaitMs), static_cast<long long>(lines),
                        static_cast<long long>(breakStopped.waitedMs), static_cast<long long>(breakStopped.idleMs));
            std::fflush(stdout);
        }
        QFile::remove(path);
        QFile::remove(copy);
    }
    return allSame ? 0 : 1;
}
