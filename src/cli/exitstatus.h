// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The exit statuses every command of tabwright-cli answers with, so a script
// can tell a refusal (the window would have shown a message) from a mistake
// in the command line or a file that cannot be read or written.

namespace tw::cli::status {

inline constexpr int done = 0;
inline constexpr int refused = 1;
inline constexpr int usage = 2;

} // namespace tw::cli::status
