// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/engine/replaceops.h"

#include "core/engine/codepoints.h"
#include "core/engine/lineedit.h"

#include <QCoreApplication>

namespace tw {

void generalReplace(QString &line, const ReplaceParams &params)
{
    const bool surrogates = cp::hasSurrogates(line);
    const qsizetype count = qMax(params.replaceNumOfChars, 0);
    if (params.replaceEndOfLine) {
        // A line no longer than the count becomes the replacement alone.
        line.truncate(cp::indexOfLastChars(line, count, surrogates));
        line += params.replaceWith;
        return;
    }
    const qsizetype at = cp::indexOfColumn(line, qMax(params.replaceAtCol, 1), surrogates);
    const qsizetype end = cp::advance(line, at, count, surrogates);
    line.replace(at, end - at, params.replaceWith);
}

void specificReplace(QString &line, const ReplaceParams &params)
{
    const QString &wanted = params.replaceSpecificText;
    const bool surrogates = cp::hasSurrogates(line);
    if (params.replaceEndOfLine) {
        const qsizetype at = line.size() - wanted.size();
        if (!line.endsWith(wanted) || (surrogates && !cp::isBoundary(line, at)))
            return;
        line.truncate(at);
        line += params.replaceWith;
        return;
    }
    const qsizetype at = cp::indexOfColumn(line, qMax(params.replaceAtCol, 1), surrogates);
    const qsizetype end =
        cp::advance(line, at, cp::length(wanted, cp::hasSurrogates(wanted)), surrogates);
    if (QStringView(line).sliced(at, end - at) != wanted)
        return;
    line.replace(at, end - at, params.replaceWith);
}

void enteredReplace(QString &line, const ReplaceParams &params)
{
    const QString &wanted = params.replaceText;
    const QString &with = params.replaceWith;
    if (wanted.isEmpty())
        return;
    const bool surrogates = cp::hasSurrogates(line) || cp::hasSurrogates(wanted);
    qsizetype at = cp::find(line, wanted, 0, surrogates);
    if (at < 0)
        return;

    // The search resumes right after each inserted replacement, so what
    // follows it is always the untouched rest of the original line: the
    // occurrences can all be found in the original first and replaced in one
    // pass, which stays linear even for a very long line.
    QVarLengthArray<qsizetype, 64> found;
    while (at >= 0) {
        found.append(at);
        at = cp::find(line, wanted, at + wanted.size(), surrogates);
    }
    edit::replaceAll(line, found, wanted.size(), with);
}

void replaceLine(QString &line, const ReplaceParams &params)
{
    const QStringView type = params.replaceText;
    if (type == QStringView(entry::generalReplace))
        generalReplace(line, params);
    else if (type == QStringView(entry::specificReplace))
        specificReplace(line, params);
    else
        enteredReplace(line, params);
}

LineGate replaceGate(const ReplaceParams &)
{
    return {};
}

QString replaceMissingFieldMessage(const ReplaceParams &params)
{
    if (!params.replaceText.isEmpty())
        return {};
    return QCoreApplication::translate(
        "Manipulator",
        "Please enter text to replace; or select a replace type and enter 'Specific text to "
        "replace', if necessary.");
}

LineOperation replaceOperation(const ReplaceParams &params)
{
    return [params](QString &line) { replaceLine(line, params); };
}

} // namespace tw
