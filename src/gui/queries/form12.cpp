// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/queries/form12.h"

#include "core/db/session.h"
#include "core/grids/adhocreport.h"
#include "core/grids/gridmodel.h"
#include "gui/database/recordgrid.h"
#include "gui/shell/errorreporter.h"
#include "gui/shell/toolkit.h"
#include "report/reportpainter.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

Form12::Form12(tw::DatabaseSession &session, QWidget *parent)
    : QWidget(parent), m_session(session), m_grid(new RecordGrid(this))
{
    setObjectName(QStringLiteral("Form12"));
    setWindowTitle(tr("Queries"));
    grdDataGrid = m_grid->grdDataGrid;
    Data1 = m_grid->Data1;
    Command2 = m_grid->Command2;
    Command1 = m_grid->Command1;
    cmdRefresh = m_grid->cmdRefresh;
    Command2->setToolTip(tr("Print ALL fields"));

    auto layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);

    connect(cmdRefresh, &QPushButton::clicked, this, &Form12::cmdRefresh_Click);
    connect(Command1, &QPushButton::clicked, this, &Form12::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form12::Command2_Click);
    connect(m_grid->cmdClose, &QPushButton::clicked, this, &Form12::closeRequested);
    connect(&m_session, &tw::DatabaseSession::aboutToSwitch, this, [this] {
        closeQuery();
        Q_EMIT closeRequested();
    });
}

Form12::~Form12() = default;

tw::GridModel *Form12::model() const
{
    return m_grid->model();
}

bool Form12::showQuery(const tw::QueryDef &query, const QString &caption)
{
    // A row being edited is written (after the question) before new rows come.
    model()->submit();
    m_grid->clearFilterState();
    m_query = query;
    m_justOpened = true;
    setWindowTitle(caption);
    tw::GridModel *rows = model();
    const tw::DbError error = rows->openQuery(m_session.database(), m_query);
    if (error.isError()) {
        errors::report(error);
        return false;
    }
    if (rows->rowCount() > 0)
        grdDataGrid->setCurrentIndex(rows->index(0, 0));
    m_grid->showRecordPosition();
    return true;
}

void Form12::closeQuery()
{
    model()->submit();
    model()->close();
}

void Form12::Form_Activate()
{
    if (m_justOpened) {
        m_justOpened = false;
        return;
    }
    if (!model()->isOpen() || model()->hasPendingEdit())
        return;
    cmdRefresh_Click();
}

void Form12::cmdRefresh_Click()
{
    tw::GridModel *rows = model();
    rows->submit();
    const qint64 position = m_grid->currentPosition();
    // Unfiltered, the query runs again (sorting goes with it); filtered, the
    // filtered rows are read again.
    const bool filtered = cmdRefresh->text() == tr("Re-Filter");
    const tw::DbError error = filtered ? rows->requery() : rows->openQuery(m_session.database(), m_query);
    if (error.isError())
        errors::report(error);
    m_grid->restoreRecordPosition(position);
    m_grid->showRecordPosition();
    if (Command1->isEnabled())
        Command1->setFocus();
}

void Form12::Command1_Click()
{
    m_grid->clearFilterState();
    m_grid->cmdFilter->setFocus();
    cmdRefresh_Click();
}

void Form12::Command2_Click()
{
    model()->submit();
    Toolkit &toolkit = Toolkit::instance();
    tw::AdHocReport report(m_session.database(), m_session.defaultPath(), m_query);
    {
        HourglassGuard hourglass;
        const tw::AdHocReport::State state = report.prepare();
        hourglass.release();
        switch (state) {
        case tw::AdHocReport::State::Ready:
            break;
        case tw::AdHocReport::State::NoFrom:
            toolkit.message(tr("The SQL statement does not contain a FROM clause, so printing in not possible."));
            return;
        case tw::AdHocReport::State::NoData:
            toolkit.message(tr("No data to print."));
            return;
        case tw::AdHocReport::State::Failed:
            errors::report(report.error());
            return;
        }
    }
    // Seven columns read best across the page; the dialog may change it.
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(report.title());
    if (!toolkit.printerDialog(printer, tr("Tabwrite - Printer Setup")))
        return;
    tw::DbError error;
    {
        HourglassGuard hourglass;
        toolkit.printJob(printer, [&](QPainter &painter) {
            ReportPainter pages(painter, printer);
            error = report.print(pages);
        });
    }
    if (error.isError())
        errors::report(error);
}

void Form12::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        Q_EMIT closeRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}
