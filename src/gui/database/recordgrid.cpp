// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/database/recordgrid.h"

#include "gui/shell/celleditdelegate.h"
#include "core/grids/gridmodel.h"
#include "core/grids/gridrules.h"
#include "gui/shell/toolkit.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

RecordGrid::RecordGrid(QWidget *parent) : QWidget(parent), m_model(new tw::GridModel(this))
{
    setObjectName(QStringLiteral("recordGrid"));
    grdDataGridCaption = new QLabel(this);
    grdDataGridCaption->setObjectName(QStringLiteral("grdDataGridCaption"));
    grdDataGridCaption->setAlignment(Qt::AlignCenter);
    grdDataGrid = new QTableView(this);
    grdDataGrid->setObjectName(QStringLiteral("grdDataGrid"));
    grdDataGrid->setModel(m_model);
    grdDataGrid->setItemDelegate(new CellEditDelegate(grdDataGrid));
    grdDataGrid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grdDataGrid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                 | QAbstractItemView::AnyKeyPressed);
    // Rows are all the same height, which lets the view scroll a million
    // rows without measuring them.
    grdDataGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdDataGrid->verticalHeader()->setDefaultSectionSize(grdDataGrid->fontMetrics().height() + 6);
    grdDataGrid->horizontalHeader()->setSectionsClickable(true);
    grdDataGrid->horizontalHeader()->viewport()->installEventFilter(this);
    grdDataGrid->viewport()->installEventFilter(this);
    grdDataGrid->installEventFilter(this);

    Data1 = new QLabel(this);
    Data1->setObjectName(QStringLiteral("Data1"));
    Data1->setFrameShape(QFrame::Panel);
    Data1->setFrameShadow(QFrame::Sunken);

    picButtons = new QWidget(this);
    picButtons->setObjectName(QStringLiteral("picButtons"));
    auto makeButton = [this](const char *name, const QString &caption) {
        auto button = new QPushButton(caption, picButtons);
        button->setObjectName(QString::fromLatin1(name));
        return button;
    };
    Command2 = makeButton("Command2", tr("&Print"));
    Command1 = makeButton("Command1", tr("Show &All"));
    Command1->setEnabled(false);
    cmdClose = makeButton("cmdClose", tr("&Close"));
    cmdFilter = makeButton("cmdFilter", tr("&Filter"));
    cmdSort = makeButton("cmdSort", tr("&Sort"));
    cmdRefresh = makeButton("cmdRefresh", tr("&Refresh"));
    auto buttons = new QHBoxLayout(picButtons);
    buttons->setContentsMargins(0, 0, 0, 0);
    for (QPushButton *button : {Command2, Command1, cmdClose, cmdFilter, cmdSort, cmdRefresh})
        buttons->addWidget(button);

    auto layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grdDataGridCaption);
    layout->addWidget(grdDataGrid, 1);
    layout->addWidget(Data1);
    layout->addWidget(picButtons);

    connect(cmdSort, &QPushButton::clicked, this, &RecordGrid::cmdSort_Click);
    connect(cmdFilter, &QPushButton::clicked, this, &RecordGrid::cmdFilter_Click);
    connect(grdDataGrid->horizontalHeader(), &QHeaderView::sectionClicked, this, &RecordGrid::grdDataGrid_HeadClick);
    connect(m_model, &tw::GridModel::errorOccurred, this, &RecordGrid::reportError);
    connect(m_model, &tw::GridModel::rowDeleted, this, &RecordGrid::showRecordPosition);
    connect(m_model, &tw::GridModel::rowWritten, this, &RecordGrid::showRecordPosition);

    // Questions before the grid deletes or writes a row; a table copy writes
    // through the same handlers and must not ask.
    auto ask = [this](const QString &question) {
        if (!m_asking)
            return true;
        return Toolkit::instance().message(question, Buttons::YesNo, Icon::Question) == Answer::Yes;
    };
    m_model->confirmDelete = [ask] { return ask(tr("Delete Current Row?")); };
    m_model->confirmCommit = [ask] { return ask(tr("Commit changes?")); };
    bindModel();
}

RecordGrid::~RecordGrid() = default;

void RecordGrid::commitWithoutAsking()
{
    m_asking = false;
    m_model->submit();
    m_asking = true;
}

void RecordGrid::bindModel()
{
    // The selection model is replaced whenever the model resets its rows.
    connect(grdDataGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current, const QModelIndex &previous) {
                currentRowChanged(current.row(), previous.row());
            });
}

void RecordGrid::clearFilterState()
{
    cmdRefresh->setText(tr("&Refresh"));
    Command1->setEnabled(false);
    grdDataGridCaption->clear();
    sortRequest.clear();
}

qint64 RecordGrid::currentPosition() const
{
    const QModelIndex current = grdDataGrid->currentIndex();
    if (!current.isValid() || m_model->isNewRecordRow(current.row()))
        return -1;
    return current.row();
}

void RecordGrid::showRecordPosition()
{
    const qint64 count = m_model->recordCount();
    qint64 position = currentPosition();
    if (count > 0 && position < 0)
        position = 0;
    Data1->setText(tw::recordCounterText(position, count));
}

void RecordGrid::restoreRecordPosition(qint64 position)
{
    if (position <= -1 || m_model->rowCount() == 0)
        return;
    const int row = int(qMin<qint64>(position, m_model->rowCount() - 1));
    const int column = qMax(0, grdDataGrid->currentIndex().column());
    grdDataGrid->setCurrentIndex(m_model->index(row, column));
    grdDataGrid->scrollTo(m_model->index(row, column));
}

RecordGrid::ViewPlace RecordGrid::viewPlace() const
{
    return {qMax(0, grdDataGrid->currentIndex().column()), grdDataGrid->horizontalScrollBar()->value()};
}

void RecordGrid::showFirstRow(const ViewPlace &place)
{
    // A heading just clicked stays under the pointer, so a second click
    // (with Ctrl, say) sorts the same column again.
    if (m_model->rowCount() == 0)
        return;
    grdDataGrid->doItemsLayout();
    grdDataGrid->setCurrentIndex(m_model->index(0, qMin(place.column, m_model->columnCount() - 1)));
    grdDataGrid->horizontalScrollBar()->setValue(place.across);
}

void RecordGrid::currentRowChanged(int row, int previous)
{
    // Leaving a row writes its changes (after asking).
    if (previous >= 0 && previous != row && m_model->pendingRow() == previous)
        m_model->submit();
    const qint64 count = m_model->recordCount();
    Data1->setText(tw::recordCounterText(row >= 0 && row < count ? row : (count > 0 ? count - 1 : -1), count));
}

void RecordGrid::reportError(const tw::DbError &error)
{
    Toolkit::instance().message(error.description, Buttons::Ok, Icon::Information, tr("Tabwright - Sorry..."));
}

void RecordGrid::refuseEdit()
{
    Toolkit::instance().message(
        tr("These rows cannot be changed here: they do not come field by field from one table (the query joins "
           "tables, groups rows or calculates its columns). Change the table itself, or run a query that selects "
           "the table's fields."),
        Buttons::Ok, Icon::Information);
}

bool RecordGrid::sortRecords(const QString &request)
{
    if (!m_model->isOpen())
        return false;
    QString typed = request;
    if (typed.isEmpty())
        typed = Toolkit::instance().inputBox(tw::sortPromptText(), QString::fromLatin1(applicationTitle), {});
    if (typed.trimmed().isEmpty())
        return false;
    m_model->submit();
    const int currentRow = int(currentPosition());
    const tw::SortPlan plan = tw::planSort(typed, m_model->fields(), [this, currentRow](int column) {
        return currentRow >= 0 ? m_model->data(m_model->index(currentRow, column)) : QVariant();
    });
    HourglassGuard hourglass;
    const ViewPlace place = viewPlace();
    // An expression the engine refuses leaves the rows as they were, and the
    // user learns why rather than seeing nothing happen.
    if (const tw::DbError error = m_model->reshape(m_model->shape().sortedBy(plan.expression)); error.isError()) {
        hourglass.release();
        reportError(error);
        return false;
    }
    showFirstRow(place);
    return true;
}

bool RecordGrid::filterRecords()
{
    if (!m_model->isOpen())
        return false;
    const QString typed =
        Toolkit::instance().inputBox(tw::filterPromptText(), QString::fromLatin1(applicationTitle), {});
    if (typed.trimmed().isEmpty())
        return false;
    m_model->submit();
    HourglassGuard hourglass;
    const ViewPlace place = viewPlace();
    if (const tw::DbError error = m_model->reshape(m_model->shape().filteredBy(tw::filterExpression(typed)));
        error.isError()) {
        hourglass.release();
        reportError(error);
        return false;
    }
    showFirstRow(place);
    grdDataGridCaption->setText(tr("Record(s) meeting this criterion: ") + typed);
    return true;
}

void RecordGrid::cmdSort_Click()
{
    if (sortRecords(sortRequest))
        showRecordPosition();
}

void RecordGrid::cmdFilter_Click()
{
    if (!filterRecords())
        return;
    showRecordPosition();
    cmdRefresh->setText(tr("Re-Filter"));
    Command1->setEnabled(true);
    Command1->setFocus();
}

void RecordGrid::grdDataGrid_HeadClick(int column)
{
    if (column < 0 || column >= m_model->fields().size())
        return;
    sortRequest = tw::headerSortRequest(m_model->fields().at(column).name, m_pressModifiers != Qt::NoModifier);
    m_pressModifiers = Qt::NoModifier;
    cmdSort_Click();
    sortRequest.clear();
}

bool RecordGrid::eventFilter(QObject *watched, QEvent *event)
{
    const bool readOnly = m_model->isOpen() && !m_model->isEditable();
    if (event->type() == QEvent::MouseButtonPress) {
        const auto press = static_cast<QMouseEvent *>(event);
        m_pressModifiers = press->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    } else if (event->type() == QEvent::MouseButtonDblClick && watched == grdDataGrid->viewport() && readOnly) {
        if (grdDataGrid->indexAt(static_cast<QMouseEvent *>(event)->position().toPoint()).isValid()) {
            refuseEdit();
            return true;
        }
    } else if (watched == grdDataGrid && event->type() == QEvent::KeyPress) {
        const auto key = static_cast<QKeyEvent *>(event);
        const QModelIndex current = grdDataGrid->currentIndex();
        if (key->key() == Qt::Key_Delete) {
            if (readOnly)
                refuseEdit();
            else if (current.isValid())
                m_model->removeRow(current.row());
            return true;
        }
        // Typing into a cell, or F2, would start an edit.
        const bool typing = !key->text().isEmpty() && key->text().at(0).isPrint()
            && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (readOnly && current.isValid() && (typing || key->key() == Qt::Key_F2)) {
            refuseEdit();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
