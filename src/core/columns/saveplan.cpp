// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/columns/saveplan.h"

#include "core/engine/tabwrite.h"

#include "core/columns/tablelist.h"
#include "core/db/database.h"

#include <QCoreApplication>

namespace tw {

namespace {

// The messages are the Save to Database tab's own; the command line says
// the same words.
QString tr(const char *text)
{
    return QCoreApplication::translate("SaveTargetTab", text);
}

SavePlan refuse(SavePlan::Refusal refusal, QString message = {}, DbError error = {})
{
    SavePlan plan;
    plan.refusal = refusal;
    plan.message = std::move(message);
    plan.error = std::move(error);
    return plan;
}

} // namespace

SavePlan checkSaveTarget(const SaveTarget &target)
{
    using Refusal = SavePlan::Refusal;
    if (!target.hasText)
        return refuse(Refusal::NothingToSave,
                      tr("There is nothing to save.  Please open a file by selecting File menu/Open, or paste "
                         "some text into the text box on the Text/Lines tab."));
    if (target.table.isEmpty())
        return refuse(Refusal::NoTableName, tr("Please specify a table name."));
    if (target.methodText.isEmpty())
        return refuse(Refusal::NoProcessMethod, tr("Please specify a Process Method."));
    // A single space is a delimiter like any other; only nothing is refused.
    if (methodTakesDelimiter(target.methodText) && target.delimiter.isEmpty())
        return refuse(Refusal::NoDelimiter, tr("Please enter a delimiter."));
    if (target.databasePath.isEmpty())
        return refuse(Refusal::NoDatabase, tr("Please select a database."));

    SavePlan plan;
    plan.action = SavePlan::Action::Append;
    plan.request.table = target.table;
    plan.request.method = saveMethodOf(target.methodText);
    plan.request.delimiter = target.delimiter;
    plan.request.trimSpaces = target.trimSpaces;
    return plan;
}

SavePlan planSave(Database &database, const SaveTarget &target, SaveQuestions &questions)
{
    using Refusal = SavePlan::Refusal;
    SavePlan plan = checkSaveTarget(target);
    if (plan.refused())
        return plan;

    // A database that is not open yet is a file still to be made: it has no
    // tables, and it is made only once the plan says something is written.
    const Result<QString> found = database.isOpen() ? database.findTable(target.table)
                                                    : Result<QString>(DbError::make(ErrorNumber::ObjectNotFound));
    if (!found && found.error().number != ErrorNumber::ObjectNotFound)
        return refuse(Refusal::DatabaseError, {}, found.error());
    // The program's own tables (the column layout, named settings, saved
    // queries, the report title) are no target: appending would spoil them
    // and a replace would empty them. Checked on the name as typed and as
    // stored, so no spelling gets round it.
    if (!isListedTable(target.table) || (found && !isListedTable(found.value())))
        return refuse(Refusal::ProgramTable,
                      tr("The table name (%1) belongs to Tabwright's own tables.  Please choose another name.")
                          .arg(target.table));

    bool layoutRead = false;
    const auto readLayout = [&]() -> DbError {
        const Result<ColumnSpecs> rows = questions.columnLayout();
        if (!rows)
            return rows.error();
        plan.request.columns = rows.value();
        layoutRead = true;
        return {};
    };

    if (target.createFromLayout) {
        // The headings name the fields of a new table, so the layout is
        // needed even when the table turns out to be there already.
        if (const DbError error = readLayout(); error.isError())
            return refuse(Refusal::DatabaseError, {}, error);
        if (plan.request.columns.isEmpty())
            return refuse(Refusal::NoColumnLayout,
                          tr("Please select the Tabwrite Text tab and enter column headings; or, Select (saved) "
                             "Settings from the Settings tab.  The headings will be used to create field names "
                             "in the new table.  If you choose the Process Method 'Use specs on the Tabwrite "
                             "Text tab', you must also enter data in all other fields on the Tabwrite Text "
                             "tab."));
        if (!found) {
            // Every heading is checked before anything is created.
            const Result<TableDef> definition = tableFromColumns(target.table, plan.request.columns);
            if (!definition)
                return refuse(Refusal::HeadingRefused, {}, definition.error());
            plan.action = SavePlan::Action::Create;
            plan.definition = definition.value();
        }
    } else if (!found) {
        return refuse(Refusal::TableNotFound,
                      tr("This table name (%1) is not in %2.  Please verify the name.")
                          .arg(target.table, target.databasePath));
    }

    if (found) {
        plan.storedName = found.value();
        switch (questions.tableExists(target, plan.storedName)) {
        case ExistingTable::Append:
            plan.action = SavePlan::Action::Append;
            break;
        case ExistingTable::Replace:
            plan.action = SavePlan::Action::Replace;
            plan.request.replace = true;
            break;
        case ExistingTable::Cancel:
            return refuse(Refusal::Cancelled);
        }
    }

    if (plan.request.method == SaveMethod::ColumnLayout) {
        if (!layoutRead)
            if (const DbError error = readLayout(); error.isError())
                return refuse(Refusal::DatabaseError, {}, error);
        if (const QString refusal = startColumnRefusal(plan.request.columns); !refusal.isEmpty())
            return refuse(Refusal::LayoutRefused, refusal);
    }
    return plan;
}

DbError prepareTarget(Database &database, const SavePlan &plan)
{
    switch (plan.action) {
    case SavePlan::Action::Create:
        return database.createTable(plan.definition);
    case SavePlan::Action::Replace:
        // The run deletes the old records in its own transaction; without a
        // run there is nothing to wait for.
        if (plan.request.method == SaveMethod::Neither)
            return deleteAllRecords(database, plan.storedName);
        return {};
    case SavePlan::Action::Append:
        return {};
    case SavePlan::Action::Refuse:
        break;
    }
    return DbError::make(ErrorNumber::InvalidOperation);
}

} // namespace tw
