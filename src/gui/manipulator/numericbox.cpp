// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/manipulator/numericbox.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

MaskEdBox::MaskEdBox(const QString &name, QWidget *parent) : QLineEdit(parent)
{
    setObjectName(name);
    // ASCII digits only: \d would also let other scripts' digits in, which
    // the operations do not read as numbers.
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this));
    setMaxLength(3);
    setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
}

int MaskEdBox::value() const
{
    int number = 0;
    for (const QChar c : text()) {
        if (c < u'0' || c > u'9')
            break;
        number = number * 10 + (c.unicode() - u'0');
        if (number > maximum)
            return maximum;
    }
    return number;
}

void MaskEdBox::setValue(int value)
{
    setText(QString::number(qBound(0, value, maximum)));
}

void MaskEdBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        stepNumber(this, event->key() == Qt::Key_Up ? 1 : -1);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void stepNumber(MaskEdBox *box, int steps)
{
    if (!box->isEnabled() || box->isReadOnly())
        return;
    box->setValue(box->value() + steps);
}

UpDown::UpDown(const QString &name, MaskEdBox *buddy, QWidget *parent)
    : QWidget(parent), m_buddy(buddy), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    setObjectName(name);
    auto layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const int height = qMax(8, buddy->sizeHint().height() / 2);
    for (QToolButton *button : {m_up, m_down}) {
        button->setArrowType(button == m_up ? Qt::UpArrow : Qt::DownArrow);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(height + 6, height);
        layout->addWidget(button);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

void UpDown::stepBy(int steps)
{
    // The spin control steps its field even while the field itself is
    // disabled apart from it; a disabled spin control does nothing.
    if (!isEnabled())
        return;
    m_buddy->setValue(m_buddy->value() + steps);
}
