// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/textsearch.h"

#include <QChar>

namespace tw {

namespace {
char32_t characterBefore(QStringView text, qsizetype position)
{
    const QChar unit = text.at(position - 1);
    if (unit.isLowSurrogate() && position >= 2 && text.at(position - 2).isHighSurrogate())
        return QChar::surrogateToUcs4(text.at(position - 2), unit);
    return unit.unicode();
}

char32_t characterAt(QStringView text, qsizetype position)
{
    const QChar unit = text.at(position);
    if (unit.isHighSurrogate() && position + 1 < text.size() && text.at(position + 1).isLowSurrogate())
        return QChar::surrogateToUcs4(unit, text.at(position + 1));
    return unit.unicode();
}

bool isWholeWord(QStringView text, qsizetype start, qsizetype length)
{
    if (start > 0 && !separatesWords(characterBefore(text, start)))
        return false;
    const qsizetype end = start + length;
    return end >= text.size() || separatesWords(characterAt(text, end));
}
} // namespace

qsizetype nextCharacter(QStringView text, qsizetype position)
{
    if (position + 1 < text.size() && text.at(position).isHighSurrogate() && text.at(position + 1).isLowSurrogate())
        return position + 2;
    return position + 1;
}

qsizetype findMatch(QStringView text, QStringView needle, qsizetype from, const SearchOptions &options)
{
    if (needle.isEmpty())
        return -1;
    const Qt::CaseSensitivity sensitivity = options.ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    qsizetype position = from;
    while (position >= 0 && position <= text.size() - needle.size()) {
        position = text.indexOf(needle, position, sensitivity);
        if (position < 0)
            return -1;
        if (!options.wholeWord || isWholeWord(text, position, needle.size()))
            return position;
        position = nextCharacter(text, position);
    }
    return -1;
}

QList<qsizetype> findAllMatches(QStringView text, QStringView needle, const SearchOptions &options)
{
    QList<qsizetype> matches;
    qsizetype position = findMatch(text, needle, 0, options);
    while (position >= 0) {
        matches << position;
        position = findMatch(text, needle, nextCharacter(text, position), options);
    }
    return matches;
}

} // namespace tw
