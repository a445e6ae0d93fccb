// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

// tabwright-cli run: a named settings replayed as a recipe. The operations
// named by --steps run one after the other on one text in one process, each
// with the settings' fields, exactly as pressing their Process buttons one
// after the other would; a save into a table may end the chain.

namespace tw::cli {

// Runs "run" with the arguments after the word run; the exit status.
int runSteps(const QStringList &args);

} // namespace tw::cli
