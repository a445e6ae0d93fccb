// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/engine/spacing.h"

namespace tw {

namespace {

QString padded(qsizetype left, QStringView text, qsizetype right)
{
    QString result;
    result.reserve(left + text.size() + right);
    result.fill(u' ', left);
    result += text;
    result.resize(result.size() + right, u' ');
    return result;
}

} // namespace

QString spacesLeft(int n, QStringView text)
{
    return padded(qMax(n, 0), text, 0);
}

QString spacesRight(int n, QStringView text)
{
    return padded(0, text, qMax(n, 0));
}

QString spacesBothSides(int n, QStringView text)
{
    return padded(qMax(n, 0), text, qMax(n, 0));
}

Padding spacingPadding(QStringView options, int spaces, QStringView placeSpaces)
{
    if (options != entry::addSpaces || spaces <= 0)
        return {};
    if (placeSpaces == entry::bothSides)
        return {spaces, spaces};
    if (placeSpaces == entry::leftSide)
        return {spaces, 0};
    if (placeSpaces == entry::rightSide)
        return {0, spaces};
    return {};
}

void applySpacing(QString &piece, const SpacingRule &rule)
{
    const Padding pad = spacingPadding(rule);
    if (pad.total() == 0)
        return;
    piece = padded(pad.left, piece, pad.right);
}

qsizetype deleteFillerLength(QStringView options, int spaces)
{
    return options == entry::addSpaces ? qMax(spaces, 0) : 0;
}

} // namespace tw
