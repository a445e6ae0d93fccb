// SPDX-License-Identifier: GPL-3.0-or-later
// Opens a large text file through File > Open File and saves it unchanged
// through File > Save File As (Save File is offered only for a changed text),
// in the real frame window, and checks that the copy is the file byte for
// byte. Also times one typed key in the loaded text,
// which is what the change bookkeeping costs on a text of that size.
//
//   bench_documents [megabytes]   (default 100; runs offscreen unless
//                                  QT_QPA_PLATFORM says otherwise)

#include "gui/shell/mdiform1.h"
#include "gui/shell/textbox.h"
#include "gui/shell/toolkit.h"

#include "benchsupport.h"

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

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
bool writeSample(const QString &path, qint64 bytes, const char *lineEnd, bool windows1252)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray accent = windows1252 ? QByteArray("\xE9") : QByteArray("\xC3\xA9");
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
    };
    bool allSame = true;
    for (const Sample &sample : {Sample{"UTF-8, LF", "\n", false}, Sample{"Windows-1252, CR LF", "\r\n", true}}) {
        const QString path = folder.filePath(QStringLiteral("sample.txt"));
        if (!writeSample(path, megabytes << 20, sample.lineEnd, sample.windows1252))
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

        // One key typed at the end of the text: the box takes it and the
        // change bookkeeping reads the text back.
        box->setFocus();
        box->setCaret(box->characterCount());
        clock.restart();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(box, &press);
        QApplication::sendEvent(box, &release);
        const qint64 keyMs = clock.elapsed();

        std::printf("%-20s %4lld MB  open %5lld ms (cpu %5lld)  save %5lld ms (cpu %5lld)  %s  one typed key %5lld ms\n",
                    sample.name, static_cast<long long>(QFileInfo(path).size() >> 20),
                    static_cast<long long>(openMs), static_cast<long long>(openCpu), static_cast<long long>(saveMs),
                    static_cast<long long>(saveCpu), same ? "byte for byte" : "DIFFERENT",
                    static_cast<long long>(keyMs));
        std::fflush(stdout);
        QFile::remove(path);
        QFile::remove(copy);
    }
    return allSame ? 0 : 1;
}
