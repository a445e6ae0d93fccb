// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/querycommands.h"

#include "cli/exitstatus.h"
#include "cli/messages.h"
#include "core/db/database.h"
#include "core/grids/adhocreport.h"
#include "report/reportpainter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QStandardPaths>

#include <cstdio>
#include <optional>

namespace tw::cli {

namespace {

struct QueryOptions
{
    QString command; // "query" or "report"
    std::optional<QString> db;
    std::optional<QString> saved;
    std::optional<QString> sql;
    std::optional<QString> output;
    std::optional<QString> defaultDb;
    QString format = QStringLiteral("csv");
    QList<std::pair<QString, QString>> params;
};

int usage(const QueryOptions &options, const QString &problem)
{
    printLine(QStringLiteral("tabwright-cli: %1: %2").arg(options.command, problem));
    return status::usage;
}

// The window's message for what it would have refused.
int refuse(const QString &message)
{
    printLine(message);
    return status::refused;
}

std::optional<QString> parse(const QStringList &args, QueryOptions &options)
{
    bool optionsEnded = false;
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
        std::optional<QString> text;
        if (!optionsEnded && arg == u"--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == u"--db") {
            if (auto problem = value(options.db))
                return problem;
        } else if (!optionsEnded && arg == u"--saved") {
            if (auto problem = value(options.saved))
                return problem;
        } else if (!optionsEnded && arg == u"--default-db" && options.command == u"report") {
            if (auto problem = value(options.defaultDb))
                return problem;
        } else if (!optionsEnded && arg == u"-o" && options.command == u"report") {
            if (auto problem = value(options.output))
                return problem;
        } else if (!optionsEnded && arg == u"--format" && options.command == u"query") {
            if (auto problem = value(text))
                return problem;
            if (*text != u"csv" && *text != u"tsv")
                return QStringLiteral("--format takes csv or tsv, not '%1'").arg(*text);
            options.format = *text;
        } else if (!optionsEnded && arg == u"--param") {
            if (auto problem = value(text))
                return problem;
            const qsizetype equals = text->indexOf(u'=');
            if (equals <= 0)
                return QStringLiteral("--param takes NAME=VALUE, not '%1'").arg(*text);
            QString name = text->left(equals);
            if (name.startsWith(u':'))
                name.remove(0, 1);
            for (const auto &given : std::as_const(options.params))
                if (given.first.compare(name, Qt::CaseInsensitive) == 0)
                    return QStringLiteral("parameter %1 given twice").arg(name);
            options.params.append({name, text->mid(equals + 1)});
        } else if (!optionsEnded && arg.startsWith(u'-') && arg.size() > 1) {
            return QStringLiteral("unknown option '%1' (try --help)").arg(arg);
        } else {
            if (options.sql)
                return QStringLiteral("one SQL statement at a time ('%1' and '%2')").arg(*options.sql, arg);
            options.sql = arg;
        }
    }
    if (!options.db)
        return QStringLiteral("--db FILE is required");
    if (options.saved.has_value() == options.sql.has_value())
        return QStringLiteral("give either --saved NAME or an SQL statement");
    if (options.sql && options.sql->trimmed().isEmpty())
        return QStringLiteral("the SQL statement is empty");
    if (options.command == u"report" && !options.output)
        return QStringLiteral("-o FILE.pdf is required");
    return std::nullopt;
}

// Opens the database and makes the query with its parameter values; the exit
// status when that fails.
std::optional<int> prepareQuery(const QueryOptions &options, Database &db, QueryDef &query)
{
    if (const DbError error = db.open(*options.db); error.isError())
        return usage(options, QStringLiteral("%1: %2").arg(*options.db, error.description));
    if (options.saved) {
        const Result<QueryDef> saved = db.queryDef(*options.saved);
        if (!saved)
            return usage(options, QStringLiteral("no saved query named '%1' in %2").arg(*options.saved, db.name()));
        query = saved.value();
    } else {
        query = QueryDef({}, *options.sql);
    }
    for (const auto &[name, value] : options.params) {
        if (query.setParameter(name, value).isError())
            return usage(options, QStringLiteral("the query has no parameter named '%1'").arg(name));
    }
    QStringList missing;
    for (const QueryParameter &parameter : query.parameters())
        if (!parameter.value.isValid())
            missing << parameter.name;
    if (!missing.isEmpty())
        return usage(options, QStringLiteral("no value for the parameter(s) %1 (give --param NAME=VALUE)")
                                  .arg(missing.join(QStringLiteral(", "))));
    return std::nullopt;
}

QString cellText(const QVariant &value)
{
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::QByteArray:
        return QString::fromLatin1(value.toByteArray().toHex());
    default:
        return value.toString();
    }
}

// RFC 4180 quoting: a value holding a comma, a quote or a line break is
// quoted, its quotes doubled.
QString csvValue(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QLatin1String("\"\""));
    return u'"' + quoted + u'"';
}

// Tab-separated values hold no tab or line break: those, and the backslash,
// are written as \t, \n, \r and \\.
QString tsvValue(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\t': out += QLatin1String("\\t"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\\': out += QLatin1String("\\\\"); break;
        default: out += c;
        }
    }
    return out;
}

// The default database the report's objects live in, as the program finds it.
QString findDefaultDatabase()
{
    const QString name = QStringLiteral("tabwright.mdb");
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    const QString data = QStandardPaths::locate(QStandardPaths::AppDataLocation, name);
    return data;
}

} // namespace

int runQuery(const QStringList &args)
{
    QueryOptions options;
    options.command = QStringLiteral("query");
    if (const std::optional<QString> problem = parse(args, options))
        return usage(options, *problem);
    Database db;
    QueryDef query;
    if (const std::optional<int> failed = prepareQuery(options, db, query))
        return *failed;

    const Result<QueryDescription> description = db.describe(query);
    if (!description)
        return refuse(description.error().description);
    const bool csv = options.format == u"csv";
    const QString separator = csv ? QStringLiteral(",") : QStringLiteral("\t");
    const auto line = [&](const QStringList &values) {
        QStringList out;
        for (const QString &value : values)
            out << (csv ? csvValue(value) : tsvValue(value));
        const QByteArray bytes = (out.join(separator) + u'\n').toUtf8();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    };
    if (!description.value().returnsRows()) {
        const Result<QueryOutcome> outcome = db.run(query);
        if (!outcome)
            return refuse(outcome.error().description);
        std::printf("%lld\n", static_cast<long long>(outcome.value().rowsAffected));
        return status::done;
    }
    QStringList header;
    for (const FieldDef &field : description.value().fields)
        header << field.name;
    line(header);
    QStringList values;
    const Result<qint64> read = db.readRows(query, [&](const QVariantList &row) {
        values.clear();
        for (const QVariant &value : row)
            values << cellText(value);
        line(values);
        return true;
    });
    std::fflush(stdout);
    if (!read)
        return refuse(read.error().description);
    return status::done;
}

int runReport(const QStringList &args, int argc, char **argv)
{
    QueryOptions options;
    options.command = QStringLiteral("report");
    if (const std::optional<QString> problem = parse(args, options))
        return usage(options, *problem);

    // Fonts and pages need a GUI application, never a display. What the
    // platform has to say about the session (no runtime folder under cron,
    // say) is no concern of a report: only failures get through.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            printLine(message);
    });
    QGuiApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Tabwright"));
    QCoreApplication::setApplicationName(QStringLiteral("Tabwright"));

    const QString defaultDb = options.defaultDb.value_or(findDefaultDatabase());
    if (defaultDb.isEmpty() || !QFileInfo::exists(defaultDb))
        return usage(options, QStringLiteral("cannot find the default database tabwright.mdb (give --default-db FILE)"));

    Database db;
    QueryDef query;
    if (const std::optional<int> failed = prepareQuery(options, db, query))
        return *failed;

    AdHocReport report(db, QFileInfo(defaultDb).absoluteFilePath(), query);
    switch (report.prepare()) {
    case AdHocReport::State::Ready:
        break;
    case AdHocReport::State::NoFrom:
        return refuse(QStringLiteral("The SQL statement does not contain a FROM clause, so printing in not possible."));
    case AdHocReport::State::NoData:
        return refuse(QStringLiteral("No data to print."));
    case AdHocReport::State::Failed:
        return refuse(report.error().description);
    }

    QSaveFile file(*options.output);
    if (!file.open(QIODevice::WriteOnly))
        return usage(options, QStringLiteral("%1: %2").arg(*options.output, file.errorString()));
    DbError error;
    {
        QPdfWriter writer(&file);
        setUpReportPdf(writer, report.title());
        QPainter painter(&writer);
        ReportPainter pages(painter, writer);
        error = report.print(pages);
        painter.end();
    }
    if (error.isError()) {
        file.cancelWriting();
        return refuse(error.description);
    }
    if (!file.commit())
        return usage(options, QStringLiteral("%1: %2").arg(*options.output, file.errorString()));
    return status::done;
}

QString queryHelpText()
{
    return QStringLiteral(
        "\n  query   run a saved or typed query, as the Queries window's Execute does\n"
        "    tabwright-cli query --db FILE (--saved NAME | SQL) [--param NAME=VALUE ...]\n"
        "        [--format csv|tsv]\n"
        "    Rows go to standard output under a header line of the field names (CSV\n"
        "    quoted by RFC 4180, or TSV with \\t \\n \\r \\\\ escaped); an action query\n"
        "    prints the number of rows it changed. Every parameter (:name) needs a\n"
        "    --param; names compare without regard to case.\n"
        "\n  report  the query's ad-hoc report (Print ALL fields) written as a PDF\n"
        "    tabwright-cli report --db FILE (--saved NAME | SQL) [--param NAME=VALUE ...]\n"
        "        -o FILE.pdf [--default-db FILE]\n"
        "    The report's own objects are written to the default database: the\n"
        "    tabwright.mdb beside the program (or in the user's data folder) unless\n"
        "    --default-db names another. No display is needed.\n");
}

} // namespace tw::cli
