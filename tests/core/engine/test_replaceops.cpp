// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/engine/replaceops.h"

#include <QtTest>

#define SMILE "\U0001F600"

class TestReplaceOps : public QObject
{
    Q_OBJECT

private slots:
    void replaceLine_data();
    void replaceLine();
    void throughFrame();
    void longLine();
    void defaults();
    void requiredField();
};

void TestReplaceOps::replaceLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("specific");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("with");
    QTest::addColumn<bool>("endOfLine");
    QTest::addColumn<QString>("expected");

    const QString gr = QStringLiteral("General Replace");
    const QString sr = QStringLiteral("Specific Replace");

    // General Replace
    QTest::newRow("column 3, 2 characters") << "abcdef" << gr << "" << 3 << 2 << "XY" << false << "abXYef";
    QTest::newRow("column past the end appends") << "ab" << gr << "" << 3 << 2 << "XY" << false << "abXY";
    QTest::newRow("column far past the end") << "ab" << gr << "" << 999 << 2 << "XY" << false << "abXY";
    QTest::newRow("count past the end") << "abcdef" << gr << "" << 5 << 9 << "X" << false << "abcdX";
    QTest::newRow("0 characters inserts") << "abc" << gr << "" << 2 << 0 << "X" << false << "aXbc";
    QTest::newRow("column 0 counts as 1") << "abc" << gr << "" << 0 << 1 << "X" << false << "Xbc";
    QTest::newRow("empty replacement deletes") << "abcdef" << gr << "" << 2 << 3 << "" << false << "aef";
    QTest::newRow("end of line") << "abcd" << gr << "" << 1 << 2 << "!" << true << "ab!";
    QTest::newRow("end of line, short line") << "ab" << gr << "" << 1 << 2 << "!" << true << "!";
    QTest::newRow("end of line, shorter line") << "a" << gr << "" << 1 << 2 << "!" << true << "!";
    QTest::newRow("end of line, 0 characters appends") << "ab" << gr << "" << 1 << 0 << "!" << true << "ab!";
    QTest::newRow("end of line ignores column") << "abcd" << gr << "" << 2 << 1 << "!" << true << "abc!";
    QTest::newRow("lone LF is one column") << "a\nbc" << gr << "" << 2 << 1 << "-" << false << "a-bc";
    QTest::newRow("lone CR at the end") << "ab\r" << gr << "" << 1 << 1 << "" << true << "ab";
    QTest::newRow("non-BMP columns") << SMILE "a" SMILE "b" << gr << "" << 2 << 2 << "X" << false << SMILE "Xb";
    QTest::newRow("non-BMP end of line") << "ab" SMILE << gr << "" << 1 << 1 << "X" << true << "abX";
    QTest::newRow("non-BMP replacement") << "abc" << gr << "" << 2 << 1 << SMILE << false << "a" SMILE "c";

    // Specific Replace
    QTest::newRow("specific matches") << "abcdef" << sr << "cd" << 3 << 1 << "-" << false << "ab-ef";
    QTest::newRow("specific elsewhere") << "abxcdf" << sr << "cd" << 3 << 1 << "-" << false << "abxcdf";
    QTest::newRow("specific ignores the count") << "abcdef" << sr << "cd" << 3 << 0 << "-" << false << "ab-ef";
    QTest::newRow("specific case-sensitive") << "abCDef" << sr << "cd" << 3 << 1 << "-" << false << "abCDef";
    QTest::newRow("specific cut off by the end") << "abc" << sr << "cd" << 3 << 1 << "-" << false << "abc";
    QTest::newRow("specific column 0 counts as 1") << "cdab" << sr << "cd" << 0 << 1 << "-" << false << "-ab";
    QTest::newRow("specific end of line") << "abcdef" << sr << "ef" << 1 << 1 << "" << true << "abcd";
    QTest::newRow("specific end of line, whole line") << "ef" << sr << "ef" << 1 << 1 << "W" << true << "W";
    QTest::newRow("specific end of line, no match") << "abcdfe" << sr << "ef" << 1 << 1 << "W" << true << "abcdfe";
    QTest::newRow("specific end of line, longer than line") << "f" << sr << "ef" << 1 << 1 << "W" << true << "f";
    QTest::newRow("specific non-BMP") << "a" SMILE "b" << sr << SMILE "b" << 2 << 1 << "-" << false << "a-";
    QTest::newRow("specific non-BMP end") << "a" SMILE << sr << SMILE << 1 << 1 << "-" << true << "a-";
    QTest::newRow("specific never splits a pair") << "a" SMILE << sr << QString(QChar(0xDE00)) << 1 << 1 << "-" << true << "a" SMILE;

    // A typed text: every occurrence, left to right
    QTest::newRow("typed removes all") << "xxax" << "x" << "" << 1 << 1 << "" << false << "a";
    QTest::newRow("typed resumes after replacement") << "aa" << "a" << "" << 1 << 1 << "ba" << false << "baba";
    QTest::newRow("typed case-sensitive") << "aXbab" << "ab" << "" << 1 << 1 << "x" << false << "aXbx";
    QTest::newRow("typed overlapping") << "aaaa" << "aa" << "" << 1 << 1 << "b" << false << "bb";
    QTest::newRow("typed overlapping odd") << "aaa" << "aa" << "" << 1 << 1 << "b" << false << "ba";
    QTest::newRow("typed replacement contains target") << "ab" << "a" << "" << 1 << 1 << "aa" << false << "aab";
    QTest::newRow("typed replacement makes new match") << "aab" << "ab" << "" << 1 << 1 << "b" << false << "ab";
    QTest::newRow("typed absent") << "abc" << "z" << "" << 1 << 1 << "y" << false << "abc";
    QTest::newRow("typed whole line") << "abc" << "abc" << "" << 1 << 1 << "" << false << "";
    QTest::newRow("typed ignores end of line") << "abab" << "a" << "" << 3 << 1 << "-" << true << "-b-b";
    QTest::newRow("typed lone LF") << "a\nb\n" << "\n" << "" << 1 << 1 << " " << false << "a b ";
    QTest::newRow("typed list entry in other case") << "general replace" << "general replace" << "" << 1 << 1 << "X" << false << "X";
    QTest::newRow("typed non-BMP") << SMILE "a" SMILE << SMILE << "" << 1 << 1 << "-" << false << "-a-";
    QTest::newRow("typed half pair never matches") << SMILE << QString(QChar(0xD83D)) << "" << 1 << 1 << "-" << false << SMILE;
    QTest::newRow("empty type leaves the line") << "abc" << "" << "" << 1 << 1 << "x" << false << "abc";
}

void TestReplaceOps::replaceLine()
{
    QFETCH(QString, line);
    QFETCH(QString, type);
    QFETCH(QString, specific);
    QFETCH(int, column);
    QFETCH(int, count);
    QFETCH(QString, with);
    QFETCH(bool, endOfLine);
    QFETCH(QString, expected);

    tw::ReplaceParams params;
    params.replaceText = type;
    params.replaceSpecificText = specific;
    params.replaceAtCol = column;
    params.replaceNumOfChars = count;
    params.replaceWith = with;
    params.replaceEndOfLine = endOfLine;

    tw::replaceLine(line, params);
    QCOMPARE(line, expected);
}

void TestReplaceOps::throughFrame()
{
    tw::ReplaceParams params;
    params.replaceText = QStringLiteral("a");
    params.replaceWith = QStringLiteral("");
    // A line the operation empties stays in the text as an empty line.
    QCOMPARE(tw::runLineFrame(u"a\r\n\r\nbab\r\naa\r\n", tw::replaceOperation(params),
                              tw::replaceGate(params)),
             QStringLiteral("\r\n\r\nbb\r\n\r\n"));
    params.replaceText = QStringLiteral("\r\n");
    params.replaceWith = QStringLiteral("X");
    QCOMPARE(tw::runLineFrame(u"a\r\nb", tw::replaceOperation(params), tw::replaceGate(params)),
             QStringLiteral("a\r\nb"));
    QVERIFY(!tw::replaceGate(params).passEmptyLines);
}

void TestReplaceOps::longLine()
{
    // Every occurrence in a long line, in one pass.
    QString line = QString(200000, u'a');
    tw::ReplaceParams params;
    params.replaceText = QStringLiteral("a");
    params.replaceWith = QStringLiteral("bc");
    tw::replaceLine(line, params);
    QCOMPARE(line.size(), 400000);
    QCOMPARE(line.count(QStringLiteral("bc")), 200000);
}

void TestReplaceOps::defaults()
{
    const tw::ReplaceParams params;
    QVERIFY(params.replaceText.isEmpty());
    QVERIFY(params.replaceSpecificText.isEmpty());
    QCOMPARE(params.replaceAtCol, 1);
    QCOMPARE(params.replaceNumOfChars, 1);
    QVERIFY(params.replaceWith.isEmpty());
    QCOMPARE(params.replaceEndOfLine, false);
}

void TestReplaceOps::requiredField()
{
    tw::ReplaceParams params;
    QCOMPARE(tw::replaceMissingFieldMessage(params),
             QStringLiteral("Please enter text to replace; or select a replace type and enter "
                            "'Specific text to replace', if necessary."));
    params.replaceText = QStringLiteral("Specific Replace");
    QVERIFY(tw::replaceMissingFieldMessage(params).isEmpty());
}

QTEST_GUILESS_MAIN(TestReplaceOps)
#include "test_replaceops.moc"
