// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/fields.h"

#include <QString>

// One run of the command line: read, process, write. The line operations and
// the per-line whole-text operations stream (a line or a block of lines at a
// time through reused buffers); only the line tools, which look across line
// breaks, take the text whole.

namespace tw::cli {

struct Invocation
{
    Operation operation = Operation::Move;
    Parameters parameters;
    ColumnSpecs columns;
    QString input;  // empty or "-": standard input
    QString output; // empty or "-": standard output
};

namespace status {
inline constexpr int done = 0;
inline constexpr int refused = 1;
inline constexpr int usage = 2;
} // namespace status

struct Outcome
{
    int status = status::done;
    QString message; // for standard error: the refusal or the problem
    QString notice;  // for standard error on success (a change of encoding)
};

Outcome run(const Invocation &invocation);

} // namespace tw::cli
