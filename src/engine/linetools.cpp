// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/linetools.h"

#include "engine/lineframe.h"
#include "engine/textchars.h"

namespace tw {

namespace {

using namespace chars;

bool isBreak(int c)
{
    return c == cr || c == lf;
}

// Decides where a scan asks its observer whether to go on, and watches the
// size of the result. Between two check points the scan runs freely, so a
// run of ordinary characters can be copied in one piece.
class Checkpoints
{
public:
    Checkpoints(QStringView text, ScanObserver *observer)
        : m_text(text), m_observer(observer),
          m_interval(observer ? qMax<qsizetype>(observer->checkInterval(), 1) : 65536)
    {
    }

    // Called before the step at unit index u. False ends the scan.
    bool goOn(qsizetype u, const QString &result)
    {
        if (u < m_next)
            return true;
        m_next = u + m_interval;
        if (result.size() > maxResultLength) {
            m_tooLarge = true;
            return false;
        }
        if (m_observer && !m_observer->goOn(u, m_text.size())) {
            m_stopped = true;
            return false;
        }
        return true;
    }

    // Where a free run starting at u has to pause for the next check.
    qsizetype runLimit() const { return qMin(m_next, m_text.size()); }

    TextResult finish(QString &&result) const
    {
        if (m_tooLarge || result.size() > maxResultLength)
            return TextResult::refusal(tooLargeMessage());
        TextResult r;
        r.text = std::move(result);
        r.stopped = m_stopped;
        return r;
    }

private:
    QStringView m_text;
    ScanObserver *m_observer;
    qsizetype m_interval;
    qsizetype m_next = 0;
    bool m_stopped = false;
    bool m_tooLarge = false;
};

// End of a run of ordinary characters (no CR, no LF) that starts at u,
// looking no further than limit and never ending inside a surrogate pair.
qsizetype ordinaryRunEnd(QStringView t, qsizetype u, qsizetype limit)
{
    const char16_t *p = t.utf16();
    qsizetype e = u;
    while (e < limit && p[e] != cr && p[e] != lf)
        ++e;
    if (e < t.size() && e > u && cp::isLow(p[e]) && cp::isHigh(p[e - 1]))
        ++e;
    return e;
}

// Join Lines (paragraphs kept) and Create Line (everything joined). A line
// break that goes leaves nothing in its place; a kept CR or LF becomes a
// whole CR LF.
TextResult joinScan(QStringView t, bool keepParagraphs, ScanObserver *observer)
{
    if (t.isEmpty())
        return {};
    QString result;
    result.reserve(t.size() + 2);
    Checkpoints checks(t, observer);
    const qsizetype size = t.size();
    qsizetype u = 0;
    while (u < size) {
        if (!checks.goOn(u, result))
            break;
        const char16_t c = t[u].unicode();
        if (c != cr && c != lf) {
            // An ordinary character is its own contribution and is always
            // appended, so a run of them goes in at once.
            const qsizetype e = ordinaryRunEnd(t, u, qMax(checks.runLimit(), u + 1));
            result += t.sliced(u, e - u);
            u = e;
            continue;
        }
        // The next two characters decide whether a blank line follows.
        const qsizetype n1 = u + 1;
        const qsizetype n2 = n1 < size ? nextChar(t, n1) : n1 + 1;
        bool keep = false;
        if (keepParagraphs) {
            keep = c == cr ? unitAt(t, n2) == cr
                           : (unitAt(t, n1) == cr || unitAt(t, n2) == lf);
        }
        const bool afterCr = u > 0 && t[u - 1] == cr;
        // A line break at the very start of the text stays as one CR LF.
        if (keep || (!afterCr && result.isEmpty()))
            result += crlf;
        u = n1;
    }
    return checks.finish(std::move(result));
}

} // namespace

TextResult joinLines(QStringView text, ScanObserver *observer)
{
    return joinScan(text, true, observer);
}

TextResult createLine(QStringView text, ScanObserver *observer)
{
    return joinScan(text, false, observer);
}

TextResult breakEvery(QStringView t, int startLineAfter, ScanObserver *observer)
{
    TextResult unchanged;
    if (t.isEmpty() || startLineAfter <= 0) {
        unchanged.text = t.toString();
        return unchanged;
    }
    const qsizetype n = startLineAfter;
    const qsizetype size = t.size();
    const bool surrogates = cp::hasSurrogates(t);
    QString result;
    result.reserve(size + 2 * (size / n + 1));
    Checkpoints checks(t, observer);

    qsizetype u = 0;
    while (u < size) {
        if (!checks.goOn(u, result))
            break;
        // One piece: up to n steps. Steps past the end of the text add
        // nothing, so the piece simply ends there.
        qsizetype steps = 0;
        while (steps < n && u < size) {
            const char16_t c = t[u].unicode();
            if (c != cr && c != lf) {
                qsizetype e = u;
                if (surrogates) {
                    while (steps < n && e < size && !isBreak(t[e].unicode())) {
                        e = nextChar(t, e);
                        ++steps;
                    }
                } else {
                    e = ordinaryRunEnd(t, u, qMin(size, u + (n - steps)));
                    steps += e - u;
                }
                result += t.sliced(u, e - u);
                u = e;
                continue;
            }
            const qsizetype n1 = u + 1;
            const qsizetype n2 = n1 < size ? nextChar(t, n1) : n1 + 1;
            const int c1 = unitAt(t, n1);
            const int c2 = unitAt(t, n2);
            bool ends = false;
            if (c == cr) {
                // A blank line follows: the piece ends and the next one starts
                // at the blank line. Only line-break characters are skipped,
                // so a lone CR before an ordinary character loses nothing.
                if (c2 == cr && isBreak(c1)) {
                    u = n2;
                    ends = true;
                } else if (n2 < size) {
                    if (c1 == lf) {
                        u = n1; // the next piece starts at this LF
                        ends = true;
                    } else {
                        result += u' ';
                    }
                }
            } else {
                if ((c1 == cr || c2 == lf) && (isBreak(c1) || c1 < 0) && (isBreak(c2) || c2 < 0)) {
                    u = qMin(n2 < size ? nextChar(t, n2) : n2 + 1, size);
                    ends = true;
                } else if (n2 < size) {
                    // The line break between two lines of running text
                    // becomes a space, unless the line before it ends with
                    // a space already or is empty.
                    const qsizetype before = u >= 1 && t[u - 1] == cr ? u - 2 : u - 1;
                    const int b = unitAt(t, before);
                    if (b >= 0 && b != u' ' && !isBreak(b))
                        result += u' ';
                }
            }
            if (ends)
                break;
            u = n1;
            ++steps;
        }
        if (u < size)
            result += crlf;
    }
    return checks.finish(std::move(result));
}

} // namespace tw
