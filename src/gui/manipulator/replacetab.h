// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/engine/params.h"

#include <QWidget>

class ProcessingFrame;
class MaskEdBox;
class UpDown;
class SettingsDirty;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The "&Replace Text" page: replaces part of every line, chosen by column and
// length, by column and an expected text, or as every occurrence of a typed
// text, optionally counting from the end of the line.
class ReplaceTab : public QWidget
{
    Q_OBJECT

public:
    ReplaceTab(ProcessingFrame &window, SettingsDirty &dirty);

    tw::ReplaceParams params() const;

    QLabel *labelReplaceType;
    QComboBox *Combo7;
    QLabel *labelSpecificText;
    QLineEdit *Text4;
    QLabel *labelAtColumn;
    MaskEdBox *MaskEdBox11;
    UpDown *UpDown11;
    QLabel *labelNumOfChars;
    MaskEdBox *MaskEdBox8;
    UpDown *UpDown8;
    QLabel *labelReplaceWith;
    QLineEdit *Text5;
    QCheckBox *Check3;
    QPushButton *Command4;

public Q_SLOTS:
    void Command4_Click();

private:
    // The replace type and "Replace end of line" decide together which of the
    // column fields mean anything, so both events apply one rule.
    void Combo7_Change();
    void Check3_Click();
    void applyFieldRules();

    ProcessingFrame &m_window;
};
