// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/database/form13.h"

#include "core/db/session.h"
#include "core/grids/gridmodel.h"
#include "core/grids/gridrules.h"
#include "gui/shell/celleditdelegate.h"
#include "gui/shell/errorreporter.h"
#include "gui/shell/toolkit.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

Form13::Form13(tw::DatabaseSession &session, QWidget *parent)
    : QWidget(parent), m_session(session), m_model(new tw::GridModel(this))
{
    setObjectName(QStringLiteral("Form13"));
    setWindowTitle(tr("Opened Table"));

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
    Command2->setToolTip(tr("Print what's currently VISIBLE in this window."));
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
    layout->addWidget(grdDataGridCaption);
    layout->addWidget(grdDataGrid, 1);
    layout->addWidget(Data1);
    layout->addWidget(picButtons);

    connect(cmdSort, &QPushButton::clicked, this, &Form13::cmdSort_Click);
    connect(cmdFilter, &QPushButton::clicked, this, &Form13::cmdFilter_Click);
    connect(cmdRefresh, &QPushButton::clicked, this, &Form13::cmdRefresh_Click);
    connect(Command1, &QPushButton::clicked, this, &Form13::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form13::Command2_Click);
    connect(cmdClose, &QPushButton::clicked, this, &Form13::cmdClose_Click);
    connect(grdDataGrid->horizontalHeader(), &QHeaderView::sectionClicked, this, &Form13::grdDataGrid_HeadClick);
    connect(m_model, &tw::GridModel::errorOccurred, this, &Form13::reportError);
    connect(m_model, &tw::GridModel::rowDeleted, this, &Form13::showRecordPosition);
    connect(m_model, &tw::GridModel::rowWritten, this, &Form13::showRecordPosition);

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
    connect(&m_session, &tw::DatabaseSession::aboutToSwitch, this, [this] {
        closeTable();
        Q_EMIT closeRequested();
    });
}

void Form13::focusGrid()
{
    grdDataGrid->setFocus();
}

void Form13::commitWithoutAsking()
{
    m_asking = false;
    m_model->submit();
    m_asking = true;
}

Form13::~Form13() = default;

void Form13::bindModel()
{
    // The selection model is replaced whenever the model resets its rows.
    connect(grdDataGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current, const QModelIndex &previous) {
                currentRowChanged(current.row(), previous.row());
            });
}

tw::DbError Form13::openTable(const QString &table)
{
    m_tableName = table;
    m_justOpened = true;
    sortRequest.clear();
    const tw::DbError error = m_model->open(m_session.database(), tw::QueryShape(table));
    if (!error.isError())
        m_tableName = m_model->tableName();
    cmdRefresh->setText(tr("&Refresh"));
    Command1->setEnabled(false);
    if (m_model->rowCount() > 0)
        grdDataGrid->setCurrentIndex(m_model->index(0, 0));
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
    m_model->submit();
    m_model->close();
    m_tableName.clear();
}

void Form13::Form_Activate()
{
    if (m_justOpened) {
        m_justOpened = false;
        return;
    }
    if (m_tableName.isEmpty() || m_model->hasPendingEdit())
        return;
    tw::Database &database = m_session.database();
    const qint64 position = m_model->recordCount() > 0 ? currentPosition() : -1;
    // The filter and order the user chose stay: the counter and the grid's
    // caption keep describing the rows shown.
    const tw::QueryShape shape = m_model->isOpen() ? m_model->shape() : tw::QueryShape(m_tableName);
    if (m_model->open(database, shape).isError() && m_model->open(database, tw::QueryShape(m_tableName)).isError())
        return;
    const qint64 count = m_model->recordCount();
    if (count > 0)
        restoreRecordPosition(position >= 0 && position < count ? position : count - 1);
    showRecordPosition();
}

qint64 Form13::currentPosition() const
{
    const QModelIndex current = grdDataGrid->currentIndex();
    if (!current.isValid() || m_model->isNewRecordRow(current.row()))
        return -1;
    return current.row();
}

void Form13::showRecordPosition()
{
    const qint64 count = m_model->recordCount();
    qint64 position = currentPosition();
    if (count > 0 && position < 0)
        position = 0;
    Data1->setText(tw::recordCounterText(position, count));
}

void Form13::restoreRecordPosition(qint64 position)
{
    if (position <= -1 || m_model->rowCount() == 0)
        return;
    const int row = int(qMin<qint64>(position, m_model->rowCount() - 1));
    const int column = qMax(0, grdDataGrid->currentIndex().column());
    grdDataGrid->setCurrentIndex(m_model->index(row, column));
    grdDataGrid->scrollTo(m_model->index(row, column));
}

Form13::ViewPlace Form13::viewPlace() const
{
    return {qMax(0, grdDataGrid->currentIndex().column()), grdDataGrid->horizontalScrollBar()->value()};
}

void Form13::showFirstRow(const ViewPlace &place)
{
    // New rows under the view start at the first row, but in the column the
    // user was in and scrolled across as before: a heading just clicked stays
    // under the pointer, so a second click (with Ctrl, say) sorts the same
    // column again.
    if (m_model->rowCount() == 0)
        return;
    grdDataGrid->doItemsLayout();
    grdDataGrid->setCurrentIndex(m_model->index(0, qMin(place.column, m_model->columnCount() - 1)));
    grdDataGrid->horizontalScrollBar()->setValue(place.across);
}

void Form13::currentRowChanged(int row, int previous)
{
    // Leaving a row writes its changes (after asking).
    if (previous >= 0 && previous != row && m_model->pendingRow() == previous)
        m_model->submit();
    const qint64 count = m_model->recordCount();
    Data1->setText(tw::recordCounterText(row >= 0 && row < count ? row : (count > 0 ? count - 1 : -1), count));
}

void Form13::reportError(const tw::DbError &error)
{
    Toolkit::instance().message(error.description, Buttons::Ok, Icon::Information, tr("Tabwright - Sorry..."));
}

bool Form13::sortRecords(const QString &request)
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

bool Form13::filterRecords()
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
    if (const tw::DbError error = m_model->reshape(m_model->shape().filteredBy(tw::filterExpression(typed))); error.isError()) {
        hourglass.release();
        reportError(error);
        return false;
    }
    showFirstRow(place);
    grdDataGridCaption->setText(tr("Record(s) meeting this criterion: ") + typed);
    return true;
}

void Form13::cmdSort_Click()
{
    if (sortRecords(sortRequest))
        showRecordPosition();
}

void Form13::cmdFilter_Click()
{
    if (!filterRecords())
        return;
    showRecordPosition();
    cmdRefresh->setText(tr("Re-Filter"));
    Command1->setEnabled(true);
    Command1->setFocus();
}

void Form13::cmdRefresh_Click()
{
    m_model->submit();
    const qint64 position = currentPosition();
    if (const tw::DbError error = m_model->requery(); error.isError())
        reportError(error);
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
    m_model->submit();
    const ViewPlace place = viewPlace();
    if (const tw::DbError error = m_model->reshape(m_model->shape().unshaped()); error.isError())
        reportError(error);
    showFirstRow(place);
    showRecordPosition();
    grdDataGridCaption->clear();
}

void Form13::Command2_Click()
{
    // What is on the screen now, as one picture scaled onto the page.
    const QPixmap image = grab();
    QPrinter printer;
    if (!Toolkit::instance().printerDialog(printer, tr("Tabwrite - Printer Setup")))
        return;
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    const QRect page = painter.viewport();
    QSize size = image.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.setViewport(page.x(), page.y(), size.width(), size.height());
    painter.setWindow(image.rect());
    painter.drawPixmap(0, 0, image);
    painter.end();
}

void Form13::cmdClose_Click()
{
    Q_EMIT closeRequested();
}

void Form13::grdDataGrid_HeadClick(int column)
{
    if (column < 0 || column >= m_model->fields().size())
        return;
    sortRequest = tw::headerSortRequest(m_model->fields().at(column).name, m_pressModifiers != Qt::NoModifier);
    m_pressModifiers = Qt::NoModifier;
    cmdSort_Click();
    sortRequest.clear();
}

bool Form13::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        const auto press = static_cast<QMouseEvent *>(event);
        m_pressModifiers = press->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    } else if (watched == grdDataGrid && event->type() == QEvent::KeyPress) {
        const auto key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Delete) {
            const QModelIndex current = grdDataGrid->currentIndex();
            if (current.isValid())
                m_model->removeRow(current.row());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form13::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        Q_EMIT closeRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}
