// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text/longlines.h"

namespace tw {

namespace {
bool isBreak(char16_t c)
{
    return c == u'\r' || c == u'\n';
}

// The first CR or LF in [from, to), or to.
qsizetype findBreak(const char16_t *data, qsizetype from, qsizetype to)
{
    while (from < to && !isBreak(data[from]))
        ++from;
    return from;
}
} // namespace

LongLinePieces::LongLinePieces(QStringView text, qsizetype longLine, qsizetype piece)
    : m_text(text), m_longLine(longLine), m_piece(piece)
{
    const char16_t *data = text.utf16();
    const qsizetype size = text.size();
    // Whether any line is that long, without reading every character: from
    // the start of a line, the last line end among the next longLine + 1
    // characters, found looking back from their end, starts the next line to
    // look from; with none among them, that line is too long. A big text of
    // ordinary lines is done in a few thousand steps.
    for (qsizetype start = 0; start + longLine < size;) {
        qsizetype at = start + longLine;
        while (at >= start && !isBreak(data[at]))
            --at;
        if (at < start) {
            m_cutsLines = true;
            break;
        }
        start = at + 1;
    }
}

qsizetype LongLinePieces::breakAfter(qsizetype from) const
{
    qsizetype at = from + m_piece;
    if (at < m_text.size() && QChar::isLowSurrogate(m_text.at(at).unicode()))
        --at;
    return at;
}

QStringView LongLinePieces::next(qsizetype units)
{
    const char16_t *data = m_text.utf16();
    const qsizetype size = m_text.size();
    if (m_at >= size)
        return {};
    qsizetype stop = qMin(m_at + qMax<qsizetype>(units, 1), size);
    if (stop < size && stop - 1 > m_at
        && (QChar::isLowSurrogate(data[stop]) || (data[stop] == u'\n' && data[stop - 1] == u'\r')))
        --stop;
    if (!m_cutsLines) {
        const QStringView part = m_text.sliced(m_at, stop - m_at);
        m_at = stop;
        return part;
    }

    m_part.resize(0);
    while (m_at < stop) {
        if (m_atLineStart) {
            // Longer than longLine: its first longLine + 1 characters hold
            // no line end.
            m_inLongLine = m_at + m_longLine < size && findBreak(data, m_at, m_at + m_longLine + 1) > m_at + m_longLine;
            m_nextBreak = breakAfter(m_at);
            m_atLineStart = false;
        }
        if (m_inLongLine) {
            if (m_at == m_nextBreak) {
                // A piece is full: the line goes on in the next one, unless
                // it ends right here.
                if (isBreak(data[m_at])) {
                    m_inLongLine = false;
                    continue;
                }
                m_part += u'\n';
                m_nextBreak = breakAfter(m_at);
            }
            const qsizetype limit = qMin(stop, m_nextBreak);
            const qsizetype end = findBreak(data, m_at, limit);
            m_part += m_text.sliced(m_at, end - m_at);
            m_at = end;
            if (end < limit)
                m_inLongLine = false;
            continue;
        }
        // The rest of an ordinary line, and the line end as it is.
        qsizetype end = findBreak(data, m_at, stop);
        while (end < stop && isBreak(data[end])) {
            ++end;
            m_atLineStart = true;
        }
        m_part += m_text.sliced(m_at, end - m_at);
        m_at = end;
    }
    return m_part;
}

QString longLinesInPieces(const QString &text, qsizetype longLine, qsizetype piece)
{
    LongLinePieces pieces(text, longLine, piece);
    if (!pieces.cutsLines())
        return {};
    QString shown;
    shown.reserve(text.size() + text.size() / piece + 1);
    for (QStringView part = pieces.next(text.size()); !part.isEmpty(); part = pieces.next(text.size()))
        shown += part;
    return shown;
}

} // namespace tw
