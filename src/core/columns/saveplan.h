// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/columns/tablesaver.h"
#include "core/db/dberror.h"
#include "core/db/fielddef.h"
#include "core/db/result.h"
#include "core/engine/textparams.h"

#include <QString>

// Everything decided before lines become records: whether the request can be
// saved at all, which table it goes to, and whether that table is created
// from the column layout, added to or emptied first. The Save to Database tab
// and "tabwright-cli save" both plan through here, so they refuse the same
// requests in the same order; each asks its own user (a question, an option)
// through SaveQuestions and says a refusal in its own way.
//
// Planning changes nothing in the database. prepareTarget() then carries out
// what the plan says before the run, except the deletion of a replace, which
// the run makes in its own transaction so that a failed replace keeps the old
// rows.

namespace tw {

class Database;

// What the user asked for.
struct SaveTarget
{
    bool hasText = false;
    QString table;        // as typed
    QString methodText;   // the "Process method:" box's text
    QString delimiter;
    QString databasePath; // as the messages name it; empty when none was chosen
    // The program creates the table from the column layout when it is not
    // there (the first two save options, --create); otherwise the table must
    // exist already.
    bool createFromLayout = false;
    bool trimSpaces = false; // "Trim spaces from values", --trim
};

// The answer to a table that is there already.
enum class ExistingTable { Append, Replace, Cancel };

// The host's side of planning.
class SaveQuestions
{
public:
    virtual ~SaveQuestions() = default;
    // The column layout; asked at most once, and only when the plan needs it
    // (to create the table, or to cut lines by the column method).
    virtual Result<ColumnSpecs> columnLayout() = 0;
    // The table is there already (storedName is its name as stored): add to
    // its records, delete them first, or save nothing.
    virtual ExistingTable tableExists(const SaveTarget &target, const QString &storedName) = 0;
};

struct SavePlan
{
    enum class Action { Refuse, Create, Append, Replace };
    // Why a plan refuses, mostly in the order the checks are made.
    enum class Refusal {
        None,
        NothingToSave,
        NoTableName,
        NoProcessMethod,
        NoDelimiter,
        NoDatabase,
        DatabaseError,  // looking the table up or reading the layout failed: error
        ProgramTable,   // one of the program's own tables
        NoColumnLayout, // a table is to be created and the layout has no rows
        HeadingRefused, // a heading cannot name a field: error says which
        LayoutRefused,  // lines are to be cut by a layout that cannot cut them
        TableNotFound,
        Cancelled,      // the user answered Cancel to "already there"
    };

    Action action = Action::Refuse;
    Refusal refusal = Refusal::None;
    // The message for a refusal; empty for DatabaseError, HeadingRefused
    // (error.description says it) and Cancelled (nothing is said).
    QString message;
    DbError error;

    // The run, for every action but Refuse. request.table is the name as
    // typed (the saver finds it without regard to case); request.columns is
    // the layout when it was read.
    SaveRequest request;
    QString storedName;  // Append, Replace: the table as stored
    TableDef definition; // Create: the new table

    bool refused() const { return action == Action::Refuse; }
};

// The checks that need no database: a text, a table name, a process method,
// a delimiter when the method takes one, a database. Refuses with the first
// that fails; otherwise Action::Append with an empty storedName, to be
// decided by planSave.
SavePlan checkSaveTarget(const SaveTarget &target);

// Every check and decision, in order: checkSaveTarget; the table looked up
// without regard to case; the program's own tables refused; with
// createFromLayout the layout read and needed not empty; a table that is
// there asked about (Append, Replace or Cancel); a new table's definition
// from the layout, every heading checked before anything is created; without
// createFromLayout, a table that is not there refused. The layout is also
// read when the method cuts lines by it. A database that is not open counts
// as a file not made yet, without tables.
SavePlan planSave(Database &database, const SaveTarget &target, SaveQuestions &questions);

// Makes the database ready for the run: creates the table (Create); deletes
// the records of a Replace only when there is no run (the method is neither
// of the two), since the run deletes them itself; nothing for Append.
DbError prepareTarget(Database &database, const SavePlan &plan);

} // namespace tw
