// SPDX-License-Identifier: GPL-3.0-or-later
// The "&Save" button of the Save to Database tab: the working text becomes
// records of the target table, cut at a delimiter or by the column layout.
// The run itself is the core's TableSaver; this is the window around it:
// the checks, the questions and the messages, Stop and the progress bar.

#include "gui/manipulator/savetargettab.h"

#include "core/columns/columnspecs.h"
#include "core/columns/tablelist.h"
#include "core/columns/tablesaver.h"
#include "core/db/session.h"
#include "gui/manipulator/processingframe.h"
#include "gui/shell/errorreporter.h"
#include "gui/shell/toolkit.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

QString tr(const char *text)
{
    return SaveTargetTab::tr(text);
}

QString choiceTitle()
{
    return tr("Tabwright - It's your choice...");
}

bool sameFile(const QString &a, const QString &b)
{
    return QFileInfo(a).absoluteFilePath().toLower() == QFileInfo(b).absoluteFilePath().toLower();
}

// One press of "&Save" from the start of the run on: asks the size
// questions, lets the window breathe and answers Stop.
class TableSaveRun : public tw::SaveObserver
{
public:
    TableSaveRun(ProcessingFrame &window, tw::Database &target, QString table, QString delimiter)
        : m_window(window), m_target(target), m_table(std::move(table)),
          m_delimiter(std::move(delimiter))
    {
    }

    tw::SaveOutcome saveUsingViewTab(const QString &text)
    {
        tw::SaveRequest request{m_table, tw::SaveMethod::Delimiter, m_delimiter, {}};
        return run(request, text);
    }

    tw::SaveOutcome saveUsingColumnSpecs(const QString &text, const tw::ColumnSpecs &columns)
    {
        tw::SaveRequest request{m_table, tw::SaveMethod::ColumnLayout, {}, columns};
        return run(request, text);
    }

    // Whether the error that ended the run was shown already.
    bool errorShown() const { return m_errorShown; }

    bool lineDone(qint64 textPosition) override
    {
        m_window.yieldIfDue(textPosition);
        return m_window.goOn();
    }

    tw::WarnMode valueTooLong(const QString &fieldName) override
    {
        Toolkit &toolkit = Toolkit::instance();
        const int goOn = toolkit.message(
            tr("The data that's about to be written is too large for the size of the current field (%1).  "
               "The write will be aborted.  Would you like to process the remaining data?")
                .arg(fieldName),
            Buttons::YesNo, Icon::Question, choiceTitle());
        if (goOn == Answer::No)
            return tw::WarnMode::Abort;
        const int warnAgain = toolkit.message(tr("Would you like to be warned again, if necessary?"),
                                              Buttons::YesNo, Icon::Question, choiceTitle());
        return warnAgain == Answer::No ? tw::WarnMode::SkipSilently : tw::WarnMode::Ask;
    }

    bool recordRefused(const tw::DbError &error) override
    {
        // The errors the reporter passes over let the run go on.
        m_errorShown = errors::report(error);
        return !m_errorShown;
    }

private:
    tw::SaveOutcome run(const tw::SaveRequest &request, const QString &text)
    {
        m_window.startStoppableLoop();
        return tw::saveText(m_target, request, text, *this);
    }

    ProcessingFrame &m_window;
    tw::Database &m_target;
    QString m_table;
    QString m_delimiter;
    bool m_errorShown = false;
};

} // namespace

void SaveTargetTab::Command10_Click()
{
    // A save reads the text while it lets events through; a second one, or a
    // Process run that would replace the text, waits for it to end.
    if (m_window.isBusy())
        return;
    Toolkit &toolkit = Toolkit::instance();
    const QString text = m_window.text();
    if (text.isEmpty()) {
        toolkit.message(tr("There is nothing to save.  Please open a file by selecting File menu/Open, or paste "
                           "some text into the text box on the Text/Lines tab."));
        return;
    }
    const QString table = Combo17->currentText();
    if (table.isEmpty()) {
        toolkit.message(tr("Please specify a table name."));
        Combo17->setFocus();
        return;
    }
    const QString method = Combo18->currentText();
    if (method.isEmpty()) {
        toolkit.message(tr("Please specify a Process Method."));
        Combo18->setFocus();
        return;
    }
    if (tw::methodTakesDelimiter(method) && Text10->text().isEmpty()) {
        toolkit.message(tr("Please enter a delimiter."));
        Text10->setFocus();
        return;
    }
    if (m_session.currentPath().isEmpty()) {
        toolkit.message(tr("Please select a database."));
        Command11->setFocus();
        return;
    }
    tw::Database &db = m_session.database();
    const auto report = [](const tw::DbError &error) { errors::report(error); };

    // The column layout lives in the default database; a second handle on it
    // only when the target is another file.
    const auto readLayout = [&]() -> tw::Result<tw::ColumnSpecs> {
        if (db.isOpen() && sameFile(db.name(), m_session.defaultPath()))
            return tw::readColumnSpecs(db);
        tw::Database layoutDb;
        if (const tw::DbError error = layoutDb.open(m_session.defaultPath()); error.isError())
            return error;
        return tw::readColumnSpecs(layoutDb);
    };

    const tw::Result<QString> found = db.findTable(table);
    if (!found && found.error().number != tw::ErrorNumber::ObjectNotFound) {
        report(found.error());
        return;
    }
    // The program's own tables (the column layout, named settings, saved
    // queries, the report title) are no target: appending would spoil them
    // and "No" would empty them.
    if (!tw::isListedTable(table) || (found && !tw::isListedTable(found.value()))) {
        toolkit.message(tr("The table name (%1) belongs to Tabwright's own tables.  Please choose another "
                           "name.").arg(table));
        Combo17->setFocus();
        return;
    }

    int answer = Answer::NotAsked;
    std::optional<tw::ColumnSpecs> layout;
    if (Option1->isChecked() || Option2->isChecked()) {
        const tw::Result<tw::ColumnSpecs> rows = readLayout();
        if (!rows) {
            report(rows.error());
            return;
        }
        if (rows.value().isEmpty()) {
            toolkit.message(tr("Please select the Tabwrite Text tab and enter column headings; or, Select (saved) "
                               "Settings from the Settings tab.  The headings will be used to create field names "
                               "in the new table.  If you choose the Process Method 'Use specs on the Tabwrite "
                               "Text tab', you must also enter data in all other fields on the Tabwrite Text "
                               "tab."));
            return;
        }
        layout = rows.value();
        if (found) {
            answer = toolkit.message(tr("This table name (%1) is already in %2.  Would you like to add to the "
                                        "current records?")
                                         .arg(table, m_session.currentPath()),
                                     Buttons::YesNoCancel, Icon::Question, choiceTitle());
            if (answer == Answer::Cancel)
                return;
            if (answer == Answer::No) {
                HourglassGuard hourglass;
                if (const tw::DbError error = tw::deleteAllRecords(db, found.value()); error.isError()) {
                    report(error);
                    return;
                }
            }
        } else {
            // Every heading is checked before anything is created.
            const tw::Result<tw::TableDef> definition = tw::tableFromColumns(table, *layout);
            if (!definition) {
                report(definition.error());
                return;
            }
            HourglassGuard hourglass;
            if (const tw::DbError error = db.createTable(definition.value()); error.isError()) {
                report(error);
                return;
            }
        }
    } else {
        if (!found) {
            toolkit.message(tr("This table name (%1) is not in %2.  Please verify the name.")
                                .arg(table, m_session.currentPath()));
            Combo17->setFocus();
            return;
        }
        answer = toolkit.message(tr("Would you like to add to the current records?"), Buttons::YesNoCancel,
                                 Icon::Question, choiceTitle());
        if (answer == Answer::Cancel)
            return;
        if (answer == Answer::No) {
            HourglassGuard hourglass;
            if (const tw::DbError error = tw::deleteAllRecords(db, found.value()); error.isError()) {
                report(error);
                return;
            }
        }
    }

    const tw::SaveMethod saveMethod = tw::saveMethodOf(method);
    if (saveMethod == tw::SaveMethod::ColumnLayout && !layout) {
        const tw::Result<tw::ColumnSpecs> rows = readLayout();
        if (!rows) {
            report(rows.error());
            return;
        }
        layout = rows.value();
    }

    if (!m_window.beginReadingRun(text.size()))
        return;
    TableSaveRun run(m_window, db, table, Text10->text());
    std::optional<tw::SaveOutcome> outcome;
    if (saveMethod == tw::SaveMethod::Delimiter)
        outcome = run.saveUsingViewTab(text);
    else if (saveMethod == tw::SaveMethod::ColumnLayout)
        outcome = run.saveUsingColumnSpecs(text, *layout);
    m_window.endReadingRun();
    if (outcome) {
        if (outcome->end == tw::SaveOutcome::End::Aborted) {
            toolkit.message(tr("You can use a database editor to enlarge the field size, then process the data "
                               "again.  The maximum field size is 255."));
        } else if (outcome->end == tw::SaveOutcome::End::Failed && !run.errorShown()) {
            report(outcome->error);
        } else if (outcome->recordsRefused > 0 && saveMethod == tw::SaveMethod::ColumnLayout) {
            // The run went on past records the engine refused; say so once
            // rather than leave the user to count the rows.
            report(outcome->firstRefusal);
        }
    }

    m_rememberedTable = Combo17->currentText();
    refreshDbaseTableList();
    if (Combo17->count() > 0)
        selectListEntry(Combo17, m_rememberedTable);
    else
        Combo17->setEditText(QString());
}
