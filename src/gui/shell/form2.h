// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// About Tabwright: the product, its version (the project's), a slogan and
// the contact link. OK or Escape closes it. The link is drawn teal; while the
// pointer is well inside it, it turns blue under a pointing hand, and near its
// edges or outside it goes back to teal and the normal pointer.
class Form2 : public QDialog
{
    Q_OBJECT

public:
    explicit Form2(QWidget *parent = nullptr);

    // The link's colours, and how far inside its edges the pointer must be.
    static QColor linkColour();
    static QColor hoverColour();
    static int edgeMargin();

    QLabel *Label1;
    QLabel *Label6;
    QLabel *lblSlogan;
    QLabel *Label2;
    QLabel *Label3;
    QPushButton *Command1;

Q_SIGNALS:
    // The link was clicked (the contact page opens).
    void contactRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void setLinkHot(bool hot);
    bool m_hot = false;
};
