// SPDX-License-Identifier: GPL-3.0-or-later
#include "clirun.h"

#include <QFile>
#include <QTemporaryDir>


// tabwright-cli reading and writing when things go wrong: a file another
// program truncates while it is read, inputs that never end, results and
// inputs larger than the memory the process may take, output into a device,
// a named pipe or a disk that fills up. Never a crash; one line saying what
// went wrong; an output file left as it was.
class TestStreamSafety : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileTruncatedWhileReadIsReadAsItWas();
    void endlessOrHugeInputsAreRefused_data();
    void endlessOrHugeInputsAreRefused();

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

} // namespace

QString TestStreamSafety::file(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestStreamSafety::fileTruncatedWhileReadIsReadAsItWas()
{
    const QByteArray line = QByteArray(98, 'x') + "\r\n";
    const QString input = file(QStringLiteral("shrinking.txt"), line.repeated(100000));
    QProcess process;
    clirun::start(process, {"replace", "replaceText=Specific Replace", "replaceSpecificText=x", "replaceWith=y",
                            input});
    // The run has read its input and started writing; it waits while nobody
    // reads its output. Then another program empties the file.
    QVERIFY(process.waitForReadyRead(60000));
    QByteArray out = process.readAllStandardOutput();
    QVERIFY(QFile::resize(input, 0));
    QVERIFY(process.waitForFinished(60000));
    out += process.readAllStandardOutput();
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    // Replace takes the first occurrence of each line.
    QCOMPARE(out, ("y" + QByteArray(97, 'x') + "\r\n").repeated(100000));
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

QTEST_GUILESS_MAIN(TestStreamSafety)
#include "test_streamsafety.moc"
