// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/manipulator/deletetab.h"

#include "core/engine/deleteops.h"
#include "gui/manipulator/processingframe.h"
#include "gui/manipulator/settingsdirty.h"
#include "gui/manipulator/numericbox.h"
#include "gui/manipulator/tabcontrols.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace tw;

DeleteTab::DeleteTab(ProcessingFrame &window, SettingsDirty &dirty)
    : QWidget(window.page(ProcessingFrame::DeleteText)), m_window(window)
{
    setObjectName(QStringLiteral("DeleteTab"));
    auto grid = new QGridLayout(this);
    grid->setColumnStretch(2, 1);

    labelDeleteType = new QLabel(tr("Enter text to delete/Select delete type:"), this);
    Combo6 = tabs::makeCombo(QStringLiteral("Combo6"), deleteTypes(), QString(), this);
    Combo6->setToolTip(tr("Enter text to delete, or select from the dropdown list."));
    tabs::addRow(grid, 0, labelDeleteType, Combo6);

    labelSpecificText = new QLabel(tr("Specific text to delete:"), this);
    Text6 = new QPlainTextEdit(this);
    Text6->setObjectName(QStringLiteral("Text6"));
    Text6->setToolTip(tr("Enter specific text to del, then specify column/number of chars.  To process a "
                         "blank line/carriage return, place cursor in field and hit Enter.  If scrollbar "
                         "is enabled, at least two lines/a carriage return is in this field."));
    Text6->setTabChangesFocus(true);
    Text6->setFixedHeight(Text6->fontMetrics().height() * 3);
    tabs::addRow(grid, 1, labelSpecificText, Text6);

    labelFromColumn = new QLabel(tr("Delete from column:"), this);
    MaskEdBox7 = new MaskEdBox(QStringLiteral("MaskEdBox7"), this);
    UpDown7 = new UpDown(QStringLiteral("UpDown7"), MaskEdBox7, this);
    tabs::addRow(grid, 2, labelFromColumn, MaskEdBox7, UpDown7);

    labelNumOfChars = new QLabel(tr("# of characters:"), this);
    MaskEdBox10 = new MaskEdBox(QStringLiteral("MaskEdBox10"), this);
    UpDown10 = new UpDown(QStringLiteral("UpDown10"), MaskEdBox10, this);
    tabs::addRow(grid, 3, labelNumOfChars, MaskEdBox10, UpDown10);

    Check4 = new QCheckBox(tr("Delete end of line"), this);
    Check4->setObjectName(QStringLiteral("Check4"));
    grid->addWidget(Check4, 4, 1);

    labelOptions = new QLabel(tr("Optons:"), this);
    Combo8 = tabs::makeCombo(QStringLiteral("Combo8"),
                             {QString::fromUtf16(entry::addSpaces), QString::fromUtf16(entry::omitSpaces)},
                             QString::fromUtf16(entry::omitSpaces), this);
    tabs::addRow(grid, 5, labelOptions, Combo8);

    labelSpaces = new QLabel(tr("# of spaces:"), this);
    MaskEdBox12 = new MaskEdBox(QStringLiteral("MaskEdBox12"), this);
    UpDown12 = new UpDown(QStringLiteral("UpDown12"), MaskEdBox12, this);
    tabs::addRow(grid, 6, labelSpaces, MaskEdBox12, UpDown12);

    Command5 = new QPushButton(tr("&Process"), this);
    Command5->setObjectName(QStringLiteral("Command5"));
    grid->addWidget(Command5, 7, 1, Qt::AlignLeft);

    for (MaskEdBox *box : {MaskEdBox7, MaskEdBox10, MaskEdBox12})
        box->setValue(1);
    applyFieldRules();
    Combo8_Change();

    connect(Combo6, &QComboBox::editTextChanged, this, &DeleteTab::Combo6_Change);
    tabs::onFocusIn(Combo6, [this] { Combo6_Change(); });
    connect(Check4, &QCheckBox::toggled, this, &DeleteTab::Check4_Click);
    connect(Combo8, &QComboBox::editTextChanged, this, &DeleteTab::Combo8_Change);
    tabs::onFocusIn(Combo8, [this] { Combo8_Change(); });
    connect(Command5, &QPushButton::clicked, this, &DeleteTab::Command5_Click);
    tabs::markDirtyOnChange(dirty, {Combo6, Text6, MaskEdBox7, MaskEdBox10, Check4, Combo8, MaskEdBox12});

    static_cast<QBoxLayout *>(parentWidget()->layout())->insertWidget(0, this);
}

DeleteParams DeleteTab::params() const
{
    DeleteParams p;
    p.deleteText = Combo6->currentText();
    p.deleteSpecificText = tabs::multiLineText(Text6);
    p.deleteFromCol = MaskEdBox7->value();
    p.deleteNumOfChars = MaskEdBox10->value();
    p.deleteEndOfLine = Check4->isChecked();
    p.deleteOptions = Combo8->currentText();
    p.deleteSpaces = MaskEdBox12->value();
    return p;
}

void DeleteTab::Command5_Click()
{
    const DeleteParams p = params();
    ProcessingFrame::LineRun run;
    run.requiredField = linesByText() ? static_cast<QWidget *>(Text6) : Combo6;
    run.missingFieldMessage = deleteMissingFieldMessage(p);
    run.operation = tabs::liveOperation<DeleteParams>(m_window, [this] { return params(); },
                                                      &deleteOperation);
    // Whether empty lines are taken (and dropped when left empty) is settled
    // when the run starts.
    run.gate = deleteGate(p);
    run.after = m_window.afterProcessBoxes(ProcessingFrame::DeleteText);
    m_window.runProcessingFrame(run);
}

void DeleteTab::Combo6_Change()
{
    applyFieldRules();
}

void DeleteTab::Check4_Click()
{
    applyFieldRules();
}

bool DeleteTab::linesByText() const
{
    const QString type = Combo6->currentText();
    return type == entry::deleteLinesContaining || type == entry::keepLinesContaining;
}

void DeleteTab::applyFieldRules()
{
    const QString type = Combo6->currentText();
    const bool specific = type == entry::specificDelete;
    const bool byColumn = type.isEmpty() || type == entry::generalDelete || specific;
    const bool wholeLines = linesByText();
    // Whole lines go or stay: no column, length, end of line or filler applies.
    Check4->setEnabled(!wholeLines);
    tabs::setEnabled({labelFromColumn, MaskEdBox7, UpDown7}, byColumn && !Check4->isChecked());
    tabs::setEnabled({labelNumOfChars, MaskEdBox10, UpDown10}, byColumn && !specific);
    labelSpecificText->setEnabled((byColumn && specific) || wholeLines);
    tabs::setEnabled({labelOptions, Combo8}, !wholeLines);
    tabs::setEnabled({labelSpaces, MaskEdBox12, UpDown12},
                     !wholeLines && Combo8->currentText() == entry::addSpaces);
    // A typed delete text still reads the specific text: exactly CR LF there
    // drops the lines the deletion leaves empty.
    Text6->setEnabled(!byColumn || specific);
}

void DeleteTab::Combo8_Change()
{
    tabs::setEnabled({labelSpaces, MaskEdBox12, UpDown12},
                     !linesByText() && Combo8->currentText() == entry::addSpaces);
}
