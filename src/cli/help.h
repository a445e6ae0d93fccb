// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tw::cli {

// What --help prints: the usage, every operation with its fields and their
// defaults, and save.
QString helpText();

} // namespace tw::cli
