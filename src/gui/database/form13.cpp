// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/database/form13.h"

#include "core/db/session.h"
#include "core/grids/gridmodel.h"
#include "gui/database/recordgrid.h"
#include "gui/shell/toolkit.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

Form13::Form13(tw::DatabaseSession &session, QWidget *parent)
    : QWidget(parent), m_session(session), m_grid(new RecordGrid(this))
{
    setObjectName(QStringLiteral("Form13"));
    setWindowTitle(tr("Opened Table"));
    grdDataGridCaption = m_grid->grdDataGridCaption;
    grdDataGrid = m_grid->grdDataGrid;
    Data1 = m_grid->Data1;
    picButtons = m_grid->picButtons;
    Command2 = m_grid->Command2;
    Command1 = m_grid->Command1;
    cmdClose = m_grid->cmdClose;
    cmdFilter = m_grid->cmdFilter;
    cmdSort = m_grid->cmdSort;
    cmdRefresh = m_grid->cmdRefresh;
    Command2->setToolTip(tr("Print what's currently VISIBLE in this window."));

    auto layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);

    connect(cmdRefresh, &QPushButton::clicked, this, &Form13::cmdRefresh_Click);
    connect(Command1, &QPushButton::clicked, this, &Form13::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form13::Command2_Click);
    connect(cmdClose, &QPushButton::clicked, this, &Form13::cmdClose_Click);
    connect(&m_session, &tw::DatabaseSession::aboutToSwitch, this, [this] {
        closeTable();
        Q_EMIT closeRequested();
    });
}

Form13::~Form13() = default;

tw::GridModel *Form13::model() const
{
    return m_grid->model();
}

void Form13::focusGrid()
{
    grdDataGrid->setFocus();
}

void Form13::commitWithoutAsking()
{
    m_grid->commitWithoutAsking();
}

bool Form13::sortRecords(const QString &request)
{
    return m_grid->sortRecords(request);
}

bool Form13::filterRecords()
{
    return m_grid->filterRecords();
}

void Form13::showRecordPosition()
{
    m_grid->showRecordPosition();
}

void Form13::restoreRecordPosition(qint64 position)
{
    m_grid->restoreRecordPosition(position);
}

qint64 Form13::currentPosition() const
{
    return m_grid->currentPosition();
}

tw::DbError Form13::openTable(const QString &table)
{
    m_tableName = table;
    m_justOpened = true;
    tw::GridModel *rows = model();
    const tw::DbError error = rows->open(m_session.database(), tw::QueryShape(table));
    if (!error.isError())
        m_tableName = rows->tableName();
    m_grid->clearFilterState();
    if (rows->rowCount() > 0)
        grdDataGrid->setCurrentIndex(rows->index(0, 0));
    showRecordPosition();
    return error;
}

void Form13::setCaptions(const QString &windowCaption, const QString &gridCaption)
{
    setWindowTitle(windowCaption);
    grdDataGridCaption->setText(gridCaption);
}

void Form13::closeTable()
{
    // A row being edited is written (after the question) before its rows go.
    model()->submit();
    model()->close();
    m_tableName.clear();
}

void Form13::Form_Activate()
{
    if (m_justOpened) {
        m_justOpened = false;
        return;
    }
    tw::GridModel *rows = model();
    if (m_tableName.isEmpty() || rows->hasPendingEdit())
        return;
    tw::Database &database = m_session.database();
    const qint64 position = rows->recordCount() > 0 ? currentPosition() : -1;
    // The filter and order the user chose stay: the counter and the grid's
    // caption keep describing the rows shown.
    const tw::QueryShape shape = rows->isOpen() ? rows->shape() : tw::QueryShape(m_tableName);
    if (rows->open(database, shape).isError() && rows->open(database, tw::QueryShape(m_tableName)).isError())
        return;
    const qint64 count = rows->recordCount();
    if (count > 0)
        restoreRecordPosition(position >= 0 && position < count ? position : count - 1);
    showRecordPosition();
}

void Form13::cmdRefresh_Click()
{
    model()->submit();
    const qint64 position = currentPosition();
    if (const tw::DbError error = model()->requery(); error.isError())
        m_grid->reportError(error);
    restoreRecordPosition(position);
    showRecordPosition();
    if (Command1->isEnabled())
        Command1->setFocus();
}

void Form13::Command1_Click()
{
    cmdRefresh->setText(tr("&Refresh"));
    cmdFilter->setFocus();
    Command1->setEnabled(false);
    model()->submit();
    const RecordGrid::ViewPlace place = m_grid->viewPlace();
    if (const tw::DbError error = model()->reshape(model()->shape().unshaped()); error.isError())
        m_grid->reportError(error);
    m_grid->showFirstRow(place);
    showRecordPosition();
    grdDataGridCaption->clear();
}

void Form13::Command2_Click()
{
    // What is on the screen now, as one picture scaled onto the page.
    const QPixmap image = grab();
    QPrinter printer;
    Toolkit &toolkit = Toolkit::instance();
    if (!toolkit.printerDialog(printer, tr("Tabwrite - Printer Setup")))
        return;
    toolkit.printJob(printer, [&image](QPainter &painter) {
        const QRect page = painter.viewport();
        QSize size = image.size();
        size.scale(page.size(), Qt::KeepAspectRatio);
        painter.setViewport(page.x(), page.y(), size.width(), size.height());
        painter.setWindow(image.rect());
        painter.drawPixmap(0, 0, image);
    });
}

void Form13::cmdClose_Click()
{
    Q_EMIT closeRequested();
}

void Form13::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        Q_EMIT closeRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}
