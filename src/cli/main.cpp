// SPDX-License-Identifier: GPL-3.0-or-later
// tabwright-cli OPERATION [FIELD=VALUE ...] [--columns FILE] [-o OUTPUT] [INPUT]
//
// Runs one operation of the Manipulator over a text file with the same engine
// and the same line frame as the window, so a script gets exactly the text the
// Process button would leave.

#include "cli/columnsfile.h"
#include "cli/fields.h"
#include "cli/help.h"
#include "cli/querycommands.h"
#include "cli/runner.h"
#include "cli/save.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

using namespace tw::cli;

void printLine(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fputc('\n', stream);
}

int usageError(const QString &problem)
{
    printLine(stderr, QStringLiteral("tabwright-cli: %1").arg(problem));
    return status::usage;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));

    if (args.isEmpty())
        return usageError(QStringLiteral("no operation given (try --help)"));
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        const QByteArray help = helpText().toUtf8();
        std::fwrite(help.constData(), 1, size_t(help.size()), stdout);
        return status::done;
    }

    if (args.first() == u"save")
        return runSave(args.mid(1));
    if (args.first() == u"query")
        return runQuery(args.mid(1));
    if (args.first() == u"report")
        return runReport(args.mid(1), argc, argv);

    const OperationInfo *operation = findOperation(args.first());
    if (!operation)
        return usageError(QStringLiteral("unknown operation '%1' (one of move, add, replace, delete, "
                                         "format, join-lines, create-line, break-lines, tabwrite, save, query, report)")
                              .arg(args.first()));

    Invocation invocation;
    invocation.operation = operation->operation;
    std::optional<QString> input;
    std::optional<QString> output;
    std::optional<QString> columns;
    QStringList given;
    bool optionsEnded = false;

    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (!optionsEnded && arg == u"--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == u"-o" || arg == u"--columns")) {
            if (i + 1 >= args.size())
                return usageError(QStringLiteral("%1 needs a file name").arg(arg));
            std::optional<QString> &slot = arg == u"-o" ? output : columns;
            if (slot)
                return usageError(QStringLiteral("%1 given twice").arg(arg));
            slot = args.at(++i);
        } else if (!optionsEnded && isFieldArgument(arg)) {
            const qsizetype equals = arg.indexOf(u'=');
            const QString name = arg.left(equals);
            if (given.contains(name))
                return usageError(QStringLiteral("field %1 given twice").arg(name));
            given.append(name);
            const QString problem =
                setField(invocation.parameters, invocation.operation, name, arg.mid(equals + 1));
            if (!problem.isEmpty())
                return usageError(problem);
        } else if (!optionsEnded && arg.startsWith(u'-') && arg != u"-") {
            return usageError(QStringLiteral("unknown option '%1' (try --help)").arg(arg));
        } else {
            if (input)
                return usageError(QStringLiteral("more than one input file ('%1' and '%2')")
                                      .arg(*input, arg));
            input = arg;
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
    invocation.input = input.value_or(QString());
    invocation.output = output.value_or(QString());

    const Outcome outcome = run(invocation);
    if (!outcome.notice.isEmpty())
        printLine(stderr, QStringLiteral("tabwright-cli: note: %1").arg(outcome.notice));
    if (outcome.status == status::refused)
        printLine(stderr, outcome.message);
    else if (outcome.status != status::done)
        printLine(stderr, QStringLiteral("tabwright-cli: %1").arg(outcome.message));
    return outcome.status;
}
