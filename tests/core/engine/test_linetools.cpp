// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include "core/engine/linetools.h"

#include <QRandomGenerator>

namespace {

QString grin() { return QString::fromUtf8("\xF0\x9F\x98\x80"); } // U+1F600, two code units

// Asks before every step and says stop once the scan reaches a position.
class StopAt : public tw::ScanObserver
{
public:
    explicit StopAt(qsizetype position) : m_position(position) {}
    bool goOn(qsizetype position, qsizetype length) override
    {
        positions.append(position);
        lengths.append(length);
        return position < m_position;
    }
    qsizetype checkInterval() const override { return 1; }

    QList<qsizetype> positions;
    QList<qsizetype> lengths;

private:
    qsizetype m_position;
};

enum class Tool { Join, Create, Break };

tw::TextResult run(Tool tool, const QString &text, int n = 0, tw::ScanObserver *observer = nullptr)
{
    switch (tool) {
    case Tool::Join: return tw::joinLines(text, observer);
    case Tool::Create: return tw::createLine(text, observer);
    case Tool::Break: return tw::breakEvery(text, n, observer);
    }
    return {};
}

} // namespace

Q_DECLARE_METATYPE(Tool)

namespace {

tw::LineToolScanner::Tool scannerTool(Tool tool)
{
    switch (tool) {
    case Tool::Join: return tw::LineToolScanner::Tool::JoinLines;
    case Tool::Create: return tw::LineToolScanner::Tool::CreateLine;
    case Tool::Break: return tw::LineToolScanner::Tool::BreakEvery;
    }
    return tw::LineToolScanner::Tool::JoinLines;
}

// The text fed to a scanner in pieces cut at the given unit positions.
QString scanInPieces(Tool tool, const QString &text, int n, const QList<int> &cuts,
                     tw::ScanObserver *observer = nullptr)
{
    tw::LineToolScanner scanner(scannerTool(tool), n, observer, text.size());
    QString out;
    qsizetype from = 0;
    for (int cut : cuts) {
        scanner.feed(QStringView(text).sliced(from, cut - from), out);
        from = cut;
    }
    scanner.feed(QStringView(text).sliced(from), out);
    scanner.finish(out);
    return out;
}

} // namespace

class TestLineTools : public QObject
{
    Q_OBJECT

private slots:
    void joinAndCreate_data();
    void joinAndCreate();
    void breakEvery_data();
    void breakEvery();
    void stop_data();
    void stop();
    void observerSeesProgress();
    void joinKeepsEveryOtherCharacter();
    void breakCutsRunningTextExactly();
    void breakLosesNoCharacter();
    void pieces_data();
    void pieces();
    void piecesStopMidway();
    void randomPiecesGiveTheWholeResult();
};

void TestLineTools::joinAndCreate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("joined");
    QTest::addColumn<QString>("created");

    QTest::newRow("paragraphs") << "A\r\nB\r\n\r\nC" << "AB\r\n\r\nC" << "ABC";
    QTest::newRow("break at the start") << "\r\nA\r\nB" << "\r\nAB" << "\r\nAB";
    QTest::newRow("blank line at the start") << "\r\n\r\nA" << "\r\n\r\nA" << "\r\nA";
    QTest::newRow("trailing CR LF") << "A\r\nB\r\n" << "AB" << "AB";
    QTest::newRow("lone CR") << "A\rB" << "AB" << "AB";
    QTest::newRow("lone LF") << "A\nB" << "AB" << "AB";
    QTest::newRow("lone LF at the start") << "\nA" << "\r\nA" << "\r\nA";
    QTest::newRow("nothing to join") << "one line" << "one line" << "one line";
    QTest::newRow("empty") << "" << "" << "";
    QTest::newRow("no space put in") << "end.\r\nStart" << "end.Start" << "end.Start";
    QTest::newRow("non-BMP") << grin() + "\r\n" + grin() << grin() + grin() << grin() + grin();
    // The blank-line test looks two characters ahead; a character outside the
    // BMP is one of them, not two.
    QTest::newRow("non-BMP in the look-ahead") << "A\r" + grin() + "\rB"
                                               << "A\r\n" + grin() + "B" << "A" + grin() + "B";
}

void TestLineTools::joinAndCreate()
{
    QFETCH(QString, text);
    QFETCH(QString, joined);
    QFETCH(QString, created);
    const tw::TextResult join = tw::joinLines(text);
    QCOMPARE(join.text, joined);
    QVERIFY(!join.stopped && !join.refused());
    QCOMPARE(tw::createLine(text).text, created);
}

void TestLineTools::breakEvery_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("expected");

    QTest::newRow("N=3, remainder") << "abcdefghij" << 3 << "abc\r\ndef\r\nghi\r\nj";
    QTest::newRow("N=3, exact") << "abcdefghi" << 3 << "abc\r\ndef\r\nghi";
    QTest::newRow("N=0 changes nothing") << "abc\r\ndef" << 0 << "abc\r\ndef";
    QTest::newRow("below 0 changes nothing") << "abc" << -4 << "abc";
    QTest::newRow("N longer than the text") << "abc" << 10 << "abc";
    QTest::newRow("empty") << "" << 3 << "";
    QTest::newRow("line break ends a piece early, then a space")
        << "abcdef\r\nghijkl" << 4 << "abcd\r\nef\r\n ghi\r\njkl";
    QTest::newRow("no space after a line ending in a space")
        << "abc \r\ndefg" << 5 << "abc \r\ndefg";
    QTest::newRow("blank line kept, no space after it") << "ab\r\n\r\ncd" << 4
                                                        << "ab\r\n\r\ncd";
    QTest::newRow("trailing CR LF dropped") << "abc\r\n" << 10 << "abc";
    QTest::newRow("break at the start") << "\r\nabc" << 2 << "\r\na\r\nbc";
    QTest::newRow("lone LF becomes a space") << "ab\ncd" << 10 << "ab cd";
    // A lone CR before an ordinary character is no blank line: the character
    // after it must survive.
    QTest::newRow("lone CRs keep their neighbours") << "ab\rc\rd" << 10 << "ab cd";
    QTest::newRow("lone LFs keep their neighbours") << "\nA\nB" << 10 << "AB";
    QTest::newRow("non-BMP counts one") << grin() + grin() + grin() + grin() << 3
                                        << grin() + grin() + grin() + "\r\n" + grin();
    QTest::newRow("non-BMP before a break") << "a" + grin() + "\r\nbc" << 3
                                            << "a" + grin() + "\r\n bc";
}

void TestLineTools::breakEvery()
{
    QFETCH(QString, text);
    QFETCH(int, n);
    QFETCH(QString, expected);
    const tw::TextResult result = tw::breakEvery(text, n);
    QVERIFY(!result.stopped && !result.refused());
    QCOMPARE(result.text, expected);
}

void TestLineTools::stop_data()
{
    QTest::addColumn<Tool>("tool");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("stopAt");
    QTest::addColumn<QString>("expected");

    QTest::newRow("join, midway") << Tool::Join << "A\r\nB\r\n\r\nC" << 0 << 4 << "AB";
    QTest::newRow("join, after the blank line's CR")
        << Tool::Join << "A\r\nB\r\n\r\nC" << 0 << 6 << "AB\r\n\r\n";
    QTest::newRow("join, at once") << Tool::Join << "A\r\nB" << 0 << 0 << "";
    QTest::newRow("create, midway") << Tool::Create << "A\r\nB\r\nC" << 0 << 5 << "AB";
    QTest::newRow("break, after two pieces") << Tool::Break << "abcdefghij" << 3 << 6
                                             << "abc\r\ndef\r\n";
    QTest::newRow("break, within a piece waits for its end")
        << Tool::Break << "abcdefghij" << 3 << 4 << "abc\r\ndef\r\n";
    QTest::newRow("non-BMP never split")
        << Tool::Join << "a" + grin() + grin() << 0 << 2 << "a" + grin();
}

void TestLineTools::stop()
{
    QFETCH(Tool, tool);
    QFETCH(QString, text);
    QFETCH(int, n);
    QFETCH(int, stopAt);
    QFETCH(QString, expected);
    StopAt observer(stopAt);
    const tw::TextResult result = run(tool, text, n, &observer);
    QVERIFY(result.stopped);
    QVERIFY(!result.refused());
    QCOMPARE(result.text, expected);
}

void TestLineTools::observerSeesProgress()
{
    const QString text = QStringLiteral("abcdefghij");
    StopAt observer(text.size() + 1);
    const tw::TextResult result = tw::breakEvery(text, 4, &observer);
    QVERIFY(!result.stopped);
    QCOMPARE(observer.positions, (QList<qsizetype>{0, 4, 8}));
    QCOMPARE(observer.lengths, (QList<qsizetype>{10, 10, 10}));

    StopAt joinObserver(100);
    tw::joinLines(u"ab\r\nc", &joinObserver);
    QCOMPARE(joinObserver.positions, (QList<qsizetype>{0, 1, 2, 3, 4}));
}

namespace {

QString randomText(QRandomGenerator &rng, const QStringList &alphabet, int maxPieces = 80)
{
    QString text;
    const int pieces = rng.bounded(0, maxPieces);
    for (int i = 0; i < pieces; ++i)
        text += alphabet[rng.bounded(int(alphabet.size()))];
    return text;
}

QString strip(QString text, const QString &characters)
{
    for (QChar c : characters)
        text.remove(c);
    return text;
}

} // namespace

void TestLineTools::joinKeepsEveryOtherCharacter()
{
    QRandomGenerator rng(31337);
    const QStringList alphabet{"a", "b", " ", "\r\n", "\r\n\r\n", "\r", "\n", grin()};
    for (int i = 0; i < 500; ++i) {
        const QString text = randomText(rng, alphabet);
        const QString joined = tw::joinLines(text).text;
        const QString created = tw::createLine(text).text;
        QCOMPARE(strip(joined, "\r\n"), strip(text, "\r\n"));
        QCOMPARE(strip(created, "\r\n"), strip(text, "\r\n"));
        // Create Line leaves a line break only at the very start.
        const QString rest = created.startsWith(u"\r\n") ? created.mid(2) : created;
        QVERIFY(!rest.contains(u'\r') && !rest.contains(u'\n'));
    }
}

void TestLineTools::breakCutsRunningTextExactly()
{
    QRandomGenerator rng(4242);
    const QStringList alphabet{"a", "b", " ", grin()};
    for (int i = 0; i < 300; ++i) {
        const QString text = randomText(rng, alphabet);
        const int n = rng.bounded(1, 9);
        const QString result = tw::breakEvery(text, n).text;
        const QStringList lines = result.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.join(QString()), text);
        for (qsizetype k = 0; k < lines.size(); ++k) {
            const qsizetype chars = lines[k].toUcs4().size();
            if (k + 1 < lines.size())
                QCOMPARE(chars, qsizetype(n));
            else
                QVERIFY(chars >= 1 || text.isEmpty());
        }
    }
}

void TestLineTools::breakLosesNoCharacter()
{
    // Line breaks may go and spaces may come, but every other character
    // survives in its order, whatever mix of CR and LF the text holds.
    QRandomGenerator rng(5150);
    const QStringList alphabet{"a", "b", " ", "\r\n", "\r", "\n", grin()};
    for (int i = 0; i < 500; ++i) {
        const QString text = randomText(rng, alphabet);
        const int n = rng.bounded(1, 7);
        QCOMPARE(strip(tw::breakEvery(text, n).text, "\r\n "), strip(text, "\r\n "));
    }
}

void TestLineTools::pieces_data()
{
    QTest::addColumn<Tool>("tool");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("cuts");
    QTest::addColumn<QString>("expected");

    const QString high(QChar(0xD83D));
    QTest::newRow("join, CR LF split") << Tool::Join << 0 << "ab\r\ncd" << QList<int>{3}
                                       << "abcd";
    QTest::newRow("join, blank line split after its CR")
        << Tool::Join << 0 << "A\r\n\r\nC" << QList<int>{4} << "A\r\n\r\nC";
    QTest::newRow("join, look-ahead over three pieces")
        << Tool::Join << 0 << "A\r\n\r\nC" << QList<int>{2, 3, 4} << "A\r\n\r\nC";
    QTest::newRow("join, break at the start split") << Tool::Join << 0 << "\r\nA\r\nB"
                                                    << QList<int>{1} << "\r\nAB";
    QTest::newRow("join, pair split") << Tool::Join << 0 << "a" + grin() + "\r\nb"
                                      << QList<int>{2} << "a" + grin() + "b";
    QTest::newRow("join, pair split in the look-ahead")
        << Tool::Join << 0 << "A\r" + grin() + "\rB" << QList<int>{3} << "A\r\n" + grin() + "B";
    QTest::newRow("create, one unit a piece")
        << Tool::Create << 0 << "a\r\n\r\nb\nc" << QList<int>{1, 2, 3, 4, 5, 6, 7} << "abc";
    QTest::newRow("create, empty pieces") << Tool::Create << 0 << "a\r\nb"
                                          << QList<int>{0, 0, 2, 2, 4} << "ab";
    QTest::newRow("create, lone high half at the end")
        << Tool::Create << 0 << "ab" + high << QList<int>{2} << "ab" + high;
    QTest::newRow("break, CR LF split") << Tool::Break << 4 << "abcdef\r\nghijkl"
                                        << QList<int>{7} << "abcd\r\nef\r\n ghi\r\njkl";
    QTest::newRow("break, piece ends with the text's piece")
        << Tool::Break << 3 << "abcdef" << QList<int>{3} << "abc\r\ndef";
    QTest::newRow("break, no CR LF after the last piece")
        << Tool::Break << 3 << "abcdef" << QList<int>{6} << "abc\r\ndef";
    QTest::newRow("break, pair split") << Tool::Break << 3 << grin() + grin() + grin() + grin()
                                       << QList<int>{1, 5} << grin() + grin() + grin() + "\r\n" + grin();
    QTest::newRow("break, blank line split") << Tool::Break << 4 << "ab\r\n\r\ncd"
                                             << QList<int>{3, 5} << "ab\r\n\r\ncd";
    // The LF decides on a space by the character before its CR, which came
    // with the piece before.
    QTest::newRow("break, space rule looks back over a piece")
        << Tool::Break << 10 << "abc\r\ndefg" << QList<int>{4} << "abc\r\n defg";
    QTest::newRow("break, space rule looks back over two pieces")
        << Tool::Break << 10 << "abc\r\ndefg" << QList<int>{4, 5} << "abc\r\n defg";
    QTest::newRow("break, space rule looks back from the next piece")
        << Tool::Break << 10 << "abc\r\ndefg" << QList<int>{3} << "abc\r\n defg";
    QTest::newRow("break, zero passes pieces through")
        << Tool::Break << 0 << "ab\r\ncd" << QList<int>{3} << "ab\r\ncd";
}

void TestLineTools::pieces()
{
    QFETCH(Tool, tool);
    QFETCH(int, n);
    QFETCH(QString, text);
    QFETCH(QList<int>, cuts);
    QFETCH(QString, expected);
    QCOMPARE(run(tool, text, n).text, expected);
    QCOMPARE(scanInPieces(tool, text, n, cuts), expected);
}

void TestLineTools::piecesStopMidway()
{
    // Stopped in the second piece, a scanner gives what the whole-text run
    // gives for the same stop, asks at the same positions, and takes no
    // more text after that.
    const QString text = QStringLiteral("abcdefghij");
    StopAt whole(6);
    const tw::TextResult expected = tw::breakEvery(text, 3, &whole);
    StopAt observer(6);
    tw::LineToolScanner scanner(tw::LineToolScanner::Tool::BreakEvery, 3, &observer,
                                text.size());
    QString out;
    scanner.feed(QStringView(text).first(4), out);
    QVERIFY(!scanner.stopped());
    scanner.feed(QStringView(text).sliced(4), out);
    QVERIFY(scanner.stopped());
    scanner.feed(u"more", out);
    scanner.finish(out);
    QCOMPARE(out, expected.text);
    QCOMPARE(out, QStringLiteral("abc\r\ndef\r\n"));
    QCOMPARE(observer.positions, whole.positions);
    QVERIFY(!scanner.tooLarge());
}

void TestLineTools::randomPiecesGiveTheWholeResult()
{
    QRandomGenerator rng(8080);
    const QStringList alphabet{"a", "b", " ", "\r\n", "\r\n\r\n", "\r", "\n", grin(),
                               QString(QChar(0xD83D)), QString(QChar(0xDE00))};
    for (int i = 0; i < 600; ++i) {
        const QString text = randomText(rng, alphabet, 40);
        const Tool tool = Tool(rng.bounded(3));
        const int n = rng.bounded(1, 8);
        QList<int> cuts;
        for (int at = rng.bounded(0, 4); at < text.size(); at += rng.bounded(0, 5))
            cuts << at;
        QCOMPARE(scanInPieces(tool, text, n, cuts), run(tool, text, n).text);
    }
}

QTEST_GUILESS_MAIN(TestLineTools)
#include "test_linetools.moc"
