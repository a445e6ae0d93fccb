// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/db/dberror.h"
#include "core/db/fielddef.h"
#include "core/db/result.h"
#include "core/engine/textparams.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringView>

#include <memory>

// Writing lines of a text as records of a table: each line cut into values at
// a delimiter or by the column layout, each value checked against its field's
// size. No widgets: the window and the command line both run it, and ask
// their user (or their options) through a SaveObserver.

namespace tw {

class Database;
class RowInserter;

// How the "Process method:" box says to cut each line.
enum class SaveMethod { Delimiter, ColumnLayout, Neither };
SaveMethod saveMethodOf(const QString &methodText);

// What happens to a value longer than its field. Ask: put the question (the
// value is not written whatever the answer); SkipSilently: leave such values
// out without asking; Abort: end the run.
enum class WarnMode { Ask, SkipSilently, Abort };

// The host of a run.
class SaveObserver
{
public:
    virtual ~SaveObserver() = default;
    // After every line, with the text position reached (the position of the
    // carriage return that ended the line, counted over the whole text, or
    // the text's length). Returning false ends the run, as Stop does.
    virtual bool lineDone(qint64 textPosition) = 0;
    // A value does not fit while the warn mode is Ask: the answer becomes the
    // warn mode.
    virtual WarnMode valueTooLong(const QString &fieldName) = 0;
    // The delimiter method: the engine refused a record. Returning true goes
    // on with the next line (the record is lost), false ends the run. The
    // column layout method always goes on and only counts such records.
    virtual bool recordRefused(const DbError &error) = 0;
    // Whether anything else may use the database while the run goes on (a
    // window lets events through between lines). A host that holds it alone
    // lets the saver apply the table's own rules itself, which is faster.
    virtual bool sharesTheDatabase() const { return true; }
};

struct SaveRequest
{
    QString table; // as typed; found without regard to case
    SaveMethod method = SaveMethod::Neither;
    QString delimiter;
    ColumnSpecs columns;
    // The table's records go in the run's own transaction, with the new ones:
    // a run that fails or aborts leaves them as they were.
    bool replace = false;
    // Spaces and tabs before and after each value are left out (the padding
    // of fixed-width text), before the value is measured against its field.
    bool trimSpaces = false;
};

struct SaveOutcome
{
    enum class End { Done, Stopped, Aborted, Failed };
    End end = End::Done;
    // Committed: in the table when the run was over. Records written during
    // the run and rolled back with it are not counted.
    qint64 recordsWritten = 0;
    qint64 valuesSkipped = 0;  // did not fit their fields
    qint64 recordsRefused = 0; // refused by the engine and passed over
    DbError firstRefusal;      // the first of those
    DbError error;             // what ended a Failed run
    // A replace that did not go through: the table holds its old records.
    bool oldRecordsKept = false;
};

// The one message for a Failed run: why it ended (a full disk, a database
// another program holds, the engine's own words) and what the table holds
// now. databasePath names the file as the user knows it.
QString saveFailureMessage(const SaveOutcome &outcome, const QString &table, const QString &databasePath);

// Whether an engine error means the database cannot take records at all (a
// full disk, a locked or read-only file, a failed write) rather than that
// one record was refused for its values. Such an error ends a run whatever
// the method.
bool endsEveryRun(const DbError &error);

// The definition of a new table from the column layout: one text field per
// row, named by its heading as stored, of the row's field width, taking
// zero-length texts. An error names the row whose heading or width the
// engine would refuse (3125), so nothing is created when one is wrong.
Result<TableDef> tableFromColumns(const QString &table, const ColumnSpecs &columns);

// Deletes every record of a table, named without regard to case.
DbError deleteAllRecords(Database &database, const QString &table);

// The lines of a text as a save reads them: a line ends at a carriage return
// and a line feed right after it belongs to the break; the text's remainder
// after the last break is a line only when it is not empty. When more text
// follows (blocks of whole lines of the working text, which are joined by
// CR LF), the remainder is always a line.
//
// Records are written in transactions, committed at least once a second of
// work and whenever the run ends, however it ends, so a stopped or aborted
// run keeps every record stored before, and a crash loses at most the last
// second's records. A replace is the exception: the old records are deleted
// and the new ones written in one transaction, committed only when the run
// is done or stopped, so a crash, a kill, a full disk or an abort leaves the
// table as it was.
class TableSaver
{
public:
    TableSaver(Database &database, SaveRequest request, SaveObserver &observer);
    // A saver dropped without finish() (an exception went through the run)
    // keeps nothing of its open transaction.
    ~TableSaver();
    TableSaver(const TableSaver &) = delete;
    TableSaver &operator=(const TableSaver &) = delete;

    // Opens the target and its first transaction. On an error the run is
    // over before it started (the outcome says Failed).
    DbError start();
    // Writes the lines of a piece of the text; false once the run has ended
    // (Stop, an abort, an error). Pieces are whole lines of the working text.
    bool addText(QStringView text, bool moreFollows);
    // Commits and closes; the run's outcome.
    SaveOutcome finish();
    // Ends the run for a reason of the host's own (memory ran out while it
    // read the text): the run has failed with that error, and finish() then
    // keeps or gives back what was written as for any failure.
    void abandon(const DbError &why);

    const SaveOutcome &outcome() const { return m_outcome; }

private:
    bool writeLine(QStringView line);
    bool fillByDelimiter(QStringView line);
    bool fillByColumns(QStringView line);
    // Checks a value against its field and binds it; false when the run aborts.
    bool checkFieldSizeAndWriteData(int field, QStringView value);
    bool storeRecord();
    bool commitIfDue();
    // Commits what was written since the last commit and counts it; false
    // (and the run failed) when the commit did not go through.
    bool commitPending();
    void fail(const DbError &error);

    Database &m_database;
    SaveRequest m_request;
    SaveObserver &m_observer;
    std::unique_ptr<RowInserter> m_target;
    QList<int> m_sizes; // per field: the most characters it takes
    int m_fieldCount = 0;
    WarnMode m_warnMode = WarnMode::Ask;
    SaveOutcome m_outcome;
    qint64 m_pending = 0; // records stored since the last commit
    bool m_running = false;
    qint64 m_offset = 0; // position of the current piece in the whole text
    QElapsedTimer m_sinceCommit;
    int m_linesSinceClockCheck = 0;
};

// One whole run over a text held whole (the window's working text).
SaveOutcome saveText(Database &database, const SaveRequest &request, QStringView text, SaveObserver &observer);

} // namespace tw
