// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/lineframe.h"

namespace tw {

qsizetype lineCount(QStringView text)
{
    return text.count(crlf) + 1;
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
    m_output += line;
    m_first = false;
}

QString runLineFrame(QStringView text, const LineOperation &operation, LineGate gate,
                     FrameObserver *observer)
{
    QString output;
    output.reserve(text.size() + text.size() / 8);
    LineFrame frame(operation, gate, output);
    const qsizetype lines = observer ? lineCount(text) : 0;
    if (observer)
        observer->runStarting(lines);

    QString line;
    qsizetype start = 0;
    for (qsizetype index = 0;; ++index) {
        if (observer)
            observer->lineStarting(index);
        const qsizetype end = text.indexOf(crlf, start);
        const QStringView piece = end < 0 ? text.sliced(start) : text.sliced(start, end - start);
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
    return output;
}

} // namespace tw
