// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/engine/addops.h"

#include <QtTest>

#define SMILE "\U0001F600"

class TestAddOps : public QObject
{
    Q_OBJECT

private slots:
    void addLine_data();
    void addLine();
    void throughFrame_data();
    void throughFrame();
    void defaults();
    void requiredField();
    void gate();
};

void TestAddOps::addLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("condition");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("endOfLine");
    QTest::addColumn<QString>("options");
    QTest::addColumn<int>("spaces");
    QTest::addColumn<QString>("place");
    QTest::addColumn<QString>("expected");

    const QString omit = QStringLiteral("Omit spaces");
    const QString add = QStringLiteral("Add spaces");
    const QString both = QStringLiteral("Both sides");
    const QString left = QStringLiteral("Left side");

    QTest::newRow("column 1 in front") << "abc" << " - " << "" << 1 << false << omit << 1 << both << " - abc";
    QTest::newRow("column 2") << "abc" << "X" << "" << 2 << false << omit << 1 << both << "aXbc";
    QTest::newRow("last column") << "abc" << "X" << "" << 3 << false << omit << 1 << both << "abXc";
    QTest::newRow("just past the end") << "abc" << "X" << "" << 4 << false << omit << 1 << both << "abcX";
    QTest::newRow("far past the end appends") << "abc" << "X" << "" << 999 << false << omit << 1 << both << "abcX";
    QTest::newRow("column 0 counts as 1") << "abc" << "X" << "" << 0 << false << omit << 1 << both << "Xabc";
    QTest::newRow("end of line, left spaces") << "abc" << "X" << "" << 1 << true << add << 2 << left << "abc  X";
    QTest::newRow("end of line ignores column") << "abc" << "X" << "" << 2 << true << omit << 1 << both << "abcX";
    QTest::newRow("both sides at column") << "abc" << "X" << "" << 2 << false << add << 1 << both << "a X bc";
    QTest::newRow("right side") << "abc" << "X" << "" << 1 << false << add << 1 << "Right side" << "X abc";
    QTest::newRow("unknown placement") << "abc" << "X" << "" << 1 << false << add << 1 << "Centre" << "Xabc";
    QTest::newRow("condition found") << "xaby" << "!" << "ab" << 1 << true << omit << 1 << both << "xaby!";
    QTest::newRow("condition case-sensitive") << "xAby" << "!" << "ab" << 1 << true << omit << 1 << both << "xAby";
    QTest::newRow("condition with line break never matches") << "ab" << "!" << "ab\r\n" << 1 << true << omit << 1 << both << "ab";
    QTest::newRow("CR LF condition, non-empty line") << "ab" << "!" << "\r\n" << 1 << true << omit << 1 << both << "ab";
    QTest::newRow("CR LF condition, empty line") << "" << "X" << "\r\n" << 5 << false << omit << 1 << both << "X";
    QTest::newRow("CR LF condition, empty line, spaces") << "" << "X" << "\r\n" << 1 << false << add << 1 << both << " X ";
    QTest::newRow("lone LF condition") << "a\nb" << "!" << "\n" << 1 << true << omit << 1 << both << "a\nb!";
    QTest::newRow("lone LF is one column") << "a\nb" << "X" << "" << 3 << false << omit << 1 << both << "a\nXb";
    QTest::newRow("lone CR is one column") << "\r\r" << "X" << "" << 2 << false << omit << 1 << both << "\rX\r";
    QTest::newRow("non-BMP column") << SMILE SMILE << "X" << "" << 2 << false << omit << 1 << both << SMILE "X" SMILE;
    QTest::newRow("non-BMP past the end") << SMILE << "X" << "" << 2 << false << omit << 1 << both << SMILE "X";
    QTest::newRow("non-BMP condition") << "a" SMILE << SMILE << SMILE << 1 << false << omit << 1 << both << SMILE "a" SMILE;
    QTest::newRow("non-BMP half is no condition match") << "a" SMILE << "!" << QString(QChar(0xD83D)) << 1 << true << omit << 1 << both << "a" SMILE;
}

void TestAddOps::addLine()
{
    QFETCH(QString, line);
    QFETCH(QString, text);
    QFETCH(QString, condition);
    QFETCH(int, column);
    QFETCH(bool, endOfLine);
    QFETCH(QString, options);
    QFETCH(int, spaces);
    QFETCH(QString, place);
    QFETCH(QString, expected);

    tw::AddParams params;
    params.addText = text;
    params.addIfContains = condition;
    params.addAtCol = column;
    params.addEndOfLine = endOfLine;
    params.addOptions = options;
    params.addSpaces = spaces;
    params.addPlaceSpaces = place;

    tw::addLine(line, params);
    QCOMPARE(line, expected);
}

void TestAddOps::throughFrame_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty line stays empty") << "abc\r\n\r\ndef" << "" << "X-abc\r\n\r\nX-def";
    QTest::newRow("trailing CR LF kept") << "abc\r\n" << "" << "X-abc\r\n";
    QTest::newRow("CR LF condition fills blank lines") << "abc\r\n\r\ndef\r\n" << "\r\n" << "abc\r\nX-\r\ndef\r\nX-";
    QTest::newRow("CR LF condition, only blank") << "\r\n" << "\r\n" << "X-\r\nX-";
    QTest::newRow("condition picks lines") << "xaby\r\nxAby\r\n" << "ab" << "X-xaby\r\nxAby\r\n";
    QTest::newRow("one empty line") << "" << "\r\n" << "X-";
}

void TestAddOps::throughFrame()
{
    QFETCH(QString, text);
    QFETCH(QString, condition);
    QFETCH(QString, expected);

    tw::AddParams params;
    params.addText = QStringLiteral("X-");
    params.addIfContains = condition;
    QCOMPARE(tw::runLineFrame(text, tw::addOperation(params), tw::addGate(params)), expected);
}

void TestAddOps::defaults()
{
    const tw::AddParams params;
    QVERIFY(params.addText.isEmpty());
    QVERIFY(params.addIfContains.isEmpty());
    QCOMPARE(params.addAtCol, 1);
    QCOMPARE(params.addEndOfLine, false);
    QCOMPARE(params.addOptions, QStringLiteral("Omit spaces"));
    QCOMPARE(params.addSpaces, 1);
    QCOMPARE(params.addPlaceSpaces, QStringLiteral("Both sides"));
}

void TestAddOps::requiredField()
{
    tw::AddParams params;
    QCOMPARE(tw::addMissingFieldMessage(params), QStringLiteral("Please enter text to add."));
    params.addText = QStringLiteral(" ");
    QVERIFY(tw::addMissingFieldMessage(params).isEmpty());
}

void TestAddOps::gate()
{
    tw::AddParams params;
    QVERIFY(!tw::addGate(params).passEmptyLines);
    params.addIfContains = QStringLiteral("\r\n\r\n");
    QVERIFY(!tw::addGate(params).passEmptyLines);
    params.addIfContains = QStringLiteral("\n");
    QVERIFY(!tw::addGate(params).passEmptyLines);
    params.addIfContains = QStringLiteral("\r\n");
    QVERIFY(tw::addGate(params).passEmptyLines);
    QVERIFY(!tw::addGate(params).dropEmptiedLines);
}

QTEST_GUILESS_MAIN(TestAddOps)
#include "test_addops.moc"
