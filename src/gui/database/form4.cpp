// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/database/form4.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

Form4::Form4(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(tr("Password Access"));
    setModal(true);
    Frame1 = new QGroupBox(tr("If the database is secured, enter details"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Label1 = new QLabel(tr("User Name:"), Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QLineEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Label2 = new QLabel(tr("Password:"), Frame1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Text2 = new QLineEdit(Frame1);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setEchoMode(QLineEdit::Password);
    auto grid = new QGridLayout(Frame1);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Text2, 1, 1);

    Command1 = new QPushButton(tr("&OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(tr("&Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    // Enter in the boxes must not press a default button of its own: only
    // the password box's Enter means OK.
    Command1->setAutoDefault(false);
    Command2->setAutoDefault(false);
    auto buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, &Form4::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form4::Command2_Click);
    connect(Text2, &QLineEdit::returnPressed, this, &Form4::Command1_Click);
    Text1->installEventFilter(this);
    Text2->installEventFilter(this);
}

void Form4::Command1_Click()
{
    if (openDatabase && openDatabase(Text1->text(), Text2->text()))
        accept();
}

void Form4::Command2_Click()
{
    // Escape comes here too (QDialog::reject).
    reject();
}

void Form4::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Text1->setFocus();
}

bool Form4::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        auto box = qobject_cast<QLineEdit *>(watched);
        // After the mouse press has placed the caret, so the selection stays.
        if (box)
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}
