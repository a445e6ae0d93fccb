// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/engine/moveops.h"

#include "core/engine/codepoints.h"
#include "core/engine/lineedit.h"
#include "core/engine/spacing.h"

#include <QCoreApplication>
#include <QVarLengthArray>

namespace tw {

namespace {

// The steps the three moves share once the source piece is found: the piece
// is the len code units at from. It is padded, inserted at the target (the end
// of the line, or "Move to column:" with a column below 1 counting as 1, past
// the end appending) and then removed from its old place. Exactly the
// piece's own characters are removed; the padding stays with the inserted copy.
void placeAndRemove(QString &line, qsizetype from, qsizetype len, const MoveParams &params,
                    bool surrogates, bool leaveWhenNothingInserted)
{
    const Padding pad = spacingPadding(params.moveOptions, params.moveSpaces, params.movePlaceSpaces);
    if (leaveWhenNothingInserted && len + pad.total() == 0)
        return;

    // The piece has to be copied out before the line changes under it.
    QVarLengthArray<QChar, 256> piece(line.constData() + from, line.constData() + from + len);
    const QStringView pieceView(piece.constData(), piece.size());

    const qsizetype target = params.moveEndOfLine
        ? line.size()
        : cp::indexOfColumn(line, qMax(params.moveToCol, 1), surrogates);

    if (!params.moveEndOfLine && target <= from) {
        // Inserting in front of the source shifts it right by the inserted
        // length; removing first and inserting after is the same result.
        line.remove(from, len);
        edit::insertPadded(line, target, pad, pieceView);
    } else {
        // A target inside the source itself is taken literally: the copy goes
        // in there and the removal of the piece's characters then eats into it.
        edit::insertPadded(line, target, pad, pieceView);
        const qsizetype end = surrogates && target < from + len
            ? cp::advance(line, from, cp::length(pieceView, true), true)
            : from + len;
        line.remove(from, end - from);
    }
}

} // namespace

void generalMove(QString &line, const MoveParams &params)
{
    if (params.moveFromCol <= 0 || params.moveNumOfChars <= 0)
        return;
    const bool surrogates = cp::hasSurrogates(line);
    const qsizetype from = cp::indexOfColumn(line, params.moveFromCol, surrogates);
    const qsizetype end = cp::advance(line, from, params.moveNumOfChars, surrogates);
    if (end == from)
        return;
    placeAndRemove(line, from, end - from, params, surrogates, false);
}

void specificMove(QString &line, const MoveParams &params)
{
    if (params.moveFromCol <= 0)
        return;
    const QString &wanted = params.moveSpecificText;
    const bool surrogates = cp::hasSurrogates(line);
    const qsizetype from = cp::indexOfColumn(line, params.moveFromCol, surrogates);
    const qsizetype wantedChars = cp::length(wanted, cp::hasSurrogates(wanted));
    const qsizetype end = cp::advance(line, from, wantedChars, surrogates);
    if (QStringView(line).sliced(from, end - from) != wanted)
        return;
    placeAndRemove(line, from, end - from, params, surrogates, true);
}

void enteredMove(QString &line, const MoveParams &params)
{
    const QString &wanted = params.textToMove;
    if (wanted.isEmpty())
        return;
    const bool surrogates = cp::hasSurrogates(line) || cp::hasSurrogates(wanted);
    const qsizetype from = cp::find(line, wanted, 0, surrogates);
    if (from < 0)
        return;
    placeAndRemove(line, from, wanted.size(), params, surrogates, false);
}

void moveLine(QString &line, const MoveParams &params)
{
    const QStringView type = params.textToMove;
    if (type == QStringView(entry::generalMove))
        generalMove(line, params);
    else if (type == QStringView(entry::specificMove))
        specificMove(line, params);
    else
        enteredMove(line, params);
}

LineGate moveGate(const MoveParams &)
{
    return {};
}

QString moveMissingFieldMessage(const MoveParams &params)
{
    if (!params.textToMove.isEmpty())
        return {};
    return QCoreApplication::translate(
        "Manipulator",
        "Please enter text to move; or select a move type and enter 'Specific text to move', "
        "if necessary.");
}

LineOperation moveOperation(const MoveParams &params)
{
    return [params](QString &line) { moveLine(line, params); };
}

} // namespace tw
