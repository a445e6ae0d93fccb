// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class ChildWindows;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TextBox;
class TextViews;

// The Search window: finds a text one match at a time in whichever text
// window is shown, or colours every match. It keeps the position of the last
// match and the number of matches since the last Find or Find All.
class SearchWindow : public QWidget
{
    Q_OBJECT

public:
    SearchWindow(TextViews &views, ChildWindows &children, QWidget *parent = nullptr);

    // Shows the window, loading it first when it was closed.
    void showWindow();
    void Form_Load();

    // The colour of Find All's matches (blue 0xC0, green 0xC0, red 0).
    static QColor matchColor();
    // The indicator that colours matches in a text box.
    static int matchIndicator();

    QLabel *Label1;
    QLineEdit *Text1;
    QPushButton *Command1; // Find
    QPushButton *Command2; // Find Again
    QPushButton *Command3; // Find All
    QCheckBox *Check1;     // Ignore case
    QCheckBox *Check2;     // Whole word only
    QCheckBox *Check3;     // Reset color

    // 1-based position of the last match in the target's text; 0 for none.
    qsizetype lastMatch() const { return m_lastMatch; }
    int matchCount() const { return m_matchCount; }

public Q_SLOTS:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Text1_Change();
    void resetColors(TextBox *target);
    void bringTargetForward();
    void notFound(bool findAll);

    TextViews &m_views;
    ChildWindows &m_children;
    qsizetype m_lastMatch = 0; // in UTF-16 units of the target's text, plus one
    int m_matchCount = 0;
};
