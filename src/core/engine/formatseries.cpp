// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/engine/formatseries.h"

#include "core/engine/textchars.h"

#include <array>

namespace tw::format {

using namespace chars;

namespace {

// Spaces handed on a slice at a time, however many a pass puts in.
constexpr qsizetype spaceSlice = 1024;

const char16_t *spaceRun()
{
    static const std::array<char16_t, spaceSlice> run = [] {
        std::array<char16_t, spaceSlice> spaces;
        spaces.fill(u' ');
        return spaces;
    }();
    return run.data();
}

} // namespace

// One pass: splits the text that arrives (the line, or what the pass before
// left) at one series character, as a whole-line split would: a match never
// cuts a surrogate pair, so a pass looks one unit ahead and one back, across
// the pieces its input comes in.
class SeriesPass final : public PieceSink
{
public:
    SeriesPass(const Plan &plan, QStringView delimiter, bool firstPass)
        : m_plan(plan), m_delimiter(delimiter.toString()), m_firstPass(firstPass)
    {
        m_d0 = m_delimiter.front().unicode();
        if (m_delimiter.size() == 2)
            m_kind = Kind::Pair;
        else if (cp::isHigh(m_d0))
            m_kind = Kind::LoneHigh;
        else if (cp::isLow(m_d0))
            m_kind = Kind::LoneLow;
        m_copied = m_plan.place != Placement::None && !m_plan.typed;
        // The text copied from the pass's own input needs that input's first
        // characters: enough units for them, and one more to see whether the
        // last is half of a pair.
        if (m_copied && m_plan.fromCol >= 1 && m_plan.numChars > 0)
            m_prefixUnits = 2 * (m_plan.fromCol - 1 + m_plan.numChars) + 1;
    }

    void chain(SeriesPass *next) { m_nextPass = next; m_next = next; }
    void setOutput(PieceSink *out) { if (!m_nextPass) m_next = out; }

    void beginLine(qsizetype limit, bool *overflow)
    {
        m_limit = limit;
        m_overflow = overflow;
        m_out = 0;
        m_carry = false;
        m_prev = 0;
        m_held.truncate(0);
        m_ready = m_prefixUnits == 0;
        if (m_nextPass)
            m_nextPass->beginLine(limit, overflow);
        if (m_ready) {
            chooseAddedText({});
            startSection();
        }
    }

    void take(QStringView piece) override
    {
        if (*m_overflow || piece.isEmpty())
            return;
        if (!m_ready) {
            const qsizetype wanted = m_prefixUnits - m_held.size();
            if (piece.size() < wanted) {
                m_held += piece;
                return;
            }
            m_held += piece.first(wanted);
            piece = piece.sliced(wanted);
            becomeReady();
        }
        process(piece);
    }

    void endLine()
    {
        if (!m_ready)
            becomeReady(); // the input was shorter than the prefix
        if (m_carry) {
            m_carry = false;
            // A lone high surrogate at the very end is whole; the first half
            // of a pair delimiter without its second is plain text.
            if (m_kind == Kind::LoneHigh)
                onMatch();
            else
                send(QStringView(&m_d0, 1));
        }
        endSection();
        if (m_nextPass)
            m_nextPass->endLine();
    }

private:
    enum class Kind { Unit, Pair, LoneHigh, LoneLow };

    void becomeReady()
    {
        m_ready = true;
        chooseAddedText(m_held);
        startSection();
        process(m_held);
        m_held.truncate(0);
    }

    // The text added to this pass's sections: typed, or copied from the
    // columns of the pass's input (of which prefix holds the first units).
    void chooseAddedText(QStringView prefix)
    {
        if (m_copied) {
            const QStringView copied =
                midChars(prefix, m_plan.fromCol, m_plan.numChars, cp::hasSurrogates(prefix));
            m_added.fill(u' ', m_plan.pad.left);
            m_added += copied;
            appendSpaces(m_added, m_plan.pad.right);
            m_added16 = m_added;
        } else {
            m_added16 = m_plan.place == Placement::None ? QStringView() : QStringView(m_plan.typedText);
        }
        // The first pass's sections all count as the first delimited section.
        m_adding = !m_added16.isEmpty() && !(m_firstPass && m_plan.exemptFirst);
    }

    void startSection()
    {
        if (m_adding && m_plan.place == Placement::Start)
            send(m_added16);
    }
    void endSection()
    {
        if (m_adding && m_plan.place == Placement::End)
            send(m_added16);
    }

    // What a found delimiter becomes: the end of one section, the spaces
    // between columns, the start of the next; the delimiter itself ends the
    // section it closes, is dropped, or begins the next.
    void onMatch()
    {
        if (!m_plan.remove && !m_plan.move)
            send(m_delimiter);
        endSection();
        for (qsizetype n = m_plan.between; n > 0; n -= spaceSlice)
            send(QStringView(spaceRun(), qMin(n, spaceSlice)));
        startSection();
        if (m_plan.move)
            send(m_delimiter);
    }

    void send(QStringView piece)
    {
        if (*m_overflow || piece.isEmpty())
            return;
        m_out += piece.size();
        if (m_out > m_limit) {
            *m_overflow = true;
            return;
        }
        m_next->take(piece);
    }

    void process(QStringView piece)
    {
        if (piece.isEmpty())
            return;
        const char16_t *begin = piece.utf16();
        const char16_t *end = begin + piece.size();
        const char16_t *from = begin;
        const char16_t *p = begin;
        if (m_carry) {
            // The held unit and the first of this piece decide together.
            m_carry = false;
            if (m_kind == Kind::Pair ? *begin == m_delimiter.at(1).unicode() : !cp::isLow(*begin)) {
                onMatch();
                from = p = begin + (m_kind == Kind::Pair ? 1 : 0);
            } else {
                send(QStringView(&m_d0, 1));
            }
        }
        // The spaces a pass before put in hold no delimiter but a space:
        // passed on whole, so counting a result made of such runs costs a
        // step per run, not per space.
        if (m_d0 != u' ' && begin >= spaceRun() && begin < spaceRun() + spaceSlice) {
            send(QStringView(from, end));
            m_prev = end[-1];
            return;
        }
        while (!*m_overflow) {
            p = findUnit(p, end, m_d0);
            if (p == end)
                break;
            bool found = true;
            switch (m_kind) {
            case Kind::Unit:
                break;
            case Kind::Pair:
            case Kind::LoneHigh:
                if (p + 1 == end) {
                    // Whether this is a match depends on what comes next.
                    send(QStringView(from, p));
                    m_carry = true;
                    m_prev = *p;
                    return;
                }
                found = m_kind == Kind::Pair ? p[1] == m_delimiter.at(1).unicode() : !cp::isLow(p[1]);
                break;
            case Kind::LoneLow:
                found = !cp::isHigh(p > begin ? p[-1] : m_prev);
                break;
            }
            if (!found) {
                ++p;
                continue;
            }
            send(QStringView(from, p));
            onMatch();
            p += m_delimiter.size();
            from = p;
        }
        if (!*m_overflow)
            send(QStringView(from, end));
        m_prev = end[-1];
    }

    const Plan &m_plan;
    const QString m_delimiter;
    const bool m_firstPass;
    char16_t m_d0 = 0;
    Kind m_kind = Kind::Unit;
    bool m_copied = false;
    qsizetype m_prefixUnits = 0;

    SeriesPass *m_nextPass = nullptr;
    PieceSink *m_next = nullptr;

    // The line going through.
    qsizetype m_limit = 0;
    bool *m_overflow = nullptr;
    qsizetype m_out = 0;
    bool m_ready = false;
    QString m_held;
    QString m_added;
    QStringView m_added16;
    bool m_adding = false;
    bool m_carry = false;
    char16_t m_prev = 0;
};

SeriesColumns::SeriesColumns(const Plan &plan)
{
    for (qsizetype j = 0; j < plan.seriesChars.size(); ++j)
        m_passes.push_back(std::make_unique<SeriesPass>(plan, plan.seriesChars.at(j), j == 0));
    for (size_t j = 0; j + 1 < m_passes.size(); ++j)
        m_passes[j]->chain(m_passes[j + 1].get());
}

SeriesColumns::~SeriesColumns() = default;

bool SeriesColumns::run(QStringView line, PieceSink &out, qsizetype limit)
{
    if (m_passes.empty())
        return true;
    bool overflow = false;
    m_passes.back()->setOutput(&out);
    m_passes.front()->beginLine(limit, &overflow);
    m_passes.front()->take(line);
    m_passes.front()->endLine();
    return !overflow;
}

} // namespace tw::format
