// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/manipulator/movetab.h"

#include "core/engine/moveops.h"
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
#include <QTabWidget>

using namespace tw;

MoveTab::MoveTab(ProcessingFrame &window, SettingsDirty &dirty)
    : QWidget(window.page(ProcessingFrame::MoveText)), m_window(window)
{
    setObjectName(QStringLiteral("MoveTab"));
    auto grid = new QGridLayout(this);
    grid->setColumnStretch(2, 1);

    labelMoveType = new QLabel(tr("Enter text to move/Select move type:"), this);
    Combo1 = tabs::makeCombo(QStringLiteral("Combo1"),
                             {QString::fromUtf16(entry::generalMove), QString::fromUtf16(entry::specificMove)},
                             QString(), this);
    Combo1->setToolTip(tr("Enter text to move, or select from the dropdown list."));
    tabs::addRow(grid, 0, labelMoveType, Combo1);

    labelSpecificText = new QLabel(tr("Specific text to move:"), this);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setToolTip(tr("Enter specific text to move, and specify columns."));
    tabs::addRow(grid, 1, labelSpecificText, Text1);

    labelFromColumn = new QLabel(tr("Move from column:"), this);
    MaskEdBox1 = new MaskEdBox(QStringLiteral("MaskEdBox1"), this);
    UpDown1 = new UpDown(QStringLiteral("UpDown1"), MaskEdBox1, this);
    tabs::addRow(grid, 2, labelFromColumn, MaskEdBox1, UpDown1);

    labelNumOfChars = new QLabel(tr("# of characters:"), this);
    MaskEdBox3 = new MaskEdBox(QStringLiteral("MaskEdBox3"), this);
    UpDown3 = new UpDown(QStringLiteral("UpDown3"), MaskEdBox3, this);
    tabs::addRow(grid, 3, labelNumOfChars, MaskEdBox3, UpDown3);

    labelToColumn = new QLabel(tr("Move to column:"), this);
    MaskEdBox2 = new MaskEdBox(QStringLiteral("MaskEdBox2"), this);
    UpDown2 = new UpDown(QStringLiteral("UpDown2"), MaskEdBox2, this);
    tabs::addRow(grid, 4, labelToColumn, MaskEdBox2, UpDown2);

    Check1 = new QCheckBox(tr("Move to end of line"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    grid->addWidget(Check1, 5, 1);

    labelOptions = new QLabel(tr("Optons:"), this);
    Combo2 = tabs::makeCombo(QStringLiteral("Combo2"),
                             {QString::fromUtf16(entry::addSpaces), QString::fromUtf16(entry::omitSpaces)},
                             QString::fromUtf16(entry::omitSpaces), this);
    tabs::addRow(grid, 6, labelOptions, Combo2);

    labelSpaces = new QLabel(tr("# of spaces:"), this);
    MaskEdBox5 = new MaskEdBox(QStringLiteral("MaskEdBox5"), this);
    UpDown5 = new UpDown(QStringLiteral("UpDown5"), MaskEdBox5, this);
    tabs::addRow(grid, 7, labelSpaces, MaskEdBox5, UpDown5);

    labelPlaceSpaces = new QLabel(tr("Place spaces:"), this);
    Combo3 = tabs::makeCombo(QStringLiteral("Combo3"),
                             {QString::fromUtf16(entry::bothSides), QString::fromUtf16(entry::leftSide),
                              QString::fromUtf16(entry::rightSide)},
                             QString::fromUtf16(entry::bothSides), this);
    tabs::addRow(grid, 8, labelPlaceSpaces, Combo3);

    Command2 = new QPushButton(tr("&Process"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    grid->addWidget(Command2, 9, 1, Qt::AlignLeft);

    for (MaskEdBox *box : {MaskEdBox1, MaskEdBox3, MaskEdBox2, MaskEdBox5})
        box->setValue(1);
    Combo1_Change();
    Check1_Click();
    Combo2_Change();
    MaskEdBox2_Change();

    // Connected after the defaults are in, so building the window does not
    // count as a change of the settings.
    connect(Combo1, &QComboBox::editTextChanged, this, &MoveTab::Combo1_Change);
    tabs::onFocusIn(Combo1, [this] { Combo1_Change(); });
    connect(Check1, &QCheckBox::toggled, this, &MoveTab::Check1_Click);
    connect(Combo2, &QComboBox::editTextChanged, this, &MoveTab::Combo2_Change);
    tabs::onFocusIn(Combo2, [this] { Combo2_Change(); });
    connect(MaskEdBox2, &QLineEdit::textChanged, this, &MoveTab::MaskEdBox2_Change);
    connect(Command2, &QPushButton::clicked, this, &MoveTab::Command2_Click);
    tabs::onTabKey(Command2, [this] {
        m_window.showTabAndFirstField(ProcessingFrame::AddText);
    });
    tabs::markDirtyOnChange(dirty, {Combo1, Text1, MaskEdBox1, MaskEdBox3, MaskEdBox2, Check1, Combo2,
                                    MaskEdBox5, Combo3});

    static_cast<QBoxLayout *>(parentWidget()->layout())->insertWidget(0, this);
}

MoveParams MoveTab::params() const
{
    MoveParams p;
    p.textToMove = Combo1->currentText();
    p.moveSpecificText = Text1->text();
    p.moveFromCol = MaskEdBox1->value();
    p.moveNumOfChars = MaskEdBox3->value();
    p.moveToCol = MaskEdBox2->value();
    p.moveEndOfLine = Check1->isChecked();
    p.moveOptions = Combo2->currentText();
    p.moveSpaces = MaskEdBox5->value();
    p.movePlaceSpaces = Combo3->currentText();
    return p;
}

void MoveTab::Command2_Click()
{
    const MoveParams p = params();
    ProcessingFrame::LineRun run;
    run.requiredField = Combo1;
    run.missingFieldMessage = moveMissingFieldMessage(p);
    run.operation = tabs::liveOperation<MoveParams>(m_window, [this] { return params(); }, &moveOperation);
    run.gate = moveGate(p);
    run.after = m_window.afterProcessBoxes(ProcessingFrame::MoveText);
    m_window.runProcessingFrame(run);
}

void MoveTab::Combo1_Change()
{
    const QString type = Combo1->currentText();
    const bool byColumn = type.isEmpty() || type == entry::generalMove || type == entry::specificMove;
    tabs::setEnabled({labelFromColumn, labelNumOfChars, MaskEdBox1, UpDown1, MaskEdBox3, UpDown3}, byColumn);
    tabs::setEnabled({labelSpecificText, Text1}, type == entry::specificMove);
}

void MoveTab::Check1_Click()
{
    tabs::setEnabled({labelToColumn, MaskEdBox2, UpDown2}, !Check1->isChecked());
}

void MoveTab::Combo2_Change()
{
    tabs::setEnabled({labelSpaces, MaskEdBox5, UpDown5, labelPlaceSpaces, Combo3},
                     Combo2->currentText() == entry::addSpaces);
}

void MoveTab::MaskEdBox2_Change()
{
    Combo3->setEnabled(MaskEdBox2->text().isEmpty());
}
