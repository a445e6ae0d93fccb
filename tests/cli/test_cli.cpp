// SPDX-License-Identifier: GPL-3.0-or-later
#include "clirun.h"

#include "core/engine/formattext.h"
#include "core/engine/lineops.h"
#include "core/engine/linetools.h"
#include "core/engine/tabwrite.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

// tabwright-cli run as a user runs it: its arguments and field escapes, files
// and pipes in and out in the input's own format, exit statuses and messages.
// What each operation does to a line is the engine's and tested there; here
// one path goes through each operation, and the streamed result of each kind
// of streaming is compared with the engine's result on the whole text.
class TestCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void endToEnd_data();
    void endToEnd();
    void streamingGivesTheEnginesResult_data();
    void streamingGivesTheEnginesResult();
    void fileReadOnceOrTwiceGivesOneResult_data();
    void fileReadOnceOrTwiceGivesOneResult();
    void exitStatuses_data();
    void exitStatuses();
    void helpListsOperationsFieldsAndDefaults();

private:
    using Run = clirun::Run;
    static Run cli(const QStringList &args, const QByteArray &input = {}) { return clirun::cli(args, input); }
    QString file(const QString &name, const QByteArray &bytes);
    QTemporaryDir m_dir;
};

namespace {

enum Via { FileToStdout, StdinToStdout, StdinToOutputFile };

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

QString TestCli::file(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestCli::endToEnd_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("via");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QString>("note"); // on standard error; otherwise it stays empty
    const auto row = [](const char *tag, const QStringList &args, Via via, const QByteArray &input,
                        const QByteArray &expected, const QString &note = {}) {
        QTest::newRow(tag) << args << int(via) << input << expected << note;
    };

    QByteArray highBytes("Windows-1252: ");
    for (int b = 0x80; b <= 0xFF; ++b)
        highBytes.append(char(b));
    highBytes += "\r\nsecond line\r\n";
    const QByteArray bom("\xEF\xBB\xBF" "caf\xC3\xA9\r\nx\r\n");
    // A replace whose text never occurs runs every line through the frame.
    const QStringList unchanged{"replace", "replaceText=@@@", "replaceWith=y"};
    row("unchanged Windows-1252 comes back byte for byte", unchanged, StdinToOutputFile, highBytes, highBytes);
    row("unchanged UTF-8 with BOM comes back byte for byte", unchanged, StdinToStdout, bom, bom);

    row("move: an LF file stays LF", {"move", "textToMove=General Move", "moveEndOfLine=1"}, FileToStdout,
        "abc\nxyz\n", "bca\nyzx\n");
    row("add: the \\r\\n escape is an empty line", {"add", "addText=X", "addIfContains=\\r\\n"}, FileToStdout,
        "a\n\nb\n", "a\nX\nb\nX");
    row("replace: \\t and \\\\ escapes", {"replace", "replaceText=a", "replaceWith=\\tb\\\\"}, StdinToOutputFile,
        "aa\r\n", "\tb\\\tb\\\r\n");
    row("delete: an empty number reads as 0", {"delete", "deleteText=General Delete", "deleteNumOfChars="},
        FileToStdout, "abc", "abc");
    row("format: new lines of an LF file are LF", {"format", "formatDelimiter=,", "formatRemoveDelimiter=1"},
        FileToStdout, "a,b,c\nd\n", "a\nb\nc\nd\n");
    row("join-lines", {"join-lines"}, StdinToStdout, "A\r\nB\r\n\r\nC", "AB\r\n\r\nC");
    row("create-line", {"create-line"}, FileToStdout, "A\r\nB\r\n\r\nC", "ABC");
    row("break-lines", {"break-lines", "startLineAfter=3"}, FileToStdout, "abcdefghij", "abc\ndef\nghi\nj");
    // Format checks its fields only when there is text to format.
    row("empty input gives empty output", {"format"}, StdinToOutputFile, "", "");
    row("empty input file", {"join-lines"}, FileToStdout, "", "");
    // Nothing to lay out: not even the header line.
    row("tabwrite: empty input gives empty output",
        {"tabwrite", "--columns", file(QStringLiteral("columns.csv"), "Id,1,8,2\n")}, FileToStdout, "", "");
    // A character Windows-1252 has no byte for: rather than lose it, the
    // result is UTF-8 and a note says so; the input's own characters survive.
    row("Windows-1252 given a new character is written as UTF-8",
        {"replace", "replaceText=>", QString::fromUtf8("replaceWith=\xE2\x86\x92")}, FileToStdout,
        "caf\xE9 > x\r\n", "caf\xC3\xA9 \xE2\x86\x92 x\r\n",
        QStringLiteral("tabwright-cli: note: the input is Windows-1252, which cannot hold"));
    row("Windows-1252 given a character it has stays Windows-1252",
        {"replace", "replaceText=>", QString::fromUtf8("replaceWith=\xE2\x82\xAC")}, FileToStdout,
        "caf\xE9 > x\r\n", "caf\xE9 \x80 x\r\n");
}

void TestCli::endToEnd()
{
    QFETCH(QStringList, args);
    QFETCH(int, via);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    QFETCH(QString, note);

    const QString out = m_dir.filePath(QStringLiteral("out.txt"));
    QFile::remove(out);
    Run run;
    if (via == FileToStdout)
        run = cli(args << file(QStringLiteral("in.txt"), input));
    else if (via == StdinToStdout)
        run = cli(args, input);
    else
        run = cli(args << QStringLiteral("-o") << out, input);
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QCOMPARE(via == StdinToOutputFile ? readBytes(out) : run.out, expected);
    if (via == StdinToOutputFile)
        QVERIFY(run.out.isEmpty());
    QVERIFY2(note.isEmpty() ? run.err.isEmpty() : run.err.startsWith(note), qPrintable(run.err));
}

void TestCli::streamingGivesTheEnginesResult_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("oneLine");
    // Line by line (the four line operations share one way), block by block
    // (format, tabwrite) and slice by slice (the line tools).
    QTest::newRow("replace") << QStringList{"replace", "replaceText=e", "replaceWith=EE"} << false;
    QTest::newRow("format") << QStringList{"format", "formatDelimiter=,", "formatCreate=New column",
                                           "formatAddText=End of column", "formatTextToAdd=|"}
                            << false;
    // One delimiter character and nothing added: the one-pass way.
    QTest::newRow("format, new line at a comma")
        << QStringList{"format", "formatDelimiter=,", "formatRemoveDelimiter=1"} << false;
    QTest::newRow("tabwrite") << QStringList{"tabwrite", "tabwriteStartLineAt=3"} << false;
    QTest::newRow("join-lines") << QStringList{"join-lines"} << false;
    QTest::newRow("create-line") << QStringList{"create-line"} << false;
    QTest::newRow("break-lines") << QStringList{"break-lines", "startLineAfter=40"} << false;
    // A single line far longer than a block, so the scan goes slice by slice
    // and slices end inside surrogate pairs.
    QTest::newRow("break-lines, one long line") << QStringList{"break-lines", "startLineAfter=40"} << true;
    QTest::newRow("format, one long line") << QStringList{"format", "formatDelimiter=,", "formatRemoveDelimiter=1"}
                                           << true;
}

void TestCli::streamingGivesTheEnginesResult()
{
    QFETCH(QStringList, args);
    QFETCH(bool, oneLine);
    // Over a megabyte of text, so the streamed operations see several blocks,
    // with empty lines, lone CRs and LFs and non-BMP characters.
    QRandomGenerator random(7);
    QStringList words = {QStringLiteral("alpha"), QStringLiteral("be,ta"), QStringLiteral("e"),
                         QStringLiteral(" "), QStringLiteral("\u00E9t\u00E9"),
                         QStringLiteral("\U0001F600"), QStringLiteral("\r"), QStringLiteral("\n"),
                         QStringLiteral("\r\n"), QStringLiteral("\r\n\r\n"), QStringLiteral(",")};
    if (oneLine)
        words = words.mid(0, 6) << QStringLiteral(",");
    QString text;
    while (text.size() < 1200 * 1024)
        text += words.at(random.bounded(int(words.size())));

    const QString operation = args.first();
    QString expected;
    if (operation == u"replace") {
        tw::ReplaceParams p;
        p.replaceText = QStringLiteral("e");
        p.replaceWith = QStringLiteral("EE");
        expected = tw::runLineFrame(text, tw::replaceOperation(p), tw::replaceGate(p));
    } else if (operation == u"format") {
        tw::FormatParams p;
        p.formatDelimiter = QStringLiteral(",");
        if (args.contains(QStringLiteral("formatRemoveDelimiter=1"))) {
            p.formatRemoveDelimiter = true;
        } else {
            p.formatCreate = QStringLiteral("New column");
            p.formatAddText = QStringLiteral("End of column");
            p.formatTextToAdd = QStringLiteral("|");
        }
        expected = tw::formatText(text, p).text;
    } else if (operation == u"tabwrite") {
        const tw::ColumnSpecs columns = {{QStringLiteral("One"), 1, 5, 2, {}}, {QStringLiteral("Two"), 4, 8, 0, {}}};
        expected = tw::tabwriteText(text, columns, 3).text;
        args << QStringLiteral("--columns") << file(QStringLiteral("columns.csv"), "One,1,5,2\r\nTwo,4,8,0\r\n");
    } else if (operation == u"join-lines") {
        expected = tw::joinLines(text).text;
    } else if (operation == u"create-line") {
        expected = tw::createLine(text).text;
    } else {
        expected = tw::breakEvery(text, 40).text;
    }
    // A file without any CR is written back with LF line ends.
    if (oneLine)
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));

    const Run run = cli(args << file(QStringLiteral("random.txt"), text.toUtf8()));
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QVERIFY(!expected.isEmpty());
    const QString got = QString::fromUtf8(run.out);
    if (got != expected) {
        qsizetype at = 0;
        while (at < got.size() && at < expected.size() && got.at(at) == expected.at(at))
            ++at;
        QFAIL(qPrintable(QStringLiteral("results differ from character %1 of %2/%3")
                             .arg(at).arg(got.size()).arg(expected.size())));
    }
}

void TestCli::fileReadOnceOrTwiceGivesOneResult_data()
{
    QTest::addColumn<QByteArray>("late");
    QTest::newRow("nothing new") << QByteArray("x,y\n");
    QTest::newRow("a CR") << QByteArray("x,y\r\n");
    QTest::newRow("a byte that is not UTF-8") << QByteArray("caf\xE9,y\n");
    QTest::newRow("a NUL") << QByteArray("x\0y\n", 4);
}

// Where what is written can be taken back (an output file, standard output
// into a regular file) a file is read once, its format told by its first
// piece; where not (a pipe) it is read twice. A file whose later bytes tell
// another format gives the same result, status and message either way, and
// what stood in the output before stays.
void TestCli::fileReadOnceOrTwiceGivesOneResult()
{
    QFETCH(QByteArray, late);
    QByteArray bytes;
    while (bytes.size() < 600 * 1024)
        bytes += "alpha,beta,gamma\n";
    const QString input = file(QStringLiteral("late.txt"), bytes + late + "end");
    const QString output = m_dir.filePath(QStringLiteral("out.txt"));
    const QString redirected = m_dir.filePath(QStringLiteral("stdout.txt"));
    // The byte path of Format, and a run that decodes every line.
    for (const QStringList &args : {QStringList{"format", "formatDelimiter=,", "formatRemoveDelimiter=1"},
                                    QStringList{"replace", "replaceText=a", "replaceWith=\u00e4"}}) {
        const Run piped = cli(args + QStringList{input});
        file(QStringLiteral("out.txt"), "old\n");
        const Run toFile = cli(args + QStringList{input, QStringLiteral("-o"), output});
        file(QStringLiteral("stdout.txt"), "before\n");
        QProcess process;
        process.setStandardOutputFile(redirected, QIODevice::Append);
        clirun::start(process, args + QStringList{input});
        QVERIFY(process.waitForFinished(60000));
        const Run intoFile = clirun::finished(process);

        QCOMPARE(toFile.status, piped.status);
        QCOMPARE(intoFile.status, piped.status);
        QCOMPARE(toFile.err, piped.err);
        QCOMPARE(intoFile.err, piped.err);
        QCOMPARE(readBytes(output), piped.status == 0 ? piped.out : QByteArray("old\n"));
        QCOMPARE(readBytes(redirected), "before\n" + piped.out);
        QVERIFY(piped.status == 0 || piped.out.isEmpty());
    }
}

void TestCli::exitStatuses_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");

    QTest::newRow("no operation") << QStringList{} << 2 << "no operation given";
    QTest::newRow("unknown operation") << QStringList{"frobnicate"} << 2 << "unknown operation 'frobnicate'";
    QTest::newRow("unknown field") << QStringList{"move", "textToMov=x"} << 2 << "unknown field 'textToMov'";
    QTest::newRow("a field of another operation") << QStringList{"move", "addText=x"} << 2
                                                  << "unknown field 'addText'";
    QTest::newRow("number above 999") << QStringList{"move", "moveFromCol=1000"} << 2
                                      << "moveFromCol takes a number from 0 to 999";
    QTest::newRow("negative number") << QStringList{"delete", "deleteSpaces=-1"} << 2
                                     << "deleteSpaces takes a number from 0 to 999";
    QTest::newRow("check box other than 0 or 1") << QStringList{"add", "addEndOfLine=yes"} << 2
                                                 << "addEndOfLine is a check box and takes 0 or 1";
    QTest::newRow("unknown escape") << QStringList{"replace", "replaceText=\\x"} << 2 << "unknown escape \\x";
    QTest::newRow("field given twice") << QStringList{"replace", "replaceText=a", "replaceText=b"} << 2
                                       << "field replaceText given twice";
    QTest::newRow("unknown option") << QStringList{"move", "--fast"} << 2 << "unknown option '--fast'";
    QTest::newRow("two input files") << QStringList{"join-lines", "@text", "@text"} << 2
                                     << "more than one input file";
    QTest::newRow("--columns for another operation") << QStringList{"move", "--columns", "c.csv"} << 2
                                                     << "--columns is only for tabwrite";
    QTest::newRow("missing input file") << QStringList{"replace", "replaceText=a", "@missing"} << 2
                                        << "no such file";
    QTest::newRow("input that is not text") << QStringList{"replace", "replaceText=a", "@nul"} << 2
                                            << "is not a text file";
    QTest::newRow("output into a missing folder") << QStringList{"join-lines", "-o", "@nofolder", "@text"} << 2
                                                  << "no such folder";
    QTest::newRow("columns row with three cells") << QStringList{"tabwrite", "--columns", "@badcols"} << 2
                                                  << "line 2: 3 cells, expected 4 or 5";
    QTest::newRow("columns cell that is no number") << QStringList{"tabwrite", "--columns", "@wordcols"} << 2
                                                    << "number_of_characters 'five' is not a whole number";
    // The operation's own refusal: its message, nothing written. The line
    // operations check their required field before the text; format and
    // tabwrite check theirs when there is text.
    QTest::newRow("move without a move type") << QStringList{"move", "@text"} << 1
        << "Please enter text to move; or select a move type and enter 'Specific text to move', if necessary.";
    QTest::newRow("format without a delimiter") << QStringList{"format", "@text"} << 1
                                                << "Please enter or select character(s) to use as delimiter(s).";
    QTest::newRow("tabwrite without columns") << QStringList{"tabwrite", "@text"} << 1
                                              << "There are no column specifications.";
}

void TestCli::exitStatuses()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);

    const QHash<QString, QByteArray> files = {
        {QStringLiteral("@nul"), QByteArray("a\0b", 3)},
        {QStringLiteral("@badcols"), QByteArray("A,1,2,0\nB,3,4\n")},
        {QStringLiteral("@wordcols"), QByteArray("A,1,five,0\n")},
        {QStringLiteral("@text"), QByteArray("some text\r\n")},
    };
    for (QString &arg : args) {
        if (arg == u"@missing")
            arg = m_dir.filePath(QStringLiteral("missing.txt"));
        else if (arg == u"@nofolder")
            arg = m_dir.filePath(QStringLiteral("no/such/out.txt"));
        else if (files.contains(arg))
            arg = file(arg.mid(1), files.value(arg));
    }
    Run run = cli(args, QByteArray("stdin text"));
    QCOMPARE(run.status, status);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    // One line naming the problem.
    QVERIFY2(run.err.endsWith(u'\n') && run.err.count(u'\n') == 1, qPrintable(run.err));

    // A refused run leaves the output file as it was.
    if (status == 1) {
        const QString keep = file(QStringLiteral("keep.txt"), "old contents\n");
        run = cli(args << QStringLiteral("-o") << keep);
        QCOMPARE(run.status, status);
        QCOMPARE(readBytes(keep), QByteArray("old contents\n"));
    }
}

void TestCli::helpListsOperationsFieldsAndDefaults()
{
    const Run run = cli({QStringLiteral("--help")});
    QCOMPARE(run.status, 0);
    const QString help = QString::fromUtf8(run.out);
    for (const char *expected :
         {"  move ", "  add ", "  replace ", "  delete ", "  format ", "  join-lines ", "  create-line ",
          "  break-lines ", "  tabwrite ", "  save ", "moveFromCol [1]", "moveOptions [Omit spaces]",
          "addIfContains []", "formatCreate [New line]", "startLineAfter []", "tabwriteStartLineAt [1]",
          "--columns FILE", "--if-exists append|replace|cancel"}) {
        QVERIFY2(help.contains(QLatin1StringView(expected)), expected);
    }
}

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
