// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/engine/deleteops.h"

#include "core/engine/codepoints.h"
#include "core/engine/lineedit.h"
#include "core/engine/spacing.h"

#include <QCoreApplication>

namespace tw {

namespace {

qsizetype fillerLength(const DeleteParams &params)
{
    return deleteFillerLength(params.deleteOptions, params.deleteSpaces);
}

bool isLineEntry(QStringView type)
{
    return type == QStringView(entry::deleteLinesContaining) || type == QStringView(entry::keepLinesContaining);
}

} // namespace

QStringList deleteTypes()
{
    return {QString::fromUtf16(entry::generalDelete), QString::fromUtf16(entry::specificDelete),
            QString::fromUtf16(entry::deleteLinesContaining), QString::fromUtf16(entry::keepLinesContaining)};
}

namespace {

// The three deletions with the filler's length worked out once for the run.
void deleteByColumn(QString &line, const DeleteParams &params, qsizetype filler)
{
    const bool surrogates = cp::hasSurrogates(line);
    const qsizetype count = qMax(params.deleteNumOfChars, 0);
    if (params.deleteEndOfLine) {
        // A line no longer than the count is emptied; the filler goes on
        // the end either way.
        line.truncate(cp::indexOfLastChars(line, count, surrogates));
        edit::appendSpaces(line, filler);
        return;
    }
    const qsizetype at = cp::indexOfColumn(line, qMax(params.deleteFromCol, 1), surrogates);
    const qsizetype end = cp::advance(line, at, count, surrogates);
    if (end == at)
        return;
    edit::spliceSpaces(line, at, end - at, filler);
}

void deleteSpecific(QString &line, const DeleteParams &params, qsizetype filler)
{
    const QString &wanted = params.deleteSpecificText;
    const bool blankLineMatch = line.isEmpty() && edit::isExactlyCrLf(wanted);
    const bool surrogates = cp::hasSurrogates(line);
    const qsizetype wantedChars = cp::length(wanted, cp::hasSurrogates(wanted));
    if (params.deleteEndOfLine) {
        const qsizetype at = cp::indexOfLastChars(line, wantedChars, surrogates);
        if (!blankLineMatch && QStringView(line).sliced(at) != wanted)
            return;
        line.truncate(at);
        edit::appendSpaces(line, filler);
        return;
    }
    const qsizetype at = cp::indexOfColumn(line, qMax(params.deleteFromCol, 1), surrogates);
    const qsizetype end = cp::advance(line, at, wantedChars, surrogates);
    if (!blankLineMatch && QStringView(line).sliced(at, end - at) != wanted)
        return;
    edit::spliceSpaces(line, at, end - at, filler);
}

void deleteEntered(QString &line, const DeleteParams &params, qsizetype filler)
{
    const QString &wanted = params.deleteText;
    if (wanted.isEmpty())
        return;
    const bool surrogates = cp::hasSurrogates(line) || cp::hasSurrogates(wanted);
    qsizetype at = cp::find(line, wanted, 0, surrogates);
    if (at < 0)
        return;
    // At most as many rounds as the line had characters when we began.
    qsizetype rounds = cp::length(line, surrogates);

    if (filler == 0) {
        // Nothing is put in place of a deletion, so the search resumes on the
        // untouched rest of the original line: find every occurrence first,
        // then cut them all out in one pass.
        QVarLengthArray<qsizetype, 64> found;
        while (at >= 0 && rounds > 0) {
            found.append(at);
            --rounds;
            at = rounds > 0 ? cp::find(line, wanted, at + wanted.size(), surrogates) : -1;
        }
        edit::replaceAll(line, found, wanted.size(), QStringView());
        return;
    }

    // With a filler the search resumes where the deleted text was, over the
    // filler itself, so the text is rewritten in place round by round.
    while (at >= 0 && rounds > 0) {
        edit::spliceSpaces(line, at, wanted.size(), filler);
        --rounds;
        if (rounds > 0)
            at = cp::find(line, wanted, at, surrogates);
    }
}

using Deletion = void (*)(QString &, const DeleteParams &, qsizetype);

// The deletion the type asks for; none for an empty type or a line entry.
Deletion deletionFor(QStringView type)
{
    if (type == QStringView(entry::generalDelete))
        return deleteByColumn;
    if (type == QStringView(entry::specificDelete))
        return deleteSpecific;
    if (type.isEmpty() || isLineEntry(type))
        return nullptr;
    return deleteEntered;
}

} // namespace

void generalDelete(QString &line, const DeleteParams &params)
{
    deleteByColumn(line, params, fillerLength(params));
}

void specificDelete(QString &line, const DeleteParams &params)
{
    deleteSpecific(line, params, fillerLength(params));
}

void enteredDelete(QString &line, const DeleteParams &params)
{
    deleteEntered(line, params, fillerLength(params));
}

void deleteLine(QString &line, const DeleteParams &params)
{
    if (const Deletion deletion = deletionFor(params.deleteText))
        deletion(line, params, fillerLength(params));
}

LineGate deleteGate(const DeleteParams &params)
{
    LineGate gate;
    const QStringView type = params.deleteText;
    if (isLineEntry(type)) {
        const bool keepMatches = type == QStringView(entry::keepLinesContaining);
        const QString wanted = params.deleteSpecificText;
        if (edit::isExactlyCrLf(wanted)) {
            gate.keepLine = [keepMatches](QStringView line) { return line.isEmpty() == keepMatches; };
        } else {
            // A half of a pair never matches inside a whole pair, as in every
            // other search of this tab.
            const bool wantedSurrogates = cp::hasSurrogates(wanted);
            gate.keepLine = [keepMatches, wanted, wantedSurrogates](QStringView line) {
                const bool surrogates = wantedSurrogates || cp::hasSurrogates(line);
                return (cp::find(line, wanted, 0, surrogates) >= 0) == keepMatches;
            };
        }
        return gate;
    }
    gate.passEmptyLines = edit::isExactlyCrLf(params.deleteSpecificText);
    gate.dropEmptiedLines = gate.passEmptyLines;
    return gate;
}

QString deleteMissingFieldMessage(const DeleteParams &params)
{
    if (isLineEntry(params.deleteText)) {
        if (!params.deleteSpecificText.isEmpty())
            return {};
        return QCoreApplication::translate("Manipulator",
                                           "Please enter the text to look for in 'Specific text to delete'.");
    }
    if (!params.deleteText.isEmpty())
        return {};
    return QCoreApplication::translate(
        "Manipulator",
        "Please enter text to delete; or select a delete type and enter 'Specific text to "
        "delete', if necessary.");
}

LineOperation deleteOperation(const DeleteParams &params)
{
    // The type and the filler are read once for the run, not on every line.
    const Deletion deletion = deletionFor(params.deleteText);
    if (!deletion)
        return [](QString &) {};
    const qsizetype filler = fillerLength(params);
    return [params, deletion, filler](QString &line) { deletion(line, params, filler); };
}

} // namespace tw
