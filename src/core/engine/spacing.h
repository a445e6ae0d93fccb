// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/engine/params.h"

#include <QString>
#include <QStringView>

// Padding a piece of text with spaces before it is placed into a line.

namespace tw {

// n spaces, then the text.
QString spacesLeft(int n, QStringView text);
// The text, then n spaces.
QString spacesRight(int n, QStringView text);
// n spaces, the text, n spaces.
QString spacesBothSides(int n, QStringView text);

// How many spaces go in front of and behind a piece. Lets an operation place a
// padded piece straight into its line without building the piece first.
struct Padding
{
    qsizetype left = 0;
    qsizetype right = 0;
    qsizetype total() const { return left + right; }
};

// The padding a spacing rule asks for: none unless the options text is exactly
// "Add spaces"; none for a placement that is not one of the three list entries.
Padding spacingPadding(QStringView options, int spaces, QStringView placeSpaces);
inline Padding spacingPadding(const SpacingRule &rule)
{
    return spacingPadding(rule.options, rule.spaces, rule.placeSpaces);
}

// Applies the rule to a piece in place (spacesLeft, spacesRight or
// spacesBothSides as the placement says).
void applySpacing(QString &piece, const SpacingRule &rule);

// The run of spaces Delete Text puts where it removed characters: n spaces for
// "Add spaces", nothing otherwise.
qsizetype deleteFillerLength(QStringView options, int spaces);

} // namespace tw
