// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/manipulator/addtab.h"

#include "core/engine/addops.h"
#include "gui/manipulator/processingframe.h"
#include "gui/manipulator/settingsdirty.h"
#include "gui/manipulator/numericbox.h"
#include "gui/manipulator/tabcontrols.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

using namespace tw;

AddTab::AddTab(ProcessingFrame &window, SettingsDirty &dirty)
    : QWidget(window.page(ProcessingFrame::AddText)), m_window(window)
{
    setObjectName(QStringLiteral("AddTab"));
    auto grid = new QGridLayout(this);
    grid->setColumnStretch(2, 1);

    labelTextToAdd = new QLabel(tr("Text to add:"), this);
    Text2 = new QLineEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setToolTip(tr("Enter text to add, and specify column."));
    tabs::addRow(grid, 0, labelTextToAdd, Text2);

    labelIfContains = new QLabel(tr("Add text if line contains (optional):"), this);
    Text3 = new QPlainTextEdit(this);
    Text3->setObjectName(QStringLiteral("Text3"));
    Text3->setToolTip(tr("If left blank, the text will be added to all lines.  To process a blank "
                         "line/carriage return, place cursor in field and hit Enter.  If scrollbar is "
                         "enabled, at least two lines/a carriage return is in this field."));
    Text3->setTabChangesFocus(true);
    Text3->setFixedHeight(Text3->fontMetrics().height() * 3);
    tabs::addRow(grid, 1, labelIfContains, Text3);

    labelAtColumn = new QLabel(tr("Add at column:"), this);
    MaskEdBox9 = new MaskEdBox(QStringLiteral("MaskEdBox9"), this);
    UpDown9 = new UpDown(QStringLiteral("UpDown9"), MaskEdBox9, this);
    tabs::addRow(grid, 2, labelAtColumn, MaskEdBox9, UpDown9);

    Check2 = new QCheckBox(tr("Add to end of line"), this);
    Check2->setObjectName(QStringLiteral("Check2"));
    grid->addWidget(Check2, 3, 1);

    labelOptions = new QLabel(tr("Options:"), this);
    Combo5 = tabs::makeCombo(QStringLiteral("Combo5"),
                             {QString::fromUtf16(entry::addSpaces), QString::fromUtf16(entry::omitSpaces)},
                             QString::fromUtf16(entry::omitSpaces), this);
    tabs::addRow(grid, 4, labelOptions, Combo5);

    labelSpaces = new QLabel(tr("# of spaces:"), this);
    MaskEdBox6 = new MaskEdBox(QStringLiteral("MaskEdBox6"), this);
    UpDown6 = new UpDown(QStringLiteral("UpDown6"), MaskEdBox6, this);
    tabs::addRow(grid, 5, labelSpaces, MaskEdBox6, UpDown6);

    labelPlaceSpaces = new QLabel(tr("Place spaces:"), this);
    Combo4 = tabs::makeCombo(QStringLiteral("Combo4"),
                             {QString::fromUtf16(entry::bothSides), QString::fromUtf16(entry::leftSide),
                              QString::fromUtf16(entry::rightSide)},
                             QString::fromUtf16(entry::bothSides), this);
    tabs::addRow(grid, 6, labelPlaceSpaces, Combo4);

    Command3 = new QPushButton(tr("&Process"), this);
    Command3->setObjectName(QStringLiteral("Command3"));
    grid->addWidget(Command3, 7, 1, Qt::AlignLeft);

    MaskEdBox9->setValue(1);
    MaskEdBox6->setValue(1);
    Check2_Click();
    Combo5_Change();

    connect(Check2, &QCheckBox::toggled, this, &AddTab::Check2_Click);
    connect(Combo5, &QComboBox::editTextChanged, this, &AddTab::Combo5_Change);
    tabs::onFocusIn(Combo5, [this] { Combo5_Change(); });
    connect(Command3, &QPushButton::clicked, this, &AddTab::Command3_Click);
    tabs::onTabKey(Command3, [this] {
        m_window.showTabAndFirstField(ProcessingFrame::MoveText);
    });
    tabs::markDirtyOnChange(dirty, {Text2, Text3, MaskEdBox9, Check2, Combo5, MaskEdBox6, Combo4});

    static_cast<QBoxLayout *>(parentWidget()->layout())->insertWidget(0, this);
}

AddParams AddTab::params() const
{
    AddParams p;
    p.addText = Text2->text();
    p.addIfContains = tabs::multiLineText(Text3);
    p.addAtCol = MaskEdBox9->value();
    p.addEndOfLine = Check2->isChecked();
    p.addOptions = Combo5->currentText();
    p.addSpaces = MaskEdBox6->value();
    p.addPlaceSpaces = Combo4->currentText();
    return p;
}

void AddTab::Command3_Click()
{
    const AddParams p = params();
    ProcessingFrame::LineRun run;
    run.requiredField = Text2;
    run.missingFieldMessage = addMissingFieldMessage(p);
    run.operation = tabs::liveOperation<AddParams>(m_window, [this] { return params(); }, &addOperation);
    // Which lines the run takes is settled when it starts: the empty lines are
    // either all handed to the operation or none are.
    run.gate = addGate(p);
    run.after = m_window.afterProcessBoxes(ProcessingFrame::AddText);
    m_window.runProcessingFrame(run);
}

void AddTab::Check2_Click()
{
    tabs::setEnabled({labelAtColumn, MaskEdBox9, UpDown9}, !Check2->isChecked());
}

void AddTab::Combo5_Change()
{
    tabs::setEnabled({labelSpaces, MaskEdBox6, UpDown6, labelPlaceSpaces, Combo4},
                     Combo5->currentText() == entry::addSpaces);
}
