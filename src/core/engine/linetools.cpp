// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/engine/linetools.h"

#include "core/engine/textchars.h"

#include <cstring>

namespace tw {

using namespace chars;

namespace {

// The most a step looks ahead of the unit it starts at, plus one: a line
// break decides by the next two characters, each of which may be a pair.
constexpr qsizetype lookahead = 5;
// How many units of a new piece are put behind held-back units, enough for
// every held-back step to see its way.
constexpr qsizetype stitchUnits = 8;

bool isBreak(int c)
{
    return c == cr || c == lf;
}

bool isSurrogate(char16_t c)
{
    return (c & 0xF800) == 0xD800;
}

// The unit at k, or -1 past avail ("no character", which equals neither CR,
// LF nor a space). Only asked past avail at the end of the text.
int unitAt(const char16_t *t, qsizetype k, qsizetype avail)
{
    return k < avail ? int(t[k]) : -1;
}

// Index of the character after the one starting at u.
qsizetype nextCharAt(const char16_t *t, qsizetype u, qsizetype avail)
{
    if (u + 1 < avail && cp::isHigh(t[u]) && cp::isLow(t[u + 1]))
        return u + 2;
    return u + 1;
}

} // namespace

LineToolScanner::LineToolScanner(Tool tool, int startLineAfter, ScanObserver *observer,
                                 qsizetype length)
    : m_tool(tool), m_every(startLineAfter), m_observer(observer), m_length(length),
      m_interval(observer ? qMax<qsizetype>(observer->checkInterval(), 1) : 65536)
{
}

bool LineToolScanner::tooLarge() const
{
    return m_tooLarge || m_produced > maxResultLength;
}

// Decides where a scan asks its observer whether to go on, and watches the
// size of the result. Between two check points the scan runs freely, so a
// run of ordinary characters can be copied in one piece.
bool LineToolScanner::goOn(qsizetype position, qsizetype produced)
{
    if (position < m_nextCheck)
        return true;
    m_nextCheck = position + m_interval;
    if (produced > maxResultLength) {
        m_tooLarge = true;
        return false;
    }
    if (m_observer && !m_observer->goOn(position, m_length)) {
        m_stopped = true;
        return false;
    }
    return true;
}

// Remembers the last two units taken, which the next steps look back at.
inline void LineToolScanner::consumed(const char16_t *t, qsizetype from, qsizetype to)
{
    if (to - from >= 2) {
        m_before2 = t[to - 2];
        m_before1 = t[to - 1];
    } else if (to - from == 1) {
        m_before2 = m_before1;
        m_before1 = t[from];
    }
}

void LineToolScanner::feed(QStringView piece, QString &out, bool last)
{
    if (m_ended || m_stopped || m_tooLarge)
        return;
    m_ended = last;
    UnitWriter writer(out);
    if (m_tool == Tool::BreakEvery && m_every <= 0) {
        writer.put(piece); // the text stays as it is
        return;
    }
    m_writerBase = m_produced - writer.size();
    const qsizetype pieceStart = m_fed;
    m_fed += piece.size();

    // Units held back from the piece before go first, with the start of this
    // piece behind them so that their steps can look ahead. Once the scan is
    // past them it goes on in the piece itself.
    qsizetype from = 0;
    while (!m_carry.isEmpty()) {
        const qsizetype carried = m_carry.size();
        const qsizetype take = qMin(piece.size() - from, stitchUnits);
        m_carry.append(piece.sliced(from, take));
        from += take;
        const bool end = last && from == piece.size();
        const qsizetype u = scan(reinterpret_cast<const char16_t *>(m_carry.constData()), 0,
                                 m_carry.size(), end, m_carryStart, writer);
        if (m_stopped || m_tooLarge) {
            m_carry.resize(0);
            break;
        }
        if (u >= carried) {
            from -= m_carry.size() - u;
            m_carry.resize(0);
            break;
        }
        // Still too close to the end of what has arrived.
        m_carry.remove(0, u);
        m_carryStart += u;
        if (from == piece.size()) {
            m_produced = m_writerBase + writer.size();
            return;
        }
    }
    if (!m_stopped && !m_tooLarge) {
        const qsizetype u = scan(piece.utf16(), from, piece.size(), last, pieceStart, writer);
        if (!m_stopped && !m_tooLarge && u < piece.size()) {
            m_carry = piece.sliced(u).toString();
            m_carryStart = pieceStart + u;
        }
    }
    m_produced = m_writerBase + writer.size();
}

qsizetype LineToolScanner::scan(const char16_t *t, qsizetype u, qsizetype avail, bool last,
                                qsizetype base, UnitWriter &out)
{
    return m_tool == Tool::BreakEvery ? scanBreak(t, u, avail, last, base, out)
                                      : scanJoin(t, u, avail, last, base, out);
}

// Join Lines (paragraphs kept) and Create Line (everything joined). A line
// break that goes leaves nothing in its place; a kept CR or LF becomes a
// whole CR LF.
qsizetype LineToolScanner::scanJoin(const char16_t *t, qsizetype u, qsizetype avail, bool last,
                                    qsizetype base, UnitWriter &out)
{
    const bool keepParagraphs = m_tool == Tool::JoinLines;
    while (u < avail) {
        if (base + u >= m_nextCheck && !goOn(base + u, m_writerBase + out.size()))
            return u;
        const char16_t c = t[u];
        if (c != cr && c != lf) {
            // An ordinary character is its own contribution and is always
            // appended, so a run of them goes in at once. The run pauses at
            // the next check point, but never inside a surrogate pair.
            const qsizetype limit = qMax(qMin(m_nextCheck - base, avail), u + 1);
            qsizetype e = findBreakUnit(t + u, t + limit) - t;
            if (e < avail) {
                if (cp::isLow(t[e]) && cp::isHigh(t[e - 1]))
                    ++e;
            } else if (!last && cp::isHigh(t[e - 1])) {
                // Its other half may come with the next piece.
                if (--e == u)
                    return u;
            }
            out.put(t + u, e - u);
            consumed(t, u, e);
            u = e;
            continue;
        }
        if (!last && avail - u < lookahead)
            return u;
        // The next two characters decide whether a blank line follows.
        const qsizetype n1 = u + 1;
        const qsizetype n2 = n1 < avail ? nextCharAt(t, n1, avail) : n1 + 1;
        bool keep = false;
        if (keepParagraphs) {
            keep = c == cr ? unitAt(t, n2, avail) == cr
                           : (unitAt(t, n1, avail) == cr || unitAt(t, n2, avail) == lf);
        }
        const bool afterCr = m_before1 == cr;
        // A line break at the very start of the text stays as one CR LF.
        if (keep || (!afterCr && m_writerBase + out.size() == 0))
            out.putCrLf();
        m_before2 = m_before1;
        m_before1 = c;
        u = n1;
    }
    return u;
}

// breakEvery: pieces of startLineAfter characters, a line break in the text
// ending a piece early or turning into a space.
qsizetype LineToolScanner::scanBreak(const char16_t *t, qsizetype u, qsizetype avail, bool last,
                                     qsizetype base, UnitWriter &out)
{
    const qsizetype n = m_every;
    const auto endPiece = [this] {
        m_inPiece = false;
        m_pieceEnded = true;
    };
    while (u < avail) {
        // The CR LF after a piece only goes out when more text follows.
        if (m_pieceEnded) {
            out.putCrLf();
            m_pieceEnded = false;
        }
        if (!m_inPiece) {
            if (base + u >= m_nextCheck && !goOn(base + u, m_writerBase + out.size()))
                return u;
            m_inPiece = true;
            m_steps = 0;
        }
        const char16_t c = t[u];
        if (isSurrogate(c)) {
            // One character, a pair or a lone half.
            qsizetype next = u + 1;
            if (cp::isHigh(c)) {
                if (u + 1 >= avail && !last)
                    return u;
                if (u + 1 < avail && cp::isLow(t[u + 1]))
                    next = u + 2;
            }
            out.put(t + u, next - u);
            consumed(t, u, next);
            u = next;
            if (++m_steps == n)
                endPiece();
            continue;
        }
        if (c != cr && c != lf) {
            // A run of ordinary characters, one step each, as far as the
            // piece has room.
            const qsizetype limit = u + qMin(n - m_steps, avail - u);
            const qsizetype e = findBreakOrSurrogate(t + u, t + limit) - t;
            out.put(t + u, e - u);
            consumed(t, u, e);
            m_steps += e - u;
            u = e;
            if (m_steps == n)
                endPiece();
            continue;
        }
        if (!last && avail - u < lookahead)
            return u;
        const qsizetype n1 = u + 1;
        const qsizetype n2 = n1 < avail ? nextCharAt(t, n1, avail) : n1 + 1;
        const int c1 = unitAt(t, n1, avail);
        const int c2 = unitAt(t, n2, avail);
        qsizetype next = n1;
        bool ends = false;
        if (c == cr) {
            // A blank line follows: the piece ends and the next one starts
            // at the blank line. Only line-break characters are skipped, so
            // a lone CR before an ordinary character loses nothing.
            if (c2 == cr && isBreak(c1)) {
                next = n2;
                ends = true;
            } else if (n2 < avail) {
                if (c1 == lf)
                    ends = true; // the next piece starts at this LF
                else
                    out.put(u' ');
            }
        } else {
            if ((c1 == cr || c2 == lf) && (isBreak(c1) || c1 < 0) && (isBreak(c2) || c2 < 0)) {
                next = qMin(n2 < avail ? nextCharAt(t, n2, avail) : n2 + 1, avail);
                ends = true;
            } else if (n2 < avail) {
                // The line break between two lines of running text becomes a
                // space, unless the line before it ends with a space already
                // or is empty.
                const int b = m_before1 == cr ? m_before2 : m_before1;
                if (b >= 0 && b != u' ' && !isBreak(b))
                    out.put(u' ');
            }
        }
        consumed(t, u, next);
        u = next;
        if (ends || ++m_steps == n)
            endPiece();
    }
    return u;
}

namespace {

TextResult scanWhole(QStringView text, LineToolScanner::Tool tool, int every,
                     ScanObserver *observer, qsizetype reserve)
{
    if (text.isEmpty())
        return {};
    LineToolScanner scanner(tool, every, observer, text.size());
    TextResult result;
    result.text.reserve(reserve);
    scanner.feed(text, result.text, true);
    if (scanner.tooLarge())
        return TextResult::refusal(tooLargeMessage());
    result.stopped = scanner.stopped();
    return result;
}

} // namespace

TextResult joinLines(QStringView text, ScanObserver *observer)
{
    return scanWhole(text, LineToolScanner::Tool::JoinLines, 0, observer, text.size() + 2);
}

TextResult createLine(QStringView text, ScanObserver *observer)
{
    return scanWhole(text, LineToolScanner::Tool::CreateLine, 0, observer, text.size() + 2);
}

TextResult breakEvery(QStringView t, int startLineAfter, ScanObserver *observer)
{
    if (t.isEmpty() || startLineAfter <= 0) {
        TextResult unchanged;
        unchanged.text = t.toString();
        return unchanged;
    }
    const qsizetype size = t.size();
    return scanWhole(t, LineToolScanner::Tool::BreakEvery, startLineAfter, observer,
                     size + 2 * (size / startLineAfter + 1));
}

void ByteLineJoiner::addBytes(QByteArrayView bytes, QByteArray &out)
{
    if (bytes.isEmpty())
        return;
    if (!m_started) {
        m_started = true;
        if (bytes.front() == '\r' || bytes.front() == '\n')
            out.append(m_lineBreak);
    }
    const qsizetype start = out.size();
    out.resize(start + bytes.size());
    char *o = out.data() + start;
    const char *p = bytes.data();
    const char *const end = p + bytes.size();
    // Line by line: an LF file holds no CR at all, and in the others a CR
    // mostly comes right before the LF.
    while (p < end) {
        const char *lf = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        const char *stop = lf ? lf : end;
        while (p < stop) {
            const char *crAt = static_cast<const char *>(std::memchr(p, '\r', size_t(stop - p)));
            const char *runEnd = crAt ? crAt : stop;
            std::memcpy(o, p, size_t(runEnd - p));
            o += runEnd - p;
            p = crAt ? crAt + 1 : stop;
        }
        if (lf)
            p = lf + 1;
    }
    out.resize(o - out.constData());
}

} // namespace tw
