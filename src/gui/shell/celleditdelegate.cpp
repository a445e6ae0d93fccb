// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/celleditdelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTimer>

CellEditDelegate::CellEditDelegate(QAbstractItemView *view) : QStyledItemDelegate(view), m_view(view) {}

void CellEditDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    auto line = qobject_cast<QLineEdit *>(editor);
    const QString typed = line ? line->text() : QString();
    const QVariant before = model->data(index, Qt::EditRole);
    QStyledItemDelegate::setModelData(editor, model, index);
    if (!line || model->data(index, Qt::EditRole) != before || typed == before.toString())
        return;
    // Refused: once the editor has gone, the same cell opens again holding
    // what was typed.
    const QPersistentModelIndex cell(index);
    QPointer<QAbstractItemView> view(m_view);
    QTimer::singleShot(0, m_view, [view, cell, typed] {
        if (!view || !cell.isValid())
            return;
        view->setCurrentIndex(cell);
        view->edit(cell);
        if (auto reopened = qobject_cast<QLineEdit *>(QApplication::focusWidget())) {
            reopened->setText(typed);
            reopened->selectAll();
        }
    });
}
