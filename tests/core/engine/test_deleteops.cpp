// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/engine/deleteops.h"

#include <QtTest>

#define SMILE "\U0001F600"

class TestDeleteOps : public QObject
{
    Q_OBJECT

private slots:
    void deleteLine_data();
    void deleteLine();
    void throughFrame_data();
    void throughFrame();
    void longLine();
    void defaults();
    void requiredField();
    void gate();
};

void TestDeleteOps::deleteLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("specific");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("endOfLine");
    QTest::addColumn<QString>("options");
    QTest::addColumn<int>("spaces");
    QTest::addColumn<QString>("expected");

    const QString gd = QStringLiteral("General Delete");
    const QString sd = QStringLiteral("Specific Delete");
    const QString omit = QStringLiteral("Omit spaces");
    const QString add = QStringLiteral("Add spaces");
    const QString crlf = QStringLiteral("\r\n");

    // General Delete
    QTest::newRow("column 2, 3 characters") << "abcdef" << gd << "" << 2 << 3 << false << omit << 1 << "aef";
    QTest::newRow("with 1 space") << "abcdef" << gd << "" << 2 << 3 << false << add << 1 << "a ef";
    QTest::newRow("with more spaces than deleted") << "abcdef" << gd << "" << 2 << 1 << false << add << 3 << "a   cdef";
    QTest::newRow("with 0 spaces") << "abcdef" << gd << "" << 2 << 3 << false << add << 0 << "aef";
    QTest::newRow("column past the end") << "abc" << gd << "" << 4 << 1 << false << add << 2 << "abc";
    QTest::newRow("0 characters") << "abc" << gd << "" << 2 << 0 << false << add << 2 << "abc";
    QTest::newRow("count past the end") << "abcdef" << gd << "" << 4 << 50 << false << omit << 1 << "abc";
    QTest::newRow("column 0 counts as 1") << "abc" << gd << "" << 0 << 1 << false << omit << 1 << "bc";
    QTest::newRow("end of line") << "abcd" << gd << "" << 1 << 2 << true << omit << 1 << "ab";
    QTest::newRow("end of line empties a short line") << "a" << gd << "" << 1 << 2 << true << omit << 1 << "";
    QTest::newRow("end of line, spaces") << "abcd" << gd << "" << 1 << 2 << true << add << 2 << "ab  ";
    QTest::newRow("end of line, 0 characters, spaces") << "ab" << gd << "" << 1 << 0 << true << add << 1 << "ab ";
    QTest::newRow("end of line ignores column") << "abcd" << gd << "" << 3 << 1 << true << omit << 1 << "abc";
    QTest::newRow("lone LF is one column") << "a\nb" << gd << "" << 2 << 1 << false << omit << 1 << "ab";
    QTest::newRow("lone CR last") << "ab\r" << gd << "" << 1 << 1 << true << omit << 1 << "ab";
    QTest::newRow("non-BMP columns") << SMILE "ab" SMILE << gd << "" << 2 << 2 << false << omit << 1 << SMILE SMILE;
    QTest::newRow("non-BMP end of line") << "ab" SMILE << gd << "" << 1 << 1 << true << omit << 1 << "ab";
    QTest::newRow("non-BMP deleted") << "a" SMILE "b" << gd << "" << 2 << 1 << false << add << 1 << "a b";

    // Specific Delete
    QTest::newRow("specific matches") << "abcdef" << sd << "cd" << 3 << 1 << false << omit << 1 << "abef";
    QTest::newRow("specific elsewhere") << "abxcdf" << sd << "cd" << 3 << 1 << false << omit << 1 << "abxcdf";
    QTest::newRow("specific with spaces") << "abcdef" << sd << "cd" << 3 << 1 << false << add << 3 << "ab   ef";
    QTest::newRow("specific ignores the count") << "abcdef" << sd << "cd" << 3 << 0 << false << omit << 1 << "abef";
    QTest::newRow("specific cut off by the end") << "abc" << sd << "cd" << 3 << 1 << false << omit << 1 << "abc";
    QTest::newRow("specific column 0 counts as 1") << "cdab" << sd << "cd" << 0 << 1 << false << omit << 1 << "ab";
    QTest::newRow("specific end of line") << "abcdef" << sd << "ef" << 1 << 1 << true << omit << 1 << "abcd";
    QTest::newRow("specific end of line, spaces") << "abcdef" << sd << "ef" << 1 << 1 << true << add << 1 << "abcd ";
    QTest::newRow("specific end of line, whole line") << "ef" << sd << "ef" << 1 << 1 << true << omit << 1 << "";
    QTest::newRow("specific end of line, no match") << "abfe" << sd << "ef" << 1 << 1 << true << add << 1 << "abfe";
    QTest::newRow("specific CR LF, empty line") << "" << sd << crlf << 1 << 1 << false << omit << 1 << "";
    QTest::newRow("specific CR LF, empty line, spaces") << "" << sd << crlf << 5 << 1 << false << add << 2 << "  ";
    QTest::newRow("specific CR LF, end of line, spaces") << "" << sd << crlf << 1 << 1 << true << add << 1 << " ";
    QTest::newRow("specific CR LF, other line") << "ab" << sd << crlf << 1 << 1 << false << add << 1 << "ab";
    QTest::newRow("specific lone LF") << "a\nb" << sd << "\n" << 2 << 1 << false << omit << 1 << "ab";
    QTest::newRow("specific non-BMP") << "a" SMILE "b" << sd << SMILE "b" << 2 << 1 << false << omit << 1 << "a";
    QTest::newRow("specific never splits a pair") << "a" SMILE << sd << QString(QChar(0xDE00)) << 1 << 1 << true << omit << 1 << "a" SMILE;

    // A typed text
    QTest::newRow("typed removes all") << "xxax" << "x" << "" << 1 << 1 << false << omit << 1 << "a";
    QTest::newRow("typed run collapses") << "a    b" << "  " << "" << 1 << 1 << false << add << 1 << "a b";
    QTest::newRow("typed round limit") << "a b" << " " << "" << 1 << 1 << false << add << 2 << "a    b";
    QTest::newRow("typed filler equal to text") << "a b" << " " << "" << 1 << 1 << false << add << 1 << "a b";
    QTest::newRow("typed overlapping") << "aaaa" << "aa" << "" << 1 << 1 << false << omit << 1 << "";
    QTest::newRow("typed overlapping odd") << "aaa" << "aa" << "" << 1 << 1 << false << omit << 1 << "a";
    QTest::newRow("typed deletion joins a new match") << "aabb" << "ab" << "" << 1 << 1 << false << omit << 1 << "ab";
    QTest::newRow("typed, no filler, no rescan") << "a -- b" << " -" << "" << 1 << 1 << false << omit << 1 << "a- b";
    QTest::newRow("typed searches the filler again") << "a -- b" << " -" << "" << 1 << 1 << false << add << 1 << "a  b";
    QTest::newRow("typed absent") << "abc" << "z" << "" << 1 << 1 << false << add << 1 << "abc";
    QTest::newRow("typed case-sensitive") << "aXbab" << "ab" << "" << 1 << 1 << false << omit << 1 << "aXb";
    QTest::newRow("typed whole line") << "abc" << "abc" << "" << 1 << 1 << false << omit << 1 << "";
    QTest::newRow("typed with spaces") << "a,b,c" << "," << "" << 1 << 1 << false << add << 1 << "a b c";
    QTest::newRow("typed ignores end of line") << "abab" << "b" << "" << 1 << 1 << true << omit << 1 << "aa";
    QTest::newRow("typed non-BMP") << SMILE "a" SMILE << SMILE << "" << 1 << 1 << false << add << 1 << " a ";
    QTest::newRow("typed half pair never matches") << SMILE << QString(QChar(0xDE00)) << "" << 1 << 1 << false << omit << 1 << SMILE;
    QTest::newRow("typed list entry in other case") << "general delete!" << "general delete" << "" << 1 << 1 << false << omit << 1 << "!";
    QTest::newRow("empty type leaves the line") << "abc" << "" << "" << 1 << 1 << false << omit << 1 << "abc";
}

void TestDeleteOps::deleteLine()
{
    QFETCH(QString, line);
    QFETCH(QString, type);
    QFETCH(QString, specific);
    QFETCH(int, column);
    QFETCH(int, count);
    QFETCH(bool, endOfLine);
    QFETCH(QString, options);
    QFETCH(int, spaces);
    QFETCH(QString, expected);

    tw::DeleteParams params;
    params.deleteText = type;
    params.deleteSpecificText = specific;
    params.deleteFromCol = column;
    params.deleteNumOfChars = count;
    params.deleteEndOfLine = endOfLine;
    params.deleteOptions = options;
    params.deleteSpaces = spaces;

    tw::deleteLine(line, params);
    QCOMPARE(line, expected);
}

void TestDeleteOps::throughFrame_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("specific");
    QTest::addColumn<bool>("endOfLine");
    QTest::addColumn<QString>("options");
    QTest::addColumn<int>("spaces");
    QTest::addColumn<QString>("expected");

    const QString gd = QStringLiteral("General Delete");
    const QString sd = QStringLiteral("Specific Delete");
    const QString omit = QStringLiteral("Omit spaces");
    const QString add = QStringLiteral("Add spaces");
    const QString crlf = QStringLiteral("\r\n");

    QTest::newRow("emptied line stays") << "abcd\r\na\r\nb" << gd << "" << true << omit << 1 << "abc\r\n\r\n";
    QTest::newRow("blank lines deleted") << "a\r\n\r\nb" << sd << crlf << false << omit << 1 << "a\r\nb";
    QTest::newRow("blank lines become spaces") << "a\r\n\r\nb" << sd << crlf << false << add << 2 << "a\r\n  \r\nb";
    QTest::newRow("several blank lines") << "\r\na\r\n\r\n\r\nb\r\n" << sd << crlf << false << omit << 1 << "a\r\nb";
    QTest::newRow("only blank lines") << "\r\n\r\n" << sd << crlf << false << omit << 1 << "";
    // With CR LF as the specific text every line the operation empties is
    // dropped, whatever the delete type.
    QTest::newRow("CR LF mode drops emptied lines") << "ab\r\nx\r\ncd" << "x" << crlf << false << omit << 1 << "ab\r\ncd";
    QTest::newRow("CR LF mode, general delete") << "a\r\n\r\nbc" << gd << crlf << false << omit << 1 << "c";
    QTest::newRow("trailing CR LF kept") << "xa\r\n" << "x" << "" << false << omit << 1 << "a\r\n";
    QTest::newRow("trailing CR LF, end of line") << "abc\r\n\r\n" << gd << "" << true << add << 1 << "ab \r\n\r\n";
}

void TestDeleteOps::throughFrame()
{
    QFETCH(QString, text);
    QFETCH(QString, type);
    QFETCH(QString, specific);
    QFETCH(bool, endOfLine);
    QFETCH(QString, options);
    QFETCH(int, spaces);
    QFETCH(QString, expected);

    tw::DeleteParams params;
    params.deleteText = type;
    params.deleteSpecificText = specific;
    params.deleteEndOfLine = endOfLine;
    params.deleteOptions = options;
    params.deleteSpaces = spaces;
    QCOMPARE(tw::runLineFrame(text, tw::deleteOperation(params), tw::deleteGate(params)), expected);
}

void TestDeleteOps::longLine()
{
    tw::DeleteParams params;
    params.deleteText = QStringLiteral("a");
    QString line = QString(200000, u'a') + u'b';
    tw::deleteLine(line, params);
    QCOMPARE(line, QStringLiteral("b"));

    // With a filler the rounds stop at the line's starting length.
    params.deleteText = QStringLiteral(" ");
    params.deleteOptions = QStringLiteral("Add spaces");
    params.deleteSpaces = 2;
    line = QStringLiteral("  ");
    tw::deleteLine(line, params);
    QCOMPARE(line, QStringLiteral("    "));
}

void TestDeleteOps::defaults()
{
    const tw::DeleteParams params;
    QVERIFY(params.deleteText.isEmpty());
    QVERIFY(params.deleteSpecificText.isEmpty());
    QCOMPARE(params.deleteFromCol, 1);
    QCOMPARE(params.deleteNumOfChars, 1);
    QCOMPARE(params.deleteEndOfLine, false);
    QCOMPARE(params.deleteOptions, QStringLiteral("Omit spaces"));
    QCOMPARE(params.deleteSpaces, 1);
}

void TestDeleteOps::requiredField()
{
    tw::DeleteParams params;
    QCOMPARE(tw::deleteMissingFieldMessage(params),
             QStringLiteral("Please enter text to delete; or select a delete type and enter "
                            "'Specific text to delete', if necessary."));
    params.deleteText = QStringLiteral("General Delete");
    QVERIFY(tw::deleteMissingFieldMessage(params).isEmpty());
}

void TestDeleteOps::gate()
{
    tw::DeleteParams params;
    QVERIFY(!tw::deleteGate(params).passEmptyLines);
    QVERIFY(!tw::deleteGate(params).dropEmptiedLines);
    params.deleteSpecificText = QStringLiteral("\r\n ");
    QVERIFY(!tw::deleteGate(params).passEmptyLines);
    params.deleteSpecificText = QStringLiteral("\r\n");
    QVERIFY(tw::deleteGate(params).passEmptyLines);
    QVERIFY(tw::deleteGate(params).dropEmptiedLines);
}

QTEST_GUILESS_MAIN(TestDeleteOps)
#include "test_deleteops.moc"
