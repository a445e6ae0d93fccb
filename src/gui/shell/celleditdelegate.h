// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStyledItemDelegate>

class QAbstractItemView;

// The cell editor of the program's grids. A value the model refuses (a word
// typed into a number field) is not lost: the refusal's message is the
// model's to show, and the cell opens again with the typed text so the user
// can correct it, instead of the grid moving on without it.
class CellEditDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit CellEditDelegate(QAbstractItemView *view);

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

private:
    QAbstractItemView *m_view;
};
