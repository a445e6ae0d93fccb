// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/exitstatus.h"
#include "cli/fields.h"

#include <QString>

// One run of the command line: read, process, write. Every operation streams
// through reused buffers: the line operations a line at a time, Format and
// Tabwrite a block of lines at a time, and the line tools, which look across
// line breaks, through a scanner that carries its state from one slice of the
// text to the next.

namespace tw::cli {

struct Invocation
{
    Operation operation = Operation::Move;
    Parameters parameters;
    ColumnSpecs columns;
    QString input;  // empty or "-": standard input
    QString output; // empty or "-": standard output
};

struct Outcome
{
    int status = status::done;
    QString message; // for standard error: the refusal or the problem
    QString notice;  // for standard error on success (a change of encoding)
};

Outcome run(const Invocation &invocation);

} // namespace tw::cli
