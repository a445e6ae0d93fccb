// SPDX-License-Identifier: GPL-3.0-or-later
#include "clirun.h"

#include "core/engine/formattext.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

// tabwright-cli reading and writing when things go wrong: a file another
// program truncates while it is streamed in, inputs that never end, results and
// inputs larger than the memory the process may take, output into a device,
// a named pipe or a disk that fills up. Never a crash; one line saying what
// went wrong; an output file left as it was.
class TestStreamSafety : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileTruncatedWhileReadStopsTheRun();
    void endlessOrHugeInputsAreRefused_data();
    void endlessOrHugeInputsAreRefused();
    void resultsAreSizedBeforeTheyAreBuilt_data();
    void resultsAreSizedBeforeTheyAreBuilt();
    void outputIntoDevicesAndPipes_data();
    void outputIntoDevicesAndPipes();
    void longLineGoesThroughTheLineToolsInPieces();

private:
    QString file(const QString &name, const QByteArray &bytes);
    QTemporaryDir m_dir;
};

namespace {

// The data a run of the command line may hold besides what it reads and
// writes: the libraries' own, buffers of a fixed size.
constexpr qint64 baseDataBytes = 96LL << 20;

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool isCharacterDevice(const char *path)
{
    struct stat info;
    return ::stat(path, &info) == 0 && S_ISCHR(info.st_mode);
}

} // namespace

QString TestStreamSafety::file(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestStreamSafety::fileTruncatedWhileReadStopsTheRun()
{
    const QByteArray line = QByteArray(98, 'x') + "\r\n";
    const QString input = file(QStringLiteral("shrinking.txt"), line.repeated(100000));
    QProcess process;
    clirun::start(process, {"replace", "replaceText=Specific Replace", "replaceSpecificText=x", "replaceWith=y",
                            input});
    // The run has read part of its input and started writing; it waits while
    // nobody reads its output. Then another program empties the file.
    QVERIFY(process.waitForReadyRead(60000));
    QByteArray out = process.readAllStandardOutput();
    QVERIFY(QFile::resize(input, 0));
    QVERIFY(process.waitForFinished(60000));
    out += process.readAllStandardOutput();
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(QString::fromUtf8(process.readAllStandardError()).contains(input + " changed while it was being read"));
    // What came out before is the true result of the lines read, and no more.
    const QByteArray whole = ("y" + QByteArray(97, 'x') + "\r\n").repeated(100000);
    QVERIFY(out.size() < whole.size());
    QVERIFY(whole.startsWith(out));
}

void TestStreamSafety::endlessOrHugeInputsAreRefused_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");

    QTest::newRow("an endless columns file") << QStringList{"tabwrite", "--columns", "/dev/zero", "@text"}
                                              << "/dev/zero is too large for a column layout";
    QTest::newRow("a columns file far larger than a layout")
        << QStringList{"tabwrite", "--columns", "@bigcolumns", "@text"} << "is too large for a column layout";
    QTest::newRow("an endless input") << QStringList{"join-lines", "/dev/zero"} << "/dev/zero is not a text file";
    // A line of 64 MB is held whole by Replace: more than the process may take.
    QTest::newRow("a line larger than the memory there is")
        << QStringList{"replace", "replaceText=Specific Replace", "replaceSpecificText=x", "replaceWith=y", "@longline"}
        << "tabwright-cli: out of memory: the input or the result is too large to hold; nothing was written";
}

void TestStreamSafety::endlessOrHugeInputsAreRefused()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    for (QString &arg : args) {
        if (arg == u"@text")
            arg = file(QStringLiteral("text.txt"), "abc\r\n");
        else if (arg == u"@bigcolumns")
            arg = file(QStringLiteral("big.csv"), QByteArray("A,1,1,1\n").repeated(1 << 20));
        else if (arg == u"@longline")
            arg = file(QStringLiteral("long.txt"), QByteArray(64 << 20, 'x'));
    }
    const QString output = file(QStringLiteral("out.txt"), "old contents\n");
    const clirun::Run run = clirun::cli(args << QStringLiteral("-o") << output, {}, {baseDataBytes + (96LL << 20), 0});
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(run.err.count(u'\n'), 1);
    QCOMPARE(readBytes(output), QByteArray("old contents\n"));
}

void TestStreamSafety::resultsAreSizedBeforeTheyAreBuilt_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("columns");
    QTest::addColumn<qint64>("outputBytes"); // -1: refused as too large

    const QStringList series{"format", "formatCreate=New column", "formatSpacesBetweenCols=999"};
    // Every space the first pass puts in is a delimiter of the next passes:
    // a line of one character would become about 10^12 characters.
    QTest::newRow("format: a series that multiplies past the limit")
        << series + QStringList{"formatDelimiter=;   ;"} << QByteArray(";") << QString() << qint64(-1);
    // Three passes over 7 characters, each section padded with 999 spaces on
    // both sides of the comma added to it: about 70 million characters, more
    // than the process may hold, written away as they are built.
    QTest::newRow("format: a series whose result is larger than the memory")
        << series + QStringList{"formatDelimiter=; ,", "formatAddText=End of column", "formatTextToAdd=,",
                                "formatOptions=Add spaces", "formatSpaces=999"}
        << QByteArray("a;b;c;d") << QString() << qint64(0);
    // Header "A", then each line and its 50,000,000 spaces.
    QTest::newRow("tabwrite: a row of 50,000,000 spaces")
        << QStringList{"tabwrite"} << QByteArray("abc\r\ndef\r\n") << QStringLiteral("A,1,3,50000000\n")
        << qint64(3 + 2 * (3 + 50000000 + 2));
}

void TestStreamSafety::resultsAreSizedBeforeTheyAreBuilt()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, text);
    QFETCH(QString, columns);
    QFETCH(qint64, outputBytes);
    if (outputBytes == 0) {
        // The size the engine counts for the text, as the window would build it.
        tw::FormatParams p;
        p.formatCreate = QStringLiteral("New column");
        p.formatSpacesBetweenCols = 999;
        p.formatDelimiter = QStringLiteral("; ,");
        p.formatAddText = QStringLiteral("End of column");
        p.formatTextToAdd = QStringLiteral(",");
        p.formatOptions = QStringLiteral("Add spaces");
        p.formatSpaces = 999;
        outputBytes = tw::formatResultLength(QString::fromLatin1(text), p);
        QVERIFY(outputBytes > baseDataBytes / 2);
    }
    if (!columns.isEmpty())
        args << QStringLiteral("--columns") << file(QStringLiteral("wide.csv"), columns.toUtf8());
    const QString output = m_dir.filePath(QStringLiteral("result.txt"));
    QFile::remove(output);
    const clirun::Run run =
        clirun::cli(args << QStringLiteral("-o") << output << file(QStringLiteral("in.txt"), text), {},
                    {baseDataBytes, 0});
    if (outputBytes < 0) {
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(QStringLiteral("The result would be too large to hold")), qPrintable(run.err));
        QVERIFY(!QFile::exists(output));
    } else {
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QCOMPARE(QFileInfo(output).size(), outputBytes);
    }
    QFile::remove(output);
}

void TestStreamSafety::outputIntoDevicesAndPipes_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");

    QTest::newRow("a named pipe gets the result, and stays a pipe") << "@fifo" << 0 << QString();
    QTest::newRow("/dev/null takes the result and stays a device") << "/dev/null" << 0 << QString();
    QTest::newRow("a full device: no space left") << "/dev/full" << 2
                                                  << "/dev/full cannot be written: no space left on the disk";
    QTest::newRow("a file that may not grow: the old file stays")
        << "@limited" << 2 << "cannot be written: the file would grow past the largest size allowed";
}

void TestStreamSafety::outputIntoDevicesAndPipes()
{
    QFETCH(QString, target);
    QFETCH(int, status);
    QFETCH(QString, message);
    const QByteArray text = QByteArray("a;b;c\n").repeated(20000);
    const QByteArray expected = QByteArray("a;\nb;\nc\n").repeated(20000);
    const QString input = file(QStringLiteral("in.txt"), text);
    QProcess reader;
    clirun::Limits limits;
    if (target == u"@fifo") {
        target = m_dir.filePath(QStringLiteral("pipe"));
        QVERIFY(::mkfifo(QFile::encodeName(target).constData(), 0600) == 0);
        reader.start(QStringLiteral("cat"), {target});
        QVERIFY(reader.waitForStarted());
    } else if (target == u"@limited") {
        target = file(QStringLiteral("limited.txt"), "old contents\n");
        limits.fileBytes = 64 * 1024;
    } else {
        QVERIFY(isCharacterDevice(qPrintable(target)));
    }
    const clirun::Run run = clirun::cli({"format", "formatDelimiter=;", "-o", target, input}, {}, limits);
    QCOMPARE(run.status, status);
    if (!message.isEmpty())
        QVERIFY2(run.err.contains(message), qPrintable(run.err));

    struct stat info;
    QCOMPARE(::stat(QFile::encodeName(target).constData(), &info), 0);
    if (!reader.program().isEmpty()) {
        QVERIFY(reader.waitForFinished(60000));
        QCOMPARE(reader.readAllStandardOutput(), expected);
        QVERIFY(S_ISFIFO(info.st_mode));
    } else if (target.startsWith(u"/dev/")) {
        QVERIFY(S_ISCHR(info.st_mode));
    } else {
        QCOMPARE(readBytes(target), QByteArray("old contents\n"));
    }
}

void TestStreamSafety::longLineGoesThroughTheLineToolsInPieces()
{
    // One line of 64 MB: the line tools scan the text as a stream, so the
    // line is never decoded whole (which would take twice its size again).
    const qint64 length = 64LL << 20;
    const QString input = file(QStringLiteral("oneline.txt"), QByteArray(length, 'x'));
    const QString output = m_dir.filePath(QStringLiteral("broken.txt"));
    const clirun::Run run = clirun::cli({"break-lines", "startLineAfter=80", "-o", output, input}, {},
                                        {baseDataBytes + length + (16LL << 20), 0});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    // Lines of 80 characters, the last one shorter, LF between them.
    QCOMPARE(QFileInfo(output).size(), length + (length + 79) / 80 - 1);
    QFile::remove(output);
    QFile::remove(input);
}

QTEST_GUILESS_MAIN(TestStreamSafety)
#include "test_streamsafety.moc"
