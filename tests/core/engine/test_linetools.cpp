// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/engine/linetools.h"
#include "core/text/textfile.h"

#include "enginetest.h"

using namespace enginetest;
using Tool = tw::LineToolScanner::Tool;

Q_DECLARE_METATYPE(Tool)

namespace {

// Asked before every step; says stop once the scan reaches stopAt.
struct StopAt : tw::ScanObserver
{
    explicit StopAt(qsizetype at) : stopAt(at) {}
    bool goOn(qsizetype position, qsizetype length) override
    {
        positions << position;
        lengths << length;
        return position < stopAt;
    }
    qsizetype checkInterval() const override { return 1; }
    qsizetype stopAt;
    QList<qsizetype> positions, lengths;
};

// The text fed to a scanner in pieces that end at the given unit positions.
QString scanInPieces(Tool tool, const QString &text, int n, const QList<qsizetype> &cuts)
{
    tw::LineToolScanner scanner(tool, n, nullptr, text.size());
    QString out;
    qsizetype from = 0;
    for (qsizetype cut : cuts) {
        scanner.feed(QStringView(text).sliced(from, cut - from), out);
        from = cut;
    }
    scanner.feed(QStringView(text).sliced(from), out);
    scanner.finish(out);
    return out;
}

// A text may reach the scanner in pieces of any size, cut between a CR and
// its LF or inside a pair: in two pieces cut anywhere (an empty piece
// between them), and one unit a piece, it gives the whole-text result.
void checkPieces(Tool tool, const QString &text, int n, const QString &expected)
{
    QList<qsizetype> everyUnit;
    for (qsizetype cut = 0; cut <= text.size(); ++cut) {
        QCOMPARE(scanInPieces(tool, text, n, {cut, cut}), expected);
        everyUnit << cut;
    }
    QCOMPARE(scanInPieces(tool, text, n, everyUnit), expected);
}

} // namespace

// The line tools of the Text/Lines tab: Join Lines, Create Line and the break
// into lines of N characters, and how a scan is stopped.
class TestLineTools : public QObject
{
    Q_OBJECT

private slots:
    void joinAndCreate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("joined");
        QTest::addColumn<QString>("created");
        const QString high(QChar(0xD83D));
        QTest::newRow("paragraphs") << "A\r\nB\r\n\r\nC" << "AB\r\n\r\nC" << "ABC";
        QTest::newRow("break at the start") << "\r\nA\r\nB" << "\r\nAB" << "\r\nAB";
        QTest::newRow("blank line at the start") << "\r\n\r\nA" << "\r\n\r\nA" << "\r\nA";
        QTest::newRow("trailing CR LF") << "A\r\nB\r\n" << "AB" << "AB";
        QTest::newRow("lone CR and LF") << "A\rB\nC" << "ABC" << "ABC";
        QTest::newRow("lone LF at the start") << "\nA" << "\r\nA" << "\r\nA";
        QTest::newRow("empty") << "" << "" << "";
        QTest::newRow("non-BMP") << SMILE "\r\n" SMILE << SMILE SMILE << SMILE SMILE;
        // The blank-line test looks two characters ahead; a character outside the
        // BMP is one of them, not two.
        QTest::newRow("non-BMP in the look-ahead") << "A\r" SMILE "\rB" << "A\r\n" SMILE "B" << "A" SMILE "B";
        QTest::newRow("lone high half at the end") << "ab" + high << "ab" + high << "ab" + high;
    }

    void joinAndCreate()
    {
        QFETCH(QString, text);
        QFETCH(QString, joined);
        QFETCH(QString, created);
        const tw::TextResult join = tw::joinLines(text);
        QVERIFY(!join.stopped && !join.refused());
        QCOMPARE(join.text, joined);
        QCOMPARE(tw::createLine(text).text, created);
        checkPieces(Tool::JoinLines, text, 0, joined);
        checkPieces(Tool::CreateLine, text, 0, created);
    }

    // Create Line done on a file's bytes gives what decoding, createLine and
    // encoding in the same format give, the bytes cut anywhere.
    void createLineOnBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray mixed = "a b\xC3\xA9 \xE2\x82\xAC " "\xF0\x9F\x98\x80";
        QTest::newRow("ASCII, LF") << QByteArray("ab\ncd\n\nef\n");
        QTest::newRow("BMP and non-BMP, CR LF") << mixed + "\r\n" + mixed + "\r\n\r\n" + mixed;
        QTest::newRow("lone CR and LF") << QByteArray("a\rb\nc\r\nd\r");
        QTest::newRow("LF at the start") << QByteArray("\nab\ncd");
        QTest::newRow("blank lines at the start, CR LF") << QByteArray("\r\n\r\nab\r\ncd");
        QTest::newRow("lone CR at the start") << QByteArray("\r\nab\rcd");
        QTest::newRow("only line breaks") << QByteArray("\n\n\n");
        QTest::newRow("Windows-1252") << QByteArray("caf\xE9\r\nx\x80y\r\n");
        QTest::newRow("BOM") << QByteArray("\xEF\xBB\xBF\nab\ncd\n");
    }

    void createLineOnBytes()
    {
        QFETCH(QByteArray, bytes);
        const tw::TextFileContent decoded = tw::decodeText(bytes);
        const QByteArray expected = tw::encodeText(tw::createLine(decoded.text).text, decoded.format);
        const QByteArrayView text = QByteArrayView(bytes).sliced(decoded.format.byteOrderMark ? 3 : 0);
        const QByteArrayView lineBreak = decoded.format.lineEnds == tw::LineEnds::Lf ? "\n" : "\r\n";
        const QByteArray bom = decoded.format.byteOrderMark ? QByteArray("\xEF\xBB\xBF") : QByteArray();
        for (qsizetype cut = 0; cut <= text.size(); ++cut) {
            tw::ByteLineJoiner joiner(lineBreak);
            QByteArray out = bom;
            joiner.addBytes(text.first(cut), out);
            joiner.addBytes(text.sliced(cut), out);
            QCOMPARE(out, expected);
        }
    }

    void breakEvery_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("expected");
        QTest::newRow("N=3, remainder") << "abcdefghij" << 3 << "abc\r\ndef\r\nghi\r\nj";
        QTest::newRow("exact: no CR LF after the last piece") << "abcdefghijklmnopqrst" << 10
                                                              << "abcdefghij\r\nklmnopqrst";
        QTest::newRow("N=0 changes nothing") << "abc\r\ndef" << 0 << "abc\r\ndef";
        QTest::newRow("below 0 changes nothing") << "abc" << -4 << "abc";
        QTest::newRow("empty") << "" << 3 << "";
        QTest::newRow("line break ends a piece early, the next starts with a space")
            << "abcdef\r\nghijkl" << 4 << "abcd\r\nef\r\n ghi\r\njkl";
        QTest::newRow("no space after a line ending in a space") << "abc \r\ndefg" << 5 << "abc \r\ndefg";
        QTest::newRow("blank line kept, no space after it") << "ab\r\n\r\ncd" << 4 << "ab\r\n\r\ncd";
        QTest::newRow("trailing CR LF dropped") << "abc\r\n" << 10 << "abc";
        QTest::newRow("break at the start") << "\r\nabc" << 2 << "\r\na\r\nbc";
        QTest::newRow("lone LF becomes a space") << "ab\ncd" << 10 << "ab cd";
        // A lone CR before an ordinary character is no blank line: the character
        // after it must survive.
        QTest::newRow("lone CRs keep their neighbours") << "ab\rc\rd" << 10 << "ab cd";
        QTest::newRow("lone LFs keep their neighbours") << "\nA\nB" << 10 << "AB";
        QTest::newRow("non-BMP counts one") << SMILE SMILE SMILE SMILE << 3 << SMILE SMILE SMILE "\r\n" SMILE;
        QTest::newRow("non-BMP before a break") << "a" SMILE "\r\nbc" << 3 << "a" SMILE "\r\n bc";
    }

    void breakEvery()
    {
        QFETCH(QString, text);
        QFETCH(int, n);
        QFETCH(QString, expected);
        const tw::TextResult result = tw::breakEvery(text, n);
        QVERIFY(!result.stopped && !result.refused());
        QCOMPARE(result.text, expected);
        checkPieces(Tool::BreakEvery, text, n, expected);
    }

    void stop_data()
    {
        QTest::addColumn<Tool>("tool");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("stopAt");
        QTest::addColumn<QList<qsizetype>>("asked");
        QTest::addColumn<QString>("expected");
        using L = QList<qsizetype>;
        // Join Lines and Create Line ask before every character, the break before every piece.
        QTest::newRow("join, never stopped") << Tool::JoinLines << "ab\r\nc" << 0 << 99 << L{0, 1, 2, 3, 4} << "abc";
        QTest::newRow("join, midway") << Tool::JoinLines << "A\r\nB\r\n\r\nC" << 0 << 4 << L{0, 1, 2, 3, 4} << "AB";
        QTest::newRow("join, after the blank line's CR")
            << Tool::JoinLines << "A\r\nB\r\n\r\nC" << 0 << 6 << L{0, 1, 2, 3, 4, 5, 6} << "AB\r\n\r\n";
        QTest::newRow("join, at once") << Tool::JoinLines << "A\r\nB" << 0 << 0 << L{0} << "";
        QTest::newRow("create, midway") << Tool::CreateLine << "A\r\nB\r\nC" << 0 << 5 << L{0, 1, 2, 3, 4, 5} << "AB";
        QTest::newRow("join, a pair is never split") << Tool::JoinLines << "a" SMILE SMILE << 0 << 2 << L{0, 1, 3}
                                                     << "a" SMILE;
        QTest::newRow("break, never stopped") << Tool::BreakEvery << "abcdefghij" << 4 << 99 << L{0, 4, 8}
                                              << "abcd\r\nefgh\r\nij";
        QTest::newRow("break, after two pieces") << Tool::BreakEvery << "abcdefghij" << 3 << 6 << L{0, 3, 6}
                                                 << "abc\r\ndef\r\n";
        QTest::newRow("break, within a piece waits for its end")
            << Tool::BreakEvery << "abcdefghij" << 3 << 4 << L{0, 3, 6} << "abc\r\ndef\r\n";
    }

    void stop()
    {
        QFETCH(Tool, tool);
        QFETCH(QString, text);
        QFETCH(int, n);
        QFETCH(int, stopAt);
        QFETCH(QList<qsizetype>, asked);
        QFETCH(QString, expected);
        StopAt whole(stopAt);
        const tw::TextResult result = tool == Tool::JoinLines    ? tw::joinLines(text, &whole)
                                      : tool == Tool::CreateLine ? tw::createLine(text, &whole)
                                                                 : tw::breakEvery(text, n, &whole);
        QCOMPARE(result.stopped, stopAt < text.size());
        QVERIFY(!result.refused());
        QCOMPARE(result.text, expected);
        QCOMPARE(whole.positions, asked);
        QCOMPARE(whole.lengths, QList<qsizetype>(asked.size(), text.size()));

        // Fed in two pieces, a scanner stops at the same place, asks at the same
        // positions, and takes no more text once stopped.
        StopAt pieces(stopAt);
        tw::LineToolScanner scanner(tool, n, &pieces, text.size());
        QString out;
        scanner.feed(QStringView(text).first(text.size() / 2), out);
        scanner.feed(QStringView(text).sliced(text.size() / 2), out);
        if (scanner.stopped())
            scanner.feed(u"more", out);
        scanner.finish(out);
        QCOMPARE(scanner.stopped(), result.stopped);
        QCOMPARE(out, expected);
        QCOMPARE(pieces.positions, asked);
        QVERIFY(!scanner.tooLarge());
    }

    void randomTexts()
    {
        QRandomGenerator rng(31337);
        // Lone halves of a pair as well, each a character of its own.
        const QStringList alphabet{"a", "b", " ", "\r\n", "\r\n\r\n", "\r", "\n", SMILE,
                                   QString(QChar(0xD83D)), QString(QChar(0xDE00))};
        const auto strip = [](QString text, const QString &characters) {
            for (QChar c : characters)
                text.remove(c);
            return text;
        };
        for (int i = 0; i < 500; ++i) {
            const QString text = randomText(rng, alphabet, 80);
            const int n = rng.bounded(1, 12);
            // Line breaks go and spaces may come; every other character stays,
            // in its order.
            const QString joined = tw::joinLines(text).text;
            const QString created = tw::createLine(text).text;
            const QString broken = tw::breakEvery(text, n).text;
            QCOMPARE(strip(joined, "\r\n"), strip(text, "\r\n"));
            QCOMPARE(strip(created, "\r\n"), strip(text, "\r\n"));
            QCOMPARE(strip(broken, "\r\n "), strip(text, "\r\n "));
            // Cut into pieces anywhere, the text gives the same results.
            QList<qsizetype> cuts;
            for (qsizetype at = rng.bounded(4); at < text.size(); at += rng.bounded(5))
                cuts << at;
            QCOMPARE(scanInPieces(Tool::JoinLines, text, 0, cuts), joined);
            QCOMPARE(scanInPieces(Tool::CreateLine, text, 0, cuts), created);
            QCOMPARE(scanInPieces(Tool::BreakEvery, text, n, cuts), broken);
            // Create Line leaves a line break only at the very start.
            const QString rest = created.startsWith(crlf) ? created.mid(2) : created;
            QVERIFY(!rest.contains(u'\r') && !rest.contains(u'\n'));
        }
    }
};

QTEST_GUILESS_MAIN(TestLineTools)
#include "test_linetools.moc"
