// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/engine/lineframe.h"

#include <QtTest>

// The line model every operation relies on: split on exact CR LF, empty lines
// skipped unless the gate takes them, and the text rebuilt with CR LF between
// the lines that are kept.
class TestLineFrame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rebuild_data();
    void rebuild();
    void gates_data();
    void gates();
    void observerSeesEveryLine();
    void findCrLf_data();
    void findCrLf();
    void appendsToOutput();
};

namespace {
// Marks each line it sees, so a test can tell which lines reached the operation.
void bracket(QString &line)
{
    line = u'[' + line + u']';
}
} // namespace

void TestLineFrame::rebuild_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("one line") << "abc" << "[abc]";
    QTest::newRow("two lines") << "a\r\nb" << "[a]\r\n[b]";
    QTest::newRow("trailing CR LF kept, empty last line not handed over")
        << "a\r\nb\r\n" << "[a]\r\n[b]\r\n";
    QTest::newRow("empty lines in the middle stay empty") << "a\r\n\r\n\r\nb" << "[a]\r\n\r\n\r\n[b]";
    QTest::newRow("lone LF is part of its line") << "a\nb\r\nc" << "[a\nb]\r\n[c]";
    QTest::newRow("lone CR is part of its line") << "a\rb" << "[a\rb]";
    QTest::newRow("CR CR LF: the first CR belongs to the line") << "a\r\r\nb" << "[a\r]\r\n[b]";
    QTest::newRow("LF CR between lines is no separator") << "a\n\rb" << "[a\n\rb]";
    QTest::newRow("only a separator") << "\r\n" << "\r\n";
    QTest::newRow("non-BMP characters pass whole") << QString::fromUtf8("\xF0\x9F\x98\x80x\r\ny")
                                                   << QString::fromUtf8("[\xF0\x9F\x98\x80x]\r\n[y]");
}

void TestLineFrame::rebuild()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(tw::runLineFrame(text, bracket, {}), expected);
}

void TestLineFrame::gates_data()
{
    QTest::addColumn<bool>("passEmpty");
    QTest::addColumn<bool>("dropEmptied");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    // An operation that empties lines holding "x" and marks every line it sees.
    QTest::newRow("empty lines reach the operation") << true << false << "a\r\n\r\nb" << "a.\r\n.\r\nb.";
    QTest::newRow("emptied lines kept without the drop rule") << false << false << "x\r\na" << "\r\na.";
    QTest::newRow("emptied lines dropped") << true << true << "a\r\nx\r\nb" << "a.\r\nb.";
    QTest::newRow("dropping the first line") << true << true << "x\r\nb" << "b.";
    QTest::newRow("dropping the last line") << true << true << "a\r\nx" << "a.";
    QTest::newRow("dropping every line leaves an empty text") << true << true << "x\r\nx" << "";
}

void TestLineFrame::gates()
{
    QFETCH(bool, passEmpty);
    QFETCH(bool, dropEmptied);
    QFETCH(QString, text);
    QFETCH(QString, expected);

    auto operation = [](QString &line) {
        if (line == u"x")
            line.clear();
        else
            line += u'.';
    };
    QCOMPARE(tw::runLineFrame(text, operation, {passEmpty, dropEmptied}), expected);
}

void TestLineFrame::observerSeesEveryLine()
{
    struct Recorder : tw::FrameObserver {
        qsizetype announced = -1;
        QList<qsizetype> indexes;
        bool finished = false;
        void runStarting(qsizetype lines) override { announced = lines; }
        bool lineStarting(qsizetype index) override
        {
            indexes << index;
            return false;
        }
        void runFinished() override { finished = true; }
    } recorder;

    tw::runLineFrame(u"a\r\n\r\nb\r\n", bracket, {}, &recorder);
    QCOMPARE(recorder.announced, 4);
    QCOMPARE(recorder.indexes, (QList<qsizetype>{0, 1, 2, 3}));
    QVERIFY(recorder.finished);
}

void TestLineFrame::findCrLf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("expected");

    // The search runs eight characters at a time, so pairs are placed on
    // both sides of such steps and in the short tail after them.
    const QString sixteen = QStringLiteral("abcdefghijklmnop");
    QTest::newRow("none") << "abc" << 0 << -1;
    QTest::newRow("empty") << "" << 0 << -1;
    QTest::newRow("at the start") << "\r\nabc" << 0 << 0;
    QTest::newRow("lone CR at the end") << "abc\r" << 0 << -1;
    QTest::newRow("lone LF") << "a\nb\r\n" << 0 << 3;
    QTest::newRow("CR CR LF") << "a\r\r\nb" << 0 << 2;
    QTest::newRow("LF CR is no pair") << "a\n\rb" << 0 << -1;
    QTest::newRow("from after a pair") << "a\r\nb\r\nc" << 2 << 4;
    QTest::newRow("from past the end") << "a\r\n" << 9 << -1;
    QTest::newRow("negative from") << "a\r\n" << -3 << 1;
    QTest::newRow("pair across the eighth character") << "abcdefg\r\nh" << 0 << 7;
    QTest::newRow("pair in the tail") << sixteen + "ab\r\n" << 0 << 18;
    QTest::newRow("lone CRs before the pair") << "\ra\rbcdefgh\r" + sixteen + "\r\n" << 0 << 27;
    QTest::newRow("CR ends a step, LF starts the next") << "abcdefghijklmno\r\nx" << 0 << 15;
}

void TestLineFrame::findCrLf()
{
    QFETCH(QString, text);
    QFETCH(int, from);
    QFETCH(int, expected);
    QCOMPARE(tw::findCrLf(text, from), qsizetype(expected));
    QCOMPARE(tw::lineCount(text), text.count(QStringLiteral("\r\n")) + 1);
}

void TestLineFrame::appendsToOutput()
{
    // The overload for block-by-block callers appends and keeps what was there.
    QString output = QStringLiteral("kept");
    tw::runLineFrame(u"a\r\n\r\nb", bracket, {}, output);
    QCOMPARE(output, QStringLiteral("kept[a]\r\n\r\n[b]"));
}

QTEST_GUILESS_MAIN(TestLineFrame)
#include "test_lineframe.moc"
