// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The Password Access window: the user name and password for a secured
// database. OK tries to open; a database that cannot be opened leaves the
// window open so the user may correct the details or cancel.
class Form4 : public QDialog
{
    Q_OBJECT

public:
    explicit Form4(QWidget *parent = nullptr);

    // Opens the database with the typed details; true when it is open.
    std::function<bool(const QString &user, const QString &password)> openDatabase;

    QGroupBox *Frame1;
    QLabel *Label1;
    QLineEdit *Text1;
    QLabel *Label2;
    QLineEdit *Text2;
    QPushButton *Command1;
    QPushButton *Command2;

public Q_SLOTS:
    void Command1_Click();
    void Command2_Click();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
};
