// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/columnsfile.h"

#include "cli/fields.h"
#include "core/text/textfile.h"

#include <QFile>

namespace tw::cli {

namespace {

const char *const cellNames[] = {"column_heading", "get_data_from_column", "number_of_characters",
                                 "spaces_b4_next_column", "field_width"};

// An empty cell stays empty; anything else must be a whole number (the grid
// stores what it is given, 0 and negative numbers included).
bool readCell(const QString &cell, std::optional<int> *value)
{
    if (cell.isEmpty()) {
        value->reset();
        return true;
    }
    bool ok = false;
    const int number = cell.toInt(&ok);
    if (ok)
        *value = number;
    return ok;
}

// A quoted heading at the start of the line: its text and the rest of the
// line after the closing quote, or the problem.
QString readQuotedHeading(const QString &line, QString *heading, QString *rest)
{
    QString raw;
    qsizetype i = 1;
    for (;; ++i) {
        if (i >= line.size())
            return QStringLiteral("the quoted heading has no closing quote");
        if (line.at(i) != u'"') {
            raw += line.at(i);
        } else if (i + 1 < line.size() && line.at(i + 1) == u'"') {
            raw += u'"';
            ++i;
        } else {
            break;
        }
    }
    QString error;
    *heading = unescape(raw, &error);
    *rest = line.mid(i + 1);
    if (!error.isEmpty())
        return QStringLiteral("in the quoted heading: %1").arg(error);
    if (!rest->startsWith(u','))
        return QStringLiteral("a comma must follow the quoted heading");
    return {};
}

bool needsQuotes(const QString &heading)
{
    return heading.startsWith(u'"') || heading.contains(u',') || heading.contains(u'\r') || heading.contains(u'\n');
}

QString cellText(const std::optional<int> &number)
{
    return number ? QString::number(*number) : QString();
}

} // namespace

ColumnsFile parseColumns(const QString &text, const QString &name)
{
    ColumnsFile result;
    QStringList lines = text.split(u'\n');
    // A final line break is optional, so nothing after it is a row.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(u'\r'))
            line.chop(1);
        QString heading;
        const bool quoted = line.startsWith(u'"');
        if (quoted) {
            QString rest;
            if (const QString problem = readQuotedHeading(line, &heading, &rest); !problem.isEmpty()) {
                result.error = QStringLiteral("%1 line %2: %3").arg(name).arg(i + 1).arg(problem);
                return result;
            }
            line = rest;
        }
        QStringList cells = line.split(u',');
        if (cells.size() < 4 || cells.size() > 5) {
            result.error = QStringLiteral("%1 line %2: %3 cells, expected 4 or 5 (%4,%5,%6,%7[,%8])")
                               .arg(name).arg(i + 1).arg(cells.size())
                               .arg(QLatin1StringView(cellNames[0]), QLatin1StringView(cellNames[1]),
                                    QLatin1StringView(cellNames[2]), QLatin1StringView(cellNames[3]),
                                    QLatin1StringView(cellNames[4]));
            return result;
        }
        ColumnSpec row;
        row.column_heading = quoted ? heading : cells.at(0);
        std::optional<int> *numbers[] = {&row.get_data_from_column, &row.number_of_characters,
                                         &row.spaces_b4_next_column, &row.field_width};
        for (qsizetype c = 1; c < cells.size(); ++c) {
            if (!readCell(cells.at(c), numbers[c - 1])) {
                result.error = QStringLiteral("%1 line %2: %3 '%4' is not a whole number")
                                   .arg(name).arg(i + 1)
                                   .arg(QLatin1StringView(cellNames[c]), cells.at(c));
                return result;
            }
        }
        result.rows.append(row);
    }
    return result;
}

QString formatColumns(const ColumnSpecs &rows)
{
    QString text;
    for (const ColumnSpec &row : rows) {
        QString heading = row.column_heading;
        if (needsQuotes(heading))
            heading = u'"' + escape(heading).replace(u'"', QStringLiteral("\"\"")) + u'"';
        QStringList cells{heading, cellText(row.get_data_from_column), cellText(row.number_of_characters),
                          cellText(row.spaces_b4_next_column)};
        if (row.field_width)
            cells << cellText(row.field_width);
        text += cells.join(u',') + u'\n';
    }
    return text;
}

QString readUtf8Argument(const QString &path, QString *text)
{
    QFile file;
    if (path == u"-") {
        if (!file.open(stdin, QIODevice::ReadOnly))
            return QStringLiteral("standard input cannot be read");
    } else {
        file.setFileName(path);
        if (!file.open(QIODevice::ReadOnly)) {
            const FileError error = readTextFile(path).error;
            return error ? error.description : QStringLiteral("%1 cannot be read").arg(path);
        }
    }
    // A layout is one short row a column; anything this large is not one,
    // and an endless source (a device, a pipe that never ends) must not be
    // read until memory runs out.
    const QByteArray bytes = file.read(maxColumnsFileBytes + 1);
    if (bytes.size() > maxColumnsFileBytes)
        return QStringLiteral("%1 is too large for a column layout (more than %2 MB)")
            .arg(path)
            .arg(maxColumnsFileBytes >> 20);
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
    const TextFileContent content = decodeText(bytes);
    if (content.error)
        return QStringLiteral("%1 is not a text file").arg(path);
    if (content.format.encoding != TextEncoding::Utf8)
        return QStringLiteral("%1 is not UTF-8").arg(path);
    *text = content.text;
    return {};
}

ColumnsFile readColumnsFile(const QString &path)
{
    QString text;
    if (const QString problem = readUtf8Argument(path, &text); !problem.isEmpty())
        return {{}, problem};
    return parseColumns(text, path);
}

} // namespace tw::cli
