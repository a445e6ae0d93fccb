// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/engine/tabwrite.h"

#include "enginetest.h"

using namespace enginetest;
using tw::ColumnSpecs;

namespace {

// Rows written as the command line's column file writes them,
// heading,column,count,spaces, with empty cells left empty.
ColumnSpecs rows(const QStringList &lines)
{
    ColumnSpecs specs;
    for (const QString &line : lines) {
        const QStringList cells = line.split(u',');
        const auto cell = [&](int i) {
            return cells.value(i).isEmpty() ? std::nullopt : std::optional(cells[i].toInt());
        };
        specs.append({cells.value(0), cell(1), cell(2), cell(3), cell(4)});
    }
    return specs;
}

using F = QStringList;

} // namespace

// The Tabwrite column layout: a header of the headings, then every line
// rebuilt from the columns the rows select.
class TestTabwrite : public QObject
{
    Q_OBJECT

private slots:
    void tabwriteText_data()
    {
        QTest::addColumn<QStringList>("spec");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        const F nameQty{"Name,1,5,2", "Qty,6,3,0"};
        QTest::newRow("two columns; trailing CR LF stays") << nameQty << 1 << "Alice012 more\r\n"
                                                           << "Name   Qty\r\nAlice  012\r\n";
        QTest::newRow("start column 0") << nameQty << 0 << "Alice012" << "Name   Qty\r\nAlice  012";
        QTest::newRow("start column 2; an empty line stays empty, unprefixed")
            << nameQty << 2 << "Alice012\r\n\r\nBob  7" << " Name   Qty\r\n Alice  012\r\n\r\n Bob    7";
        QTest::newRow("only empty lines") << nameQty << 1 << "\r\n" << "Name   Qty\r\n\r\n";
        QTest::newRow("short lines: pieces shortened or empty, later columns move left")
            << nameQty << 1 << "Al\r\nAlice0" << "Name   Qty\r\nAl  \r\nAlice  0";
        QTest::newRow("row order decides column order") << F{"B,10,3,1", "A,1,5,0"} << 1
                                                        << "abcdefghijklm" << "B   A\r\njkl abcde";
        QTest::newRow("overlapping ranges repeat") << F{"X,1,3,1", "Y,2,3,1"} << 1 << "abcd" << "X   Y\r\nabc bcd ";
        QTest::newRow("a wide heading is written whole and pushes the later ones right")
            << F{"Description,1,3,1", "Q,4,2,0"} << 1 << "abcdef" << "Description    Q\r\nabc de";
        QTest::newRow("no trailing spaces in the header; the last row's spaces end every line")
            << F{"A,1,3,5"} << 1 << "ab" << "A\r\nab     ";
        QTest::newRow("leading spaces of the header trimmed, the prefix kept") << F{" A,1,3,0"} << 3
                                                                               << "abc" << "  A\r\n  abc";
        QTest::newRow("an empty start column gives only the spaces")
            << F{"A,,2,1", "B,1,1,0"} << 1 << "ab" << "A  B\r\n a";
        QTest::newRow("negative count gives only the spaces, negative spaces nothing")
            << F{"A,1,-5,1", "B,1,1,-1", "C,2,1,0"} << 1 << "ab" << "ABC\r\n b";
        QTest::newRow("lone CR and LF are characters") << F{"H,2,3,0"} << 1 << "a\rb\nc" << "H\r\n\rb\n";
        QTest::newRow("non-BMP is one column, in headings too") << F{SMILE ",1,2,0", "B,3,1,0"} << 1
                                                                << SMILE SMILE "bc" << SMILE " B\r\n" SMILE SMILE "b";
    }

    void tabwriteText()
    {
        QFETCH(QStringList, spec);
        QFETCH(int, start);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const ColumnSpecs specs = rows(spec);
        const tw::TextResult result = tw::tabwriteText(text, specs, start);
        QVERIFY2(!result.refused(), qPrintable(result.error));
        QCOMPARE(result.text, expected);

        // The header and the laid-out lines on their own, as a caller that
        // writes a text block by block builds them.
        const QStringList in = text.split(crlf);
        const QStringList out = expected.split(crlf);
        QCOMPARE(out.size(), in.size() + 1);
        QCOMPARE(tw::tabwriteHeader(specs, start), out.first());
        for (qsizetype i = 0; i < in.size(); ++i) {
            if (!in[i].isEmpty())
                QCOMPARE(tw::layoutLine(in[i], specs, start), out[i + 1]);
        }
    }

    void incompleteRowsLaidOutAsFarAsTheyGo()
    {
        // A run refuses these rows, but a line laid out alone passes over a row
        // without spaces and gives only the spaces of a row without a count.
        QCOMPARE(tw::layoutLine(u"ab", rows({"A,1,1,", "B,1,,2", "C,2,1,0"}), 3), QStringLiteral("    b"));
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("spec");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("message");

        QTest::newRow("no rows") << F{} << 1
                                 << "There are no column specifications.  Please enter at least one "
                                    "row in the grid of the Tabwrite Text tab.";
        QTest::newRow("row 2 without a count") << F{"A,1,1,1", "B,2,,1"} << 1
                                               << "Row 2 of the column specifications is incomplete.  Please "
                                                  "fill in its number_of_characters.";
        QTest::newRow("row 1 without heading and spaces") << F{",1,1,"} << 1
                                                          << "Row 1 of the column specifications is incomplete.  "
                                                             "Please fill in its column_heading, "
                                                             "spaces_b4_next_column.";
        QTest::newRow("a row from column 0 would cut nothing")
            << F{"A,1,1,1", "Z,0,2,1"} << 1
            << "Row 2 of the column specifications starts at column 0.  Columns are counted from 1: please enter 1 "
               "or more in its get_data_from_column.";
        QTest::newRow("start column out of range")
            << F{"A,1,1,1"} << 1000 << "\"New lines start at column:\" must be a number from 0 to 999.";
        const QString tooLarge = QStringLiteral("The result would be too large to hold (more than 536870912 "
                                                "characters). Nothing was changed.");
        QTest::newRow("spaces too many to hold") << F{"A,1,1,2000000000"} << 1 << tooLarge;
        // Each line alone fits; the two together do not, which is known
        // before either is built.
        QTest::newRow("lines too many to hold together") << F{"A,1,1,300000000"} << 1 << tooLarge;
        QTest::newRow("a header too wide to hold") << F{"A,1,1,300000000", "B,1,1,300000000", "C,1,1,1"} << 1
                                                   << tooLarge;
    }

    void refusals()
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

    void wholeLineColumnGivesTextBack()
    {
        // One column holding the whole line and no spaces: every line comes back
        // as it was, under the header.
        QRandomGenerator rng(1234);
        const QStringList alphabet{"a", "b", " ", "\r\n", "\r", "\n", SMILE};
        const ColumnSpecs spec = rows({"All,1,999,0"});
        for (int i = 0; i < 300; ++i) {
            const QString text = randomText(rng, alphabet, 60);
            if (text.isEmpty())
                continue; // nothing to process
            QCOMPARE(tw::tabwriteText(text, spec, 1).text, "All\r\n" + text);
        }
    }
};

QTEST_GUILESS_MAIN(TestTabwrite)
#include "test_tabwrite.moc"
