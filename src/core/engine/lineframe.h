// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <functional>

// The line model every operation shares: the working text is a run of lines
// separated by the exact pair CR LF. A lone CR or LF is an ordinary character
// of its line, a text ending in CR LF has an empty last line, and the rebuilt
// text keeps the line count, the empty lines and a trailing CR LF unless the
// operation itself drops a line.

namespace tw {

inline constexpr QStringView crlf = u"\r\n";

// Which lines an operation sees. Empty lines are normally passed over and kept;
// Add and Delete take them when their "contains" field holds exactly CR LF, and
// Delete then also drops every line it leaves empty.
// keepLine, when set, is asked first about every line, empty ones too; a line
// it turns down is dropped whole and the operation never sees it.
struct LineGate
{
    bool passEmptyLines = false;
    bool dropEmptiedLines = false;
    std::function<bool(QStringView line)> keepLine;
};

// An operation rewrites the current line in place; it never sees other lines.
using LineOperation = std::function<void(QString &line)>;

// Told about a run's progress. lineStarting() is called before every line and
// returns true when it let pending window events run, so a caller that caches
// the parameters read from its controls knows they may have changed.
class FrameObserver
{
public:
    virtual ~FrameObserver() = default;
    virtual void runStarting(qsizetype lineCount) { Q_UNUSED(lineCount); }
    virtual bool lineStarting(qsizetype index) { Q_UNUSED(index); return false; }
    virtual void runFinished() {}
};

// Number of lines of a text: one more than its CR LF pairs.
qsizetype lineCount(QStringView text);

// Index of the first CR LF at or after from, or -1 when none follows. Faster
// than a two-character string search: it looks for the CR alone, eight
// characters at a time, and then checks the LF.
qsizetype findCrLf(QStringView text, qsizetype from = 0);

// Feeds lines one by one through an operation and its gate and builds the
// result. Used whole by runLineFrame and line by line by streaming callers
// (the command line), so both give the same text for the same input.
class LineFrame
{
public:
    LineFrame(LineOperation operation, LineGate gate, QString &output);

    // Takes one line (without its CR LF); the buffer may be reused afterwards.
    void addLine(QString &line);

    // A line of at least longLine characters is not copied into the output:
    // what the output holds goes to pass first, then the line. For a caller
    // that writes the output away as it goes.
    void passLongLinesTo(const std::function<void(QStringView)> *pass, qsizetype longLine);

private:
    LineOperation m_operation;
    LineGate m_gate;
    QString &m_output;
    bool m_first = true;
    const std::function<void(QStringView)> *m_pass = nullptr;
    qsizetype m_longLine = 0;
};

// Splits the text into lines, runs the operation over each line that passes the
// gate and rebuilds the text with CR LF between the lines it keeps.
QString runLineFrame(QStringView text, const LineOperation &operation, LineGate gate,
                     FrameObserver *observer = nullptr);

// The same run appending its result to output, whose capacity a caller that
// runs block after block keeps from one run to the next.
void runLineFrame(QStringView text, const LineOperation &operation, LineGate gate,
                  QString &output, FrameObserver *observer = nullptr);

} // namespace tw
