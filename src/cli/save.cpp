// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/save.h"

#include "cli/columnsfile.h"
#include "cli/exitstatus.h"
#include "cli/fields.h"
#include "core/columns/saveplan.h"
#include "core/columns/tablelist.h"
#include "core/columns/tablesaver.h"
#include "core/db/database.h"
#include "core/text/textfile.h"

#include <QFileInfo>

#include <cstdio>
#include <new>
#include <optional>

namespace tw::cli {

namespace {

// Bytes of input per block: the saver takes whole lines a block at a time, so
// the text is never decoded whole.
constexpr qint64 blockBytes = 512 * 1024;

void printLine(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fputc('\n', stderr);
}

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

struct SaveOptions
{
    std::optional<QString> db;
    std::optional<QString> table;
    std::optional<QString> columnsFile;
    QString method;
    QString delimiter;
    bool create = false;
    ExistingTable ifExists = ExistingTable::Append;
    WarnMode tooLong = WarnMode::Abort;
    std::optional<QString> input;
};

// Answers the size question as --too-long says and never stops early.
class CliObserver : public SaveObserver
{
public:
    explicit CliObserver(WarnMode tooLong) : m_tooLong(tooLong) {}
    bool lineDone(qint64) override { return true; }
    WarnMode valueTooLong(const QString &) override { return m_tooLong; }
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
// --columns file, and a table that is there gets what --if-exists says.
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

// Reads the arguments into options; a usage problem when they are wrong.
std::optional<QString> parseArguments(const QStringList &args, SaveOptions &options)
{
    bool optionsEnded = false;
    QStringList given;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const auto value = [&](std::optional<QString> &slot) -> std::optional<QString> {
            if (i + 1 >= args.size())
                return QStringLiteral("%1 needs a value").arg(arg);
            if (slot)
                return QStringLiteral("%1 given twice").arg(arg);
            slot = args.at(++i);
            return std::nullopt;
        };
        std::optional<QString> ifExists;
        std::optional<QString> tooLong;
        if (!optionsEnded && arg == u"--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == u"--db") {
            if (auto problem = value(options.db))
                return problem;
        } else if (!optionsEnded && arg == u"--table") {
            if (auto problem = value(options.table))
                return problem;
        } else if (!optionsEnded && arg == u"--columns") {
            if (auto problem = value(options.columnsFile))
                return problem;
        } else if (!optionsEnded && arg == u"--create") {
            options.create = true;
        } else if (!optionsEnded && arg == u"--if-exists") {
            if (auto problem = value(ifExists))
                return problem;
            if (*ifExists == u"append")
                options.ifExists = ExistingTable::Append;
            else if (*ifExists == u"replace")
                options.ifExists = ExistingTable::Replace;
            else if (*ifExists == u"cancel")
                options.ifExists = ExistingTable::Cancel;
            else
                return QStringLiteral("--if-exists takes append, replace or cancel, not '%1'").arg(*ifExists);
        } else if (!optionsEnded && arg == u"--too-long") {
            if (auto problem = value(tooLong))
                return problem;
            if (*tooLong == u"skip")
                options.tooLong = WarnMode::SkipSilently;
            else if (*tooLong == u"abort")
                options.tooLong = WarnMode::Abort;
            else
                return QStringLiteral("--too-long takes skip or abort, not '%1'").arg(*tooLong);
        } else if (!optionsEnded && isFieldArgument(arg)) {
            const qsizetype equals = arg.indexOf(u'=');
            const QString name = arg.left(equals);
            if (name != u"databaseProcessMethod" && name != u"databaseDelimiter")
                return QStringLiteral("unknown field '%1' (save takes databaseProcessMethod and databaseDelimiter)")
                    .arg(name);
            if (given.contains(name))
                return QStringLiteral("field %1 given twice").arg(name);
            given.append(name);
            QString error;
            const QString text = unescape(arg.mid(equals + 1), &error);
            if (!error.isEmpty())
                return QStringLiteral("%1: %2").arg(name, error);
            (name == u"databaseProcessMethod" ? options.method : options.delimiter) = text;
        } else if (!optionsEnded && arg.startsWith(u'-') && arg != u"-") {
            return QStringLiteral("unknown option '%1' (try --help)").arg(arg);
        } else {
            if (options.input)
                return QStringLiteral("more than one input file ('%1' and '%2')").arg(*options.input, arg);
            options.input = arg;
        }
    }
    if (!options.db)
        return QStringLiteral("--db FILE is required");
    if (!options.table)
        return QStringLiteral("--table NAME is required");
    return std::nullopt;
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

int runSave(const QStringList &args)
{
    SaveOptions options;
    if (const std::optional<QString> problem = parseArguments(args, options))
        return usage(*problem);
    if (const std::optional<QString> problem = checkMethod(options.method))
        return usage(*problem);

    std::optional<ColumnsFile> layout;
    if (options.columnsFile) {
        layout = readColumnsFile(*options.columnsFile);
        if (!layout->error.isEmpty())
            return usage(layout->error);
    }
    if (saveMethodOf(options.method) == SaveMethod::ColumnLayout && !layout)
        return usage(QStringLiteral("the column layout method needs --columns FILE"));
    if (options.create && !layout)
        return usage(QStringLiteral("--create needs --columns FILE: its headings name the new table's fields"));

    TextSource source;
    if (const FileError error = source.open(options.input.value_or(QString())))
        return usage(error.description);

    const QFileInfo dbFile(*options.db);
    SaveTarget target;
    target.hasText = !source.isEmpty();
    target.table = *options.table;
    target.methodText = options.method;
    target.delimiter = options.delimiter;
    target.databasePath = dbFile.absoluteFilePath();
    target.createFromLayout = options.create;
    // What the request itself lacks is refused before the database is opened.
    if (const SavePlan checked = checkSaveTarget(target); checked.refused())
        return refuse(checked.message);

    // A database that is not there yet is made only when the plan writes
    // something into it: a refused request leaves no empty file behind.
    Database db;
    if (dbFile.exists()) {
        if (const DbError error = db.open(*options.db, {}, {}, Database::OpenMode::CreateIfMissing);
            error.isError())
            return usage(QStringLiteral("%1: %2").arg(*options.db, error.description));
        target.databasePath = db.name();
    }
    OptionAnswers answers(options.ifExists, layout ? layout->rows : ColumnSpecs{});
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
                                     "table.").arg(*options.columnsFile));
    case SavePlan::Refusal::Cancelled:
        return refuse(QStringLiteral("This table name (%1) is already in %2; nothing was written "
                                     "(--if-exists cancel).").arg(target.table, target.databasePath));
    default:
        return refuse(plan.message);
    }
    if (!db.isOpen()) {
        if (const DbError error = db.open(*options.db, {}, {}, Database::OpenMode::CreateIfMissing);
            error.isError())
            return usage(QStringLiteral("%1: %2").arg(*options.db, error.description));
    }
    if (const DbError error = prepareTarget(db, plan); error.isError())
        return usage(QStringLiteral("%1: %2").arg(*options.db, error.description));
    if (plan.request.method == SaveMethod::Neither) {
        printLine(summary({}, target.table));
        return status::done;
    }

    CliObserver observer(options.tooLong);
    TableSaver saver(db, plan.request, observer);
    if (!saver.start().isError()) {
        try {
            // Blocks of whole lines, joined by CR LF: each needs to know
            // whether another follows, so one block is read ahead.
            QString block;
            QString next;
            bool more = source.nextBlock(block, blockBytes);
            while (more) {
                const bool following = source.nextBlock(next, blockBytes);
                if (!saver.addText(block, following))
                    break;
                block.swap(next);
                more = following;
            }
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

QString saveHelpText()
{
    return QStringLiteral(
        "\n  save    Save to Database: each line becomes a record of a table\n"
        "    tabwright-cli save --db FILE --table NAME databaseProcessMethod=METHOD\n"
        "        [databaseDelimiter=TEXT] [--columns FILE] [--create]\n"
        "        [--if-exists append|replace|cancel] [--too-long skip|abort] [INPUT]\n"
        "    --db FILE      the database written to; a missing file is made once a table\n"
        "                   is to be created in it\n"
        "    --table NAME   the table (names compare without regard to case)\n"
        "    databaseProcessMethod\n"
        "        \"Parse text using delimiter I specify\" or \"Use column specs on the Tabwrite Text tab\"\n"
        "    databaseDelimiter\n"
        "        the delimiter for the parse method\n"
        "    --columns FILE the column layout (as for tabwrite, with field_width): cuts the\n"
        "                   lines for the column method and gives the fields for --create\n"
        "    --create       create the table: a text field of field_width per layout row\n"
        "    --if-exists    when the table is there: append (the default), replace (the\n"
        "                   old records go as the new ones come, in one transaction: a run\n"
        "                   that fails keeps them) or cancel (write nothing, exit status 1)\n"
        "    --too-long     a value longer than its field: abort (the default; records\n"
        "                   written before stay, exit status 1) or skip every such value\n"
        "    A summary (records written, values skipped) goes to standard error; a run\n"
        "    that fails says why and what the table holds now (exit status 2, or 1 for\n"
        "    a record the database refused).\n");
}

} // namespace tw::cli
