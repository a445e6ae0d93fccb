// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/save.h"

#include "cli/arguments.h"
#include "cli/columnsfile.h"
#include "cli/exitstatus.h"
#include "cli/fields.h"
#include "cli/messages.h"
#include "cli/storedsettings.h"
#include "core/columns/saveplan.h"
#include "core/columns/tablelist.h"
#include "core/columns/tablesaver.h"
#include "core/db/database.h"
#include "core/db/defaultdatabase.h"
#include "core/db/serveraddress.h"
#include "core/text/textfile.h"

#include <QFileInfo>

#include <cstdio>
#include <new>

namespace tw::cli {

namespace {

// Bytes of input per block: the saver takes whole lines a block at a time, so
// the text is never decoded whole.
constexpr qint64 blockBytes = 512 * 1024;

int usage(const QString &problem)
{
    printLine(QStringLiteral("tabwright-cli: save: %1").arg(problem));
    return status::usage;
}

// A refusal carries the window's own message.
int refuse(const QString &message)
{
    printLine(message);
    return status::refused;
}

// What "save" itself takes beside the save options.
struct SaveArguments
{
    SaveOptions options;
    SettingsRecord given;
    std::optional<QString> columnsFile;
    std::optional<QString> settingsName;
    std::optional<QString> settingsDb;
    std::optional<QString> input;
};

// Answers the size question as --too-long says and never stops early.
class CliObserver : public SaveObserver
{
public:
    explicit CliObserver(WarnMode tooLong) : m_tooLong(tooLong) {}
    bool lineDone(qint64) override { return true; }
    WarnMode valueTooLong(const QString &) override { return m_tooLong; }
    // Nothing else runs in the program while it saves.
    bool sharesTheDatabase() const override { return false; }
    bool recordRefused(const DbError &) override
    {
        m_recordRefused = true;
        return false;
    }
    bool recordRefusedEndedRun() const { return m_recordRefused; }

private:
    WarnMode m_tooLong;
    bool m_recordRefused = false;
};

// The plan's questions, answered from the options: the layout is the
// one given, and a table that is there gets what --if-exists says.
class OptionAnswers : public SaveQuestions
{
public:
    OptionAnswers(ExistingTable ifExists, ColumnSpecs layout) : m_ifExists(ifExists), m_layout(std::move(layout)) {}
    Result<ColumnSpecs> columnLayout() override { return m_layout; }
    ExistingTable tableExists(const SaveTarget &, const QString &) override { return m_ifExists; }

private:
    ExistingTable m_ifExists;
    ColumnSpecs m_layout;
};

// Takes the value of an option; the problem when there is none or it came twice.
// Reads the arguments; a usage problem when they are wrong.
QString parseArguments(const QStringList &args, SaveArguments &parsed)
{
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        QString problem;
        if (!optionsEnded && arg == u"--") {
            optionsEnded = true;
        } else if (!optionsEnded && takeSaveOption(args, i, parsed.options, &problem)) {
        } else if (!optionsEnded && arg == u"--columns") {
            problem = takeValue(args, i, parsed.columnsFile);
        } else if (!optionsEnded && arg == u"--settings") {
            problem = takeValue(args, i, parsed.settingsName);
        } else if (!optionsEnded && arg == u"--settings-db") {
            problem = takeValue(args, i, parsed.settingsDb);
        } else if (!optionsEnded && isFieldArgument(arg)) {
            problem = setField(parsed.given, fieldsOf(settings::Group::SaveToDatabase), arg);
        } else {
            problem = takeOperand(arg, optionsEnded, parsed.input);
        }
        if (!problem.isEmpty())
            return problem;
    }
    if (parsed.settingsDb && !parsed.settingsName)
        return QStringLiteral("--settings-db names where settings are kept: it goes with --settings NAME");
    // With named settings the records go where the window's first save
    // option puts them, into the default database, unless --db says otherwise.
    if (!parsed.options.db && !parsed.settingsName)
        return QStringLiteral("--db FILE is required");
    if (!parsed.options.table)
        return QStringLiteral("--table NAME is required");
    return {};
}

QString summary(const SaveOutcome &outcome, const QString &table)
{
    QString text = QStringLiteral("tabwright-cli: save: %1 records written, %2 values skipped")
                       .arg(outcome.recordsWritten)
                       .arg(outcome.valuesSkipped);
    if (outcome.recordsRefused > 0)
        text += QStringLiteral(", %1 records refused (the first: %2)")
                    .arg(outcome.recordsRefused)
                    .arg(outcome.firstRefusal.description);
    if (outcome.oldRecordsKept)
        text += QStringLiteral("; nothing was replaced: the table %1 keeps its old records").arg(table);
    return text;
}

// The method must be one of the two the window offers: any other text would
// run neither, and with --if-exists replace would only empty the table.
std::optional<QString> checkMethod(const QString &method)
{
    if (method.isEmpty() || saveMethodOf(method) != SaveMethod::Neither)
        return std::nullopt;
    return QStringLiteral("databaseProcessMethod: '%1' is not a process method (one of \"%2\", \"%3\")")
        .arg(method, parseMethodText(), columnSpecsMethodText());
}

} // namespace

bool takeSaveOption(const QStringList &args, qsizetype &i, SaveOptions &options, QString *problem)
{
    const QString &arg = args.at(i);
    std::optional<QString> value;
    if (arg == u"--db") {
        *problem = takeValue(args, i, options.db);
    } else if (arg == u"--table") {
        *problem = takeValue(args, i, options.table);
    } else if (arg == u"--create") {
        options.create = true;
    } else if (arg == u"--trim") {
        options.trim = true;
    } else if (arg == u"--if-exists") {
        *problem = takeValue(args, i, value);
        if (value == u"append")
            options.ifExists = ExistingTable::Append;
        else if (value == u"replace")
            options.ifExists = ExistingTable::Replace;
        else if (value == u"cancel")
            options.ifExists = ExistingTable::Cancel;
        else if (problem->isEmpty())
            *problem = QStringLiteral("--if-exists takes append, replace or cancel, not '%1'").arg(*value);
    } else if (arg == u"--too-long") {
        *problem = takeValue(args, i, value);
        if (value == u"skip")
            options.tooLong = WarnMode::SkipSilently;
        else if (value == u"abort")
            options.tooLong = WarnMode::Abort;
        else if (problem->isEmpty())
            *problem = QStringLiteral("--too-long takes skip or abort, not '%1'").arg(*value);
    } else {
        return false;
    }
    options.given << arg;
    return true;
}

int saveBlocks(const SaveJob &job, bool hasText, const BlockReader &nextBlock, const ReadFailure &readFailure)
{
    const SaveOptions &options = job.options;
    if (const std::optional<QString> problem = checkMethod(job.method))
        return usage(*problem);
    if (saveMethodOf(job.method) == SaveMethod::ColumnLayout && !job.layout)
        return usage(QStringLiteral("the column layout method needs --columns FILE"));
    if (options.create && !job.layout)
        return usage(QStringLiteral("--create needs --columns FILE: its headings name the new table's fields"));

    QString path = options.db.value_or(QString());
    if (!options.db) {
        path = defaultDatabasePath();
        if (path.isEmpty())
            return usage(QStringLiteral("there is no %1 beside the program (name the database with --db FILE)")
                             .arg(defaultDatabaseName()));
    }
    // A server address is shown without its password, in every message.
    const bool server = isServerAddress(path);
    const QString shownPath = displayDatabaseName(path);
    const QFileInfo dbFile(path);
    SaveTarget target;
    target.hasText = hasText;
    target.table = *options.table;
    target.methodText = job.method;
    target.delimiter = job.delimiter;
    target.databasePath = server ? shownPath : dbFile.absoluteFilePath();
    target.createFromLayout = options.create;
    target.trimSpaces = options.trim;
    // What the request itself lacks is refused before the database is opened.
    if (const SavePlan checked = checkSaveTarget(target); checked.refused())
        return refuse(checked.message);

    // A database that is not there yet is made only when the plan writes
    // something into it: a refused request leaves no empty file behind.
    // The user and password of a server come from the address or libpq's
    // own places (PGUSER, PGPASSWORD, ~/.pgpass), never from an argument.
    Database db;
    if (server || dbFile.exists()) {
        if (const DbError error = db.open(path, {}, {}, Database::OpenMode::CreateIfMissing); error.isError())
            return usage(QStringLiteral("%1: %2").arg(shownPath, error.description));
        target.databasePath = db.name();
    }
    OptionAnswers answers(options.ifExists, job.layout.value_or(ColumnSpecs{}));
    const SavePlan plan = planSave(db, target, answers);
    switch (plan.refusal) {
    case SavePlan::Refusal::None:
        break;
    case SavePlan::Refusal::DatabaseError:
        return usage(plan.error.description);
    case SavePlan::Refusal::HeadingRefused:
        return refuse(plan.error.description);
    case SavePlan::Refusal::NoColumnLayout:
        return refuse(QStringLiteral("The column layout in %1 has no rows; its headings name the fields of the new "
                                     "table.").arg(job.layoutName));
    case SavePlan::Refusal::Cancelled:
        return refuse(QStringLiteral("This table name (%1) is already in %2; nothing was written "
                                     "(--if-exists cancel).").arg(target.table, target.databasePath));
    default:
        return refuse(plan.message);
    }
    if (!db.isOpen()) {
        if (const DbError error = db.open(path, {}, {}, Database::OpenMode::CreateIfMissing); error.isError())
            return usage(QStringLiteral("%1: %2").arg(shownPath, error.description));
    }
    if (const DbError error = prepareTarget(db, plan); error.isError())
        return usage(QStringLiteral("%1: %2").arg(shownPath, error.description));
    if (plan.request.method == SaveMethod::Neither) {
        printLine(summary({}, target.table));
        return status::done;
    }

    CliObserver observer(options.tooLong);
    TableSaver saver(db, plan.request, observer);
    if (!saver.start().isError()) {
        try {
            // Each block needs to know whether another follows, so one block
            // is read ahead.
            QString block;
            QString next;
            QString unread;
            const auto read = [&](QString &into) {
                if (nextBlock(into))
                    return true;
                if (readFailure)
                    unread = readFailure();
                return false;
            };
            bool more = read(block);
            while (more && unread.isEmpty()) {
                const bool following = read(next);
                if (!unread.isEmpty())
                    break;
                if (!saver.addText(block, following))
                    break;
                block.swap(next);
                more = following;
            }
            // Only part of the text was read: the run fails, and what it
            // wrote is dealt with as for any failure.
            if (!unread.isEmpty())
                saver.abandon(DbError{ErrorNumber::PathFileAccess, unread});
        } catch (const std::bad_alloc &) {
            // A line too long to hold: the run fails like any other, and
            // says what the table kept.
            saver.abandon(DbError::make(ErrorNumber::OutOfMemory));
        }
    }
    const SaveOutcome outcome = saver.finish();
    switch (outcome.end) {
    case SaveOutcome::End::Done:
    case SaveOutcome::End::Stopped:
        printLine(summary(outcome, target.table));
        return status::done;
    case SaveOutcome::End::Aborted:
        printLine(summary(outcome, target.table));
        return refuse(QStringLiteral("You can use a database editor to enlarge the field size, then process the data "
                                     "again.  The maximum field size is 255."));
    case SaveOutcome::End::Failed:
        // Why, and what the table holds now, in one message. A record the
        // engine refused for its values is a refusal as the window has it;
        // a database that cannot be written is a file problem.
        printLine(QStringLiteral("tabwright-cli: save: %1")
                      .arg(saveFailureMessage(outcome, target.table, target.databasePath)));
        return observer.recordRefusedEndedRun() ? status::refused : status::usage;
    }
    return status::done;
}

int runSave(const QStringList &args)
{
    SaveArguments parsed;
    if (const QString problem = parseArguments(args, parsed); !problem.isEmpty())
        return usage(problem);

    SaveJob job;
    job.options = parsed.options;
    // Without named settings the method and the delimiter are what the command
    // line says; with them the fields start as the window opens, take the
    // stored values, then the ones given here.
    SettingsRecord fields;
    if (parsed.settingsName) {
        StoredRecipe stored;
        if (const QString problem =
                readStoredRecipe(parsed.settingsDb, QStringLiteral("--settings-db"), *parsed.settingsName, &stored);
            !problem.isEmpty())
            return usage(problem);
        fields = SettingsRecord::defaults();
        fields.overlay(stored.record);
        job.layout = stored.columns;
        job.layoutName = QStringLiteral("the settings %1").arg(*parsed.settingsName);
    }
    fields.overlay(parsed.given);
    job.method = fields.value(QStringLiteral("databaseProcessMethod")).toString();
    job.delimiter = fields.value(QStringLiteral("databaseDelimiter")).toString();
    if (parsed.columnsFile) {
        const ColumnsFile layout = readColumnsFile(*parsed.columnsFile);
        if (!layout.error.isEmpty())
            return usage(layout.error);
        job.layout = layout.rows;
        job.layoutName = *parsed.columnsFile;
    }

    TextSource source;
    if (const FileError error = source.open(parsed.input.value_or(QString()), TextSource::Reading::Stream))
        return usage(error.description);
    return saveBlocks(
        job, !source.isEmpty(), [&source](QString &block) { return source.nextBlock(block, blockBytes); },
        [&source] { return source.error().description; });
}

QString saveHelpText()
{
    return QStringLiteral(
        "\n  save    Save to Database: each line becomes a record of a table\n"
        "    tabwright-cli save --db FILE --table NAME databaseProcessMethod=METHOD\n"
        "        [databaseDelimiter=TEXT] [--columns FILE] [--create]\n"
        "        [--if-exists append|replace|cancel] [--too-long skip|abort] [--trim] [INPUT]\n"
        "    tabwright-cli save --settings NAME [--settings-db FILE] [--db FILE] --table NAME ...\n"
        "    --db FILE      the database written to; a missing file is made once a table\n"
        "                   is to be created in it. With --settings it may be left out:\n"
        "                   the default database\n"
        "    --db postgresql://[USER@]HOST[:PORT]/DATABASE[?OPTION=VALUE...]\n"
        "    --db \"host=HOST port=PORT dbname=DATABASE ...\"\n"
        "                   a PostgreSQL database; the password comes from PGPASSWORD,\n"
        "                   ~/.pgpass or a service file, never from an argument\n"
        "    --table NAME   the table (names compare without regard to case)\n"
        "    databaseProcessMethod\n"
        "        \"Parse text using delimiter I specify\" or \"Use column specs on the Tabwrite Text tab\"\n"
        "    databaseDelimiter\n"
        "        the delimiter for the parse method\n"
        "    --columns FILE the column layout (as for tabwrite, with field_width): cuts the\n"
        "                   lines for the column method and gives the fields for --create\n"
        "    --settings NAME  the method, the delimiter and the column layout of the named\n"
        "                   settings; fields and --columns given here win\n"
        "    --settings-db FILE  where the settings are kept (the default database otherwise)\n"
        "    --create       create the table: a text field of field_width per layout row\n"
        "    --if-exists    when the table is there: append (the default), replace (the\n"
        "                   old records go as the new ones come, in one transaction: a run\n"
        "                   that fails keeps them) or cancel (write nothing, exit status 1)\n"
        "    --trim         leave out the spaces and tabs around each value (the padding\n"
        "                   of fixed-width text) before it is measured and written\n"
        "    --too-long     a value longer than its field: abort (the default; records\n"
        "                   written before stay, exit status 1) or skip every such value\n"
        "    A summary (records written, values skipped) goes to standard error; a run\n"
        "    that fails says why and what the table holds now (exit status 2, or 1 for\n"
        "    a record the database refused).\n");
}

} // namespace tw::cli
