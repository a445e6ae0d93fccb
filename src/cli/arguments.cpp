// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/arguments.h"

namespace tw::cli {

QString takeValue(const QStringList &args, qsizetype &i, std::optional<QString> &slot)
{
    const QString &option = args.at(i);
    if (i + 1 >= args.size())
        return QStringLiteral("%1 needs a value").arg(option);
    if (slot)
        return QStringLiteral("%1 given twice").arg(option);
    slot = args.at(++i);
    return {};
}

QString takeOperand(const QString &arg, bool optionsEnded, std::optional<QString> &input)
{
    if (!optionsEnded && arg.startsWith(u'-') && arg != u"-")
        return QStringLiteral("unknown option '%1' (try --help)").arg(arg);
    if (input)
        return QStringLiteral("more than one input file ('%1' and '%2')").arg(*input, arg);
    input = arg;
    return {};
}

} // namespace tw::cli
