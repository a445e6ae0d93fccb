// SPDX-License-Identifier: GPL-3.0-or-later
// Seeded random texts run through the line operations and their gates,
// compared with a plain model that follows the algorithms step by step on
// whole code points, with a line split and gates of its own. This covers the
// paths for characters outside the BMP and the in-place edits of the line
// buffer the frame reuses from line to line.
#include "core/engine/lineops.h"

#include <QRandomGenerator>
#include <QtTest>

#include <string>

namespace {

using Chars = std::u32string;

Chars toChars(const QString &text)
{
    const QList<uint> ucs4 = text.toUcs4();
    return Chars(ucs4.begin(), ucs4.end());
}

QString fromChars(const Chars &chars)
{
    return QString::fromUcs4(chars.data(), qsizetype(chars.size()));
}

// --- the model ---------------------------------------------------------------

Chars head(const Chars &s, size_t n) { return s.substr(0, std::min(n, s.size())); }
Chars tailFrom(const Chars &s, size_t i) { return i < s.size() ? s.substr(i) : Chars(); }
Chars mid(const Chars &s, size_t i, size_t n) { return i < s.size() ? s.substr(i, n) : Chars(); }
// The line without its last n characters.
Chars cutEnd(const Chars &s, size_t n) { return s.size() > n ? head(s, s.size() - n) : Chars(); }

Chars spaced(const Chars &piece, const QString &options, int spaces, const QString &place)
{
    const Chars pad(options == u"Add spaces" ? size_t(spaces) : 0, U' ');
    if (place == u"Both sides")
        return pad + piece + pad;
    if (place == u"Left side")
        return pad + piece;
    return place == u"Right side" ? piece + pad : piece;
}

Chars refMove(Chars line, const tw::MoveParams &p)
{
    const bool general = p.textToMove == u"General Move";
    const bool specific = p.textToMove == u"Specific Move";
    size_t P = size_t(p.moveFromCol); // 1-based
    Chars S;
    if (general || specific) {
        const Chars wanted = toChars(p.moveSpecificText);
        S = mid(line, P - 1, general ? size_t(p.moveNumOfChars) : wanted.size());
        if (P == 0 || (general && S.empty()) || (specific && S != wanted))
            return line;
    } else {
        S = toChars(p.textToMove);
        P = line.find(S) + 1;
        if (S.empty() || P == 0)
            return line;
    }
    const Chars I = spaced(S, p.moveOptions, p.moveSpaces, p.movePlaceSpaces);
    if (specific && I.empty())
        return line;
    const size_t T = size_t(std::max(p.moveToCol, 1));
    line = p.moveEndOfLine ? line + I : head(line, T - 1) + I + tailFrom(line, T - 1);
    if (!p.moveEndOfLine && T <= P)
        P += I.size();
    return head(line, P - 1) + tailFrom(line, P - 1 + S.size());
}

Chars refAdd(Chars line, const tw::AddParams &p)
{
    const Chars condition = toChars(p.addIfContains);
    const bool crlf = p.addIfContains == u"\r\n";
    if (!condition.empty() && line.find(condition) == Chars::npos && !(crlf && line.empty()))
        return line;
    const Chars piece = spaced(toChars(p.addText), p.addOptions, p.addSpaces, p.addPlaceSpaces);
    if (p.addEndOfLine)
        return line + piece;
    const size_t C = size_t(std::max(p.addAtCol, 1));
    return piece.empty() && !(line.empty() && crlf) ? line : head(line, C - 1) + piece + tailFrom(line, C - 1);
}

Chars refReplace(Chars line, const tw::ReplaceParams &p)
{
    const Chars W = toChars(p.replaceWith);
    const Chars S = toChars(p.replaceSpecificText);
    const size_t A = size_t(std::max(p.replaceAtCol, 1));
    const size_t n = size_t(p.replaceNumOfChars);
    if (p.replaceText == u"General Replace")
        return p.replaceEndOfLine ? cutEnd(line, n) + W : head(line, A - 1) + W + tailFrom(line, A - 1 + n);
    if (p.replaceText == u"Specific Replace" && p.replaceEndOfLine)
        return line.size() >= S.size() && line.substr(line.size() - S.size()) == S ? cutEnd(line, S.size()) + W
                                                                                 : line;
    if (p.replaceText == u"Specific Replace")
        return mid(line, A - 1, S.size()) == S ? head(line, A - 1) + W + tailFrom(line, A - 1 + S.size()) : line;
    const Chars E = toChars(p.replaceText);
    for (size_t pos = 0, at; !E.empty() && (at = line.find(E, pos)) != Chars::npos; pos = at + W.size())
        line = head(line, at) + W + tailFrom(line, at + E.size());
    return line;
}

Chars refDelete(Chars line, const tw::DeleteParams &p)
{
    const Chars filler(p.deleteOptions == u"Add spaces" ? size_t(p.deleteSpaces) : 0, U' ');
    const size_t F = size_t(std::max(p.deleteFromCol, 1));
    if (p.deleteText == u"General Delete") {
        const Chars D = mid(line, F - 1, size_t(p.deleteNumOfChars));
        if (p.deleteEndOfLine)
            return cutEnd(line, size_t(p.deleteNumOfChars)) + filler;
        return D.empty() ? line : head(line, F - 1) + filler + tailFrom(line, F - 1 + D.size());
    }
    if (p.deleteText == u"Specific Delete") {
        const Chars S = toChars(p.deleteSpecificText);
        const Chars candidate = p.deleteEndOfLine ? line.substr(line.size() - std::min(S.size(), line.size()))
                                                  : mid(line, F - 1, S.size());
        if (candidate != S && !(line.empty() && p.deleteSpecificText == u"\r\n"))
            return line;
        if (p.deleteEndOfLine)
            return cutEnd(line, candidate.size()) + filler;
        return head(line, F - 1) + filler + tailFrom(line, F - 1 + candidate.size());
    }
    const Chars E = toChars(p.deleteText);
    size_t at = 0;
    for (size_t round = 0, rounds = line.size(); !E.empty() && round < rounds; ++round) {
        if ((at = line.find(E, at)) == Chars::npos)
            break;
        line = head(line, at) + filler + tailFrom(line, at + E.size());
    }
    return line;
}

// The model's frame: split at every CR LF; an empty line is kept as it is
// unless the gate takes it; a line the operation empties is dropped when the
// gate says so.
template <typename P>
QString refRun(const QString &text, const P &p, Chars (*operation)(Chars, const P &), bool passEmpty = false,
               bool dropEmptied = false)
{
    QStringList out;
    for (const QString &line : text.split(QStringLiteral("\r\n"))) {
        const QString result = line.isEmpty() && !passEmpty ? line : fromChars(operation(toChars(line), p));
        if (!(result.isEmpty() && dropEmptied))
            out << result;
    }
    return out.join(QStringLiteral("\r\n"));
}

// --- random values -------------------------------------------------------------

struct Dice
{
    QRandomGenerator random;

    int below(int n) { return int(random.bounded(quint32(n))); }
    bool oneIn(int n) { return below(n) == 0; }
    int column() { return oneIn(10) ? 999 : below(12); }
    QString pick(const QStringList &values) { return values[below(int(values.size()))]; }

    // Characters inside the BMP and outside; a lone CR or LF is an ordinary one.
    QString text(int maxLength)
    {
        static const QStringList alphabet{"a", "b", "c", " ", "-", "\r", "\n", "\u00e9", "\U0001F600"};
        QString out;
        for (int i = below(maxLength + 1); i > 0; --i)
            out += pick(alphabet);
        return out;
    }

    // A search text: mostly a piece of the line, so that it is found.
    QString pieceOf(const QString &line, int maxLength)
    {
        const Chars chars = toChars(line);
        if (chars.empty() || oneIn(4))
            return text(maxLength);
        return fromChars(chars.substr(size_t(below(int(chars.size()))), size_t(1 + below(maxLength))));
    }

    // The operation's two list entries, or a typed text taken from the line.
    QString type(const QString &general, const QString &specific, const QString &line)
    {
        if (oneIn(2))
            return oneIn(2) ? general : specific;
        const QString typed = pieceOf(line, 3);
        return typed.isEmpty() ? QStringLiteral("b") : typed;
    }

    QString options() { return pick({"Add spaces", "Add spaces", "Omit spaces", "add spaces"}); }
    QString placement() { return pick({"Both sides", "Left side", "Right side", "Middle"}); }
};

} // namespace

class TestLineOpsRandom : public QObject
{
    Q_OBJECT

private slots:
    void agreesWithModel_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 2u, 3u, 4u})
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
    }

    void agreesWithModel()
    {
        QFETCH(quint32, seed);
        Dice dice{QRandomGenerator(seed)};
        const QString crlf = QStringLiteral("\r\n");
        for (int trial = 0; trial < 2500; ++trial) {
            // One to five lines, some of them empty; the texts searched for
            // come from one of them.
            QStringList lines;
            for (int i = 1 + dice.below(5); i > 0; --i)
                lines << (dice.oneIn(4) ? QString() : dice.text(12));
            const QString text = lines.join(crlf);
            const QString line = dice.pick(text.split(crlf));

            // Designated, so that the dice are thrown in the fields' order.
            const tw::MoveParams move{
                .textToMove = dice.type(QStringLiteral("General Move"), QStringLiteral("Specific Move"), line),
                .moveSpecificText = dice.pieceOf(line, 3), .moveFromCol = dice.column(),
                .moveNumOfChars = dice.below(5), .moveToCol = dice.column(), .moveEndOfLine = dice.oneIn(3),
                .moveOptions = dice.options(), .moveSpaces = dice.below(3), .movePlaceSpaces = dice.placement()};
            QCOMPARE(tw::runLineFrame(text, tw::moveOperation(move), tw::moveGate(move)), refRun(text, move, refMove));

            const tw::AddParams add{
                .addText = dice.text(3),
                .addIfContains = dice.oneIn(4) ? QString() : dice.oneIn(3) ? crlf : dice.pieceOf(line, 2),
                .addAtCol = dice.column(), .addEndOfLine = dice.oneIn(3), .addOptions = dice.options(),
                .addSpaces = dice.below(3), .addPlaceSpaces = dice.placement()};
            QCOMPARE(tw::runLineFrame(text, tw::addOperation(add), tw::addGate(add)),
                     refRun(text, add, refAdd, add.addIfContains == crlf));

            const tw::ReplaceParams replace{
                .replaceText = dice.type(QStringLiteral("General Replace"), QStringLiteral("Specific Replace"), line),
                .replaceSpecificText = dice.pieceOf(line, 3), .replaceAtCol = dice.column(),
                .replaceNumOfChars = dice.below(5), .replaceWith = dice.text(3), .replaceEndOfLine = dice.oneIn(3)};
            QCOMPARE(tw::runLineFrame(text, tw::replaceOperation(replace), tw::replaceGate(replace)),
                     refRun(text, replace, refReplace));

            const tw::DeleteParams del{
                .deleteText = dice.type(QStringLiteral("General Delete"), QStringLiteral("Specific Delete"), line),
                .deleteSpecificText = dice.oneIn(5) ? crlf : dice.pieceOf(line, 3), .deleteFromCol = dice.column(),
                .deleteNumOfChars = dice.below(5), .deleteEndOfLine = dice.oneIn(3), .deleteOptions = dice.options(),
                .deleteSpaces = dice.below(3)};
            const bool blankLines = del.deleteSpecificText == crlf;
            QCOMPARE(tw::runLineFrame(text, tw::deleteOperation(del), tw::deleteGate(del)),
                     refRun(text, del, refDelete, blankLines, blankLines));
        }
    }
};

QTEST_GUILESS_MAIN(TestLineOpsRandom)
#include "test_lineops_random.moc"
