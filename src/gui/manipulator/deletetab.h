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
class QPlainTextEdit;
class QPushButton;

// The "&Delete Text" page: removes part of every line, optionally putting a
// run of spaces in its place. A specific text of exactly CR LF deletes the
// blank lines.
class DeleteTab : public QWidget
{
    Q_OBJECT

public:
    DeleteTab(ProcessingFrame &window, SettingsDirty &dirty);

    tw::DeleteParams params() const;

    QLabel *labelDeleteType;
    QComboBox *Combo6;
    QLabel *labelSpecificText;
    QPlainTextEdit *Text6;
    QLabel *labelFromColumn;
    MaskEdBox *MaskEdBox7;
    UpDown *UpDown7;
    QLabel *labelNumOfChars;
    MaskEdBox *MaskEdBox10;
    UpDown *UpDown10;
    QCheckBox *Check4;
    QLabel *labelOptions;
    QComboBox *Combo8;
    QLabel *labelSpaces;
    MaskEdBox *MaskEdBox12;
    UpDown *UpDown12;
    QPushButton *Command5;

public Q_SLOTS:
    void Command5_Click();

private:
    void Combo6_Change();
    void Check4_Click();
    void Combo8_Change();
    void applyFieldRules();
    bool linesByText() const;

    ProcessingFrame &m_window;
};
