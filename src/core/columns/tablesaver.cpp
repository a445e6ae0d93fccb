// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/columns/tablesaver.h"

#include "core/columns/tablelist.h"
#include "core/db/database.h"
#include "core/db/identifier.h"
#include "core/db/rowinserter.h"
#include "core/engine/codepoints.h"

#include <QCoreApplication>
#include <QSet>

#include <limits>
#include <new>

namespace tw {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("TableSaver", text);
}

// Commits come at least this often, so a crash loses at most this much work.
constexpr qint64 commitMilliseconds = 1000;
// The clock is read once every so many lines; a line is short work.
constexpr int linesPerClockCheck = 16;

DbError refusedHeading(const QString &text)
{
    return DbError{ErrorNumber::InvalidName, text};
}

} // namespace

SaveMethod saveMethodOf(const QString &methodText)
{
    if (methodText == parseMethodText())
        return SaveMethod::Delimiter;
    if (methodText == columnSpecsMethodText())
        return SaveMethod::ColumnLayout;
    return SaveMethod::Neither;
}

Result<TableDef> tableFromColumns(const QString &table, const ColumnSpecs &columns)
{
    TableDef definition;
    definition.name = table;
    QSet<QString> seen;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const ColumnSpec &row = columns.at(i);
        const QString &heading = row.column_heading;
        const QString rowNumber = QString::number(i + 1);
        // Checked here rather than left to the engine, so that a wrong row
        // ends the command before the table exists.
        if (heading.isEmpty())
            return refusedHeading(tr("Row %1 of the column layout has no column heading, and every field of "
                                     "the new table needs a name.  Nothing was created or written.")
                                      .arg(rowNumber));
        if (!isValidFieldName(heading))
            return refusedHeading(tr("The column heading \"%1\" in row %2 of the column layout can't be a "
                                     "field name (it starts with a space or holds a control character).  "
                                     "Nothing was created or written.")
                                      .arg(heading, rowNumber));
        if (seen.contains(heading.toLower()))
            return refusedHeading(tr("The column heading \"%1\" in row %2 of the column layout names a field "
                                     "a second time (field names compare without regard to case).  Nothing "
                                     "was created or written.")
                                      .arg(heading, rowNumber));
        seen.insert(heading.toLower());
        if (!row.field_width || *row.field_width < 1 || *row.field_width > MaxTextSize)
            return refusedHeading(tr("The field width of \"%1\" in row %2 of the column layout must be a "
                                     "number from 1 to 255.  Nothing was created or written.")
                                      .arg(heading, rowNumber));
        definition.fields.append(FieldDef::text(heading, *row.field_width, true));
    }
    return definition;
}

DbError deleteAllRecords(Database &database, const QString &table)
{
    const Result<QString> stored = database.findTable(table);
    if (!stored)
        return stored.error();
    // The name is an identifier, never text pasted into the statement.
    return database.exec(QStringLiteral("DELETE FROM ") + quoteIdentifier(stored.value())).error();
}

TableSaver::TableSaver(Database &database, SaveRequest request, SaveObserver &observer)
    : m_database(database), m_request(std::move(request)), m_observer(observer)
{
}

TableSaver::~TableSaver()
{
    if (m_target && m_target->isOpen())
        m_target->rollback();
}

void TableSaver::abandon(const DbError &why)
{
    if (m_outcome.end != SaveOutcome::End::Failed)
        fail(why);
}

DbError TableSaver::start()
{
    m_target = std::make_unique<RowInserter>();
    const auto checks = m_observer.sharesTheDatabase() ? RowInserter::Checks::Engine
                                                       : RowInserter::Checks::InserterAlone;
    if (const DbError error = m_target->open(m_database, m_request.table, checks); error.isError()) {
        fail(error);
        return error;
    }
    m_fieldCount = int(m_target->fields().size());
    m_sizes.clear();
    for (const FieldDef &field : m_target->fields()) {
        const bool sized = field.type == FieldType::Text || field.type == FieldType::Binary;
        m_sizes.append(sized ? field.size : std::numeric_limits<int>::max());
    }
    // A replace must not leave the old records half gone: should the
    // database close under the run, what it wrote is dropped.
    m_target->setKeepOnClose(!m_request.replace);
    DbError error = m_target->begin();
    if (!error.isError() && m_request.replace)
        error = m_target->deleteAll();
    if (error.isError()) {
        fail(error);
        return error;
    }
    m_sinceCommit.start();
    m_warnMode = WarnMode::Ask;
    m_running = true;
    return {};
}

bool TableSaver::addText(QStringView text, bool moreFollows)
{
    const qsizetype size = text.size();
    const char16_t *data = text.utf16();
    qsizetype pos = 0;
    bool remainderTaken = false;
    while (m_running) {
        qint64 reached = 0;
        QStringView line;
        if (pos >= size) {
            // The end of the piece: what follows a last line break is a line
            // only when the working text goes on after this piece.
            if (!moreFollows || remainderTaken)
                break;
            reached = m_offset + size + 1;
            remainderTaken = true;
        } else {
            const char16_t *cr = std::char_traits<char16_t>::find(data + pos, size_t(size - pos), u'\r');
            if (cr) {
                const qsizetype at = cr - data;
                line = text.sliced(pos, at - pos);
                reached = m_offset + at + 1;
                pos = at + 1;
                // The line feed of a CR LF belongs to the break. Any other
                // character after a lone CR starts the next line.
                if (pos < size && data[pos] == u'\n')
                    ++pos;
            } else {
                line = text.sliced(pos);
                // Before a join the line ends at the join's carriage return.
                reached = m_offset + size + (moreFollows ? 1 : 0);
                pos = size;
                remainderTaken = true;
            }
        }
        if (!writeLine(line))
            break;
        if (!m_observer.lineDone(reached)) {
            m_outcome.end = SaveOutcome::End::Stopped;
            m_running = false;
            break;
        }
        if (!commitIfDue())
            break;
        if (pos >= size && remainderTaken)
            break;
    }
    m_offset += size + (moreFollows ? 2 : 0);
    return m_running;
}

bool TableSaver::writeLine(QStringView line)
{
    const bool filled = m_request.method == SaveMethod::Delimiter ? fillByDelimiter(line) : fillByColumns(line);
    if (!filled) {
        // The record being built is not stored; what was stored stays.
        m_outcome.end = SaveOutcome::End::Aborted;
        m_running = false;
        return false;
    }
    return storeRecord();
}

bool TableSaver::fillByDelimiter(QStringView line)
{
    // An empty line gives no values: a record of empty fields.
    if (line.isEmpty())
        return true;
    const QStringView delimiter = m_request.delimiter;
    if (delimiter.isEmpty())
        return m_fieldCount == 0 || checkFieldSizeAndWriteData(0, line);
    qsizetype scan = 0;
    for (int field = 0; field < m_fieldCount; ++field) {
        const qsizetype at = delimiter.size() == 1 ? line.indexOf(delimiter.front(), scan)
                                                   : line.indexOf(delimiter, scan);
        if (at < 0)
            return checkFieldSizeAndWriteData(field, line.sliced(scan));
        if (!checkFieldSizeAndWriteData(field, line.sliced(scan, at - scan)))
            return false;
        scan = at + delimiter.size();
        // A delimiter that ends the line is not followed by an empty value.
        if (scan >= line.size())
            break;
    }
    return true;
}

bool TableSaver::fillByColumns(QStringView line)
{
    // For an empty line no field is written.
    if (line.isEmpty())
        return true;
    const bool surrogates = cp::hasSurrogates(line);
    for (int field = 0; field < m_fieldCount; ++field) {
        // A field without a layout row, or a row whose start or count cell
        // is empty or out of range, gets the empty value.
        QStringView value = line.first(0);
        if (field < m_request.columns.size()) {
            const ColumnSpec &row = m_request.columns.at(field);
            if (row.get_data_from_column && row.number_of_characters && *row.get_data_from_column >= 1
                && *row.number_of_characters >= 0) {
                const qsizetype from = cp::indexOfColumn(line, *row.get_data_from_column, surrogates);
                const qsizetype to = cp::advance(line, from, *row.number_of_characters, surrogates);
                value = line.sliced(from, to - from);
            }
        }
        if (!checkFieldSizeAndWriteData(field, value))
            return false;
    }
    return true;
}

bool TableSaver::checkFieldSizeAndWriteData(int field, QStringView value)
{
    if (m_request.trimSpaces) {
        // Columns are padded with spaces, or with tabs in texts such as
        // /etc/services.
        const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
        while (!value.isEmpty() && blank(value.front()))
            value = value.sliced(1);
        while (!value.isEmpty() && blank(value.back()))
            value.chop(1);
    }
    const int limit = m_sizes.at(field);
    // Code units are never fewer than characters, so a value within the limit
    // in units fits; only a longer one needs its characters counted.
    if (value.size() > limit && cp::length(value, cp::hasSurrogates(value)) > limit) {
        if (m_warnMode == WarnMode::Ask) {
            // What is written so far is safe while the question waits; a
            // replace keeps its one transaction open instead, so that the
            // answer "abort" can still give the old records back.
            if (!m_request.replace && !commitPending())
                return true; // the run ends through m_running
            m_warnMode = m_observer.valueTooLong(m_target->fields().at(field).name);
            if (!m_request.replace) {
                if (const DbError error = m_target->begin(); error.isError()) {
                    fail(error);
                    return true;
                }
                m_sinceCommit.restart();
            }
        }
        if (m_warnMode == WarnMode::Abort)
            return false;
        ++m_outcome.valuesSkipped;
        return true;
    }
    m_target->setText(field, value);
    return true;
}

bool TableSaver::storeRecord()
{
    if (!m_running)
        return false;
    const DbError error = m_target->insert();
    if (!error.isError()) {
        ++m_pending;
        return true;
    }
    // The database was closed under the run, or cannot take records at all:
    // nothing more can be written, whatever the method.
    if (!m_target->isOpen() || endsEveryRun(error)) {
        fail(error);
        return false;
    }
    if (m_request.method == SaveMethod::Delimiter && !m_observer.recordRefused(error)) {
        fail(error);
        return false;
    }
    if (m_outcome.recordsRefused++ == 0)
        m_outcome.firstRefusal = error;
    return true;
}

bool TableSaver::commitIfDue()
{
    // A replace commits once, at the end.
    if (m_request.replace || ++m_linesSinceClockCheck < linesPerClockCheck)
        return true;
    m_linesSinceClockCheck = 0;
    if (m_sinceCommit.elapsed() < commitMilliseconds)
        return true;
    if (!commitPending())
        return false;
    if (const DbError error = m_target->begin(); error.isError()) {
        fail(error);
        return false;
    }
    m_sinceCommit.restart();
    return true;
}

bool TableSaver::commitPending()
{
    const DbError error = m_target->commit();
    if (error.isError()) {
        // The first error is the one that tells why: a commit that follows a
        // failed write only confirms that the rows are gone.
        if (m_outcome.end != SaveOutcome::End::Failed)
            fail(error);
        m_pending = 0;
        return false;
    }
    m_outcome.recordsWritten += m_pending;
    m_pending = 0;
    return true;
}

void TableSaver::fail(const DbError &error)
{
    m_outcome.end = SaveOutcome::End::Failed;
    m_outcome.error = error;
    m_running = false;
}

SaveOutcome TableSaver::finish()
{
    m_running = false;
    if (!m_target)
        return m_outcome;
    if (m_target->isOpen()) {
        // Stop keeps what was written, even in a replace: the user chose it.
        // A replace that failed or was aborted gives the old records back.
        const bool keep = !m_request.replace
            || m_outcome.end == SaveOutcome::End::Done || m_outcome.end == SaveOutcome::End::Stopped;
        if (keep) {
            const bool committed = commitPending();
            if (!committed && m_request.replace)
                m_outcome.oldRecordsKept = true;
        } else {
            m_target->rollback();
            m_pending = 0;
            m_outcome.oldRecordsKept = true;
        }
        m_target->close();
    } else if (m_target->closedUnder() == RowInserter::ClosedUnder::Committed) {
        m_outcome.recordsWritten += m_pending;
        m_pending = 0;
    } else if (m_request.replace) {
        m_outcome.oldRecordsKept = true;
    }
    m_pending = 0;
    return m_outcome;
}

bool endsEveryRun(const DbError &error)
{
    switch (error.number) {
    case ErrorNumber::DiskFull:
    case ErrorNumber::CouldNotLock:
    case ErrorNumber::ReadOnly:
    case ErrorNumber::PermissionDenied:
    case ErrorNumber::PathFileAccess:
    case ErrorNumber::OutOfMemory:
    case ErrorNumber::NotADatabase:
    case ErrorNumber::InvalidOperation:
    case ErrorNumber::NoTransaction:
        return true;
    default:
        return false;
    }
}

QString saveFailureMessage(const SaveOutcome &outcome, const QString &table, const QString &databasePath)
{
    QString why;
    switch (outcome.error.number) {
    case ErrorNumber::DiskFull:
        why = tr("The disk is full: there is no space left to write to %1.").arg(databasePath);
        break;
    case ErrorNumber::CouldNotLock:
        why = tr("The database %1 is locked by another program.").arg(databasePath);
        break;
    case ErrorNumber::ReadOnly:
        why = tr("The database %1 is read-only.").arg(databasePath);
        break;
    case ErrorNumber::PermissionDenied:
        why = tr("Tabwright may not write to %1 (permission denied).").arg(databasePath);
        break;
    case ErrorNumber::OutOfMemory:
        why = tr("There is not enough memory to go on writing to %1.").arg(databasePath);
        break;
    default:
        why = outcome.error.description.isEmpty() ? standardDescription(outcome.error.number)
                                                  : outcome.error.description;
        if (!why.endsWith(u'.'))
            why += u'.';
        break;
    }
    QString kept;
    if (outcome.oldRecordsKept)
        kept = tr("Nothing was changed: the table %1 keeps its old records.").arg(table);
    else if (outcome.recordsWritten == 0)
        kept = tr("No records were written to the table %1.").arg(table);
    else if (outcome.recordsWritten == 1)
        kept = tr("The one record written to the table %1 before that was kept; the lines after it were not "
                  "saved.").arg(table);
    else
        kept = tr("The %1 records written to the table %2 before that were kept; the lines after them were not "
                  "saved.").arg(outcome.recordsWritten).arg(table);
    return why + QStringLiteral("  ") + kept;
}

SaveOutcome saveText(Database &database, const SaveRequest &request, QStringView text, SaveObserver &observer)
{
    TableSaver saver(database, request, observer);
    if (!saver.start().isError()) {
        try {
            saver.addText(text, false);
        } catch (const std::bad_alloc &) {
            // A line too long to hold: the run fails like any other and says
            // what the table kept.
            saver.abandon(DbError::make(ErrorNumber::OutOfMemory));
        }
    }
    return saver.finish();
}

} // namespace tw
