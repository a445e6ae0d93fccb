// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/engine/formattext.h"
#include "core/text/textfile.h"

#include "enginetest.h"

using namespace enginetest;
using tw::FormatParams;

namespace {

using F = QStringList;

const Names<FormatParams> formatNames{
    {"create", &FormatParams::formatCreate}, {"remove", &FormatParams::formatRemoveDelimiter},
    {"delimiter", &FormatParams::formatDelimiter}, {"useString", &FormatParams::formatUseDelimiterString},
    {"string", &FormatParams::formatDelimiterString}, {"move", &FormatParams::formatMoveDelimiter},
    {"between", &FormatParams::formatSpacesBetweenCols}, {"add", &FormatParams::formatAddText},
    {"text", &FormatParams::formatTextToAdd}, {"fromCol", &FormatParams::formatAddFromCol},
    {"chars", &FormatParams::formatNumOfChars}, {"first", &FormatParams::formatFirstSection},
    {"options", &FormatParams::formatOptions}, {"place", &FormatParams::formatPlaceSpaces},
    {"spaces", &FormatParams::formatSpaces}};

FormatParams params(const QStringList &fields) { return record(formatNames, fields); }

// --- a model of New column with a series, whole lines, pass after pass -----

// The characters of a text as the rules count them: a surrogate pair is one,
// and so is a lone half of one.
QList<QStringView> characters(QStringView text)
{
    QList<QStringView> chars;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = i + 1 < text.size() && text[i].isHighSurrogate() && text[i + 1].isLowSurrogate() ? 2 : 1;
        chars << text.sliced(i, n);
        i += n;
    }
    return chars;
}

// No match begins or ends inside a surrogate pair.
bool boundary(QStringView text, qsizetype i)
{
    return i <= 0 || i >= text.size() || !(text[i].isLowSurrogate() && text[i - 1].isHighSurrogate());
}

QString modelPass(const QString &line, QStringView d, bool firstPass, const FormatParams &p)
{
    const bool remove = p.formatRemoveDelimiter;
    const bool move = !remove && p.formatMoveDelimiter == u"Yes";
    const bool atStart = p.formatAddText == u"Start of column" || p.formatAddText == u"Start of line";
    const bool atEnd = p.formatAddText == u"End of column" || p.formatAddText == u"End of line";
    QString added;
    if (atStart || atEnd) {
        added = p.formatTextToAdd;
        if (added.isEmpty()) {
            const QList<QStringView> chars = characters(line);
            for (qsizetype i = p.formatAddFromCol - 1; i >= 0 && i < chars.size() && i < p.formatAddFromCol - 1 + p.formatNumOfChars; ++i)
                added += chars[i];
        }
        if (p.formatOptions == u"Add spaces") {
            const QString pad(p.formatSpaces, u' ');
            if (p.formatPlaceSpaces != u"Right side")
                added.prepend(pad);
            if (p.formatPlaceSpaces != u"Left side")
                added.append(pad);
        }
    }
    const bool adding = !added.isEmpty() && !(firstPass && p.formatFirstSection == u"No");
    const auto section = [&](const QString &s) { return !adding ? s : atStart ? added + s : s + added; };
    const qsizetype len = d.size();
    QString out;
    qsizetype pos = 0;
    bool found = false;
    for (qsizetype i = 0; i + len <= line.size();) {
        if (QStringView(line).sliced(i, len) != d || !boundary(line, i) || !boundary(line, i + len)) {
            ++i;
            continue;
        }
        const qsizetype from = move && found ? pos - len : pos;
        out += section(line.mid(from, (remove || move ? i : i + len) - from));
        out += QString(p.formatSpacesBetweenCols, u' ');
        pos = i = i + len;
        found = true;
    }
    return out + section(line.mid(move && found ? pos - len : pos));
}

QString modelSeriesColumns(const QString &text, const FormatParams &p)
{
    const QList<QStringView> series = characters(QStringView(p.formatDelimiter).trimmed());
    QStringList lines = text.split(crlf);
    // An empty line is kept as it is; a pass that leaves a line empty hands
    // the empty line to the next pass like any other.
    for (QString &line : lines) {
        for (qsizetype j = 0; j < series.size() && !(j == 0 && line.isEmpty()); ++j)
            line = modelPass(line, series[j], j == 0, p);
    }
    return lines.join(crlf);
}

} // namespace

// Format Text: sections split at a delimiter, put on lines of their own or
// into columns, with the added text of each section.
class TestFormatText : public QObject
{
    Q_OBJECT

private slots:
    void formatText_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        const F semi{"delimiter=;"};
        const F column{"delimiter=;", "create=New column", "between=2"};
        const F series{"delimiter=;,"};
        const F endX{"add=End of line", "text=X"};

        QTest::newRow("new line, removed") << semi + F{"remove=1"} << "a;b;c" << "a\r\nb\r\nc";
        QTest::newRow("ends with the delimiter: an empty last line; trailing CR LF stays")
            << semi << "a;b;\r\n" << "a;\r\nb;\r\n\r\n";
        QTest::newRow("the empty last section gets the text") << semi + endX << "a;b;" << "a;X\r\nb;X\r\nX";
        QTest::newRow("empty lines stay, without text") << semi + endX << "a;b\r\n\r\nc" << "a;X\r\nbX\r\n\r\ncX";
        QTest::newRow("no delimiter, one section; lone CR and LF are characters")
            << semi << "abc\r\na\nb;c\rd" << "abc\r\na\nb;\r\nc\rd";
        QTest::newRow("delimiter trimmed of spaces") << F{"delimiter= ; "} << "a;b" << "a;\r\nb";
        QTest::newRow("first section exempt") << semi + F{"add=Start of line", "text=X", "first=No"}
                                              << "a;b;c\r\nd;e" << "a;\r\nXb;\r\nXc\r\nd;\r\nXe";
        QTest::newRow("copied from the line being split, non-BMP one column")
            << semi + F{"add=Start of line", "chars=2"} << SMILE "b;cd\r\nef"
            << SMILE "b" SMILE "b;\r\n" SMILE "bcd\r\nefef";
        QTest::newRow("typed text: column 0 is no matter") << semi + endX + F{"fromCol=0"} << "a;b" << "a;X\r\nbX";

        QTest::newRow("new column") << column << "a;b;c" << "a;  b;  c";
        QTest::newRow("new column, moved") << column + F{"move=Yes"} << "a;b;c" << "a  ;b  ;c";
        QTest::newRow("new column, removed: removing wins over moving")
            << column + F{"move=Yes", "remove=1"} << "a;b;c" << "a  b  c";
        QTest::newRow("moved, leading delimiter, one space as the window opens")
            << F{"delimiter=;", "create=New column", "move=Yes"} << ";a;b" << " ;a ;b";
        QTest::newRow("moved, a trailing delimiter is a column of its own")
            << column + F{"move=Yes"} << "a;b;" << "a  ;b  ;";
        QTest::newRow("non-BMP moved delimiter")
            << F{"delimiter=" SMILE, "create=New column", "move=Yes"} << "a" SMILE "b" << "a " SMILE "b";

        QTest::newRow("series starts over along the line") << series << "p;q,r;s" << "p;\r\nq,\r\nr;\r\ns";
        QTest::newRow("series, first section exempt") << series + endX + F{"first=No"} << "p;q,r;s"
                                                      << "p;\r\nq,X\r\nr;\r\nsX";
        QTest::newRow("series, complete cycle at the end") << series << "a;b," << "a;\r\nb,\r\n";
        QTest::newRow("series, removed") << series + F{"remove=1"} << "p;q,r" << "p\r\nq\r\nr";
        QTest::newRow("series, a missing character ends the scan") << series << "a,b;c" << "a,b;\r\nc";
        QTest::newRow("series with a space inside") << F{"delimiter=; ,"} << "a;b c,d" << "a;\r\nb \r\nc,\r\nd";
        QTest::newRow("non-BMP in a series") << F{"delimiter=" SMILE ";"} << "x" SMILE "y;z" << "x" SMILE "\r\ny;\r\nz";
        QTest::newRow("series, new column: one pass per character")
            << F{"delimiter=;,", "create=New column", "between=2"} << "x;y,z" << "x;  y,  z";
        // Pass 1 adds column 5 of the line, c: "a;c b,cc". Pass 2 adds column 5
        // of that line, b.
        QTest::newRow("series, new column, text copied from what the pass before left")
            << F{"delimiter=;,", "create=New column", "add=End of column", "fromCol=5"} << "a;b,c" << "a;c b,b ccb";
        QTest::newRow("series, new column, first pass exempt")
            << F{"delimiter=;,", "create=New column", "between=2", "first=No"} + endX << "x;y,z" << "x;  y,X  zX";

        QTest::newRow("space delimiter: a longer run is split at its first occurrence")
            << F{"delimiter=  "} << "a    b" << "a  \r\n  \r\nb";
        QTest::newRow("space delimiter, removed") << F{"delimiter=  ", "remove=1"} << "a   b" << "a\r\n b";
        QTest::newRow("delimiter string, matched whole and case-sensitive")
            << F{"useString=1", "string=</td>", "remove=1"} << "<td>1</td><td>2</TD>" << "<td>1\r\n<td>2</TD>";
        QTest::newRow("delimiter string keeps its spaces")
            << F{"useString=1", "string= - ", "delimiter=;"} << "a - b;c" << "a - \r\nb;c";
    }

    void formatText()
    {
        QFETCH(QStringList, fields);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const FormatParams p = params(fields);
        const tw::TextResult result = tw::formatText(text, p);
        QVERIFY2(!result.refused(), qPrintable(result.error));
        QCOMPARE(result.text, expected);

        // With an observer the run goes line by line and tells it of each line.
        Recorder recorder;
        QCOMPARE(tw::formatText(text, p, &recorder).text, expected);
        QVERIFY(recorder.toldOfLines(tw::lineCount(text)));

        // Fed a line at a time, as the command line reads a text block by block.
        tw::LineFormatter formatter(p);
        QString pieces;
        for (const QString &line : text.split(crlf))
            formatter.addLines(line, pieces);
        QCOMPARE(pieces, expected);
        QVERIFY(!formatter.tooLarge());

        // The line functions do not read formatCreate: the caller chose them by it.
        if (!text.contains(crlf)) {
            const bool columns = p.formatCreate == u"New column";
            FormatParams other = p;
            other.formatCreate = columns ? QStringLiteral("New line") : QStringLiteral("New column");
            QCOMPARE(columns ? tw::newColumn(text, other) : tw::newLine(text, other), expected);
        }
    }

    void addedText_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("firstSection");
        QTest::addColumn<QString>("expected");

        // The section is "s"; a typed text wins over the columns.
        QTest::newRow("typed, at the end") << F{"add=End of column", "text=X"} << "line" << true << "sX";
        QTest::newRow("first section exempt") << F{"add=End of line", "text=X", "first=No"} << "line" << true << "s";
        QTest::newRow("later sections still get it")
            << F{"add=End of line", "text=X", "first=No"} << "line" << false << "sX";
        QTest::newRow("copied from columns, at the start")
            << F{"add=Start of column", "fromCol=2", "chars=3"} << "line" << false << "ines";
        QTest::newRow("non-BMP copied as one column") << F{"add=Start of line", "fromCol=2"}
                                                      << SMILE SMILE "b" << false << SMILE "s";
        QTest::newRow("copied beyond the line adds nothing")
            << F{"add=Start of line", "fromCol=9", "chars=2"} << "line" << false << "s";
        QTest::newRow("0 characters add nothing") << F{"add=Start of line", "chars=0"} << "line" << false << "s";
        QTest::newRow("copied text padded") << F{"add=End of line", "chars=2", "options=Add spaces",
                                                           "place=Left side"}
                                            << "ab,cd" << false << "s ab";
        QTest::newRow("spaces alone are still added")
            << F{"add=End of line", "fromCol=9", "options=Add spaces", "place=Left side", "spaces=2"}
            << "line" << false << "s  ";
        QTest::newRow("one space both sides as the window opens")
            << F{"add=End of line", "text=X", "options=Add spaces"} << "line" << false << "s X ";
        QTest::newRow("omit spaces ignores count and side")
            << F{"add=End of line", "text=X", "place=Left side", "spaces=5"} << "line" << false << "sX";
        QTest::newRow("Omit text") << F{"add=Omit text", "text=X"} << "line" << false << "s";
        QTest::newRow("unknown placement") << F{"add=Middle", "text=X"} << "line" << false << "s";
    }

    void addedText()
    {
        QFETCH(QStringList, fields);
        QFETCH(QString, line);
        QFETCH(bool, firstSection);
        QFETCH(QString, expected);
        QCOMPARE(tw::formatAddText(u"s", line, firstSection, params(fields)), expected);
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("field");

        QTest::newRow("no delimiter") << F{} << "Please enter or select character(s) to use as delimiter(s)."
            << "formatDelimiter";
        QTest::newRow("no delimiter string") << F{"useString=1", "delimiter=;"}
            << "Please enter character(s) to use as a delimiter." << "formatDelimiterString";
        QTest::newRow("unknown create") << F{"delimiter=;", "create=New page"}
            << "Please select \"New line\" or \"New column\" in \"At delimiter, create:\"." << "formatCreate";
        QTest::newRow("column 0 while copying")
            << F{"delimiter=;", "add=End of line", "fromCol=0"}
            << "The text to add is copied from each line, so \"Add text from column:\" needs a "
               "column of 1 or more.  Please enter a column, or enter the text to add."
            << "formatAddFromCol";
        QTest::newRow("spaces out of range") << F{"delimiter=;", "between=1000"}
            << "\"Spaces between columns:\" must be a number from 0 to 999." << "formatSpacesBetweenCols";
        QTest::newRow("negative count") << F{"delimiter=;", "chars=-1"}
            << "\"# of characters:\" must be a number from 0 to 999." << "formatNumOfChars";
    }

    void refusals()
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

    // New column with a series streams each line through one pass per
    // character: it gives what splitting whole lines pass after pass gives,
    // pairs and lone halves of pairs included, and the size it counts before
    // building a result is the size it builds.
    void seriesColumnsFollowTheirModel()
    {
        QRandomGenerator rng(20241206);
        const QStringList alphabet{"a", "b", ";", ",", " ", SMILE, QString(QChar(0xD83D)), QString(QChar(0xDE00)),
                                   "\r\n"};
        const QStringList delimiters{";", ",", " ", SMILE, QString(QChar(0xD83D)), QString(QChar(0xDE00))};
        const QStringList texts{"", "x", ";", "a b"};
        int checked = 0;
        for (int i = 0; i < 3000; ++i) {
            FormatParams p;
            p.formatCreate = QStringLiteral("New column");
            for (int n = 2 + rng.bounded(2); n > 0; --n)
                p.formatDelimiter += delimiters[rng.bounded(int(delimiters.size()))];
            if (characters(QStringView(p.formatDelimiter).trimmed()).size() < 2)
                continue;
            p.formatRemoveDelimiter = rng.bounded(2);
            p.formatMoveDelimiter = rng.bounded(2) ? QStringLiteral("Yes") : QStringLiteral("No");
            p.formatSpacesBetweenCols = rng.bounded(4);
            p.formatAddText = QStringList{"Omit text", "Start of column", "End of column"}[rng.bounded(3)];
            p.formatTextToAdd = texts[rng.bounded(int(texts.size()))];
            p.formatAddFromCol = 1 + rng.bounded(4);
            p.formatNumOfChars = rng.bounded(4);
            p.formatFirstSection = rng.bounded(2) ? QStringLiteral("Yes") : QStringLiteral("No");
            p.formatOptions = rng.bounded(2) ? QStringLiteral("Add spaces") : QStringLiteral("Omit spaces");
            p.formatPlaceSpaces = QStringList{"Both sides", "Left side", "Right side"}[rng.bounded(3)];
            p.formatSpaces = rng.bounded(3);
            const QString text = randomText(rng, alphabet, 24);

            const tw::TextResult result = tw::formatText(text, p);
            QVERIFY2(!result.refused(), qPrintable(result.error));
            QCOMPARE(result.text, modelSeriesColumns(text, p));
            QCOMPARE(tw::formatResultLength(text, p), result.text.size());
            ++checked;
        }
        QVERIFY(checked > 1000);
    }

    // A result too large to hold is refused before it is built: counting it
    // takes no memory of its size. Every space the first pass puts in is a
    // delimiter of the next passes, so one character would become about
    // 10^12.
    void resultTooLargeIsRefusedUnbuilt()
    {
        const FormatParams p = params({"delimiter=;   ;", "create=New column", "between=999"});
        QCOMPARE(tw::formatResultLength(u";", p), qsizetype(-1));
        const tw::TextResult result = tw::formatText(u";", p);
        QCOMPARE(result.error, tw::chars::tooLargeMessage());
        QVERIFY(result.text.isEmpty());

        // Just below the limit is built; the same again on a second line is not.
        const FormatParams wide = params({"delimiter=;", "create=New column", "between=999"});
        const qsizetype perDelimiter = 1 + 999;
        const QString line(tw::chars::maxResultLength / perDelimiter / 2, u';');
        QCOMPARE(tw::formatResultLength(line, wide), line.size() * perDelimiter);
        QCOMPARE(tw::formatResultLength(line + crlf + line + crlf + line, wide), qsizetype(-1));
    }

    // The usual run done on a file's bytes, without decoding them, gives what
    // decoding, formatting and encoding give, the bytes cut anywhere; any
    // other run has no byte form.
    void plainBytesAsText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<bool>("plain");
        const QByteArray mixed = "a,b\xC3\xA9,\xE2\x82\xAC," "\xF0\x9F\x98\x80" ",,x";
        QTest::newRow("ASCII, LF only, removed") << QByteArray("a,b,c\n,d\n\nx,") << F{"delimiter=,", "remove=1"}
                                                 << true;
        QTest::newRow("BMP and non-BMP, CR LF, kept") << mixed + "\r\n" + mixed + "\r\n" << F{"delimiter=,"} << true;
        QTest::newRow("lone CR and LF, new column")
            << QByteArray("a;b\rc;d\ne;\r\n;f") << F{"delimiter=;", "create=New column", "between=3"} << true;
        QTest::newRow("Windows-1252, a space") << QByteArray("caf\xE9 x\x80y \n") << F{"delimiter= "} << true;
        QTest::newRow("text added: no byte form") << mixed << F{"delimiter=,", "add=End of line", "text=X"} << false;
        QTest::newRow("moved: no byte form") << mixed << F{"delimiter=,", "create=New column", "move=Yes"} << false;
        QTest::newRow("non-ASCII delimiter: no byte form") << mixed << F{"delimiter=\u00E9"} << false;
    }

    void plainBytesAsText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, fields);
        QFETCH(bool, plain);
        const FormatParams p = params(fields);
        const tw::TextFileContent decoded = tw::decodeText(bytes);
        const QByteArrayView lineBreak = decoded.format.lineEnds == tw::LineEnds::Lf ? "\n" : "\r\n";
        const std::optional<tw::PlainByteFormatter> formatter = tw::PlainByteFormatter::make(p, lineBreak);
        QCOMPARE(formatter.has_value(), plain);
        if (!plain)
            return;
        const QByteArray expected = tw::encodeText(tw::formatText(decoded.text, p).text, decoded.format);
        for (qsizetype cut = 0; cut <= bytes.size(); ++cut) {
            QByteArray out;
            formatter->addBytes(QByteArrayView(bytes).first(cut), out);
            formatter->addBytes(QByteArrayView(bytes).sliced(cut), out);
            QCOMPARE(out, expected);
        }
        // Long enough for the 16-byte steps, each kind of byte at every place.
        QByteArray longer;
        for (int i = 0; i < 40; ++i)
            longer += bytes.left(i % bytes.size()) + bytes;
        QByteArray out;
        formatter->addBytes(longer, out);
        const tw::TextFileContent whole = tw::decodeText(longer);
        QCOMPARE(out, tw::encodeText(tw::formatText(whole.text, p).text, whole.format));
    }

    // The command line hands a result on through a buffer of fixed size as it
    // grows; what passes through is the result built whole.
    void resultHandedOnThroughABuffer()
    {
        const FormatParams p = params({"delimiter=; ,", "create=New column", "between=999", "add=End of column",
                                       "text=x"});
        QString text;
        for (int i = 0; i < 40; ++i)
            text += QStringLiteral("a;b c,d\r\n\r\n") + QString(SMILE) + u';';
        const tw::TextResult whole = tw::formatText(text, p);
        QVERIFY(whole.text.size() > 4 * tw::chars::UnitWriter::spillUnits);

        tw::LineFormatter formatter(p);
        QString handedOn;
        int handings = 0;
        const tw::chars::UnitWriter::Spill spill = [&](QStringView piece) {
            QVERIFY(piece.size() <= tw::chars::UnitWriter::spillUnits);
            handedOn += piece;
            ++handings;
        };
        QString buffer;
        const qsizetype half = text.indexOf(crlf, text.size() / 2);
        formatter.addLines(QStringView(text).first(half), buffer, nullptr, &spill);
        handedOn += buffer;
        buffer.clear();
        formatter.addLines(QStringView(text).sliced(half + 2), buffer, nullptr, &spill);
        handedOn += buffer;
        QVERIFY(handings > 4);
        QCOMPARE(handedOn, whole.text);
    }

    void randomTexts()
    {
        QRandomGenerator rng(20240601);
        const QStringList alphabet{"a", ";", ",", " ", "\r\n", "\r", "\n", SMILE};
        for (int i = 0; i < 300; ++i) {
            const QString text = randomText(rng, alphabet, 60);

            // A delimiter the text lacks changes nothing, however the rest is set.
            for (const char *create : {"create=New line", "create=New column"})
                QCOMPARE(tw::formatText(text, params({"delimiter=|", create, "remove=1", "move=Yes"})).text, text);

            // New column with no spaces between columns and nothing added only
            // regroups the characters, with the delimiter moved or not.
            for (const QString &delimiter : F{";", ";,", "  ", SMILE}) {
                for (const char *move : {"move=No", "move=Yes"}) {
                    const QStringList fields{"delimiter=" + delimiter, "create=New column", "between=0", move};
                    QCOMPARE(tw::formatText(text, params(fields)).text, text);
                }
            }

            // New line with the delimiter kept adds a line break after each
            // delimiter and keeps every character in its order.
            const QString lines = tw::formatText(text, params({"delimiter=;"})).text;
            QCOMPARE(QString(lines).remove(crlf), QString(text).remove(crlf));
            QCOMPARE(tw::lineCount(lines), tw::lineCount(text) + text.count(u';'));
        }
    }
};

QTEST_GUILESS_MAIN(TestFormatText)
#include "test_formattext.moc"
