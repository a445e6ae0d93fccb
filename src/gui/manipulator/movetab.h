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

// The "&Move Text" page: cuts a piece out of every line (by column and
// length, by column and an expected text, or by searching for a typed text)
// and puts it in again at another column or at the end of the line.
class MoveTab : public QWidget
{
    Q_OBJECT

public:
    MoveTab(ProcessingFrame &window, SettingsDirty &dirty);

    // The fields as the operation reads them now.
    tw::MoveParams params() const;

    QLabel *labelMoveType;
    QComboBox *Combo1;
    QLabel *labelSpecificText;
    QLineEdit *Text1;
    QLabel *labelFromColumn;
    MaskEdBox *MaskEdBox1;
    UpDown *UpDown1;
    QLabel *labelNumOfChars;
    MaskEdBox *MaskEdBox3;
    UpDown *UpDown3;
    QLabel *labelToColumn;
    MaskEdBox *MaskEdBox2;
    UpDown *UpDown2;
    QCheckBox *Check1;
    QLabel *labelOptions;
    QComboBox *Combo2;
    QLabel *labelSpaces;
    MaskEdBox *MaskEdBox5;
    UpDown *UpDown5;
    QLabel *labelPlaceSpaces;
    QComboBox *Combo3;
    QPushButton *Command2;

public Q_SLOTS:
    void Command2_Click();

private:
    void Combo1_Change();
    void Check1_Click();
    void Combo2_Change();
    void MaskEdBox2_Change();

    ProcessingFrame &m_window;
};
