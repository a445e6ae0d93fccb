// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/manipulator/tabwritetab.h"

#include "core/columns/columnspecs.h"
#include "core/db/session.h"
#include "core/engine/tabwrite.h"
#include "core/grids/gridmodel.h"
#include "gui/manipulator/processingframe.h"
#include "gui/manipulator/settingsdirty.h"
#include "gui/shell/celleditdelegate.h"
#include "gui/shell/errorreporter.h"
#include "gui/shell/toolkit.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>


TabwriteTab::TabwriteTab(ProcessingFrame &window, tw::DatabaseSession &session, SettingsDirty &dirty)
    : QObject(&window), m_window(window), m_session(session), m_dirty(dirty), m_model(new tw::GridModel(this))
{
    QWidget *page = window.page(ProcessingFrame::TabwriteText);
    DBGrid1Caption = new QLabel(tw::specGridCaption({}), page);
    DBGrid1Caption->setObjectName(QStringLiteral("DBGrid1Caption"));
    DBGrid1Caption->setAlignment(Qt::AlignCenter);
    DBGrid1 = new QTableView(page);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setModel(m_model);
    DBGrid1->setItemDelegate(new CellEditDelegate(DBGrid1));
    // Field names such as get_data_from_column are read whole.
    DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    DBGrid1->setToolTip(tr("Enter zero in the LAST column's \"Spaces_b4_next_ column\" field, if you don't want "
                           "any spaces at the end of each line."));
    DBGrid1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                             | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    DBGrid1->installEventFilter(this);
    m_model->setAddRowEnabled(true);

    Data1 = new QLabel(tw::specPositionCaption(0, 0), page);
    Data1->setObjectName(QStringLiteral("Data1"));
    Data1->setFrameShape(QFrame::Panel);
    Data1->setFrameShadow(QFrame::Sunken);
    auto navButton = [page](const char *name, const QString &caption) {
        auto button = new QPushButton(caption, page);
        button->setObjectName(QString::fromLatin1(name));
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(caption) + 16);
        return button;
    };
    Data1First = navButton("Data1First", QStringLiteral("|<"));
    Data1Previous = navButton("Data1Previous", QStringLiteral("<"));
    Data1Next = navButton("Data1Next", QStringLiteral(">"));
    Data1Last = navButton("Data1Last", QStringLiteral(">|"));
    auto dataBar = new QHBoxLayout;
    dataBar->addWidget(Data1First);
    dataBar->addWidget(Data1Previous);
    dataBar->addWidget(Data1, 1);
    dataBar->addWidget(Data1Next);
    dataBar->addWidget(Data1Last);

    Label4 = new QLabel(tr("New lines start at column:"), page);
    Label4->setObjectName(QStringLiteral("Label4"));
    MaskEdBox4 = new QLineEdit(QStringLiteral("1"), page);
    MaskEdBox4->setObjectName(QStringLiteral("MaskEdBox4"));
    MaskEdBox4->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,3}")), MaskEdBox4));
    MaskEdBox4->setMaximumWidth(MaskEdBox4->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    UpDown4 = new QSpinBox(page);
    UpDown4->setObjectName(QStringLiteral("UpDown4"));
    UpDown4->setRange(0, 999);
    UpDown4->setValue(1);
    UpDown4->setFixedWidth(UpDown4->sizeHint().height());
    UpDown4->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    connect(UpDown4, &QSpinBox::valueChanged, MaskEdBox4, [this](int value) {
        MaskEdBox4->setText(QString::number(value));
    });
    connect(MaskEdBox4, &QLineEdit::textChanged, this, [this](const QString &text) {
        const QSignalBlocker block(UpDown4);
        UpDown4->setValue(text.toInt());
        m_dirty.markDirty();
    });
    Command7 = new QPushButton(tr("&Process"), page);
    Command7->setObjectName(QStringLiteral("Command7"));
    Command12 = new QPushButton(tr("&Clear settings"), page);
    Command12->setObjectName(QStringLiteral("Command12"));
    auto fields = new QHBoxLayout;
    fields->addWidget(Label4);
    fields->addWidget(MaskEdBox4);
    fields->addWidget(UpDown4);
    fields->addStretch();
    fields->addWidget(Command12);
    fields->addWidget(Command7);

    auto layout = qobject_cast<QVBoxLayout *>(page->layout());
    layout->insertWidget(0, DBGrid1Caption);
    layout->insertWidget(1, DBGrid1, 1);
    layout->insertLayout(2, dataBar);
    layout->insertLayout(3, fields);

    connect(Command7, &QPushButton::clicked, this, &TabwriteTab::Command7_Click);
    connect(Command12, &QPushButton::clicked, this, &TabwriteTab::Command12_Click);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current, const QModelIndex &previous) {
                DBGrid1_RowColChange(current.row(), previous.row());
            });
    connect(m_model, &tw::GridModel::rowWritten, this, [this](bool added) {
        m_dirty.markDirty();
        if (added)
            ++m_specRowCount;
        showPosition(DBGrid1->currentIndex().row());
    });
    connect(m_model, &tw::GridModel::rowDeleted, this, [this] {
        m_dirty.markDirty();
        m_specRowCount = m_model->recordCount();
        showPosition(DBGrid1->currentIndex().row());
    });
    connect(m_model, &tw::GridModel::errorOccurred, this, [](const tw::DbError &error) { errors::report(error); });
    // The grid's rows live on the database's connection: a switch closes it.
    connect(&m_session, &tw::DatabaseSession::aboutToSwitch, this, [this] {
        commitGrid();
        m_model->close();
    });
    connect(Data1First, &QPushButton::clicked, this, [this] { Data1_Reposition(0); });
    connect(Data1Previous, &QPushButton::clicked, this,
            [this] { Data1_Reposition(qMax(0, DBGrid1->currentIndex().row() - 1)); });
    connect(Data1Next, &QPushButton::clicked, this, [this] {
        Data1_Reposition(int(qMin<qint64>(DBGrid1->currentIndex().row() + 1, m_model->recordCount() - 1)));
    });
    connect(Data1Last, &QPushButton::clicked, this, [this] { Data1_Reposition(int(m_model->recordCount() - 1)); });
}

void TabwriteTab::setGridFont(const QFont &font)
{
    DBGrid1->setFont(font);
    DBGrid1->horizontalHeader()->setFont(font);
}

void TabwriteTab::setCurrentSettingsName(const QString &name)
{
    m_settingsName = name;
    DBGrid1Caption->setText(tw::specGridCaption(name));
}

void TabwriteTab::showTab()
{
    commitGrid();
    if (const tw::DbError error = m_model->open(m_session.database(), tw::QueryShape(QStringLiteral("tabwrite_settings")));
        error.isError())
        errors::report(error);
    m_specRowCount = m_model->recordCount();
    if (m_specRowCount > 0)
        DBGrid1->setCurrentIndex(m_model->index(0, 0));
    Data1->setText(tw::specPositionCaption(0, m_specRowCount));
    DBGrid1Caption->setText(tw::specGridCaption(m_settingsName));
    // Named settings reload the grid from another tab, which keeps the focus.
    if (!m_session.isExternal() && DBGrid1->isVisible())
        DBGrid1->setFocus();
}

void TabwriteTab::commitGrid()
{
    if (m_model->hasPendingEdit())
        m_model->submit();
}

void TabwriteTab::showPosition(int row)
{
    const qint64 count = m_model->recordCount();
    Data1->setText(tw::specPositionCaption(row >= 0 ? row : 0, count));
}

void TabwriteTab::DBGrid1_RowColChange(int row, int previous)
{
    // The grid writes an edited row when the user leaves it.
    if (previous >= 0 && previous != row && m_model->pendingRow() == previous)
        m_model->submit();
    showPosition(row);
}

void TabwriteTab::Data1_Reposition(int row)
{
    if (m_model->recordCount() <= 0 || row < 0)
        return;
    DBGrid1->setCurrentIndex(m_model->index(row, qMax(0, DBGrid1->currentIndex().column())));
    Data1->setText(tw::specCriteriaCaption(row, m_model->recordCount()));
}

bool TabwriteTab::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != DBGrid1 || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    const QModelIndex current = DBGrid1->currentIndex();
    if (key == Qt::Key_Delete) {
        if (current.isValid())
            m_model->removeRow(current.row());
        return true;
    }
    // Rows are typed one after the other into the empty last row: going down
    // from it writes the row being typed, and the grid moves on into the
    // fresh empty row that follows. Without this there is no row below to go
    // to, and the row would stay unwritten.
    if (key == Qt::Key_Down && current.isValid() && m_model->isNewRecordRow(current.row())
        && m_model->pendingRow() == current.row())
        m_model->submit();
    return QObject::eventFilter(watched, event);
}

int TabwriteTab::startColumn() const
{
    return MaskEdBox4->text().toInt();
}

void TabwriteTab::Command7_Click()
{
    QElapsedTimer started;
    started.start();
    if (m_window.isBusy())
        return;
    if (m_window.text().isEmpty()) {
        m_window.nothingToProcess();
        return;
    }
    commitGrid();
    const tw::Result<tw::ColumnSpecs> rows = tw::readColumnSpecs(m_session.database());
    if (!rows) {
        errors::report(rows.error());
        return;
    }
    m_specRowCount = rows.value().size();
    // Rows the header cannot be built from are refused before the text
    // changes, with the row named.
    const tw::TextResult check = tw::checkColumnSpecs(rows.value());
    if (check.refused()) {
        Toolkit::instance().message(check.error);
        DBGrid1->setFocus();
        return;
    }
    const QString text = m_window.text();
    if (!m_window.beginRun(0, started))
        return;
    FrameProgress progress(m_window);
    tw::TextResult result;
    if (!m_window.computeRun([&] { result = tw::tabwriteText(text, rows.value(), startColumn(), &progress); }))
        return;
    if (result.refused()) {
        // Nothing of the run is kept: the text, the undo copy and Undo stay
        // as they were before Process was pressed.
        m_window.abandonRun();
        Toolkit::instance().message(result.error);
        return;
    }
    m_window.finishRun(result.text, m_window.afterProcessBoxes(ProcessingFrame::TabwriteText));
}

void TabwriteTab::Command12_Click()
{
    // A row being typed is part of what is cleared; written after the
    // delete, it would survive it.
    m_model->revert();
    const tw::Result<qint64> cleared = m_session.database().execUser(
        QStringLiteral("delete * from tabwrite_settings where not isnull(get_data_from_column);"));
    if (!cleared)
        errors::report(cleared.error());
    showTab();
}
