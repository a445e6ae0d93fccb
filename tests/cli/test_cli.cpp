// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/textfile.h"
#include "core/engine/formattext.h"
#include "core/engine/lineops.h"
#include "core/engine/linetools.h"
#include "core/engine/tabwrite.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

// tabwright-cli run as a user runs it: files in, files out, exit statuses and
// messages. Its results must be the engine's results for the same text and
// fields, whether it streams line by line or block by block.
class TestCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void unchangedFilesComeBackByteForByte_data();
    void unchangedFilesComeBackByteForByte();
    void operations_data();
    void operations();
    void resultIsTheEnginesResult_data();
    void resultIsTheEnginesResult();
    void exitStatuses_data();
    void exitStatuses();
    void refusalLeavesTheOutputFileAlone();
    void emptyInputGivesEmptyOutput();
    void cp1252InputWithANewCharacterIsWrittenAsUtf8();
    void helpListsOperationsFieldsAndDefaults();

private:
    struct Run
    {
        int status = -1;
        QByteArray out;
        QString err;
    };
    Run cli(const QStringList &args, const QByteArray &input = {});
    QString file(const QString &name, const QByteArray &bytes);
    QTemporaryDir m_dir;
};

namespace {
QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QByteArray allHighBytesCp1252()
{
    QByteArray bytes("Windows-1252: ");
    for (int b = 0x80; b <= 0xFF; ++b)
        bytes.append(char(b));
    return bytes + "\r\nsecond line\r\n";
}
} // namespace

TestCli::Run TestCli::cli(const QStringList &args, const QByteArray &input)
{
    QProcess process;
    process.start(QStringLiteral(TABWRIGHT_CLI), args);
    if (!process.waitForStarted())
        qFatal("cannot start %s", TABWRIGHT_CLI);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    Run run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString TestCli::file(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestCli::unchangedFilesComeBackByteForByte_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("Windows-1252, every byte 0x80-0xFF") << allHighBytesCp1252();
    QTest::newRow("LF only") << QByteArray("first\nsecond\n\nlast\n");
    QTest::newRow("UTF-8 with BOM, CR LF") << QByteArray("\xEF\xBB\xBF" "caf\xC3\xA9\r\nx\r\n");
    QTest::newRow("mixed lone CR and LF, no final line end") << QByteArray("a\rb\r\nc\nd");
}

void TestCli::unchangedFilesComeBackByteForByte()
{
    QFETCH(QByteArray, bytes);
    const QString in = file(QStringLiteral("in.txt"), bytes);
    const QString out = m_dir.filePath(QStringLiteral("out.txt"));
    // A replace whose text never occurs runs every line through the frame.
    const QStringList args = {QStringLiteral("replace"), QStringLiteral("replaceText=@@@"),
                              QStringLiteral("replaceWith=y")};

    Run run = cli(args + QStringList{QStringLiteral("-o"), out, in});
    QCOMPARE(run.status, 0);
    QCOMPARE(readBytes(out), bytes);

    run = cli(args, bytes); // standard input to standard output
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, bytes);
}

void TestCli::operations_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("move: General Move to a later column")
        << QStringList{"move", "textToMove=General Move", "moveFromCol=2", "moveNumOfChars=2",
                       "moveToCol=6"}
        << QByteArray("abcdef\r\n\r\nabcdef") << QByteArray("adebcf\r\n\r\nadebcf");
    QTest::newRow("move: to the end of the line, LF file stays LF")
        << QStringList{"move", "textToMove=General Move", "moveEndOfLine=1"}
        << QByteArray("abc\nxyz\n") << QByteArray("bca\nyzx\n");
    QTest::newRow("add: CR LF condition fills the empty lines, the last one too")
        << QStringList{"add", "addText=X", "addIfContains=\\r\\n"}
        << QByteArray("a\n\nb\n") << QByteArray("a\nX\nb\nX");
    QTest::newRow("add: spaces on the left at the end of the line")
        << QStringList{"add", "addText=X", "addEndOfLine=1", "addOptions=Add spaces", "addSpaces=2",
                       "addPlaceSpaces=Left side"}
        << QByteArray("abc") << QByteArray("abc  X");
    QTest::newRow("replace: every occurrence, escapes in the value")
        << QStringList{"replace", "replaceText=a", "replaceWith=\\tb\\\\"}
        << QByteArray("aa\r\n") << QByteArray("\tb\\\tb\\\r\n");
    QTest::newRow("delete: blank lines go")
        << QStringList{"delete", "deleteText=Specific Delete", "deleteSpecificText=\\r\\n"}
        << QByteArray("a\r\n\r\n\r\nb\r\n") << QByteArray("a\r\nb");
    QTest::newRow("delete: empty numeric field reads as 0")
        << QStringList{"delete", "deleteText=General Delete", "deleteNumOfChars="}
        << QByteArray("abc") << QByteArray("abc");
    QTest::newRow("format: new column with two spaces")
        << QStringList{"format", "formatDelimiter=;", "formatCreate=New column",
                       "formatSpacesBetweenCols=2"}
        << QByteArray("a;b;c\r\n") << QByteArray("a;  b;  c\r\n");
    QTest::newRow("format: new line in an LF file gives LF lines")
        << QStringList{"format", "formatDelimiter=,", "formatRemoveDelimiter=1"}
        << QByteArray("a,b,c\nd\n") << QByteArray("a\nb\nc\nd\n");
    QTest::newRow("join-lines keeps paragraphs")
        << QStringList{"join-lines"} << QByteArray("A\r\nB\r\n\r\nC") << QByteArray("AB\r\n\r\nC");
    QTest::newRow("create-line") << QStringList{"create-line"} << QByteArray("A\r\nB\r\n\r\nC")
                                 << QByteArray("ABC");
    QTest::newRow("break-lines every 3")
        << QStringList{"break-lines", "startLineAfter=3"} << QByteArray("abcdefghij")
        << QByteArray("abc\ndef\nghi\nj");
    QTest::newRow("break-lines: empty length changes nothing")
        << QStringList{"break-lines", "startLineAfter="} << QByteArray("abcdef\r\n")
        << QByteArray("abcdef\r\n");
    QTest::newRow("non-BMP characters are one column")
        << QStringList{"delete", "deleteText=General Delete", "deleteFromCol=2"}
        << QByteArray("a\xF0\x9F\x98\x80" "b\n") << QByteArray("ab\n");
}

void TestCli::operations()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    const Run run = cli(args << file(QStringLiteral("op.txt"), input));
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QCOMPARE(run.out, expected);
}

void TestCli::resultIsTheEnginesResult_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("oneLine");
    QTest::newRow("move") << QStringList{"move", "textToMove=General Move", "moveFromCol=3",
                                         "moveNumOfChars=4", "moveToCol=1", "moveOptions=Add spaces"}
                          << false;
    QTest::newRow("add") << QStringList{"add", "addText=<>", "addIfContains=e", "addAtCol=5"}
                         << false;
    QTest::newRow("replace") << QStringList{"replace", "replaceText=e", "replaceWith=EE"} << false;
    QTest::newRow("delete blank lines") << QStringList{"delete", "deleteText=Specific Delete",
                                                       "deleteSpecificText=\\r\\n"}
                                        << false;
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
    QTest::newRow("break-lines, one long line")
        << QStringList{"break-lines", "startLineAfter=40"} << true;
    QTest::newRow("format, one long line")
        << QStringList{"format", "formatDelimiter=,", "formatRemoveDelimiter=1"} << true;
}

void TestCli::resultIsTheEnginesResult()
{
    QFETCH(QStringList, args);
    QFETCH(bool, oneLine);
    // Over a megabyte of text, so the block-wise operations see several
    // blocks, with empty lines, lone CRs and LFs and non-BMP characters.
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
    const QString in = file(QStringLiteral("random.txt"), text.toUtf8());

    tw::ColumnSpecs columns = {{QStringLiteral("One"), 1, 5, 2, {}},
                               {QStringLiteral("Two"), 4, 8, 0, {}}};
    const QString columnsFile =
        file(QStringLiteral("columns.csv"), QByteArray("One,1,5,2\r\nTwo,4,8,0\r\n"));

    const QString operation = args.first();
    QString expected;
    if (operation == u"move") {
        tw::MoveParams p;
        p.textToMove = QStringLiteral("General Move");
        p.moveFromCol = 3;
        p.moveNumOfChars = 4;
        p.moveOptions = QStringLiteral("Add spaces");
        expected = tw::runLineFrame(text, tw::moveOperation(p), tw::moveGate(p));
    } else if (operation == u"add") {
        tw::AddParams p;
        p.addText = QStringLiteral("<>");
        p.addIfContains = QStringLiteral("e");
        p.addAtCol = 5;
        expected = tw::runLineFrame(text, tw::addOperation(p), tw::addGate(p));
    } else if (operation == u"replace") {
        tw::ReplaceParams p;
        p.replaceText = QStringLiteral("e");
        p.replaceWith = QStringLiteral("EE");
        expected = tw::runLineFrame(text, tw::replaceOperation(p), tw::replaceGate(p));
    } else if (operation == u"delete") {
        tw::DeleteParams p;
        p.deleteText = QStringLiteral("Specific Delete");
        p.deleteSpecificText = QStringLiteral("\r\n");
        expected = tw::runLineFrame(text, tw::deleteOperation(p), tw::deleteGate(p));
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
        expected = tw::tabwriteText(text, columns, 3).text;
        args << QStringLiteral("--columns") << columnsFile;
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

    const Run run = cli(args << in);
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

void TestCli::exitStatuses_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");

    QTest::newRow("no operation") << QStringList{} << 2 << "no operation given";
    QTest::newRow("unknown operation") << QStringList{"frobnicate"} << 2
                                       << "unknown operation 'frobnicate'";
    QTest::newRow("unknown field") << QStringList{"move", "textToMov=x"} << 2
                                   << "unknown field 'textToMov'";
    QTest::newRow("a field of another operation") << QStringList{"move", "addText=x"} << 2
                                                  << "unknown field 'addText'";
    QTest::newRow("number above 999") << QStringList{"move", "moveFromCol=1000"} << 2
                                      << "moveFromCol takes a number from 0 to 999";
    QTest::newRow("negative number") << QStringList{"delete", "deleteSpaces=-1"} << 2
                                     << "deleteSpaces takes a number from 0 to 999";
    QTest::newRow("check box other than 0 or 1") << QStringList{"add", "addEndOfLine=yes"} << 2
                                                 << "addEndOfLine is a check box and takes 0 or 1";
    QTest::newRow("unknown escape") << QStringList{"replace", "replaceText=\\x"} << 2
                                    << "unknown escape \\x";
    QTest::newRow("field given twice") << QStringList{"replace", "replaceText=a", "replaceText=b"}
                                       << 2 << "field replaceText given twice";
    QTest::newRow("unknown option") << QStringList{"move", "--fast"} << 2 << "unknown option '--fast'";
    QTest::newRow("--columns for another operation")
        << QStringList{"move", "--columns", "c.csv"} << 2 << "--columns is only for tabwrite";
    QTest::newRow("missing input file") << QStringList{"replace", "replaceText=a", "@missing"} << 2
                                        << "no such file";
    QTest::newRow("input that is not text") << QStringList{"replace", "replaceText=a", "@nul"} << 2
                                            << "is not a text file";
    QTest::newRow("columns row with three cells") << QStringList{"tabwrite", "--columns", "@badcols"}
                                                  << 2 << "line 2: 3 cells, expected 4 or 5";
    QTest::newRow("columns cell that is no number")
        << QStringList{"tabwrite", "--columns", "@wordcols"} << 2
        << "number_of_characters 'five' is not a whole number";
    QTest::newRow("move without a move type") << QStringList{"move", "@text"} << 1
        << "Please enter text to move; or select a move type and enter 'Specific text to move', "
           "if necessary.";
    QTest::newRow("add without a text") << QStringList{"add", "@text"} << 1
                                        << "Please enter text to add.";
    QTest::newRow("replace without a type") << QStringList{"replace", "@text"} << 1
        << "Please enter text to replace; or select a replace type and enter 'Specific text to "
           "replace', if necessary.";
    QTest::newRow("delete without a type") << QStringList{"delete", "@text"} << 1
        << "Please enter text to delete; or select a delete type and enter 'Specific text to "
           "delete', if necessary.";
    QTest::newRow("format without a delimiter") << QStringList{"format", "@text"} << 1
        << "Please enter or select character(s) to use as delimiter(s).";
    QTest::newRow("format with an empty delimiter string")
        << QStringList{"format", "formatUseDelimiterString=1", "@text"} << 1
        << "Please enter character(s) to use as a delimiter.";
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
        else if (files.contains(arg))
            arg = file(arg.mid(1), files.value(arg));
    }
    const Run run = cli(args, QByteArray("stdin text"));
    QCOMPARE(run.status, status);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    // One line naming the problem.
    QVERIFY2(run.err.endsWith(u'\n') && run.err.count(u'\n') == 1, qPrintable(run.err));
}

void TestCli::refusalLeavesTheOutputFileAlone()
{
    const QString in = file(QStringLiteral("in.txt"), "text\n");
    const QString out = file(QStringLiteral("keep.txt"), "old contents\n");
    const Run run = cli({QStringLiteral("format"), QStringLiteral("-o"), out, in});
    QCOMPARE(run.status, 1);
    QCOMPARE(readBytes(out), QByteArray("old contents\n"));
}

void TestCli::emptyInputGivesEmptyOutput()
{
    const QString in = file(QStringLiteral("empty.txt"), {});
    const QString out = m_dir.filePath(QStringLiteral("empty-out.txt"));
    for (const QStringList &args : {QStringList{"replace", "replaceText=a"},
                                    QStringList{"join-lines"}, QStringList{"format"}}) {
        Run run = cli(args + QStringList{in});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QByteArray());
        run = cli(args + QStringList{QStringLiteral("-o"), out}, QByteArray());
        QCOMPARE(run.status, 0);
        QCOMPARE(readBytes(out), QByteArray());
    }
}

void TestCli::cp1252InputWithANewCharacterIsWrittenAsUtf8()
{
    // The arrow has no Windows-1252 byte: rather than lose it, the result is
    // UTF-8 and a note says so; the é of the input survives as a character.
    const QString in = file(QStringLiteral("cp.txt"), QByteArray("caf\xE9 > x\r\n"));
    const Run run = cli({QStringLiteral("replace"), QStringLiteral("replaceText=>"),
                         QString::fromUtf8("replaceWith=\xE2\x86\x92"), in});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QByteArray("caf\xC3\xA9 \xE2\x86\x92 x\r\n"));
    QVERIFY2(run.err.contains(QStringLiteral("written as UTF-8")), qPrintable(run.err));

    // A character Windows-1252 has keeps the input's encoding.
    const Run euro = cli({QStringLiteral("replace"), QStringLiteral("replaceText=>"),
                          QString::fromUtf8("replaceWith=\xE2\x82\xAC"), in});
    QCOMPARE(euro.out, QByteArray("caf\xE9 \x80 x\r\n"));
    QVERIFY(euro.err.isEmpty());
}

void TestCli::helpListsOperationsFieldsAndDefaults()
{
    const Run run = cli({QStringLiteral("--help")});
    QCOMPARE(run.status, 0);
    const QString help = QString::fromUtf8(run.out);
    for (const char *expected :
         {"move", "add", "replace", "delete", "format", "join-lines", "create-line", "break-lines",
          "tabwrite", "moveFromCol [1]", "moveOptions [Omit spaces]", "movePlaceSpaces [Both sides]",
          "addIfContains []", "deleteEndOfLine [0]", "formatCreate [New line]",
          "formatAddText [Omit text]", "formatMoveDelimiter [No]", "formatFirstSection [Yes]",
          "startLineAfter []", "tabwriteStartLineAt [1]", "--columns FILE"}) {
        QVERIFY2(help.contains(QLatin1StringView(expected)), expected);
    }
}

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
