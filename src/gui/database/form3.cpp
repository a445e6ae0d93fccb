// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/database/form3.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace {
QString openLabel()
{
    return Form3::tr("Double-click on a table name to OPEN it:");
}
} // namespace

Form3::Form3(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(tr("Tabwright - Tables"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    auto layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(List1, 1);
    connect(List1, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { Q_EMIT tableDoubleClicked(item->text()); });
}

void Form3::setPurpose(Purpose purpose)
{
    const bool open = purpose == Purpose::Open;
    setWindowTitle(open ? tr("Tabwright - Open Table") : tr("Tabwright - Delete Table"));
    Label1->setText(open ? openLabel() : tr("Double-click on a table name to DELETE it:"));
    QPalette palette = Label1->palette();
    palette.setColor(QPalette::WindowText, open ? QColor(0, 128, 0) : QColor(255, 0, 0));
    Label1->setPalette(palette);
}

Form3::Purpose Form3::purpose() const
{
    return Label1->text() == openLabel() ? Purpose::Open : Purpose::Delete;
}

void Form3::setTables(const QStringList &names)
{
    List1->clear();
    List1->addItems(names);
}

int Form3::tableCount() const
{
    return List1->count();
}

void Form3::focusList()
{
    List1->setFocus();
    if (!List1->currentItem())
        List1->setCurrentRow(0);
}

void Form3::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        Q_EMIT closeRequested();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && List1->currentItem()) {
        Q_EMIT tableDoubleClicked(List1->currentItem()->text());
        return;
    }
    QWidget::keyPressEvent(event);
}
