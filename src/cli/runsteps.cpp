// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/runsteps.h"

#include "cli/arguments.h"
#include "cli/columnsfile.h"
#include "cli/exitstatus.h"
#include "cli/fields.h"
#include "cli/messages.h"
#include "cli/save.h"
#include "cli/storedsettings.h"
#include "core/engine/formattext.h"
#include "core/engine/lineops.h"
#include "core/engine/linetools.h"
#include "core/engine/tabwrite.h"
#include "core/text/textfile.h"

#include <cstdio>
#include <optional>

namespace tw::cli {

namespace {

int usage(const QString &problem)
{
    printLine(QStringLiteral("tabwright-cli: run: %1").arg(problem));
    return status::usage;
}

struct RunArguments
{
    QList<Operation> steps;
    bool saveStep = false;
    std::optional<QString> settingsName;
    std::optional<QString> settingsDb;
    std::optional<QString> columnsFile;
    std::optional<QString> output;
    std::optional<QString> input;
    SettingsRecord given;
    SaveOptions save;
};

QString parseSteps(const QString &list, RunArguments &parsed)
{
    const QStringList names = list.split(u',');
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (names.at(i) == u"save") {
            if (i + 1 != names.size())
                return QStringLiteral("save can only be the last step");
            parsed.saveStep = true;
        } else if (const OperationInfo *operation = findOperation(names.at(i))) {
            parsed.steps << operation->operation;
        } else {
            return QStringLiteral("unknown step '%1' (one of move, add, replace, delete, format, join-lines, "
                                  "create-line, break-lines, tabwrite, save)").arg(names.at(i));
        }
    }
    return {};
}

QString parseArguments(const QStringList &args, RunArguments &parsed)
{
    std::optional<QString> steps;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        QString problem;
        if (!optionsEnded && arg == u"--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == u"--steps") {
            problem = takeValue(args, i, steps);
        } else if (!optionsEnded && arg == u"--settings") {
            problem = takeValue(args, i, parsed.settingsName);
        } else if (!optionsEnded && arg == u"--settings-db") {
            problem = takeValue(args, i, parsed.settingsDb);
        } else if (!optionsEnded && arg == u"--columns") {
            problem = takeValue(args, i, parsed.columnsFile);
        } else if (!optionsEnded && arg == u"-o") {
            problem = takeValue(args, i, parsed.output);
        } else if (!optionsEnded && takeSaveOption(args, i, parsed.save, &problem)) {
        } else if (!optionsEnded && isFieldArgument(arg)) {
            problem = setField(parsed.given, allFields(), arg);
        } else {
            problem = takeOperand(arg, optionsEnded, parsed.input);
        }
        if (!problem.isEmpty())
            return problem;
    }
    if (!steps)
        return QStringLiteral("--steps STEP,STEP,... is required");
    if (const QString problem = parseSteps(*steps, parsed); !problem.isEmpty())
        return problem;
    if (parsed.settingsDb && !parsed.settingsName)
        return QStringLiteral("--settings-db names where settings are kept: it goes with --settings NAME");
    if (!parsed.saveStep && !parsed.save.given.isEmpty())
        return QStringLiteral("%1 is for a save step, and --steps has none").arg(parsed.save.given.first());
    if (parsed.saveStep && !parsed.save.table)
        return QStringLiteral("the save step needs --table NAME");
    return {};
}

QString stepName(Operation operation)
{
    for (const OperationInfo &info : operations()) {
        if (info.operation == operation)
            return info.name;
    }
    return {};
}

QString missingField(Operation operation, const Parameters &p)
{
    switch (operation) {
    case Operation::Move: return moveMissingFieldMessage(p.move);
    case Operation::Add: return addMissingFieldMessage(p.add);
    case Operation::Replace: return replaceMissingFieldMessage(p.replace);
    case Operation::Delete: return deleteMissingFieldMessage(p.remove);
    default: return {};
    }
}

// One step on the text, as its Process button does it: a missing required
// field is refused first, an empty text is left as it is, and a refusal
// leaves the text as it was. Returns the refusal, or "".
QString runStep(Operation operation, const Parameters &p, const ColumnSpecs &columns, QString &text)
{
    if (const QString missing = missingField(operation, p); !missing.isEmpty())
        return missing;
    if (text.isEmpty())
        return {};
    TextResult result;
    switch (operation) {
    case Operation::Move:
        text = runLineFrame(text, moveOperation(p.move), moveGate(p.move));
        return {};
    case Operation::Add:
        text = runLineFrame(text, addOperation(p.add), addGate(p.add));
        return {};
    case Operation::Replace:
        text = runLineFrame(text, replaceOperation(p.replace), replaceGate(p.replace));
        return {};
    case Operation::Delete:
        text = runLineFrame(text, deleteOperation(p.remove), deleteGate(p.remove));
        return {};
    case Operation::Format:
        result = checkFormatParams(p.format);
        if (!result.refused())
            result = formatText(text, p.format);
        break;
    case Operation::JoinLines:
        result = joinLines(text);
        break;
    case Operation::CreateLine:
        result = createLine(text);
        break;
    case Operation::BreakLines:
        // Without a length the button leaves the text alone.
        if (p.lineTool.startLineAfter == 0)
            return {};
        result = breakEvery(text, p.lineTool.startLineAfter);
        break;
    case Operation::Tabwrite:
        result = checkColumnSpecs(columns);
        if (!result.refused())
            result = tabwriteText(text, columns, p.tabwrite.tabwriteStartLineAt);
        break;
    }
    if (result.refused())
        return result.error;
    text = std::move(result.text);
    return {};
}

// Writes the text in the input's format; a Windows-1252 input given a text it
// has no byte for is written as UTF-8 rather than losing those characters.
int writeText(const QString &text, TextFormat format, const QStringList &inserted, const QString &output)
{
    if (format.encoding == TextEncoding::Windows1252) {
        for (const QString &piece : inserted) {
            if (!canEncode(piece, TextEncoding::Windows1252)) {
                format.encoding = TextEncoding::Utf8;
                printLine(QStringLiteral("tabwright-cli: note: the input is Windows-1252, which cannot hold '%1'; "
                                         "the result is written as UTF-8").arg(piece));
                break;
            }
        }
    }
    TextSink sink;
    if (const FileError error = sink.open(output, format))
        return usage(error.description);
    sink.write(text);
    if (const FileError error = sink.commit())
        return usage(error.description);
    return status::done;
}

} // namespace

int runSteps(const QStringList &args)
{
    RunArguments parsed;
    if (const QString problem = parseArguments(args, parsed); !problem.isEmpty())
        return usage(problem);

    SettingsRecord fields = SettingsRecord::defaults();
    ColumnSpecs columns;
    QString columnsName;
    if (parsed.settingsName) {
        StoredRecipe stored;
        if (const QString problem =
                readStoredRecipe(parsed.settingsDb, QStringLiteral("--settings-db"), *parsed.settingsName, &stored);
            !problem.isEmpty())
            return usage(problem);
        fields.overlay(stored.record);
        columns = stored.columns;
        columnsName = QStringLiteral("the settings %1").arg(*parsed.settingsName);
    }
    fields.overlay(parsed.given);
    if (parsed.columnsFile) {
        const ColumnsFile file = readColumnsFile(*parsed.columnsFile);
        if (!file.error.isEmpty())
            return usage(file.error);
        columns = file.rows;
        columnsName = *parsed.columnsFile;
    }
    const Parameters p = fields.parameters();

    TextSource source;
    if (const FileError error = source.open(parsed.input.value_or(QString())))
        return usage(error.description);
    const TextFormat format = source.format();
    QString text = source.readAll();

    QStringList inserted;
    for (qsizetype i = 0; i < parsed.steps.size(); ++i) {
        const Operation operation = parsed.steps.at(i);
        if (const QString refusal = runStep(operation, p, columns, text); !refusal.isEmpty()) {
            printLine(QStringLiteral("tabwright-cli: run: step %1 (%2) refused:").arg(i + 1).arg(stepName(operation)));
            printLine(refusal);
            return status::refused;
        }
        inserted += insertedTexts(p, operation);
        if (operation == Operation::Tabwrite) {
            for (const ColumnSpec &row : columns)
                inserted << row.column_heading;
        }
    }

    if (parsed.saveStep) {
        SaveJob job;
        job.options = parsed.save;
        job.method = p.database.databaseProcessMethod;
        job.delimiter = p.database.databaseDelimiter;
        if (parsed.settingsName || parsed.columnsFile) {
            job.layout = columns;
            job.layoutName = columnsName;
        }
        bool given = false;
        const int saved = saveBlocks(job, !text.isEmpty(), [&](QString &block) {
            if (given)
                return false;
            block = text;
            given = true;
            return true;
        });
        if (saved != status::done || !parsed.output)
            return saved;
    }
    return writeText(text, format, inserted, parsed.output.value_or(QString()));
}

} // namespace tw::cli
