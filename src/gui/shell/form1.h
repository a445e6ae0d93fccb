// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;

// The splash window shown while the program starts: the product name grows,
// the three slogan words appear one after another, and a key press or a click
// ends it early.
class Form1 : public QDialog
{
    Q_OBJECT

public:
    explicit Form1(QWidget *frame);

    // Shows the window over the frame and plays its timed sequence; returns
    // when the sequence is over or the user closed the window.
    void playSequence();
    bool closedByUser() const { return m_closedByUser; }

    QLabel *lblProductName;
    QLabel *lblSlogan;
    QLabel *lblVersion;
    QLabel *lblFirstWord;
    QLabel *lblSecondWord;
    QLabel *lblThirdWord;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void placeOverFrame();
    // Lets events run until the given time has passed or the user closed it.
    bool waitUntil(qint64 milliseconds, const class QElapsedTimer &clock);
    void closeByUser();

    QWidget *m_frame;
    bool m_closedByUser = false;
};
