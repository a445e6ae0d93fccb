// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/engine/lineops.h"

#include "enginetest.h"

using namespace enginetest;
using namespace tw;

namespace {

using F = QStringList;
const F addSpaces{"options=Add spaces"};
// The halves of a pair on their own, each a character of its own.
const QString high(QChar(0xD83D));
const QString low(QChar(0xDE00));

const Names<SpacingRule> spacingNames{
    {"options", &SpacingRule::options}, {"spaces", &SpacingRule::spaces}, {"place", &SpacingRule::placeSpaces}};
const Names<MoveParams> moveNames{
    {"type", &MoveParams::textToMove}, {"specific", &MoveParams::moveSpecificText}, {"from", &MoveParams::moveFromCol},
    {"count", &MoveParams::moveNumOfChars}, {"to", &MoveParams::moveToCol}, {"eol", &MoveParams::moveEndOfLine},
    {"options", &MoveParams::moveOptions}, {"spaces", &MoveParams::moveSpaces},
    {"place", &MoveParams::movePlaceSpaces}};
const Names<AddParams> addNames{
    {"text", &AddParams::addText}, {"if", &AddParams::addIfContains}, {"col", &AddParams::addAtCol},
    {"eol", &AddParams::addEndOfLine}, {"options", &AddParams::addOptions}, {"spaces", &AddParams::addSpaces},
    {"place", &AddParams::addPlaceSpaces}};
const Names<ReplaceParams> replaceNames{
    {"type", &ReplaceParams::replaceText}, {"specific", &ReplaceParams::replaceSpecificText},
    {"col", &ReplaceParams::replaceAtCol}, {"count", &ReplaceParams::replaceNumOfChars},
    {"with", &ReplaceParams::replaceWith}, {"eol", &ReplaceParams::replaceEndOfLine}};
const Names<DeleteParams> deleteNames{
    {"type", &DeleteParams::deleteText}, {"specific", &DeleteParams::deleteSpecificText},
    {"col", &DeleteParams::deleteFromCol}, {"count", &DeleteParams::deleteNumOfChars},
    {"eol", &DeleteParams::deleteEndOfLine}, {"options", &DeleteParams::deleteOptions},
    {"spaces", &DeleteParams::deleteSpaces}};

void columns()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("expected");
}

// Runs the row's text through the frame with the operation and its gate, as
// Process and the command line do: a row of one line shows the operation, a
// row with empty lines its gate.
template <typename P>
void runRow(const Names<P> &names, LineOperation (*operation)(const P &), LineGate (*gate)(const P &))
{
    QFETCH(QString, text);
    QFETCH(QStringList, fields);
    QFETCH(QString, expected);
    const P p = record(names, fields);
    QCOMPARE(runLineFrame(text, operation(p), gate(p)), expected);
}

} // namespace

// The spacing rule and the line operations of the Move, Add, Replace and Delete tabs.
class TestLineOps : public QObject
{
    Q_OBJECT

private slots:
    void spacing_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no spaces as the window opens") << F{} << "ab";
        QTest::newRow("one space both sides as the window opens") << addSpaces << " ab ";
        QTest::newRow("both sides") << addSpaces + F{"spaces=2", "place=Both sides"} << "  ab  ";
        QTest::newRow("left side") << addSpaces + F{"place=Left side"} << " ab";
        QTest::newRow("right side") << addSpaces + F{"spaces=3", "place=Right side"} << "ab   ";
        QTest::newRow("0 spaces") << addSpaces + F{"spaces=0"} << "ab";
        QTest::newRow("omit ignores the rest") << F{"options=Omit spaces", "spaces=5"} << "ab";
        QTest::newRow("options not exactly the list entry") << F{"options=add spaces"} << "ab";
        QTest::newRow("placement not exactly a list entry") << addSpaces + F{"place=both sides"} << "ab";
    }

    void spacing()
    {
        QFETCH(QStringList, fields);
        QFETCH(QString, expected);
        const SpacingRule rule = record(spacingNames, fields);
        QString piece = QStringLiteral("ab");
        applySpacing(piece, rule);
        QCOMPARE(piece, expected);
        QCOMPARE(spacingPadding(rule.options, rule.spaces, rule.placeSpaces).total() + 2, expected.size());
        // The three routines the rule picks from.
        if (expected != u"ab") {
            const QString &place = rule.placeSpaces;
            QCOMPARE(place == u"Left side"    ? spacesLeft(rule.spaces, u"ab")
                     : place == u"Right side" ? spacesRight(rule.spaces, u"ab")
                                              : spacesBothSides(rule.spaces, u"ab"),
                     expected);
        }
    }

    void move_data()
    {
        columns();
        const QString gm = QStringLiteral("type=General Move");
        const QString sm = QStringLiteral("type=Specific Move");
        QTest::newRow("general, to a later column") << "abcdef" << F{gm, "from=2", "count=2", "to=6"} << "adebcf";
        QTest::newRow("general, to column 1: the source shifts") << "abcdef" << F{gm, "from=5", "count=2"} << "efabcd";
        QTest::newRow("general, spaces stay with the inserted piece")
            << "abcdef" << F{gm, "from=5", "count=2", "place=Right side"} + addSpaces << "ef abcd";
        QTest::newRow("general, to its own column with spaces")
            << "abcdef" << F{gm, "from=2", "count=2", "to=2"} + addSpaces << "a bc def";
        QTest::newRow("general, to end of line, to column ignored") << "abc\r\nx" << F{gm, "eol=1", "to=2"}
                                                                    << "bca\r\nx";
        QTest::newRow("general, count past the end") << "abcdef" << F{gm, "from=4", "count=9", "to=2"} << "adefbc";
        QTest::newRow("general, from past the end: no move, no spaces") << "abc" << F{gm, "from=4", "eol=1"} + addSpaces
                                                                         << "abc";
        QTest::newRow("general, 0 characters") << "abc" << F{gm, "from=2", "count=0"} + addSpaces << "abc";
        QTest::newRow("general, from column 0 leaves the line") << "abc" << F{gm, "from=0", "to=3"} << "abc";
        QTest::newRow("general, to column 0 counts as 1") << "abcdef" << F{gm, "from=3", "to=0"} << "cabdef";
        QTest::newRow("general, to past the end appends, no filling")
            << "abcdef" << F{gm, "count=2", "to=50", "place=Right side"} + addSpaces << "cdefab ";
        QTest::newRow("general, to just after itself") << "abcdef" << F{gm, "from=2", "count=2", "to=4"} << "abcdef";
        QTest::newRow("general, to inside itself, taken literally") << "abcdef" << F{gm, "from=2", "count=3", "to=3"}
                                                                    << "adcdef";
        QTest::newRow("general, lone CR and LF one column each") << "\ra\nbc" << F{gm, "from=3", "eol=1"} << "\rabc\n";
        QTest::newRow("general, non-BMP source") << "a" SMILE SMILE "b" << F{gm, "from=2", "count=2"}
                                                 << SMILE SMILE "ab";
        QTest::newRow("general, non-BMP before the target") << SMILE "ab" << F{gm, "to=3"} << "a" SMILE "b";
        QTest::newRow("specific, only where it stands, case-sensitive, not cut off")
            << "abXYcd\r\naXYbcd\r\nabxycd\r\nabX" << F{sm, "specific=XY", "from=3"}
            << "XYabcd\r\naXYbcd\r\nabxycd\r\nabX";
        QTest::newRow("specific, count ignored, to end of line, spaces")
            << "abXYcd" << F{sm, "specific=XY", "from=3", "count=0", "eol=1"} + addSpaces << "abcd XY ";
        QTest::newRow("specific, from column 0 leaves the line") << "XYab" << F{sm, "specific=XY", "from=0"} << "XYab";
        QTest::newRow("specific, empty text, nothing to insert") << "abc" << F{sm} << "abc";
        QTest::newRow("specific, empty text inserts the spaces; empty lines untouched")
            << "ab\r\n\r\n" << F{sm} + addSpaces << "  ab\r\n\r\n";
        QTest::newRow("specific, non-BMP") << "ab" SMILE "cd" << F{sm, "specific=" SMILE "c", "from=3"} << SMILE "cabd";
        QTest::newRow("typed, first occurrence only") << "abcb" << F{"type=b", "eol=1"} << "acbb";
        QTest::newRow("typed, source columns ignored") << "xxabx" << F{"type=ab", "from=9", "count=9"} << "abxxx";
        QTest::newRow("typed, case-sensitive") << "abc" << F{"type=B", "eol=1"} << "abc";
        QTest::newRow("typed list entry in other case") << "general move x" << F{"type=general move", "eol=1"}
                                                        << " xgeneral move";
        QTest::newRow("empty type leaves the line") << "abc" << F{"eol=1"} << "abc";
    }

    void move() { runRow(moveNames, &moveOperation, &moveGate); }

    void add_data()
    {
        columns();
        QTest::newRow("column 1 as the window opens; empty lines stay") << "abc\r\n\r\n" << F{"text= - "}
                                                                        << " - abc\r\n\r\n";
        QTest::newRow("inside the line; past the end appends") << "abcdefghij\r\nab" << F{"text=X", "col=9"}
                                                               << "abcdefghXij\r\nabX";
        QTest::newRow("column 0 counts as 1") << "abc" << F{"text=X", "col=0"} << "Xabc";
        QTest::newRow("end of line, column ignored, left spaces")
            << "abc" << F{"text=X", "col=2", "eol=1", "spaces=2", "place=Left side"} + addSpaces << "abc  X";
        QTest::newRow("spaces both sides at a column") << "abc" << F{"text=X", "col=2"} + addSpaces << "a X bc";
        QTest::newRow("condition, case-sensitive") << "xaby\r\nxAby" << F{"text=!", "if=ab", "col=2"}
                                                   << "x!aby\r\nxAby";
        QTest::newRow("condition with a line break matches no line") << "ab\r\nab" << F{"text=!", "if=ab\r\n"}
                                                                     << "ab\r\nab";
        QTest::newRow("condition exactly CR LF: the empty lines, the last one too, at any column")
            << "abc\r\n\r\ndef\r\n" << F{"text=X-", "if=\r\n", "col=5"} << "abc\r\nX-\r\ndef\r\nX-";
        QTest::newRow("condition a lone LF") << "a\nb\r\nab" << F{"text=!", "if=\n", "eol=1"} << "a\nb!\r\nab";
        QTest::newRow("lone LF and CR one column each") << "a\nb\rc" << F{"text=X", "col=5"} << "a\nb\rXc";
        QTest::newRow("non-BMP column") << SMILE SMILE << F{"text=X", "col=2"} << SMILE "X" SMILE;
        QTest::newRow("half a pair is no condition match") << "a" SMILE << F{"text=!", "if=" + high} << "a" SMILE;
    }

    void add() { runRow(addNames, &addOperation, &addGate); }

    void replace_data()
    {
        columns();
        const QString gr = QStringLiteral("type=General Replace");
        const QString sr = QStringLiteral("type=Specific Replace");
        QTest::newRow("general, at a column; past the end appends")
            << "abcdef\r\nab" << F{gr, "col=3", "count=2", "with=XY"} << "abXYef\r\nabXY";
        QTest::newRow("general, count past the end") << "abcdef" << F{gr, "col=5", "count=9", "with=X"} << "abcdX";
        QTest::newRow("general, 0 characters inserts") << "abc" << F{gr, "col=2", "count=0", "with=X"} << "aXbc";
        QTest::newRow("general, column 0 counts as 1") << "abc" << F{gr, "col=0", "with=X"} << "Xbc";
        QTest::newRow("general, end of line, column ignored, short lines become W")
            << "abcd\r\nab\r\na" << F{gr, "col=2", "count=2", "with=!", "eol=1"} << "ab!\r\n!\r\n!";
        QTest::newRow("general, end of line, 0 characters appends") << "ab" << F{gr, "count=0", "with=!", "eol=1"}
                                                                    << "ab!";
        QTest::newRow("general, lone LF and CR one column each") << "a\nb\rc" << F{gr, "col=4", "with=-"} << "a\nb-c";
        QTest::newRow("general, non-BMP columns") << SMILE "a" SMILE "b" << F{gr, "col=2", "count=2", "with=X"}
                                                  << SMILE "Xb";
        QTest::newRow("general, non-BMP at the end") << "ab" SMILE << F{gr, "with=X", "eol=1"} << "abX";
        QTest::newRow("general, a lone half is one column") << high + "ab" << F{gr, "col=3", "with=X"} << high + "aX";
        QTest::newRow("specific, only where it stands, case-sensitive, count ignored")
            << "abcdef\r\nabxcdf\r\nabCDef\r\nabc" << F{sr, "specific=cd", "col=3", "count=0", "with=-"}
            << "ab-ef\r\nabxcdf\r\nabCDef\r\nabc";
        QTest::newRow("specific, column 0 counts as 1") << "cdab" << F{sr, "specific=cd", "col=0", "with=-"} << "-ab";
        QTest::newRow("specific, end of line") << "abcdef\r\nef\r\nabcdfe\r\nf" << F{sr, "specific=ef", "eol=1"}
                                               << "abcd\r\n\r\nabcdfe\r\nf";
        QTest::newRow("specific, non-BMP") << "a" SMILE "b" << F{sr, "specific=" SMILE "b", "col=2", "with=-"} << "a-";
        QTest::newRow("specific never splits a pair") << "a" SMILE << F{sr, "specific=" + low, "eol=1"} << "a" SMILE;
        QTest::newRow("typed, every occurrence; emptied lines stay") << "a\r\n\r\nbab\r\naa\r\nxxax" << F{"type=a"}
                                                                     << "\r\n\r\nbb\r\n\r\nxxx";
        QTest::newRow("typed, resumes after the replacement") << "aa" << F{"type=a", "with=ba"} << "baba";
        QTest::newRow("typed, no match made with the replacement") << "aab" << F{"type=ab", "with=b"} << "ab";
        QTest::newRow("typed, left to right, case-sensitive") << "aaa\r\nAAa" << F{"type=aa", "with=b"} << "ba\r\nAAa";
        QTest::newRow("typed, column and end of line ignored") << "abab" << F{"type=a", "with=-", "col=3", "eol=1"}
                                                               << "-b-b";
        QTest::newRow("typed CR LF matches no line") << "a\r\nb" << F{"type=\r\n", "with=X"} << "a\r\nb";
        QTest::newRow("typed list entry in other case") << "general replace" << F{"type=general replace", "with=X"}
                                                        << "X";
        QTest::newRow("typed half pair never matches") << SMILE << F{"type=" + high, "with=-"} << SMILE;
        QTest::newRow("typed, many occurrences") << QString(100, u'a') << F{"type=a", "with=bc"}
                                                 << QStringLiteral("bc").repeated(100);
        QTest::newRow("empty type leaves the line") << "abc" << F{"with=x"} << "abc";
    }

    void replace() { runRow(replaceNames, &replaceOperation, &replaceGate); }

    void remove_data()
    {
        columns();
        const QString gd = QStringLiteral("type=General Delete");
        const QString sd = QStringLiteral("type=Specific Delete");
        const QString blank = QStringLiteral("specific=\r\n");
        QTest::newRow("general, fewer spaces than deleted") << "abcdef" << F{gd, "col=2", "count=3"} + addSpaces
                                                            << "a ef";
        QTest::newRow("general, more spaces than deleted") << "abcdef" << F{gd, "col=2", "spaces=3"} + addSpaces
                                                           << "a   cdef";
        QTest::newRow("general, column past the end: no spaces either")
            << "abc\r\nabcd" << F{gd, "col=4", "spaces=2"} + addSpaces << "abc\r\nabc  ";
        QTest::newRow("general, 0 characters") << "abc" << F{gd, "col=2", "count=0"} + addSpaces << "abc";
        QTest::newRow("general, count past the end") << "abcdef" << F{gd, "col=4", "count=50"} << "abc";
        QTest::newRow("general, column 0 counts as 1") << "abc" << F{gd, "col=0"} << "bc";
        QTest::newRow("general, end of line, column ignored; an emptied line stays")
            << "abcd\r\na" << F{gd, "col=3", "count=2", "eol=1"} << "ab\r\n";
        QTest::newRow("general, end of line: the spaces go on the end either way")
            << "abcd\r\na" << F{gd, "count=2", "eol=1", "spaces=2"} + addSpaces << "ab  \r\n  ";
        QTest::newRow("general, end of line, 0 characters") << "ab" << F{gd, "count=0", "eol=1"} + addSpaces << "ab ";
        QTest::newRow("general, lone LF and CR one column each") << "\na\rb" << F{gd, "col=3"} << "\nab";
        QTest::newRow("general, non-BMP columns") << SMILE "ab" SMILE << F{gd, "col=2", "count=2"} << SMILE SMILE;
        QTest::newRow("general, non-BMP and a lone half at the end") << "ab" SMILE "\r\nab" + low << F{gd, "eol=1"}
                                                                     << "ab\r\nab";
        QTest::newRow("specific, only where it stands, count ignored")
            << "abcdef\r\nabxcdf\r\nabc" << F{sd, "specific=cd", "col=3", "count=0"} << "abef\r\nabxcdf\r\nabc";
        QTest::newRow("specific, column 0 counts as 1") << "cdab" << F{sd, "specific=cd", "col=0"} << "ab";
        QTest::newRow("specific, end of line: spaces only where it matched")
            << "abcdef\r\nef\r\nabfe" << F{sd, "specific=ef", "eol=1"} + addSpaces << "abcd \r\n \r\nabfe";
        QTest::newRow("specific, non-BMP") << "a" SMILE "b" << F{sd, "specific=" SMILE "b", "col=2"} << "a";
        QTest::newRow("specific never splits a pair") << "a" SMILE << F{sd, "specific=" + low, "eol=1"} << "a" SMILE;
        QTest::newRow("CR LF: blank lines go") << "\r\na\r\n\r\n\r\nb\r\n" << F{sd, blank} << "a\r\nb";
        QTest::newRow("CR LF: only blank lines") << "\r\n\r\n" << F{sd, blank} << "";
        QTest::newRow("CR LF with spaces: blank lines become spaces, at any column")
            << "a\r\n\r\nb" << F{sd, blank, "col=5", "spaces=2"} + addSpaces << "a\r\n  \r\nb";
        QTest::newRow("CR LF, end of line, spaces") << "a\r\n\r\nb" << F{sd, blank, "eol=1"} + addSpaces
                                                    << "a\r\n \r\nb";
        QTest::newRow("CR LF drops every line emptied, whatever the type") << "xx\r\nxax\r\n\r\nb"
                                                                           << F{"type=x", blank} << "a\r\nb";
        QTest::newRow("not exactly CR LF: emptied lines stay") << "x\r\nxa\r\n" << F{"type=x", "specific=\r\n "}
                                                               << "\r\na\r\n";
        QTest::newRow("typed, every occurrence") << "xxax" << F{"type=x"} << "a";
        QTest::newRow("typed, a run collapses into the spaces") << "a    b" << F{"type=  "} + addSpaces << "a b";
        QTest::newRow("typed, rounds limited to the line's length") << "a b" << F{"type= ", "spaces=2"} + addSpaces
                                                                    << "a    b";
        QTest::newRow("typed, spaces as long as the text") << "a b" << F{"type= "} + addSpaces << "a b";
        QTest::newRow("typed, no spaces: what follows not searched again") << "a -- b" << F{"type= -"} << "a- b";
        QTest::newRow("typed, the spaces put in searched again") << "a -- b" << F{"type= -"} + addSpaces << "a  b";
        QTest::newRow("typed, left to right, case-sensitive") << "aaa\r\nAAa" << F{"type=aa"} << "a\r\nAAa";
        QTest::newRow("typed, column and end of line ignored") << "abab" << F{"type=b", "col=3", "eol=1"} << "aa";
        QTest::newRow("typed half pair never matches a pair") << SMILE << F{"type=" + low} << SMILE;
        QTest::newRow("typed lone halves") << low + "a" + low << F{"type=" + low} << "a";
        QTest::newRow("typed list entry in other case") << "general delete!" << F{"type=general delete"} << "!";
        QTest::newRow("typed, many occurrences") << QString(100, u'a') + u'b' << F{"type=a"} << "b";
        QTest::newRow("empty type leaves the line") << "abc" << F{} << "abc";
        const QString dl = QStringLiteral("type=Delete Lines Containing");
        const QString kl = QStringLiteral("type=Keep Lines Containing");
        QTest::newRow("lines containing go whole, case-sensitive, columns and spaces ignored")
            << "ab\r\n\r\nxB\r\ncb\r\n" << F{dl, "specific=b", "col=5", "eol=1"} + addSpaces << "\r\nxB\r\n";
        QTest::newRow("only lines containing stay; empty lines contain nothing")
            << "ab\r\n\r\nxB\r\ncb\r\n" << F{kl, "specific=b"} << "ab\r\ncb";
        QTest::newRow("CR LF: the empty lines go") << "a\r\n\r\nb\r\n" << F{dl, blank} << "a\r\nb";
        QTest::newRow("CR LF: only the empty lines stay") << "a\r\n\r\nb\r\n" << F{kl, blank} << "\r\n";
        QTest::newRow("a half pair is not contained in a pair") << "a" SMILE "\r\n" + low << F{dl, "specific=" + low}
                                                                << "a" SMILE;
        QTest::newRow("a text over several characters, lone CR and LF ordinary")
            << "a\rb\r\na\nb" << F{kl, "specific=a\rb"} << "a\rb";
    }

    void remove() { runRow(deleteNames, &deleteOperation, &deleteGate); }

    void missingFieldMessages()
    {
        // Each tab refuses to run while its required field is empty; a space is text enough.
        MoveParams move;
        AddParams add;
        ReplaceParams replace;
        DeleteParams del;
        QCOMPARE(moveMissingFieldMessage(move), QStringLiteral("Please enter text to move; or select a move type and "
                                                               "enter 'Specific text to move', if necessary."));
        QCOMPARE(addMissingFieldMessage(add), QStringLiteral("Please enter text to add."));
        QCOMPARE(replaceMissingFieldMessage(replace),
                 QStringLiteral("Please enter text to replace; or select a replace type and enter 'Specific text to "
                                "replace', if necessary."));
        QCOMPARE(deleteMissingFieldMessage(del),
                 QStringLiteral("Please enter text to delete; or select a delete type and enter 'Specific text to "
                                "delete', if necessary."));
        // The line entries look for the specific text, so that one is required.
        del.deleteText = QStringLiteral("Keep Lines Containing");
        QCOMPARE(deleteMissingFieldMessage(del),
                 QStringLiteral("Please enter the text to look for in 'Specific text to delete'."));
        move.textToMove = add.addText = replace.replaceText = del.deleteSpecificText = QStringLiteral(" ");
        QVERIFY(moveMissingFieldMessage(move).isEmpty() && addMissingFieldMessage(add).isEmpty()
                && replaceMissingFieldMessage(replace).isEmpty() && deleteMissingFieldMessage(del).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLineOps)
#include "test_lineops.moc"
