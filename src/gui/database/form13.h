// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QTableView;
class RecordGrid;
namespace tw {
class DatabaseSession;
class GridModel;
struct DbError;
} // namespace tw

// The table window: one table of the current database in an editable grid,
// with the record counter under it and the buttons to sort, filter, refresh,
// show all rows again, print and close. Its rows live on the current
// database: before the session switches to another, it lets go of them and
// closes.
class Form13 : public QWidget
{
    Q_OBJECT

public:
    explicit Form13(tw::DatabaseSession &session, QWidget *parent = nullptr);
    ~Form13() override;

    // Shows a table; the window's caption and the grid's caption are the
    // opener's to set. On failure the grid is empty.
    tw::DbError openTable(const QString &table);
    void setCaptions(const QString &windowCaption, const QString &gridCaption);
    // The table the window carries ("" when none).
    QString openTableName() const { return m_tableName; }
    // Writes a row being edited and lets go of the table's rows.
    void closeTable();
    // Writes a row edit not saved yet, without the question the grid asks
    // the user (a table copy takes the table as it is shown).
    void commitWithoutAsking();
    void focusGrid();
    tw::GridModel *model() const;

    // Each time the window becomes active it reads its table again and goes
    // back to the row the user left, so changes made elsewhere show.
    void Form_Activate();

    // The shared grid routines (RecordGrid).
    bool sortRecords(const QString &request);
    bool filterRecords();
    void showRecordPosition();
    void restoreRecordPosition(qint64 position);
    qint64 currentPosition() const;

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
    void cmdRefresh_Click();
    void Command1_Click();
    void Command2_Click();
    void cmdClose_Click();

Q_SIGNALS:
    void closeRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    tw::DatabaseSession &m_session;
    RecordGrid *m_grid;
    // Opened just now: the activation that shows it need not read it again.
    bool m_justOpened = false;
    QString m_tableName;
};
