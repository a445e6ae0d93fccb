// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;
class QListWidget;

// The table list window: the user tables of the current database, opened or
// deleted by a double-click, depending on what the label says.
class Form3 : public QWidget
{
    Q_OBJECT

public:
    explicit Form3(QWidget *parent = nullptr);

    enum class Purpose { Open, Delete };
    void setPurpose(Purpose purpose);
    // The action of a double-click, read from the label as the user sees it.
    Purpose purpose() const;
    void setTables(const QStringList &names);
    int tableCount() const;
    // The focus into the list, on its first entry when none is current.
    void focusList();

    QLabel *Label1;
    QListWidget *List1;

Q_SIGNALS:
    void tableDoubleClicked(const QString &name);
    void closeRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
