// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/engine/formatplan.h"

#include <QStringView>

#include <memory>
#include <vector>

// Internal to Format Text: "New column" with a delimiter series, one pass per
// series character, each pass splitting what the pass before left. The passes
// are chained so that the text streams through them in pieces: no pass holds
// its whole result, which may be many times the line (every pass can put
// spaces and a text after every section), so a result's size can be counted
// before any of it is built, and a result too large to hold is refused
// without the memory it would have taken.

namespace tw::format {

// Where the last pass puts its result.
class PieceSink
{
public:
    virtual ~PieceSink() = default;
    virtual void take(QStringView piece) = 0;
};

class SeriesPass;

class SeriesColumns
{
public:
    explicit SeriesColumns(const Plan &plan);
    ~SeriesColumns();
    SeriesColumns(const SeriesColumns &) = delete;
    SeriesColumns &operator=(const SeriesColumns &) = delete;

    // Runs one non-empty line through the passes into out. Returns false,
    // having stopped part way, as soon as any pass's result for the line
    // would be longer than limit.
    bool run(QStringView line, PieceSink &out, qsizetype limit);

private:
    std::vector<std::unique_ptr<SeriesPass>> m_passes;
};

} // namespace tw::format
