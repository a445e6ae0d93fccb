// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QTableView;
namespace tw {
class GridModel;
struct DbError;
} // namespace tw

// What the table window and the query result window share: the grid with its
// caption line, the record counter under it (Data1) and the bar of six
// buttons, with the routines they run the same way in both windows: sorting
// (by the prompt, or a header click with Ctrl for descending), filtering,
// the counter, going back to a row, deleting a row and writing a changed one
// after the questions. Refresh, Show All, Print and Close are the windows'
// own; they connect to those buttons.
class RecordGrid : public QWidget
{
    Q_OBJECT

public:
    explicit RecordGrid(QWidget *parent = nullptr);
    ~RecordGrid() override;

    tw::GridModel *model() const { return m_model; }

    // Writes a row edit not saved yet, without the question the grid asks
    // the user (a table copy takes the table as it is shown).
    void commitWithoutAsking();

    // The shared grid routines.
    bool sortRecords(const QString &request);
    bool filterRecords();
    void showRecordPosition();
    void restoreRecordPosition(qint64 position);
    qint64 currentPosition() const;
    void reportError(const tw::DbError &error);

    // Where the user was across the grid, kept while its rows are replaced.
    struct ViewPlace
    {
        int column = 0;
        int across = 0;
    };
    ViewPlace viewPlace() const;
    // New rows under the view start at the first row, in the column the user
    // was in.
    void showFirstRow(const ViewPlace &place);
    // The buttons as they are before any filter: "&Refresh", Show All off,
    // no criterion over the grid.
    void clearFilterState();

    // Set by a header click just before the sort runs.
    QString sortRequest;

    QLabel *grdDataGridCaption;
    QTableView *grdDataGrid;
    QLabel *Data1;
    QWidget *picButtons;
    QPushButton *Command2; // Print
    QPushButton *Command1; // Show All
    QPushButton *cmdClose;
    QPushButton *cmdFilter;
    QPushButton *cmdSort;
    QPushButton *cmdRefresh;

public Q_SLOTS:
    void cmdSort_Click();
    void cmdFilter_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void grdDataGrid_HeadClick(int column);
    void currentRowChanged(int row, int previous);
    void bindModel();
    // A result that cannot be written back says so when the user tries.
    void refuseEdit();

    tw::GridModel *m_model;
    bool m_asking = true;
    Qt::KeyboardModifiers m_pressModifiers;
};
