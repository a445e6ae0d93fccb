// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include "core/engine/tabwrite.h"

#include <QRandomGenerator>

using tw::ColumnSpec;
using tw::ColumnSpecs;

namespace {

QString grin() { return QString::fromUtf8("\xF0\x9F\x98\x80"); } // U+1F600, two code units

// Rows written as the command line's column file writes them:
// heading,column,count,spaces with empty cells left empty.
ColumnSpecs rows(const QStringList &lines)
{
    const auto cell = [](const QStringList &cells, int i) -> std::optional<int> {
        if (i >= cells.size() || cells[i].isEmpty())
            return std::nullopt;
        return cells[i].toInt();
    };
    ColumnSpecs specs;
    for (const QString &line : lines) {
        const QStringList cells = line.split(u',');
        specs.append({cells.value(0), cell(cells, 1), cell(cells, 2), cell(cells, 3),
                      cell(cells, 4)});
    }
    return specs;
}

} // namespace

class TestTabwrite : public QObject
{
    Q_OBJECT

private slots:
    void tabwriteText_data();
    void tabwriteText();
    void header_data();
    void header();
    void layoutLine_data();
    void layoutLine();
    void refusals_data();
    void refusals();
    void wholeLineColumnGivesTextBack();
};

void TestTabwrite::tabwriteText_data()
{
    QTest::addColumn<QStringList>("spec");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const QStringList nameQty{"Name,1,5,2", "Qty,6,3,0"};
    QTest::newRow("two columns") << nameQty << 1 << "Alice012 more"
                                 << "Name   Qty\r\nAlice  012";
    QTest::newRow("start column 3") << nameQty << 3 << "Alice012 more"
                                    << "  Name   Qty\r\n  Alice  012";
    QTest::newRow("start column 0") << nameQty << 0 << "Alice012" << "Name   Qty\r\nAlice  012";
    QTest::newRow("start column 2") << nameQty << 2 << "Alice012"
                                    << " Name   Qty\r\n Alice  012";
    QTest::newRow("empty line stays empty, unprefixed")
        << nameQty << 2 << "Alice012\r\n\r\nBob  7" << " Name   Qty\r\n Alice  012\r\n\r\n Bob    7";
    QTest::newRow("trailing CR LF stays") << nameQty << 1 << "Alice012\r\n"
                                          << "Name   Qty\r\nAlice  012\r\n";
    QTest::newRow("short lines shift later columns left")
        << nameQty << 1 << "Al\r\nAlice0" << "Name   Qty\r\nAl  \r\nAlice  0";
    QTest::newRow("row order decides column order")
        << QStringList{"B,10,3,1", "A,1,5,0"} << 1 << "abcdefghijklm" << "B   A\r\njkl abcde";
    QTest::newRow("overlapping ranges repeat")
        << QStringList{"X,1,3,1", "Y,2,3,1"} << 1 << "abcd" << "X   Y\r\nabc bcd ";
    QTest::newRow("lone CR and LF are characters")
        << QStringList{"H,2,3,0"} << 1 << "a\rb\nc" << "H\r\n\rb\n";
    QTest::newRow("non-BMP is one column")
        << QStringList{"H,2,2,0"} << 1 << grin() + grin() + "bc" << "H\r\n" + grin() + "b";
    QTest::newRow("only empty lines") << nameQty << 1 << "\r\n" << "Name   Qty\r\n\r\n";
}

void TestTabwrite::tabwriteText()
{
    QFETCH(QStringList, spec);
    QFETCH(int, start);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const tw::TextResult result = tw::tabwriteText(text, rows(spec), start);
    QVERIFY2(!result.refused(), qPrintable(result.error));
    QCOMPARE(result.text, expected);
}

void TestTabwrite::header_data()
{
    QTest::addColumn<QStringList>("spec");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("expected");

    QTest::newRow("headings over their columns") << QStringList{"Name,1,5,2", "Qty,6,3,0"} << 1
                                                 << "Name   Qty";
    // A heading wider than its column is written whole and followed by the
    // column's full width, so the next heading moves right.
    QTest::newRow("long heading") << QStringList{"Description,1,3,1", "Q,4,2,0"} << 1
                                  << "Description    Q";
    QTest::newRow("trailing spaces trimmed") << QStringList{"A,1,3,5"} << 1 << "A";
    QTest::newRow("leading spaces trimmed, prefix kept") << QStringList{" A,1,3,0"} << 3
                                                         << "  A";
    QTest::newRow("negative width writes no spaces") << QStringList{"A,1,-5,1", "B,1,1,0"} << 1
                                                     << "AB";
    QTest::newRow("non-BMP heading counts one") << QStringList{grin() + ",1,2,0", "B,3,1,0"} << 1
                                                << grin() + " B";
}

void TestTabwrite::header()
{
    QFETCH(QStringList, spec);
    QFETCH(int, start);
    QFETCH(QString, expected);
    QCOMPARE(tw::tabwriteHeader(rows(spec), start), expected);
}

void TestTabwrite::layoutLine_data()
{
    QTest::addColumn<QStringList>("spec");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");

    QTest::newRow("line shorter than the start") << QStringList{"A,5,2,1", "B,1,1,0"} << "ab"
                                                 << " a";
    QTest::newRow("empty start column gives spaces") << QStringList{"A,,2,2", "B,1,1,0"} << "ab"
                                                     << "  a";
    QTest::newRow("start column 0 gives spaces") << QStringList{"A,0,2,1", "B,1,1,0"} << "ab"
                                                 << " a";
    QTest::newRow("negative count gives spaces") << QStringList{"A,1,-2,1", "B,2,1,0"} << "ab"
                                                 << " b";
    QTest::newRow("negative spaces give nothing") << QStringList{"A,1,1,-1", "B,2,1,0"} << "ab"
                                                  << "b";
    QTest::newRow("empty spaces give nothing") << QStringList{"A,1,1,", "B,2,1,0"} << "ab"
                                               << "b";
    QTest::newRow("last row's spaces end the line") << QStringList{"A,1,1,3"} << "ab" << "a   ";
}

void TestTabwrite::layoutLine()
{
    QFETCH(QStringList, spec);
    QFETCH(QString, line);
    QFETCH(QString, expected);
    QCOMPARE(tw::layoutLine(line, rows(spec), 1), expected);
    QCOMPARE(tw::layoutLine(line, rows(spec), 4), "   " + expected);
}

void TestTabwrite::refusals_data()
{
    QTest::addColumn<QStringList>("spec");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("message");

    QTest::newRow("no rows") << QStringList{} << 1
                             << "There are no column specifications.  Please enter at least one "
                                "row in the grid of the Tabwrite Text tab.";
    QTest::newRow("row 2 without a count")
        << QStringList{"A,1,1,1", "B,2,,1"} << 1
        << "Row 2 of the column specifications is incomplete.  Please fill in its "
           "number_of_characters.";
    QTest::newRow("row 1 without heading and spaces")
        << QStringList{",1,1,"} << 1
        << "Row 1 of the column specifications is incomplete.  Please fill in its "
           "column_heading, spaces_b4_next_column.";
    QTest::newRow("start column out of range") << QStringList{"A,1,1,1"} << 1000
                                               << "\"New lines start at column:\" must be a "
                                                  "number from 0 to 999.";
    QTest::newRow("spaces too many to hold")
        << QStringList{"A,1,1,2000000000"} << 1
        << "The result would be too large to hold (more than 536870912 characters). Nothing "
           "was changed.";
}

void TestTabwrite::refusals()
{
    QFETCH(QStringList, spec);
    QFETCH(int, start);
    QFETCH(QString, message);
    const tw::TextResult result = tw::tabwriteText(u"abc\r\ndef", rows(spec), start);
    QVERIFY(result.refused());
    QCOMPARE(result.error, message);
    // An empty text has nothing to lay out and is never refused.
    QVERIFY(!tw::tabwriteText(u"", rows(spec), start).refused());
}

void TestTabwrite::wholeLineColumnGivesTextBack()
{
    // One column holding the whole line, no spaces: every line comes back
    // as it was, under the header, and the line count grows by one.
    QRandomGenerator rng(1234);
    const QStringList alphabet{"a", "b", " ", "\r\n", "\r", "\n", grin()};
    const ColumnSpecs spec = rows({"All,1,999,0"});
    for (int i = 0; i < 300; ++i) {
        QString text;
        const int pieces = rng.bounded(1, 60);
        for (int k = 0; k < pieces; ++k)
            text += alphabet[rng.bounded(int(alphabet.size()))];
        const tw::TextResult result = tw::tabwriteText(text, spec, 1);
        QCOMPARE(result.text, "All\r\n" + text);
        QCOMPARE(tw::lineCount(result.text), tw::lineCount(text) + 1);
    }
}

QTEST_GUILESS_MAIN(TestTabwrite)
#include "test_tabwrite.moc"
