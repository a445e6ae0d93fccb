// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>
#include <QWidget>

class QToolButton;

// The three-digit number field of the Manipulator's tabs: it accepts no more
// than three digits and may be empty, which reads as 0. A text put in by
// other code (named settings) is read by its leading digits, so a stray value
// can never reach an operation as anything but 0 to 999.
class MaskEdBox : public QLineEdit
{
    Q_OBJECT

public:
    static constexpr int maximum = 999;

    explicit MaskEdBox(const QString &name, QWidget *parent = nullptr);

    int value() const;
    // Writes the number as the box shows it; clamped to 0 to 999.
    void setValue(int value);

protected:
    // Up and Down step the number, like the spin control beside it.
    void keyPressEvent(QKeyEvent *event) override;
};

// The spin control beside a number field: two arrow buttons stepping its
// field from 0 to 999. It is a control of its own so it can be enabled and
// disabled apart from the field. Stepping an empty field starts from 0.
class UpDown : public QWidget
{
    Q_OBJECT

public:
    UpDown(const QString &name, MaskEdBox *buddy, QWidget *parent = nullptr);

    MaskEdBox *buddy() const { return m_buddy; }
    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

    void stepBy(int steps);

private:
    MaskEdBox *m_buddy;
    QToolButton *m_up;
    QToolButton *m_down;
};

// Steps a field by a number of steps, staying within 0 to 999.
void stepNumber(MaskEdBox *box, int steps);
