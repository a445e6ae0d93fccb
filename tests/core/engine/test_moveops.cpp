// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/engine/moveops.h"

#include <QtTest>

// A character outside the Basic Multilingual Plane: one column, two code units.
#define SMILE "\U0001F600"

class TestMoveOps : public QObject
{
    Q_OBJECT

private slots:
    void moveLine_data();
    void moveLine();
    void throughFrame_data();
    void throughFrame();
    void namedOperations();
    void defaults();
    void requiredField();
    void gate();
};

void TestMoveOps::moveLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("specific");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("endOfLine");
    QTest::addColumn<QString>("options");
    QTest::addColumn<int>("spaces");
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("expected");

    const QString gm = QStringLiteral("General Move");
    const QString sm = QStringLiteral("Specific Move");
    const QString omit = QStringLiteral("Omit spaces");
    const QString add = QStringLiteral("Add spaces");
    const QString both = QStringLiteral("Both sides");
    const QString right = QStringLiteral("Right side");

    // General Move
    QTest::newRow("forward to column 6") << "abcdef" << gm << "" << 2 << 2 << 6 << false << omit << 1 << both << "adebcf";
    QTest::newRow("to column 1, source shifts") << "abcdef" << gm << "" << 5 << 2 << 1 << false << omit << 1 << both << "efabcd";
    QTest::newRow("to column 1, right space") << "abcdef" << gm << "" << 5 << 2 << 1 << false << add << 1 << right << "ef abcd";
    QTest::newRow("to end of line") << "abc" << gm << "" << 1 << 1 << 1 << true << omit << 1 << both << "bca";
    QTest::newRow("end of line ignores to column") << "abc" << gm << "" << 1 << 1 << 2 << true << omit << 1 << both << "bca";
    QTest::newRow("from past the end") << "abc" << gm << "" << 4 << 1 << 1 << false << omit << 1 << both << "abc";
    QTest::newRow("from far past the end") << "abc" << gm << "" << 999 << 3 << 1 << true << add << 2 << both << "abc";
    QTest::newRow("0 characters") << "abc" << gm << "" << 2 << 0 << 1 << false << add << 1 << both << "abc";
    QTest::newRow("from column 0 leaves the line") << "abc" << gm << "" << 0 << 2 << 3 << false << omit << 1 << both << "abc";
    QTest::newRow("count past the end") << "abcdef" << gm << "" << 5 << 10 << 1 << false << omit << 1 << both << "efabcd";
    QTest::newRow("to column past the end appends") << "abcdef" << gm << "" << 1 << 2 << 50 << false << omit << 1 << both << "cdefab";
    QTest::newRow("to past the end adds no filling") << "abc" << gm << "" << 1 << 1 << 10 << false << add << 1 << right << "bca ";
    QTest::newRow("to column 0 counts as 1") << "abcdef" << gm << "" << 3 << 1 << 0 << false << omit << 1 << both << "cabdef";
    QTest::newRow("to its own column, spaces") << "abcdef" << gm << "" << 2 << 2 << 2 << false << add << 1 << both << "a bc def";
    QTest::newRow("to just after itself") << "abcdef" << gm << "" << 2 << 2 << 4 << false << omit << 1 << both << "abcdef";
    QTest::newRow("to inside itself, taken literally") << "abcdef" << gm << "" << 2 << 3 << 3 << false << omit << 1 << both << "adcdef";
    QTest::newRow("whole line to column 1") << "abc" << gm << "" << 1 << 3 << 1 << false << add << 1 << both << " abc ";
    QTest::newRow("left spaces at end of line") << "abc" << gm << "" << 1 << 1 << 1 << true << add << 2 << "Left side" << "bc  a";
    QTest::newRow("unknown placement adds nothing") << "abc" << gm << "" << 1 << 1 << 1 << true << add << 2 << "Middle" << "bca";
    QTest::newRow("lone LF is one column") << "a\nbc" << gm << "" << 2 << 1 << 1 << true << omit << 1 << both << "abc\n";
    QTest::newRow("lone CR is one column") << "\rab" << gm << "" << 1 << 1 << 3 << false << omit << 1 << both << "a\rb";
    QTest::newRow("non-BMP is one column") << "a" SMILE "bc" << gm << "" << 2 << 1 << 1 << true << omit << 1 << both << "abc" SMILE;
    QTest::newRow("non-BMP columns before the source") << SMILE SMILE "x" << gm << "" << 3 << 1 << 1 << false << omit << 1 << both << "x" SMILE SMILE;
    QTest::newRow("non-BMP target column") << SMILE "ab" << gm << "" << 1 << 1 << 3 << false << omit << 1 << both << "a" SMILE "b";
    QTest::newRow("non-BMP count") << "a" SMILE SMILE "b" << gm << "" << 2 << 2 << 1 << false << omit << 1 << both << SMILE SMILE "ab";

    // Specific Move
    QTest::newRow("specific matches") << "abXYcd" << sm << "XY" << 3 << 1 << 1 << false << omit << 1 << both << "XYabcd";
    QTest::newRow("specific elsewhere") << "aXYbcd" << sm << "XY" << 3 << 1 << 1 << false << omit << 1 << both << "aXYbcd";
    QTest::newRow("specific is case-sensitive") << "abxycd" << sm << "XY" << 3 << 1 << 1 << false << omit << 1 << both << "abxycd";
    QTest::newRow("specific to end of line") << "abXYcd" << sm << "XY" << 3 << 1 << 1 << true << omit << 1 << both << "abcdXY";
    QTest::newRow("specific ignores the count") << "abXYcd" << sm << "XY" << 3 << 0 << 7 << false << omit << 1 << both << "abcdXY";
    QTest::newRow("specific cut off by the end") << "abX" << sm << "XY" << 3 << 1 << 1 << false << omit << 1 << both << "abX";
    QTest::newRow("specific from column 0") << "XYab" << sm << "XY" << 0 << 1 << 4 << false << omit << 1 << both << "XYab";
    QTest::newRow("specific empty text") << "abc" << sm << "" << 2 << 1 << 1 << false << omit << 1 << both << "abc";
    QTest::newRow("specific non-BMP") << "ab" SMILE "cd" << sm << SMILE "c" << 3 << 1 << 1 << false << omit << 1 << both << SMILE "cabd";
    QTest::newRow("specific with spaces") << "abXYcd" << sm << "XY" << 3 << 1 << 1 << true << add << 1 << both << "abcd XY ";

    // A typed text
    QTest::newRow("typed, first occurrence only") << "abcb" << "b" << "" << 1 << 1 << 1 << true << omit << 1 << both << "acbb";
    QTest::newRow("typed, to column") << "xxabx" << "ab" << "" << 9 << 9 << 1 << false << omit << 1 << both << "abxxx";
    QTest::newRow("typed, absent") << "abc" << "z" << "" << 1 << 1 << 1 << true << omit << 1 << both << "abc";
    QTest::newRow("typed, case-sensitive") << "abc" << "B" << "" << 1 << 1 << 1 << true << omit << 1 << both << "abc";
    QTest::newRow("typed, spaces both sides") << "a-b" << "-" << "" << 1 << 1 << 1 << true << add << 1 << both << "ab - ";
    QTest::newRow("typed list entry in other case") << "general move x" << "general move" << "" << 1 << 1 << 1 << true << omit << 1 << both << " xgeneral move";
    QTest::newRow("typed non-BMP") << "ab" SMILE "c" << SMILE << "" << 1 << 1 << 1 << true << omit << 1 << both << "abc" SMILE;
    QTest::newRow("typed overlapping") << "aaa" << "aa" << "" << 1 << 1 << 1 << true << omit << 1 << both << "aaa";
    QTest::newRow("empty type leaves the line") << "abc" << "" << "" << 1 << 1 << 1 << true << omit << 1 << both << "abc";
}

void TestMoveOps::moveLine()
{
    QFETCH(QString, line);
    QFETCH(QString, type);
    QFETCH(QString, specific);
    QFETCH(int, from);
    QFETCH(int, count);
    QFETCH(int, to);
    QFETCH(bool, endOfLine);
    QFETCH(QString, options);
    QFETCH(int, spaces);
    QFETCH(QString, place);
    QFETCH(QString, expected);

    tw::MoveParams params;
    params.textToMove = type;
    params.moveSpecificText = specific;
    params.moveFromCol = from;
    params.moveNumOfChars = count;
    params.moveToCol = to;
    params.moveEndOfLine = endOfLine;
    params.moveOptions = options;
    params.moveSpaces = spaces;
    params.movePlaceSpaces = place;

    tw::moveLine(line, params);
    QCOMPARE(line, expected);
}

void TestMoveOps::throughFrame_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("trailing CR LF kept") << "abc\r\ndef\r\n" << "bca\r\nefd\r\n";
    QTest::newRow("empty lines kept") << "abc\r\n\r\n\r\ndef" << "bca\r\n\r\n\r\nefd";
    QTest::newRow("one line") << "abc" << "bca";
    QTest::newRow("only CR LF") << "\r\n" << "\r\n";
    QTest::newRow("lone LF stays inside") << "a\nb\r\nc" << "\nba\r\nc";
    QTest::newRow("CR LF split exactly") << "\r\r\n\n\n" << "\r\r\n\n\n";
}

void TestMoveOps::throughFrame()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);

    tw::MoveParams params;
    params.textToMove = QStringLiteral("General Move");
    params.moveEndOfLine = true;
    QCOMPARE(tw::runLineFrame(text, tw::moveOperation(params), tw::moveGate(params)), expected);
}

void TestMoveOps::namedOperations()
{
    // Each named operation does its own kind of move, whatever the type says.
    tw::MoveParams params;
    params.textToMove = QStringLiteral("c");
    params.moveSpecificText = QStringLiteral("b");
    params.moveFromCol = 2;
    params.moveEndOfLine = true;

    QString line = QStringLiteral("abcd");
    tw::generalMove(line, params);
    QCOMPARE(line, QStringLiteral("acdb"));

    line = QStringLiteral("abcd");
    tw::specificMove(line, params);
    QCOMPARE(line, QStringLiteral("acdb"));

    line = QStringLiteral("abcd");
    tw::enteredMove(line, params);
    QCOMPARE(line, QStringLiteral("abdc"));
}

void TestMoveOps::defaults()
{
    const tw::MoveParams params;
    QVERIFY(params.textToMove.isEmpty());
    QVERIFY(params.moveSpecificText.isEmpty());
    QCOMPARE(params.moveFromCol, 1);
    QCOMPARE(params.moveNumOfChars, 1);
    QCOMPARE(params.moveToCol, 1);
    QCOMPARE(params.moveEndOfLine, false);
    QCOMPARE(params.moveOptions, QStringLiteral("Omit spaces"));
    QCOMPARE(params.moveSpaces, 1);
    QCOMPARE(params.movePlaceSpaces, QStringLiteral("Both sides"));
}

void TestMoveOps::requiredField()
{
    tw::MoveParams params;
    QCOMPARE(tw::moveMissingFieldMessage(params),
             QStringLiteral("Please enter text to move; or select a move type and enter "
                            "'Specific text to move', if necessary."));
    params.textToMove = QStringLiteral("General Move");
    QVERIFY(tw::moveMissingFieldMessage(params).isEmpty());
}

void TestMoveOps::gate()
{
    tw::MoveParams params;
    params.moveSpecificText = QStringLiteral("\r\n");
    const tw::LineGate gate = tw::moveGate(params);
    QVERIFY(!gate.passEmptyLines);
    QVERIFY(!gate.dropEmptiedLines);
}

QTEST_GUILESS_MAIN(TestMoveOps)
#include "test_moveops.moc"
