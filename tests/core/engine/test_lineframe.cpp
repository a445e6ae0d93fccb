// SPDX-License-Identifier: GPL-3.0-or-later
#include "enginetest.h"

using namespace enginetest;

// The line model every operation relies on: split on the exact pair CR LF,
// empty lines passed over unless the gate takes them, lines the operation
// empties dropped only when the gate says so, and the text rebuilt with CR LF
// between the lines that are kept.
class TestLineFrame : public QObject
{
    Q_OBJECT

private slots:
    void run_data()
    {
        QTest::addColumn<bool>("passEmpty");
        QTest::addColumn<bool>("dropEmptied");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        // The operation brackets every line it sees and empties the line "x".
        QTest::newRow("one line") << false << false << "abc" << "[abc]";
        QTest::newRow("trailing CR LF kept, its empty line not handed over")
            << false << false << "a\r\nb\r\n" << "[a]\r\n[b]\r\n";
        QTest::newRow("empty lines in the middle stay") << false << false << "a\r\n\r\n\r\nb" << "[a]\r\n\r\n\r\n[b]";
        QTest::newRow("lone LF and CR belong to their line") << false << false << "a\nb\rc\r\nd" << "[a\nb\rc]\r\n[d]";
        QTest::newRow("CR CR LF: the first CR belongs to the line") << false << false << "a\r\r\nb" << "[a\r]\r\n[b]";
        QTest::newRow("LF CR is no separator") << false << false << "a\n\rb" << "[a\n\rb]";
        QTest::newRow("non-BMP characters pass whole") << false << false << SMILE "x\r\ny" << "[" SMILE "x]\r\n[y]";
        QTest::newRow("emptied line kept") << false << false << "x\r\na" << "\r\n[a]";
        QTest::newRow("empty lines reach the operation") << true << false << "a\r\n\r\nb" << "[a]\r\n[]\r\n[b]";
        QTest::newRow("an empty text is one empty line") << true << false << "" << "[]";
        QTest::newRow("emptied lines dropped, first and last too") << true << true << "x\r\na\r\nx\r\nb\r\nx"
            << "[a]\r\n[b]";
        QTest::newRow("dropping every line leaves an empty text") << true << true << "x\r\nx" << "";
    }

    void run()
    {
        QFETCH(bool, passEmpty);
        QFETCH(bool, dropEmptied);
        QFETCH(QString, text);
        QFETCH(QString, expected);

        const auto operation = [](QString &line) {
            line = line == u"x" ? QString() : u'[' + line + u']';
        };
        Recorder recorder;
        QCOMPARE(tw::runLineFrame(text, operation, {passEmpty, dropEmptied}, &recorder), expected);
        QVERIFY(recorder.toldOfLines(text.count(crlf) + 1));

        // The overload for callers that run block after block appends to what
        // the output already holds.
        QString output = QStringLiteral("kept");
        tw::runLineFrame(text, operation, {passEmpty, dropEmptied}, output);
        QCOMPARE(output, "kept" + expected);
    }

    void findCrLf_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("expected");

        // The search runs eight characters at a time, so pairs are placed on
        // both sides of such steps and in the short tail after them.
        const QString sixteen = QStringLiteral("abcdefghijklmnop");
        QTest::newRow("none") << "abc" << 0 << -1;
        QTest::newRow("at the start") << "\r\nabc" << 0 << 0;
        QTest::newRow("lone CR at the end") << "abc\r" << 0 << -1;
        QTest::newRow("after a lone LF") << "a\nb\r\n" << 0 << 3;
        QTest::newRow("CR CR LF") << "a\r\r\nb" << 0 << 2;
        QTest::newRow("LF CR is no pair") << "a\n\rb" << 0 << -1;
        QTest::newRow("from after a pair") << "a\r\nb\r\nc" << 2 << 4;
        QTest::newRow("from past the end") << "a\r\n" << 9 << -1;
        QTest::newRow("negative from") << "a\r\n" << -3 << 1;
        QTest::newRow("CR ends a step, LF starts the next") << "abcdefghijklmno\r\nx" << 0 << 15;
        QTest::newRow("pair in the tail") << sixteen + "ab\r\n" << 0 << 18;
        QTest::newRow("lone CRs before the pair") << "\ra\rbcdefgh\r" + sixteen + "\r\n" << 0 << 27;
    }

    void findCrLf()
    {
        QFETCH(QString, text);
        QFETCH(int, from);
        QFETCH(int, expected);
        QCOMPARE(tw::findCrLf(text, from), qsizetype(expected));
        QCOMPARE(tw::lineCount(text), text.count(crlf) + 1);
    }
};

QTEST_GUILESS_MAIN(TestLineFrame)
#include "test_lineframe.moc"
