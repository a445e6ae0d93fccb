// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/engine/lineframe.h"

#include "core/engine/textchars.h"

namespace tw {

qsizetype lineCount(QStringView text)
{
    qsizetype lines = 1;
    for (qsizetype at = chars::nextCrLf(text, 0); at >= 0; at = chars::nextCrLf(text, at + 2))
        ++lines;
    return lines;
}

qsizetype findCrLf(QStringView text, qsizetype from)
{
    if (from < 0)
        from = 0;
    if (from >= text.size())
        return -1;
    return chars::nextCrLf(text, from);
}

LineFrame::LineFrame(LineOperation operation, LineGate gate, QString &output)
    : m_operation(std::move(operation)), m_gate(gate), m_output(output)
{
}

void LineFrame::addLine(QString &line)
{
    // Keeping every line with CR LF after it and cutting the last two
    // characters at the end is the same as putting CR LF between kept lines,
    // which also works when the text arrives a line at a time.
    if (m_gate.keepLine && !m_gate.keepLine(line))
        return;
    if (line.isEmpty() && !m_gate.passEmptyLines) {
        if (!m_first)
            m_output += crlf;
        m_first = false;
        return;
    }
    m_operation(line);
    if (line.isEmpty() && m_gate.dropEmptiedLines)
        return;
    if (!m_first)
        m_output += crlf;
    m_first = false;
    if (m_pass && line.size() >= m_longLine) {
        (*m_pass)(m_output);
        m_output.resize(0); // keeps the buffer, unlike clear()
        (*m_pass)(line);
        return;
    }
    m_output += line;
}

void LineFrame::passLongLinesTo(const std::function<void(QStringView)> *pass, qsizetype longLine)
{
    m_pass = pass;
    m_longLine = longLine;
}

void runLineFrame(QStringView text, const LineOperation &operation, LineGate gate,
                  QString &output, FrameObserver *observer)
{
    LineFrame frame(operation, gate, output);
    if (observer)
        observer->runStarting(lineCount(text));

    QString line;
    qsizetype start = 0;
    for (qsizetype index = 0;; ++index) {
        if (observer)
            observer->lineStarting(index);
        const qsizetype end = chars::nextCrLf(text, start);
        const QStringView piece = end < 0 ? text.sliced(start) : text.sliced(start, end - start);
        // resize() keeps the capacity, so after the longest line so far the
        // copy needs no allocation.
        line.resize(piece.size());
        if (!piece.isEmpty())
            std::copy(piece.begin(), piece.end(), line.begin());
        frame.addLine(line);
        if (end < 0)
            break;
        start = end + 2;
    }
    if (observer)
        observer->runFinished();
}

QString runLineFrame(QStringView text, const LineOperation &operation, LineGate gate,
                     FrameObserver *observer)
{
    QString output;
    output.reserve(text.size() + text.size() / 8);
    runLineFrame(text, operation, gate, output, observer);
    return output;
}

} // namespace tw
