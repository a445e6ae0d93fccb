// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/settingscommand.h"

#include "cli/columnsfile.h"
#include "cli/exitstatus.h"
#include "cli/fields.h"
#include "cli/storedsettings.h"
#include "core/db/database.h"
#include "core/settings/settingsstore.h"

#include <cstdio>
#include <optional>

namespace tw::cli {

namespace {

void write(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

int usage(const QString &problem)
{
    write(stderr, QStringLiteral("tabwright-cli: settings: %1\n").arg(problem));
    return status::usage;
}

int refuse(const QString &message)
{
    write(stderr, message + u'\n');
    return status::refused;
}

struct Arguments
{
    QString command;
    QString name;
    std::optional<QString> db;
    std::optional<QString> from;
    std::optional<QString> columns;
    bool replace = false;
    SettingsRecord given;
};

QString takeValue(const QStringList &args, qsizetype &i, std::optional<QString> &slot)
{
    if (i + 1 >= args.size())
        return QStringLiteral("%1 needs a file name").arg(args.at(i));
    if (slot)
        return QStringLiteral("%1 given twice").arg(args.at(i));
    slot = args.at(++i);
    return {};
}

QString parseArguments(const QStringList &args, Arguments &parsed)
{
    static const QStringList commands{QStringLiteral("list"), QStringLiteral("show"), QStringLiteral("save"),
                                      QStringLiteral("delete")};
    if (args.isEmpty() || !commands.contains(args.first()))
        return QStringLiteral("expected list, show NAME, save NAME or delete NAME (try --help)");
    parsed.command = args.first();
    const bool saving = parsed.command == u"save";
    bool named = parsed.command == u"list";
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        QString problem;
        if (arg == u"--db") {
            problem = takeValue(args, i, parsed.db);
        } else if (saving && arg == u"--from") {
            problem = takeValue(args, i, parsed.from);
        } else if (saving && arg == u"--columns") {
            problem = takeValue(args, i, parsed.columns);
        } else if (saving && arg == u"--replace") {
            parsed.replace = true;
        } else if (saving && named && isFieldArgument(arg)) {
            problem = setField(parsed.given, allFields(), arg);
        } else if (arg.startsWith(u'-') && !named) {
            problem = QStringLiteral("unknown option '%1' (try --help)").arg(arg);
        } else if (!named) {
            parsed.name = arg;
            named = true;
        } else {
            problem = QStringLiteral("unexpected '%1' (try --help)").arg(arg);
        }
        if (!problem.isEmpty())
            return problem;
    }
    if (!named)
        return QStringLiteral("%1 needs the name of the settings").arg(parsed.command);
    return {};
}

int list(Database &db)
{
    const Result<QStringList> names = settings::settingsNames(db);
    if (!names)
        return usage(QStringLiteral("%1: %2").arg(db.name(), names.error().description));
    for (const QString &name : names.value())
        write(stdout, name + u'\n');
    return status::done;
}

int show(const Arguments &parsed)
{
    StoredRecipe stored;
    if (const QString problem = readStoredRecipe(parsed.db, QStringLiteral("--db"), parsed.name, &stored);
        !problem.isEmpty())
        return usage(problem);
    write(stdout, recipeText(stored.record, stored.columns));
    return status::done;
}

int save(Database &db, const Arguments &parsed)
{
    if (parsed.name.isEmpty())
        return usage(QStringLiteral("the name of the settings is empty"));
    if (const QString refusal = settings::nameRefusal(parsed.name); !refusal.isEmpty())
        return usage(refusal);
    // A recipe saved here is the whole record: the fields start as the window
    // opens, then take the recipe's and the command line's values.
    SettingsRecord record = SettingsRecord::defaults();
    ColumnSpecs columns;
    if (parsed.from) {
        QString text;
        if (const QString problem = readUtf8Argument(*parsed.from, &text); !problem.isEmpty())
            return usage(problem);
        const Recipe recipe = parseRecipe(text, *parsed.from);
        if (!recipe.error.isEmpty())
            return usage(recipe.error);
        record.overlay(recipe.record);
        columns = recipe.columns;
    }
    record.overlay(parsed.given);
    if (parsed.columns) {
        const ColumnsFile file = readColumnsFile(*parsed.columns);
        if (!file.error.isEmpty())
            return usage(file.error);
        columns = file.rows;
    }
    const Result<std::optional<settings::StoredSettings>> found = settings::findSettings(db, parsed.name);
    if (!found)
        return usage(QStringLiteral("%1: %2").arg(db.name(), found.error().description));
    if (found.value() && !parsed.replace)
        return refuse(QStringLiteral("This name (%1) for the settings is already on file; --replace overwrites "
                                     "the current settings.").arg(parsed.name));
    if (const DbError error = settings::saveSettings(db, parsed.name, record, settings::ColumnsFrom::Given, columns);
        error.isError())
        return usage(QStringLiteral("%1: %2 (nothing was saved)").arg(db.name(), error.description));
    return status::done;
}

int remove(Database &db, const Arguments &parsed)
{
    const Result<bool> deleted = settings::deleteSettings(db, parsed.name);
    if (!deleted)
        return usage(QStringLiteral("%1: %2").arg(db.name(), deleted.error().description));
    if (!deleted.value())
        return usage(QStringLiteral("no settings named '%1' in %2").arg(parsed.name, db.name()));
    return status::done;
}

} // namespace

int runSettingsCommand(const QStringList &args)
{
    Arguments parsed;
    if (const QString problem = parseArguments(args, parsed); !problem.isEmpty())
        return usage(problem);
    if (parsed.command == u"show")
        return show(parsed);
    Database db;
    if (const QString problem = openSettingsDatabase(db, parsed.db, QStringLiteral("--db")); !problem.isEmpty())
        return usage(problem);
    if (parsed.command == u"list")
        return list(db);
    if (parsed.command == u"save")
        return save(db, parsed);
    return remove(db, parsed);
}

QString recipeText(const SettingsRecord &record, const ColumnSpecs &columns)
{
    QString text;
    for (qsizetype i = 0; i < settings::fields().size(); ++i) {
        // A field empty in the store has no line: it keeps its default.
        if (record.value(i).isNull())
            continue;
        const settings::Field &field = settings::fields().at(i);
        text += field.name + u'=' + escape(settings::storedText(field, record.value(i))) + u'\n';
    }
    return text + u'\n' + formatColumns(columns);
}

Recipe parseRecipe(const QString &text, const QString &name)
{
    Recipe recipe;
    QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty()) {
            // The column rows follow the first empty line.
            recipe.hasColumns = true;
            const ColumnsFile columns = parseColumns(lines.mid(i + 1).join(u'\n'), name);
            if (!columns.error.isEmpty()) {
                // Its line numbers count from the empty line.
                recipe.error = QStringLiteral("%1 (after the empty line %2)").arg(columns.error).arg(i + 1);
                return recipe;
            }
            recipe.columns = columns.rows;
            return recipe;
        }
        if (line.startsWith(u'#'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        const qsizetype index = equals > 0 ? settings::fieldIndex(line.left(equals)) : -1;
        QString problem;
        QVariant value;
        if (index < 0) {
            problem = QStringLiteral("expected FIELD=VALUE with a field of named settings");
        } else if (!recipe.record.value(index).isNull()) {
            problem = QStringLiteral("%1 given twice").arg(line.left(equals));
        } else {
            const QString stored = unescape(line.mid(equals + 1), &problem);
            if (problem.isEmpty() && !settings::parseStoredText(settings::fields().at(index), stored, &value))
                problem = QStringLiteral("%1 takes a number, not '%2'").arg(line.left(equals), stored);
        }
        if (!problem.isEmpty()) {
            recipe.error = QStringLiteral("%1 line %2: %3").arg(name).arg(i + 1).arg(problem);
            return recipe;
        }
        recipe.record.setValue(index, value);
    }
    return recipe;
}

QString settingsHelpText()
{
    return QStringLiteral(
        "\nNamed settings (the Settings tab: every field of every tab and the column\n"
        "layout kept under a name, in the default database beside the program unless\n"
        "--db FILE names another):\n"
        "\n  OPERATION --settings NAME [--db FILE] [FIELD=VALUE ...] ...\n"
        "    the fields start as the window opens, take the settings' values, then the\n"
        "    ones given; tabwrite takes the settings' column layout unless --columns\n"
        "\n  run --settings NAME --steps STEP,STEP,... [--settings-db FILE] [FIELD=VALUE ...]\n"
        "      [--columns FILE] [save options] [-o OUTPUT] [INPUT]\n"
        "    runs the operations one after the other on the text, as pressing their\n"
        "    Process buttons would; save may be the last step (its options as for save,\n"
        "    --db being the database written to, the default database when left out).\n"
        "    The text goes to OUTPUT or standard output, unless the last step is save\n"
        "    and -o is not given.\n"
        "\n  settings list [--db FILE]\n"
        "    the names, one a line\n"
        "  settings show NAME [--db FILE]\n"
        "    the recipe: one FIELD=VALUE line per field, an empty line, the column rows\n"
        "    in the --columns format\n"
        "  settings save NAME [--from FILE] [FIELD=VALUE ...] [--columns FILE] [--replace] [--db FILE]\n"
        "    stores a settings: the fields start as the window opens, then take the\n"
        "    recipe's (--from FILE, '-' for standard input; lines starting with # are\n"
        "    comments) and the command line's; the column rows are --columns or the\n"
        "    recipe's. A name already stored needs --replace (exit status 1 otherwise).\n"
        "  settings delete NAME [--db FILE]\n"
        "    deletes the settings and its column table\n"
        "  Names compare without regard to case.\n"
        "\n  Example: a monthly export saved on the Settings tab as Monthly, replayed:\n"
        "    tabwright-cli run --settings Monthly --steps format,replace,tabwrite,save \\\n"
        "        --table Sales --create -o sales.txt export.txt\n"
        "    tabwright-cli settings show Monthly > monthly.recipe\n");
}

} // namespace tw::cli
