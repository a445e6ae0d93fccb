// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/engine/addops.h"

#include "core/engine/codepoints.h"
#include "core/engine/lineedit.h"
#include "core/engine/spacing.h"

#include <QCoreApplication>

namespace tw {

void addText(QString &line, const AddParams &params)
{
    const Padding pad = spacingPadding(params.addOptions, params.addSpaces, params.addPlaceSpaces);
    if (params.addEndOfLine) {
        edit::insertPadded(line, line.size(), pad, params.addText);
        return;
    }
    // An empty piece changes nothing wherever it goes, so the piece-or-blank-
    // line test of the algorithm needs no code of its own. A column of 0 is
    // taken as column 1.
    const qsizetype at = cp::indexOfColumn(line, qMax(params.addAtCol, 1), cp::hasSurrogates(line));
    edit::insertPadded(line, at, pad, params.addText);
}

bool addConditionHolds(QStringView line, const AddParams &params)
{
    const QString &condition = params.addIfContains;
    if (condition.isEmpty())
        return true;
    if (line.isEmpty())
        return edit::isExactlyCrLf(condition);
    const bool surrogates = cp::hasSurrogates(line) || cp::hasSurrogates(condition);
    return cp::find(line, condition, 0, surrogates) >= 0;
}

void addLine(QString &line, const AddParams &params)
{
    if (addConditionHolds(line, params))
        addText(line, params);
}

LineGate addGate(const AddParams &params)
{
    LineGate gate;
    gate.passEmptyLines = edit::isExactlyCrLf(params.addIfContains);
    return gate;
}

QString addMissingFieldMessage(const AddParams &params)
{
    if (!params.addText.isEmpty())
        return {};
    return QCoreApplication::translate("Manipulator", "Please enter text to add.");
}

LineOperation addOperation(const AddParams &params)
{
    return [params](QString &line) { addLine(line, params); };
}

} // namespace tw
