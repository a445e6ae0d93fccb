// SPDX-License-Identifier: GPL-3.0-or-later
// tabwright-cli OPERATION [--settings NAME [--db FILE]] [FIELD=VALUE ...]
//               [--columns FILE] [-o OUTPUT] [INPUT]
//
// Runs one operation of the Manipulator over a text file with the same engine
// and the same line frame as the window, so a script gets exactly the text the
// Process button would leave.

#include "cli/arguments.h"
#include "cli/columnsfile.h"
#include "cli/fields.h"
#include "cli/help.h"
#include "cli/messages.h"
#include "cli/querycommands.h"
#include "cli/runner.h"
#include "cli/runsteps.h"
#include "cli/save.h"
#include "cli/settingscommand.h"
#include "cli/storedsettings.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <optional>

namespace {

using namespace tw::cli;

int usageError(const QString &problem)
{
    printLine(QStringLiteral("tabwright-cli: %1").arg(problem));
    return status::usage;
}

int runCommand(const QStringList &args, int argc, char **argv)
{
    if (args.isEmpty())
        return usageError(QStringLiteral("no operation given (try --help)"));
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        const QByteArray help = helpText().toUtf8();
        std::fwrite(help.constData(), 1, size_t(help.size()), stdout);
        return status::done;
    }

    if (args.first() == u"save")
        return runSave(args.mid(1));
    if (args.first() == u"settings")
        return runSettingsCommand(args.mid(1));
    if (args.first() == u"run")
        return runSteps(args.mid(1));
    if (args.first() == u"query")
        return runQuery(args.mid(1));
    if (args.first() == u"report")
        return runReport(args.mid(1), argc, argv);

    const OperationInfo *operation = findOperation(args.first());
    if (!operation)
        return usageError(QStringLiteral("unknown operation '%1' (one of move, add, replace, delete, format, "
                                         "join-lines, create-line, break-lines, tabwrite, save, run, settings, "
                                         "query, report)")
                              .arg(args.first()));

    Invocation invocation;
    invocation.operation = operation->operation;
    std::optional<QString> input;
    std::optional<QString> output;
    std::optional<QString> columns;
    std::optional<QString> settingsName;
    std::optional<QString> settingsDb;
    SettingsRecord given;
    bool optionsEnded = false;

    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (!optionsEnded && arg == u"--") {
            optionsEnded = true;
        } else if (!optionsEnded
                   && (arg == u"-o" || arg == u"--columns" || arg == u"--settings" || arg == u"--db")) {
            if (i + 1 >= args.size())
                return usageError(QStringLiteral("%1 needs a %2")
                                      .arg(arg, arg == u"--settings" ? QStringLiteral("name")
                                                                     : QStringLiteral("file name")));
            std::optional<QString> &slot = arg == u"-o"           ? output
                                           : arg == u"--columns"  ? columns
                                           : arg == u"--settings" ? settingsName
                                                                  : settingsDb;
            if (slot)
                return usageError(QStringLiteral("%1 given twice").arg(arg));
            slot = args.at(++i);
        } else if (!optionsEnded && isFieldArgument(arg)) {
            if (const QString problem = setField(given, fieldsOf(invocation.operation), arg); !problem.isEmpty())
                return usageError(problem);
        } else if (const QString problem = takeOperand(arg, optionsEnded, input); !problem.isEmpty()) {
            return usageError(problem);
        }
    }

    if (columns) {
        if (invocation.operation != Operation::Tabwrite)
            return usageError(QStringLiteral("--columns is only for tabwrite"));
        const ColumnsFile spec = readColumnsFile(*columns);
        if (!spec.error.isEmpty())
            return usageError(spec.error);
        invocation.columns = spec.rows;
    }
    // The fields start as the window opens, take the stored settings' values,
    // then the ones given here.
    SettingsRecord fields = SettingsRecord::defaults();
    if (settingsName) {
        StoredRecipe stored;
        if (const QString problem = readStoredRecipe(settingsDb, QStringLiteral("--db"), *settingsName, &stored);
            !problem.isEmpty())
            return usageError(problem);
        fields.overlay(stored.record);
        if (!columns)
            invocation.columns = stored.columns;
    } else if (settingsDb) {
        return usageError(QStringLiteral("--db names where settings are kept: it goes with --settings NAME"));
    }
    fields.overlay(given);
    invocation.parameters = fields.parameters();
    invocation.input = input.value_or(QString());
    invocation.output = output.value_or(QString());

    const Outcome outcome = run(invocation);
    if (!outcome.notice.isEmpty())
        printLine(QStringLiteral("tabwright-cli: note: %1").arg(outcome.notice));
    if (outcome.status == status::refused)
        printLine(outcome.message);
    else if (outcome.status != status::done)
        printLine(QStringLiteral("tabwright-cli: %1").arg(outcome.message));
    return outcome.status;
}

} // namespace

int main(int argc, char **argv)
{
    try {
        QStringList args;
        for (int i = 1; i < argc; ++i)
            args.append(QString::fromLocal8Bit(argv[i]));
        return runCommand(args, argc, argv);
    } catch (const std::bad_alloc &) {
        // Whatever was being built is gone with the stack: an output file is
        // left as it was (its replacement is cancelled), a database keeps
        // what was committed. The message must not need memory itself.
        static const char message[] = "tabwright-cli: out of memory: the input or the result is too large "
                                      "to hold; nothing was written\n";
        std::fwrite(message, 1, sizeof message - 1, stderr);
        return status::usage;
    }
}
