// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include "core/engine/formattext.h"

#include <QRandomGenerator>

using tw::FormatParams;

namespace {

// Fields given as "name=value", the way named settings and the command line
// spell them; fields not given keep the values the tab opens with.
FormatParams params(const QStringList &fields)
{
    FormatParams p;
    for (const QString &field : fields) {
        const qsizetype eq = field.indexOf(u'=');
        const QString name = field.left(eq);
        const QString value = field.mid(eq + 1);
        if (name == u"create") p.formatCreate = value;
        else if (name == u"remove") p.formatRemoveDelimiter = value == u"1";
        else if (name == u"delimiter") p.formatDelimiter = value;
        else if (name == u"useString") p.formatUseDelimiterString = value == u"1";
        else if (name == u"string") p.formatDelimiterString = value;
        else if (name == u"move") p.formatMoveDelimiter = value;
        else if (name == u"between") p.formatSpacesBetweenCols = value.toInt();
        else if (name == u"add") p.formatAddText = value;
        else if (name == u"text") p.formatTextToAdd = value;
        else if (name == u"fromCol") p.formatAddFromCol = value.toInt();
        else if (name == u"chars") p.formatNumOfChars = value.toInt();
        else if (name == u"first") p.formatFirstSection = value;
        else if (name == u"options") p.formatOptions = value;
        else if (name == u"place") p.formatPlaceSpaces = value;
        else if (name == u"spaces") p.formatSpaces = value.toInt();
        else qFatal("unknown field %s", qPrintable(name));
    }
    return p;
}

QString grin() { return QString::fromUtf8("\xF0\x9F\x98\x80"); } // U+1F600, two code units

} // namespace

class TestFormatText : public QObject
{
    Q_OBJECT

private slots:
    void formatText_data();
    void formatText();
    void refusals_data();
    void refusals();
    void lineFunctions();
    void delimiterAbsentLeavesTextUnchanged();
    void newColumnKeepsEveryCharacter();
    void newLineOnlyAddsLineBreaks();
    void piecesGiveTheWholeResult_data();
    void piecesGiveTheWholeResult();
    void observerSeesEveryLine();
};

void TestFormatText::formatText_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    const QStringList semi{"delimiter=;"};
    const QStringList column{"delimiter=;", "create=New column", "between=2"};

    // Single delimiter, New line.
    QTest::newRow("new line") << semi << "a;b;c" << "a;\r\nb;\r\nc";
    QTest::newRow("new line, removed") << (semi + QStringList{"remove=1"}) << "a;b;c"
                                       << "a\r\nb\r\nc";
    QTest::newRow("ends with delimiter") << semi << "a;b;" << "a;\r\nb;\r\n";
    QTest::newRow("empty last section gets the text")
        << (semi + QStringList{"add=End of line", "text=X"}) << "a;b;" << "a;X\r\nb;X\r\nX";
    QTest::newRow("empty lines stay, without text")
        << (semi + QStringList{"add=End of line", "text=X"}) << "a;b\r\n\r\nc"
        << "a;X\r\nbX\r\n\r\ncX";
    QTest::newRow("no delimiter, one section") << semi << "abc\r\nd;e" << "abc\r\nd;\r\ne";
    QTest::newRow("trailing CR LF stays") << semi << "a;b\r\n" << "a;\r\nb\r\n";
    QTest::newRow("lone LF is part of the line") << semi << "a\nb;c\rd" << "a\nb;\r\nc\rd";
    QTest::newRow("delimiter trimmed of spaces") << QStringList{"delimiter= ; "} << "a;b"
                                                 << "a;\r\nb";
    QTest::newRow("first section exempt")
        << (semi + QStringList{"add=Start of line", "text=X", "first=No"}) << "a;b;c\r\nd;e"
        << "a;\r\nXb;\r\nXc\r\nd;\r\nXe";
    QTest::newRow("column names work for New line")
        << (semi + QStringList{"add=Start of column", "text=X"}) << "a;b" << "Xa;\r\nXb";
    QTest::newRow("unknown placement adds nothing")
        << (semi + QStringList{"add=Middle", "text=X"}) << "a;b" << "a;\r\nb";

    // Added text: typed, copied from columns, spaced.
    QTest::newRow("text spaced both sides")
        << (semi + QStringList{"add=End of line", "text=X", "options=Add spaces", "spaces=1"})
        << "a;b" << "a; X \r\nb X ";
    QTest::newRow("copied from columns")
        << (semi + QStringList{"add=Start of line", "fromCol=1", "chars=2"}) << "ab;cd\r\nef"
        << "abab;\r\nabcd\r\nefef";
    QTest::newRow("copied beyond the line adds nothing")
        << (semi + QStringList{"add=Start of line", "fromCol=9", "chars=2"}) << "ab;cd"
        << "ab;\r\ncd";
    QTest::newRow("zero characters adds nothing")
        << (semi + QStringList{"add=Start of line", "fromCol=1", "chars=0"}) << "ab;cd"
        << "ab;\r\ncd";
    QTest::newRow("spaces alone are still added")
        << (semi + QStringList{"add=End of line", "fromCol=9", "options=Add spaces",
                               "place=Left side", "spaces=2"})
        << "a;b" << "a;  \r\nb  ";
    QTest::newRow("omit spaces ignores count and side")
        << (semi + QStringList{"add=End of line", "text=X", "place=Left side", "spaces=5"})
        << "a;b" << "a;X\r\nbX";

    // Single delimiter, New column.
    QTest::newRow("new column") << column << "a;b;c" << "a;  b;  c";
    QTest::newRow("new column, removed") << (column + QStringList{"remove=1"}) << "a;b;c"
                                         << "a  b  c";
    QTest::newRow("new column, moved") << (column + QStringList{"move=Yes"}) << "a;b;c"
                                       << "a  ;b  ;c";
    QTest::newRow("removing wins over moving")
        << (column + QStringList{"move=Yes", "remove=1"}) << "a;b;c" << "a  b  c";
    QTest::newRow("moved, leading delimiter")
        << QStringList{"delimiter=;", "create=New column", "move=Yes"} << ";a;b" << " ;a ;b";
    QTest::newRow("moved, trailing delimiter is its own column")
        << (column + QStringList{"move=Yes"}) << "a;b;" << "a  ;b  ;";

    // Series of delimiters.
    const QStringList series{"delimiter=;,"};
    QTest::newRow("series") << series << "x;y,zz" << "x;\r\ny,\r\nzz";
    QTest::newRow("series starts over") << series << "p;q,r;s" << "p;\r\nq,\r\nr;\r\ns";
    QTest::newRow("series, first section exempt")
        << (series + QStringList{"add=End of line", "text=X", "first=No"}) << "p;q,r;s"
        << "p;\r\nq,X\r\nr;\r\nsX";
    QTest::newRow("series, complete cycle at the end") << series << "a;b," << "a;\r\nb,\r\n";
    QTest::newRow("series, removed") << (series + QStringList{"remove=1"}) << "p;q,r"
                                     << "p\r\nq\r\nr";
    QTest::newRow("series, missing character ends the scan") << series << "a,b;c"
                                                             << "a,b;\r\nc";
    QTest::newRow("series with a space inside") << QStringList{"delimiter=; ,"} << "a;b c,d"
                                                << "a;\r\nb \r\nc,\r\nd";
    QTest::newRow("series, new column")
        << QStringList{"delimiter=;,", "create=New column", "between=2"} << "x;y,z"
        << "x;  y,  z";
    QTest::newRow("series, new column, text from pass one's line")
        << QStringList{"delimiter=;,", "create=New column", "between=1", "add=End of column",
                       "fromCol=5", "chars=1"}
        << "a;b,c"
        // Pass 1 adds column 5 of the line, c: "a;c b,cc". Pass 2 adds
        // column 5 of that line, b.
        << "a;c b,b ccb";
    QTest::newRow("series, new column, first pass exempt")
        << QStringList{"delimiter=;,", "create=New column", "between=2", "add=End of column",
                       "text=X", "first=No"}
        << "x;y,z" << "x;  y,X  zX";

    // Spaces and delimiter strings.
    // A run of spaces is split at its first occurrence and the rest of the
    // run begins the next section, where the delimiter is looked for again.
    QTest::newRow("space delimiter, run of three") << QStringList{"delimiter=  "} << "a   b"
                                                   << "a  \r\n b";
    QTest::newRow("space delimiter, run of four") << QStringList{"delimiter=  "} << "a    b"
                                                  << "a  \r\n  \r\nb";
    QTest::newRow("space delimiter, removed") << QStringList{"delimiter=  ", "remove=1"}
                                              << "a   b" << "a\r\n b";
    QTest::newRow("space delimiter, new column")
        << QStringList{"delimiter= ", "create=New column", "between=3", "remove=1"} << "a b c"
        << "a   b   c";
    QTest::newRow("delimiter string")
        << QStringList{"useString=1", "string=</td>", "remove=1"} << "<td>1</td><td>2</td>"
        << "<td>1\r\n<td>2\r\n";
    QTest::newRow("delimiter string is case-sensitive")
        << QStringList{"useString=1", "string=</TD>"} << "<td>1</td>" << "<td>1</td>";
    QTest::newRow("delimiter string keeps its spaces")
        << QStringList{"useString=1", "string= - ", "delimiter=;"} << "a - b;c"
        << "a - \r\nb;c";

    // Characters outside the Basic Multilingual Plane are single characters.
    QTest::newRow("non-BMP single delimiter") << QStringList{"delimiter=" + grin()}
                                              << "a" + grin() + "b" << "a" + grin() + "\r\nb";
    QTest::newRow("non-BMP in a series") << QStringList{"delimiter=" + grin() + ";"}
                                         << "x" + grin() + "y;z"
                                         << "x" + grin() + "\r\ny;\r\nz";
    QTest::newRow("non-BMP copied as one column")
        << (semi + QStringList{"add=Start of line", "fromCol=2", "chars=1"})
        << grin() + grin() + "b;c" << grin() + grin() + grin() + "b;\r\n" + grin() + "c";
    QTest::newRow("non-BMP moved delimiter")
        << QStringList{"delimiter=" + grin(), "create=New column", "move=Yes"}
        << "a" + grin() + "b" << "a " + grin() + "b";
}

void TestFormatText::formatText()
{
    QFETCH(QStringList, fields);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const tw::TextResult result = tw::formatText(text, params(fields));
    QVERIFY2(!result.refused(), qPrintable(result.error));
    QCOMPARE(result.text, expected);
}

void TestFormatText::refusals_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("field");

    QTest::newRow("no delimiter") << QStringList{}
                                  << "Please enter or select character(s) to use as delimiter(s)."
                                  << "formatDelimiter";
    QTest::newRow("no delimiter string") << QStringList{"useString=1", "delimiter=;"}
                                         << "Please enter character(s) to use as a delimiter."
                                         << "formatDelimiterString";
    QTest::newRow("unknown create") << QStringList{"delimiter=;", "create=New page"}
                                    << "Please select \"New line\" or \"New column\" in "
                                       "\"At delimiter, create:\"."
                                    << "formatCreate";
    QTest::newRow("column 0 while copying")
        << QStringList{"delimiter=;", "add=End of line", "fromCol=0"}
        << "The text to add is copied from each line, so \"Add text from column:\" needs a "
           "column of 1 or more.  Please enter a column, or enter the text to add."
        << "formatAddFromCol";
    QTest::newRow("spaces out of range") << QStringList{"delimiter=;", "between=1000"}
                                         << "\"Spaces between columns:\" must be a number from "
                                            "0 to 999."
                                         << "formatSpacesBetweenCols";
    QTest::newRow("negative count") << QStringList{"delimiter=;", "chars=-1"}
                                    << "\"# of characters:\" must be a number from 0 to 999."
                                    << "formatNumOfChars";
}

void TestFormatText::refusals()
{
    QFETCH(QStringList, fields);
    QFETCH(QString, message);
    QFETCH(QString, field);
    const tw::TextResult result = tw::formatText(u"a;b", params(fields));
    QCOMPARE(result.error, message);
    QCOMPARE(result.field, field);
    QCOMPARE(tw::checkFormatParams(params(fields)).error, message);

    // Nothing to process comes before any check: an empty text stays empty.
    const tw::TextResult empty = tw::formatText(u"", params(fields));
    QVERIFY(!empty.refused());
    QVERIFY(empty.text.isEmpty());
}

void TestFormatText::lineFunctions()
{
    // Column 0 is fine while a typed text is added.
    FormatParams p = params({"delimiter=;", "add=End of line", "text=X", "fromCol=0"});
    QVERIFY(!tw::checkFormatParams(p).refused());
    QCOMPARE(tw::newLine(u"a;b", p), QStringLiteral("a;X\r\nbX"));
    // newColumn ignores formatCreate, as the caller chose it.
    QCOMPARE(tw::newColumn(u"a;b", p), QStringLiteral("a;X bX"));
    QCOMPARE(tw::formatAddText(u"s", u"line", true, p), QStringLiteral("sX"));
    p.formatFirstSection = QStringLiteral("No");
    QCOMPARE(tw::formatAddText(u"s", u"line", true, p), QStringLiteral("s"));
    QCOMPARE(tw::formatAddText(u"s", u"line", false, p), QStringLiteral("sX"));
    p.formatTextToAdd.clear();
    p.formatAddFromCol = 2;
    p.formatNumOfChars = 3;
    p.formatAddText = QStringLiteral("Start of column");
    QCOMPARE(tw::formatAddText(u"s", u"line", false, p), QStringLiteral("ines"));
    p.formatAddText = QStringLiteral("Omit text");
    QCOMPARE(tw::formatAddText(u"s", u"line", false, p), QStringLiteral("s"));
}

namespace {

// Random texts over a small alphabet that holds the line breaks, a lone CR and
// LF, the delimiters and a character outside the BMP.
QString randomText(QRandomGenerator &rng, const QStringList &alphabet)
{
    QString text;
    const int pieces = rng.bounded(0, 60);
    for (int i = 0; i < pieces; ++i)
        text += alphabet[rng.bounded(int(alphabet.size()))];
    return text;
}

QString withoutBreaks(QString text)
{
    return text.remove(QStringLiteral("\r\n"));
}

} // namespace

void TestFormatText::delimiterAbsentLeavesTextUnchanged()
{
    QRandomGenerator rng(20240601);
    const QStringList alphabet{"a", "b", " ", "\r\n", "\r", "\n", grin(), ","};
    for (const char *create : {"New line", "New column"}) {
        const FormatParams p =
            params({"delimiter=;", QStringLiteral("create=") + create, "remove=1", "move=Yes"});
        for (int i = 0; i < 300; ++i) {
            const QString text = randomText(rng, alphabet);
            QCOMPARE(tw::formatText(text, p).text, text);
        }
    }
}

void TestFormatText::newColumnKeepsEveryCharacter()
{
    // With no spaces between columns and nothing added, New column only
    // regroups the characters: the text comes back as it was, and with the
    // delimiter moved the same is true.
    QRandomGenerator rng(7);
    const QStringList alphabet{"a", ";", ",", " ", "\r\n", "\n", grin()};
    const QStringList delimiters{";", ";,", "  ", grin()};
    for (const QString &delimiter : delimiters) {
        for (const char *move : {"No", "Yes"}) {
            const FormatParams p = params({"delimiter=" + delimiter, "create=New column",
                                           "between=0", QStringLiteral("move=") + move});
            for (int i = 0; i < 200; ++i) {
                const QString text = randomText(rng, alphabet);
                const tw::TextResult result = tw::formatText(text, p);
                QCOMPARE(result.text, text);
                QCOMPARE(tw::lineCount(result.text), tw::lineCount(text));
            }
        }
    }
}

void TestFormatText::newLineOnlyAddsLineBreaks()
{
    // New line with the delimiter kept adds one line per delimiter in the
    // non-empty lines and otherwise keeps every character in its order.
    QRandomGenerator rng(99);
    const QStringList alphabet{"a", ";", " ", "\r\n", "\r", grin()};
    const FormatParams p = params({"delimiter=;"});
    for (int i = 0; i < 300; ++i) {
        const QString text = randomText(rng, alphabet);
        const QString result = tw::formatText(text, p).text;
        QCOMPARE(withoutBreaks(result), withoutBreaks(text));
        QCOMPARE(tw::lineCount(result), tw::lineCount(text) + text.count(u';'));
    }
}

void TestFormatText::piecesGiveTheWholeResult_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("text");

    // A one-character delimiter with nothing added takes the whole-piece
    // path; the others go line by line. Both must agree with the whole run.
    const QString text = "a,b;c\r\n\r\n,x,\r\ny\rz,\n" + grin() + ",w\r\n\r\n";
    QTest::newRow("new line at a comma") << QStringList{"delimiter=,", "remove=1"} << text;
    QTest::newRow("new column at a comma")
        << QStringList{"delimiter=,", "create=New column", "between=3"} << text;
    QTest::newRow("with added text")
        << QStringList{"delimiter=,", "add=End of line", "text=X", "first=No"} << text;
    QTest::newRow("series") << QStringList{"delimiter=;,"} << text;
    QTest::newRow("moved delimiter")
        << QStringList{"delimiter=,", "create=New column", "move=Yes"} << text;
    QTest::newRow("only empty lines") << QStringList{"delimiter=,"} << "\r\n\r\n";
}

void TestFormatText::piecesGiveTheWholeResult()
{
    QFETCH(QStringList, fields);
    QFETCH(QString, text);
    const FormatParams p = params(fields);
    const QString whole = tw::formatText(text, p).text;
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    // Every way of cutting the lines into two pieces, then one line a piece.
    for (qsizetype cut = 1; cut < lines.size(); ++cut) {
        tw::LineFormatter formatter(p);
        QString out;
        formatter.addLines(lines.mid(0, cut).join(QStringLiteral("\r\n")), out);
        formatter.addLines(lines.mid(cut).join(QStringLiteral("\r\n")), out);
        QVERIFY(!formatter.tooLarge());
        QCOMPARE(out, whole);
    }
    tw::LineFormatter formatter(p);
    QString out;
    for (const QString &line : lines)
        formatter.addLines(line, out);
    QCOMPARE(out, whole);
}

void TestFormatText::observerSeesEveryLine()
{
    // With an observer the run goes line by line; the result is the same.
    struct Recorder : tw::FrameObserver {
        qsizetype announced = -1;
        QList<qsizetype> indexes;
        int finished = 0;
        void runStarting(qsizetype lines) override { announced = lines; }
        bool lineStarting(qsizetype index) override
        {
            indexes << index;
            return false;
        }
        void runFinished() override { ++finished; }
    } recorder;
    const FormatParams p = params({"delimiter=,", "remove=1"});
    const QString text = QStringLiteral("a,b\r\n\r\nc,d\r\n");
    QCOMPARE(tw::formatText(text, p, &recorder).text, tw::formatText(text, p).text);
    QCOMPARE(recorder.announced, 4);
    QCOMPARE(recorder.indexes, (QList<qsizetype>{0, 1, 2, 3}));
    QCOMPARE(recorder.finished, 1);
}

QTEST_GUILESS_MAIN(TestFormatText)
#include "test_formattext.moc"
