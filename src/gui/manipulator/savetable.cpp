// SPDX-License-Identifier: GPL-3.0-or-later
// The "&Save" button of the Save to Database tab: the working text becomes
// records of the target table, cut at a delimiter or by the column layout.
// The run itself is the core's TableSaver; this is the window around it:
// the checks, the questions and the messages, Stop and the progress bar.

#include "gui/manipulator/savetargettab.h"

#include "core/columns/columnspecs.h"
#include "core/columns/saveplan.h"
#include "core/columns/tablelist.h"
#include "core/columns/tablesaver.h"
#include "core/db/session.h"
#include "gui/manipulator/processingframe.h"
#include "gui/shell/errorreporter.h"
#include "gui/shell/toolkit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLocale>
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
    TableSaveRun(ProcessingFrame &window, tw::Database &target) : m_window(window), m_target(target) {}

    // The request as planned: the table, the method with its delimiter or
    // column layout, whether the old records go and whether values are trimmed.
    tw::SaveOutcome save(const tw::SaveRequest &request, const QString &text)
    {
        m_window.startStoppableLoop();
        return tw::saveText(m_target, request, text, *this);
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
    ProcessingFrame &m_window;
    tw::Database &m_target;
    bool m_errorShown = false;
};

// What the status bar says once a save is over.
QString saveNews(const tw::SaveOutcome &outcome, const QString &table)
{
    const QLocale locale;
    const QString records = locale.toString(outcome.recordsWritten);
    const QString skipped = outcome.valuesSkipped == 0
                                ? QString()
                                : tr(", %1 values too long left out").arg(locale.toString(outcome.valuesSkipped));
    switch (outcome.end) {
    case tw::SaveOutcome::End::Done:
        if (outcome.recordsWritten == 1)
            return tr("1 record written to %1").arg(table) + skipped;
        return tr("%1 records written to %2").arg(records, table) + skipped;
    case tw::SaveOutcome::End::Stopped:
        return tr("Stopped: %1 records kept").arg(records) + skipped;
    case tw::SaveOutcome::End::Aborted:
    case tw::SaveOutcome::End::Failed:
        if (outcome.oldRecordsKept)
            return tr("Not saved: %1 keeps its old records").arg(table);
        return tr("Save ended early: %1 records kept").arg(records);
    }
    return {};
}

} // namespace

void SaveTargetTab::Command10_Click()
{
    // A save reads the text while it lets events through; a second one, or a
    // Process run that would replace the text, waits for it to end.
    if (m_window.isBusy())
        return;
    Toolkit &toolkit = Toolkit::instance();
    const QString text = m_window.text();
    tw::Database &db = m_session.database();
    const auto report = [](const tw::DbError &error) { errors::report(error); };

    // The plan's questions, put to the user. The column layout lives in the
    // default database; a second handle on it only when the target is
    // another file.
    class Questions : public tw::SaveQuestions
    {
    public:
        Questions(tw::Database &db, const QString &defaultDbPath) : m_db(db), m_defaultDbPath(defaultDbPath) {}

        tw::Result<tw::ColumnSpecs> columnLayout() override
        {
            if (m_db.isOpen() && sameFile(m_db.name(), m_defaultDbPath))
                return tw::readColumnSpecs(m_db);
            tw::Database layoutDb;
            if (const tw::DbError error = layoutDb.open(m_defaultDbPath); error.isError())
                return error;
            return tw::readColumnSpecs(layoutDb);
        }

        tw::ExistingTable tableExists(const tw::SaveTarget &target, const QString &) override
        {
            const QString question =
                target.createFromLayout
                    ? tr("This table name (%1) is already in %2.  Would you like to add to the current records?")
                          .arg(target.table, target.databasePath)
                    : tr("Would you like to add to the current records?");
            const int answer = Toolkit::instance().message(question, Buttons::YesNoCancel, Icon::Question,
                                                           choiceTitle());
            if (answer == Answer::Cancel)
                return tw::ExistingTable::Cancel;
            return answer == Answer::No ? tw::ExistingTable::Replace : tw::ExistingTable::Append;
        }

    private:
        tw::Database &m_db;
        QString m_defaultDbPath;
    };

    tw::SaveTarget target;
    target.hasText = !text.isEmpty();
    target.table = Combo17->currentText();
    target.methodText = Combo18->currentText();
    target.delimiter = Text10->text();
    target.databasePath = m_session.currentPath();
    target.createFromLayout = Option1->isChecked() || Option2->isChecked();
    target.trimSpaces = CheckTrim->isChecked();
    Questions questions(db, m_session.defaultPath());
    const tw::SavePlan plan = tw::planSave(db, target, questions);
    if (plan.refused()) {
        using Refusal = tw::SavePlan::Refusal;
        switch (plan.refusal) {
        case Refusal::DatabaseError:
        case Refusal::HeadingRefused:
            report(plan.error);
            return;
        case Refusal::Cancelled:
            return;
        default:
            break;
        }
        toolkit.message(plan.message);
        switch (plan.refusal) {
        case Refusal::NoTableName:
        case Refusal::ProgramTable:
        case Refusal::TableNotFound:
            Combo17->setFocus();
            break;
        case Refusal::NoProcessMethod:
            Combo18->setFocus();
            break;
        case Refusal::NoDelimiter:
            Text10->setFocus();
            break;
        case Refusal::NoDatabase:
            Command11->setFocus();
            break;
        default:
            break;
        }
        return;
    }
    if (plan.action != tw::SavePlan::Action::Append) {
        HourglassGuard hourglass;
        if (const tw::DbError error = tw::prepareTarget(db, plan); error.isError()) {
            report(error);
            return;
        }
    }
    const QString &table = target.table;
    const tw::SaveMethod saveMethod = plan.request.method;

    if (!m_window.beginReadingRun(text.size()))
        return;
    TableSaveRun run(m_window, db);
    std::optional<tw::SaveOutcome> outcome;
    if (saveMethod != tw::SaveMethod::Neither)
        outcome = run.save(plan.request, text);
    m_window.endReadingRun();
    if (outcome) {
        m_window.announce(saveNews(*outcome, plan.storedName.isEmpty() ? table : plan.storedName));
        if (outcome->end == tw::SaveOutcome::End::Aborted) {
            toolkit.message(tr("You can use a database editor to enlarge the field size, then process the data "
                               "again.  The maximum field size is 255."));
        } else if (outcome->end == tw::SaveOutcome::End::Failed && !run.errorShown()) {
            // Why the run ended and what the table holds now, in one message.
            toolkit.message(tw::saveFailureMessage(*outcome, table, target.databasePath), Buttons::Ok,
                            Icon::Information, tr("Tabwright - Sorry..."));
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
