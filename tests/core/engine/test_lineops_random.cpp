// SPDX-License-Identifier: GPL-3.0-or-later
// Seeded random checks of the line operations: a plain reference model that
// works on whole code points follows the algorithms step by step, and the
// operations must agree with it on every line (this covers the surrogate path
// and the in-place edits); then invariants of whole runs through the frame.
#include "core/engine/lineops.h"

#include <QRandomGenerator>
#include <QtTest>

#include <string>

namespace {

using Chars = std::u32string;

Chars toChars(const QString &text)
{
    Chars out;
    for (char32_t c : text.toUcs4())
        out.push_back(c);
    return out;
}

QString fromChars(const Chars &chars)
{
    return QString::fromUcs4(chars.data(), qsizetype(chars.size()));
}

// Characters a column is made of, BMP and not; a lone CR or LF are ordinary.
const char32_t alphabet[] = {U'a', U'b', U'c', U' ', U'-', U'\r', U'\n', U'\u00e9', U'\U0001F600'};

// --- reference model ---------------------------------------------------------

Chars head(const Chars &s, size_t n) { return s.substr(0, std::min(n, s.size())); }
Chars tailFrom(const Chars &s, size_t i) { return i < s.size() ? s.substr(i) : Chars(); }
Chars mid(const Chars &s, size_t i, size_t n) { return i < s.size() ? s.substr(i, n) : Chars(); }

Chars refSpacing(const Chars &piece, const QString &options, int spaces, const QString &place)
{
    if (options != QLatin1String("Add spaces"))
        return piece;
    const Chars pad(size_t(std::max(spaces, 0)), U' ');
    if (place == QLatin1String("Both sides"))
        return pad + piece + pad;
    if (place == QLatin1String("Left side"))
        return pad + piece;
    if (place == QLatin1String("Right side"))
        return piece + pad;
    return piece;
}

Chars refMove(Chars line, const tw::MoveParams &p)
{
    const Chars type = toChars(p.textToMove);
    const bool general = p.textToMove == QLatin1String("General Move");
    const bool specific = p.textToMove == QLatin1String("Specific Move");
    size_t P;  // 1-based
    Chars S;
    if (general || specific) {
        if (p.moveFromCol == 0)
            return line;
        P = size_t(p.moveFromCol);
        if (general) {
            S = mid(line, P - 1, size_t(p.moveNumOfChars));
            if (S.empty())
                return line;
        } else {
            const Chars wanted = toChars(p.moveSpecificText);
            S = mid(line, P - 1, wanted.size());
            if (S != wanted)
                return line;
        }
    } else {
        if (type.empty())
            return line;
        const size_t at = line.find(type);
        if (at == Chars::npos)
            return line;
        P = at + 1;
        S = type;
    }
    const size_t L = S.size();
    const Chars I = refSpacing(S, p.moveOptions, p.moveSpaces, p.movePlaceSpaces);
    if (specific && I.empty())
        return line;
    const size_t T = size_t(std::max(p.moveToCol, 1));
    if (p.moveEndOfLine)
        line += I;
    else
        line = head(line, T - 1) + I + tailFrom(line, T - 1);
    if (!p.moveEndOfLine && T <= P)
        P += I.size();
    return head(line, P - 1) + tailFrom(line, P - 1 + L);
}

Chars refAdd(Chars line, const tw::AddParams &p)
{
    const Chars condition = toChars(p.addIfContains);
    const bool crlf = p.addIfContains == QLatin1String("\r\n");
    const bool holds = condition.empty() || line.find(condition) != Chars::npos
        || (crlf && line.empty());
    if (!holds)
        return line;
    const Chars piece = refSpacing(toChars(p.addText), p.addOptions, p.addSpaces, p.addPlaceSpaces);
    if (p.addEndOfLine)
        return line + piece;
    if (!piece.empty() || (line.empty() && crlf)) {
        const size_t C = size_t(std::max(p.addAtCol, 1));
        line = head(line, C - 1) + piece + tailFrom(line, C - 1);
    }
    return line;
}

Chars refReplace(Chars line, const tw::ReplaceParams &p)
{
    const Chars W = toChars(p.replaceWith);
    const size_t A = size_t(std::max(p.replaceAtCol, 1));
    if (p.replaceText == QLatin1String("General Replace")) {
        const size_t n = size_t(p.replaceNumOfChars);
        if (p.replaceEndOfLine)
            return line.size() > n ? head(line, line.size() - n) + W : W;
        return head(line, A - 1) + W + tailFrom(line, A - 1 + n);
    }
    if (p.replaceText == QLatin1String("Specific Replace")) {
        const Chars S = toChars(p.replaceSpecificText);
        if (p.replaceEndOfLine) {
            if (line.size() >= S.size() && line.substr(line.size() - S.size()) == S)
                return head(line, line.size() - S.size()) + W;
            return line;
        }
        if (mid(line, A - 1, S.size()) == S)
            return head(line, A - 1) + W + tailFrom(line, A - 1 + S.size());
        return line;
    }
    const Chars E = toChars(p.replaceText);
    if (E.empty())
        return line;
    size_t pos = 0;
    for (;;) {
        const size_t at = line.find(E, pos);
        if (at == Chars::npos)
            break;
        line = head(line, at) + W + tailFrom(line, at + E.size());
        pos = at + W.size();
    }
    return line;
}

Chars refDelete(Chars line, const tw::DeleteParams &p)
{
    const Chars filler(p.deleteOptions == QLatin1String("Add spaces") ? size_t(p.deleteSpaces) : 0,
                       U' ');
    const size_t F = size_t(std::max(p.deleteFromCol, 1));
    if (p.deleteText == QLatin1String("General Delete")) {
        const size_t n = size_t(p.deleteNumOfChars);
        if (p.deleteEndOfLine)
            return (line.size() > n ? head(line, line.size() - n) : Chars()) + filler;
        const Chars D = mid(line, F - 1, n);
        if (D.empty())
            return line;
        return head(line, F - 1) + filler + tailFrom(line, F - 1 + D.size());
    }
    if (p.deleteText == QLatin1String("Specific Delete")) {
        const Chars S = toChars(p.deleteSpecificText);
        const Chars candidate = p.deleteEndOfLine
            ? line.substr(line.size() - std::min(S.size(), line.size()))
            : mid(line, F - 1, S.size());
        const bool matches = candidate == S
            || (line.empty() && p.deleteSpecificText == QLatin1String("\r\n"));
        if (!matches)
            return line;
        if (p.deleteEndOfLine)
            return (line.size() > candidate.size() ? head(line, line.size() - candidate.size())
                                                   : Chars())
                + filler;
        return head(line, F - 1) + filler + tailFrom(line, F - 1 + candidate.size());
    }
    const Chars E = toChars(p.deleteText);
    if (E.empty())
        return line;
    size_t pos = 0;
    for (size_t round = 0, rounds = line.size(); round < rounds; ++round) {
        const size_t at = line.find(E, pos);
        if (at == Chars::npos)
            break;
        line = head(line, at) + filler + tailFrom(line, at + E.size());
        pos = at;
    }
    return line;
}

// --- random values -------------------------------------------------------------

class Dice
{
public:
    explicit Dice(quint32 seed) : m_random(seed) {}

    int below(int n) { return int(m_random.bounded(quint32(n))); }
    bool coin() { return below(2) == 0; }

    QString text(int maxLength, bool lineBreakChars = true)
    {
        Chars out;
        const int length = below(maxLength + 1);
        const int choices = int(std::size(alphabet));
        for (int i = 0; i < length; ++i) {
            char32_t c = alphabet[below(choices)];
            if (!lineBreakChars && (c == U'\r' || c == U'\n'))
                c = U'a';
            out.push_back(c);
        }
        return fromChars(out);
    }

    // A search text: mostly a piece of the line, so that it is found.
    QString pieceOf(const QString &line, int maxLength)
    {
        const Chars chars = toChars(line);
        if (chars.empty() || below(4) == 0)
            return text(maxLength);
        const size_t from = size_t(below(int(chars.size())));
        return fromChars(chars.substr(from, size_t(1 + below(maxLength))));
    }

    QString options()
    {
        static const char *const values[] = {"Add spaces", "Add spaces", "Omit spaces", "add spaces"};
        return QString::fromLatin1(values[below(4)]);
    }

    QString placement()
    {
        static const char *const values[] = {"Both sides", "Left side", "Right side", "Middle"};
        return QString::fromLatin1(values[below(4)]);
    }

    int column() { return below(10) == 0 ? 999 : below(12); }

private:
    QRandomGenerator m_random;
};

QString typeFor(Dice &dice, const char *general, const char *specific, const QString &line)
{
    switch (dice.below(4)) {
    case 0: return QString::fromLatin1(general);
    case 1: return QString::fromLatin1(specific);
    default: {
        QString typed = dice.pieceOf(line, 3);
        if (typed.isEmpty() || typed == QLatin1String(general) || typed == QLatin1String(specific))
            typed = QStringLiteral("b");
        return typed;
    }
    }
}

tw::MoveParams randomMove(Dice &dice, const QString &line)
{
    tw::MoveParams p;
    p.textToMove = typeFor(dice, "General Move", "Specific Move", line);
    p.moveSpecificText = dice.pieceOf(line, 3);
    p.moveFromCol = dice.column();
    p.moveNumOfChars = dice.below(5);
    p.moveToCol = dice.column();
    p.moveEndOfLine = dice.below(3) == 0;
    p.moveOptions = dice.options();
    p.moveSpaces = dice.below(3);
    p.movePlaceSpaces = dice.placement();
    return p;
}

tw::AddParams randomAdd(Dice &dice, const QString &line)
{
    tw::AddParams p;
    p.addText = dice.text(3);
    switch (dice.below(4)) {
    case 0: p.addIfContains = QString(); break;
    case 1: p.addIfContains = QStringLiteral("\r\n"); break;
    default: p.addIfContains = dice.pieceOf(line, 2); break;
    }
    p.addAtCol = dice.column();
    p.addEndOfLine = dice.below(3) == 0;
    p.addOptions = dice.options();
    p.addSpaces = dice.below(3);
    p.addPlaceSpaces = dice.placement();
    return p;
}

tw::ReplaceParams randomReplace(Dice &dice, const QString &line)
{
    tw::ReplaceParams p;
    p.replaceText = typeFor(dice, "General Replace", "Specific Replace", line);
    p.replaceSpecificText = dice.pieceOf(line, 3);
    p.replaceAtCol = dice.column();
    p.replaceNumOfChars = dice.below(5);
    p.replaceWith = dice.text(3);
    p.replaceEndOfLine = dice.below(3) == 0;
    return p;
}

tw::DeleteParams randomDelete(Dice &dice, const QString &line)
{
    tw::DeleteParams p;
    p.deleteText = typeFor(dice, "General Delete", "Specific Delete", line);
    p.deleteSpecificText = dice.below(6) == 0 ? QStringLiteral("\r\n") : dice.pieceOf(line, 3);
    p.deleteFromCol = dice.column();
    p.deleteNumOfChars = dice.below(5);
    p.deleteEndOfLine = dice.below(3) == 0;
    p.deleteOptions = dice.options();
    p.deleteSpaces = dice.below(3);
    return p;
}

bool pairsIntact(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate()) {
            if (i + 1 >= text.size() || !text[i + 1].isLowSurrogate())
                return false;
            ++i;
        } else if (text[i].isLowSurrogate()) {
            return false;
        }
    }
    return true;
}

// A text of random lines joined by CR LF; lone CR or LF inside lines only
// when asked for.
QString randomText(Dice &dice, int maxLines, QChar loneBreak)
{
    QStringList lines;
    const int count = 1 + dice.below(maxLines);
    for (int i = 0; i < count; ++i) {
        QString line = dice.below(5) == 0 ? QString() : dice.text(14, false);
        if (!loneBreak.isNull() && !line.isEmpty() && dice.below(3) == 0)
            line.insert(dice.below(int(line.size())), loneBreak);
        lines << line;
    }
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace

class TestLineOpsRandom : public QObject
{
    Q_OBJECT

private slots:
    void agreesWithModel_data();
    void agreesWithModel();
    void keepsLineCount_data();
    void keepsLineCount();
    void absentTargetChangesNothing();
    void moveKeepsCharacters();
    void deleteCrLfModeOnlyDropsLines();
};

void TestLineOpsRandom::agreesWithModel_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u})
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
}

void TestLineOpsRandom::agreesWithModel()
{
    QFETCH(quint32, seed);
    Dice dice(seed);
    // One buffer for every line, as the frame reuses its line buffer.
    QString line;
    for (int trial = 0; trial < 5000; ++trial) {
        const QString original = dice.text(12);
        const Chars chars = toChars(original);

        const tw::MoveParams move = randomMove(dice, original);
        line = original;
        tw::moveLine(line, move);
        QCOMPARE(line, fromChars(refMove(chars, move)));
        QVERIFY(pairsIntact(line));

        const tw::AddParams add = randomAdd(dice, original);
        line = original;
        tw::addLine(line, add);
        QCOMPARE(line, fromChars(refAdd(chars, add)));

        const tw::ReplaceParams replace = randomReplace(dice, original);
        line = original;
        tw::replaceLine(line, replace);
        QCOMPARE(line, fromChars(refReplace(chars, replace)));
        QVERIFY(pairsIntact(line));

        const tw::DeleteParams del = randomDelete(dice, original);
        line = original;
        tw::deleteLine(line, del);
        QCOMPARE(line, fromChars(refDelete(chars, del)));
        QVERIFY(pairsIntact(line));
    }
}

void TestLineOpsRandom::keepsLineCount_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QChar>("loneBreak");
    // A lone CR and a lone LF brought together would read as a line break in
    // the rebuilt text, so each run has only one kind of lone break character.
    QTest::newRow("no lone breaks") << 11u << QChar();
    QTest::newRow("lone LF") << 12u << QChar(u'\n');
    QTest::newRow("lone CR") << 13u << QChar(u'\r');
}

void TestLineOpsRandom::keepsLineCount()
{
    QFETCH(quint32, seed);
    QFETCH(QChar, loneBreak);
    Dice dice(seed);
    for (int trial = 0; trial < 400; ++trial) {
        const QString text = randomText(dice, 12, loneBreak);
        const qsizetype lines = tw::lineCount(text);
        const QString sample = text.section(QStringLiteral("\r\n"), 0, 0);

        // Texts the operations insert carry no line break characters here.
        tw::MoveParams move = randomMove(dice, sample);
        QCOMPARE(tw::lineCount(tw::runLineFrame(text, tw::moveOperation(move), tw::moveGate(move))),
                 lines);

        tw::AddParams add = randomAdd(dice, sample);
        add.addText.remove(u'\r').remove(u'\n');
        QCOMPARE(tw::lineCount(tw::runLineFrame(text, tw::addOperation(add), tw::addGate(add))), lines);

        tw::ReplaceParams replace = randomReplace(dice, sample);
        replace.replaceWith.remove(u'\r').remove(u'\n');
        QCOMPARE(tw::lineCount(tw::runLineFrame(text, tw::replaceOperation(replace),
                                                tw::replaceGate(replace))),
                 lines);

        tw::DeleteParams del = randomDelete(dice, sample);
        if (del.deleteSpecificText == QLatin1String("\r\n"))
            del.deleteSpecificText = QStringLiteral("b");
        QCOMPARE(tw::lineCount(tw::runLineFrame(text, tw::deleteOperation(del), tw::deleteGate(del))),
                 lines);
    }
}

void TestLineOpsRandom::absentTargetChangesNothing()
{
    // 'Z' never occurs in the random texts, and no line reaches column 999.
    Dice dice(21);
    for (int trial = 0; trial < 300; ++trial) {
        const QString text = randomText(dice, 10, QChar(u'\n'));
        const QString sample = text.section(QStringLiteral("\r\n"), 0, 0);
        const QString absent = dice.pieceOf(sample, 3) + u'Z';

        tw::MoveParams move = randomMove(dice, sample);
        move.textToMove = absent;
        QCOMPARE(tw::runLineFrame(text, tw::moveOperation(move), tw::moveGate(move)), text);
        move.textToMove = QStringLiteral("Specific Move");
        move.moveSpecificText = absent;
        QCOMPARE(tw::runLineFrame(text, tw::moveOperation(move), tw::moveGate(move)), text);
        move.textToMove = QStringLiteral("General Move");
        move.moveFromCol = 999;
        QCOMPARE(tw::runLineFrame(text, tw::moveOperation(move), tw::moveGate(move)), text);
        move.moveFromCol = 0;
        QCOMPARE(tw::runLineFrame(text, tw::moveOperation(move), tw::moveGate(move)), text);

        tw::AddParams add = randomAdd(dice, sample);
        add.addIfContains = absent;
        QCOMPARE(tw::runLineFrame(text, tw::addOperation(add), tw::addGate(add)), text);

        tw::ReplaceParams replace = randomReplace(dice, sample);
        replace.replaceText = absent;
        QCOMPARE(tw::runLineFrame(text, tw::replaceOperation(replace), tw::replaceGate(replace)),
                 text);
        replace.replaceText = QStringLiteral("Specific Replace");
        replace.replaceSpecificText = absent;
        QCOMPARE(tw::runLineFrame(text, tw::replaceOperation(replace), tw::replaceGate(replace)),
                 text);

        tw::DeleteParams del = randomDelete(dice, sample);
        del.deleteText = absent;
        if (del.deleteSpecificText == QLatin1String("\r\n"))
            del.deleteSpecificText = absent;
        QCOMPARE(tw::runLineFrame(text, tw::deleteOperation(del), tw::deleteGate(del)), text);
        del.deleteText = QStringLiteral("Specific Delete");
        del.deleteSpecificText = absent;
        QCOMPARE(tw::runLineFrame(text, tw::deleteOperation(del), tw::deleteGate(del)), text);
        del.deleteText = QStringLiteral("General Delete");
        del.deleteEndOfLine = false;
        del.deleteFromCol = 999;
        QCOMPARE(tw::runLineFrame(text, tw::deleteOperation(del), tw::deleteGate(del)), text);
    }
}

void TestLineOpsRandom::moveKeepsCharacters()
{
    // Without spaces, a move to the end of the line only reorders the
    // characters of the line.
    Dice dice(31);
    QString line;
    for (int trial = 0; trial < 3000; ++trial) {
        const QString original = dice.text(12);
        tw::MoveParams move = randomMove(dice, original);
        move.moveOptions = QStringLiteral("Omit spaces");
        move.moveEndOfLine = true;
        line = original;
        tw::moveLine(line, move);
        Chars before = toChars(original);
        Chars after = toChars(line);
        std::sort(before.begin(), before.end());
        std::sort(after.begin(), after.end());
        QVERIFY(before == after);
    }
}

void TestLineOpsRandom::deleteCrLfModeOnlyDropsLines()
{
    Dice dice(41);
    for (int trial = 0; trial < 300; ++trial) {
        const QString text = randomText(dice, 12, QChar());
        tw::DeleteParams del = randomDelete(dice, QString());
        del.deleteSpecificText = QStringLiteral("\r\n");
        const QString result = tw::runLineFrame(text, tw::deleteOperation(del), tw::deleteGate(del));
        QVERIFY(tw::lineCount(result) <= tw::lineCount(text));
        if (!result.isEmpty()) {
            for (const QString &kept : result.split(QStringLiteral("\r\n")))
                QVERIFY(!kept.isEmpty());
        }
    }
}

QTEST_GUILESS_MAIN(TestLineOpsRandom)
#include "test_lineops_random.moc"
