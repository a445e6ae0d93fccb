// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/engine/textparams.h"

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

// The "&Format Text" page: splits every line at a delimiter into sections,
// putting each on a line of its own or lining them up as columns, optionally
// removing or moving the delimiter and adding a text to every section.
class FormatTab : public QWidget
{
    Q_OBJECT

public:
    FormatTab(ProcessingFrame &window, SettingsDirty &dirty);

    tw::FormatParams params() const;

    QLabel *labelCreate;
    QComboBox *Combo12;
    QLabel *labelDelimiter;
    QComboBox *Combo9;
    QCheckBox *Check17;
    QLineEdit *Text11;
    QCheckBox *Check18;
    QLabel *labelMoveDelimiter;
    QComboBox *Combo14;
    QLabel *labelSpacesBetweenCols;
    MaskEdBox *MaskEdBox16;
    UpDown *UpDown16;
    QLabel *labelAddText;
    QComboBox *Combo13;
    QLabel *labelTextToAdd;
    QLineEdit *Text9;
    QLabel *labelAddFromCol;
    MaskEdBox *MaskEdBox14;
    UpDown *UpDown14;
    QLabel *labelNumOfChars;
    MaskEdBox *MaskEdBox15;
    UpDown *UpDown15;
    QLabel *labelFirstSection;
    QComboBox *Combo15;
    QLabel *labelAddedText;
    QComboBox *Combo10;
    QLabel *labelPlaceSpaces;
    QComboBox *Combo11;
    QLabel *labelSpaces;
    MaskEdBox *MaskEdBox13;
    UpDown *UpDown13;
    QPushButton *Command6;

public Q_SLOTS:
    void Command6_Click();

private:
    void Combo12_Change();
    void Check17_Click();
    void Check18_Click();
    // Which added-text controls mean anything follows from "At delimiter,
    // create:", "Add text:", "Text to add:" and "Added text:" together.
    void applyAddedTextRules();
    QWidget *fieldNamed(const QString &settingsName) const;

    ProcessingFrame &m_window;
    bool m_columnEntries = false;
};
