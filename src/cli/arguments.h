// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The pieces every command's argument loop shares, so that each command
// words the same mistake the same way.

namespace tw::cli {

// Takes the value after the option at args[i] into slot, moving i past it.
// The problem when there is none or the option came before; empty otherwise.
QString takeValue(const QStringList &args, qsizetype &i, std::optional<QString> &slot);

// An argument that is no option of the command: the input file (or '-' for
// standard input), unless it looks like an option before "--" or an input
// was given already. The problem, or empty when it became the input.
QString takeOperand(const QString &arg, bool optionsEnded, std::optional<QString> &input);

} // namespace tw::cli
