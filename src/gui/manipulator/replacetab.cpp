// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/manipulator/replacetab.h"

#include "core/engine/replaceops.h"
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
#include <QPushButton>

using namespace tw;

ReplaceTab::ReplaceTab(ProcessingFrame &window, SettingsDirty &dirty)
    : QWidget(window.page(ProcessingFrame::ReplaceText)), m_window(window)
{
    setObjectName(QStringLiteral("ReplaceTab"));
    auto grid = new QGridLayout(this);
    grid->setColumnStretch(2, 1);

    labelReplaceType = new QLabel(tr("Enter text to replace/Select replace type:"), this);
    Combo7 = tabs::makeCombo(QStringLiteral("Combo7"),
                             {QString::fromUtf16(entry::generalReplace),
                              QString::fromUtf16(entry::specificReplace)},
                             QString(), this);
    Combo7->setToolTip(tr("Enter text to replace, or select from the dropdown list."));
    tabs::addRow(grid, 0, labelReplaceType, Combo7);

    labelSpecificText = new QLabel(tr("Specific text to replace:"), this);
    Text4 = new QLineEdit(this);
    Text4->setObjectName(QStringLiteral("Text4"));
    Text4->setToolTip(tr("Enter specific text to replace, and specify column and number of characters."));
    tabs::addRow(grid, 1, labelSpecificText, Text4);

    labelAtColumn = new QLabel(tr("Replace at column:"), this);
    MaskEdBox11 = new MaskEdBox(QStringLiteral("MaskEdBox11"), this);
    UpDown11 = new UpDown(QStringLiteral("UpDown11"), MaskEdBox11, this);
    tabs::addRow(grid, 2, labelAtColumn, MaskEdBox11, UpDown11);

    labelNumOfChars = new QLabel(tr("# of characters:"), this);
    MaskEdBox8 = new MaskEdBox(QStringLiteral("MaskEdBox8"), this);
    UpDown8 = new UpDown(QStringLiteral("UpDown8"), MaskEdBox8, this);
    tabs::addRow(grid, 3, labelNumOfChars, MaskEdBox8, UpDown8);

    labelReplaceWith = new QLabel(tr("Replace with:"), this);
    Text5 = new QLineEdit(this);
    Text5->setObjectName(QStringLiteral("Text5"));
    tabs::addRow(grid, 4, labelReplaceWith, Text5);

    Check3 = new QCheckBox(tr("Replace end of line"), this);
    Check3->setObjectName(QStringLiteral("Check3"));
    grid->addWidget(Check3, 5, 1);

    Command4 = new QPushButton(tr("&Process"), this);
    Command4->setObjectName(QStringLiteral("Command4"));
    grid->addWidget(Command4, 6, 1, Qt::AlignLeft);

    MaskEdBox11->setValue(1);
    MaskEdBox8->setValue(1);
    applyFieldRules();

    connect(Combo7, &QComboBox::editTextChanged, this, &ReplaceTab::Combo7_Change);
    tabs::onFocusIn(Combo7, [this] { Combo7_Change(); });
    connect(Check3, &QCheckBox::toggled, this, &ReplaceTab::Check3_Click);
    connect(Command4, &QPushButton::clicked, this, &ReplaceTab::Command4_Click);
    tabs::markDirtyOnChange(dirty, {Combo7, Text4, MaskEdBox11, MaskEdBox8, Text5, Check3});

    static_cast<QBoxLayout *>(parentWidget()->layout())->insertWidget(0, this);
}

ReplaceParams ReplaceTab::params() const
{
    ReplaceParams p;
    p.replaceText = Combo7->currentText();
    p.replaceSpecificText = Text4->text();
    p.replaceAtCol = MaskEdBox11->value();
    p.replaceNumOfChars = MaskEdBox8->value();
    p.replaceWith = Text5->text();
    p.replaceEndOfLine = Check3->isChecked();
    return p;
}

void ReplaceTab::Command4_Click()
{
    const ReplaceParams p = params();
    ProcessingFrame::LineRun run;
    run.requiredField = Combo7;
    run.missingFieldMessage = replaceMissingFieldMessage(p);
    run.operation = tabs::liveOperation<ReplaceParams>(m_window, [this] { return params(); },
                                                       &replaceOperation);
    run.gate = replaceGate(p);
    run.after = m_window.afterProcessBoxes(ProcessingFrame::ReplaceText);
    m_window.runProcessingFrame(run);
}

void ReplaceTab::Combo7_Change()
{
    applyFieldRules();
}

void ReplaceTab::Check3_Click()
{
    applyFieldRules();
}

void ReplaceTab::applyFieldRules()
{
    const QString type = Combo7->currentText();
    const bool specific = type == entry::specificReplace;
    const bool byColumn = type.isEmpty() || type == entry::generalReplace || specific;
    if (byColumn)
        Check3->setEnabled(true);
    // A typed text is replaced wherever it occurs: the columns, the count and
    // the specific text play no part then, whatever "Replace end of line" says.
    tabs::setEnabled({labelAtColumn, MaskEdBox11, UpDown11}, byColumn && !Check3->isChecked());
    tabs::setEnabled({labelSpecificText, Text4}, byColumn && specific);
    tabs::setEnabled({labelNumOfChars, MaskEdBox8, UpDown8}, byColumn && !specific);
}
