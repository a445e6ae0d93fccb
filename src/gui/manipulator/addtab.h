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
class QPlainTextEdit;
class QPushButton;

// The "&Add Text" page: inserts a fixed text into lines at a column or at the
// end of the line, optionally padded, optionally only into lines that contain
// a given text (a condition of exactly CR LF picks the empty lines).
class AddTab : public QWidget
{
    Q_OBJECT

public:
    AddTab(ProcessingFrame &window, SettingsDirty &dirty);

    tw::AddParams params() const;

    QLabel *labelTextToAdd;
    QLineEdit *Text2;
    QLabel *labelIfContains;
    QPlainTextEdit *Text3;
    QLabel *labelAtColumn;
    MaskEdBox *MaskEdBox9;
    UpDown *UpDown9;
    QCheckBox *Check2;
    QLabel *labelOptions;
    QComboBox *Combo5;
    QLabel *labelSpaces;
    MaskEdBox *MaskEdBox6;
    UpDown *UpDown6;
    QLabel *labelPlaceSpaces;
    QComboBox *Combo4;
    QPushButton *Command3;

public Q_SLOTS:
    void Command3_Click();

private:
    void Check2_Click();
    void Combo5_Change();

    ProcessingFrame &m_window;
};
