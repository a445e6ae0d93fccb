// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/db/querydef.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTableView;
class RecordGrid;
namespace tw {
class DatabaseSession;
class GridModel;
} // namespace tw

// The query result window: the rows of a query run from the Queries window,
// in the table window's grid with its buttons, sorting, filtering, counter
// and questions. The rows are read as they are shown, so a result of a
// million rows opens at once. A result of plain fields of one table can be
// edited; any other says so when the user tries.
//
// The window keeps the query it shows, with the values its parameters were
// given: Refresh, and every activation, run it again; once filtered,
// "Re-Filter" reads the filtered rows again. Print prints every field of the
// result as the ad-hoc report.
class Form12 : public QWidget
{
    Q_OBJECT

public:
    explicit Form12(tw::DatabaseSession &session, QWidget *parent = nullptr);
    ~Form12() override;

    // Shows the rows of a query under a caption, the window reset (no
    // filter). A query that cannot be opened is reported; false then.
    bool showQuery(const tw::QueryDef &query, const QString &caption);
    const tw::QueryDef &query() const { return m_query; }
    // Lets go of the rows (the window closes, or the database changes).
    void closeQuery();
    tw::GridModel *model() const;

    // Activation runs Refresh, so the rows are read anew each time the
    // window comes to the front.
    void Form_Activate();

    QTableView *grdDataGrid;
    QLabel *Data1;
    QPushButton *Command2; // Print ALL fields
    QPushButton *Command1; // Show All
    QPushButton *cmdRefresh;

public Q_SLOTS:
    void cmdRefresh_Click();
    void Command1_Click();
    void Command2_Click();

Q_SIGNALS:
    void closeRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    tw::DatabaseSession &m_session;
    RecordGrid *m_grid;
    tw::QueryDef m_query;
    bool m_justOpened = false;
};
