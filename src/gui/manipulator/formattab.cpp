// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/manipulator/formattab.h"

#include "gui/shell/toolkit.h"
#include "core/engine/formattext.h"
#include "core/engine/params.h"
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

namespace {
const QString newLineEntry = QStringLiteral("New line");
const QString newColumnEntry = QStringLiteral("New column");
const QString omitTextEntry = QStringLiteral("Omit text");
const QString yesEntry = QStringLiteral("Yes");
const QString noEntry = QStringLiteral("No");

QStringList addTextEntries(bool columns)
{
    if (columns)
        return {QStringLiteral("Start of column"), QStringLiteral("End of column"), omitTextEntry};
    return {QStringLiteral("Start of line"), QStringLiteral("End of line"), omitTextEntry};
}
} // namespace

FormatTab::FormatTab(ProcessingFrame &window, SettingsDirty &dirty)
    : QWidget(window.page(ProcessingFrame::FormatText)), m_window(window)
{
    setObjectName(QStringLiteral("FormatTab"));
    auto grid = new QGridLayout(this);
    grid->setColumnStretch(2, 1);
    int row = 0;

    labelCreate = new QLabel(tr("At delimiter, create:"), this);
    Combo12 = tabs::makeCombo(QStringLiteral("Combo12"), {newLineEntry, newColumnEntry}, newLineEntry, this);
    tabs::addRow(grid, row++, labelCreate, Combo12);

    labelDelimiter = new QLabel(tr("Select delimiter, or enter delimiter(s)"), this);
    Combo9 = tabs::makeCombo(QStringLiteral("Combo9"),
                             {QStringLiteral(";"), QStringLiteral(","), QStringLiteral("\""), QStringLiteral("|"),
                              QStringLiteral("="), QStringLiteral("/"), QStringLiteral("\\")},
                             QString(), this);
    Combo9->setToolTip(tr("If there are a series of delimiters in 1 line, enter them as they would occur "
                          "(no spaces).  Separately, spaces may be used as a delimiter."));
    tabs::addRow(grid, row++, labelDelimiter, Combo9);

    Check17 = new QCheckBox(tr("Use delimiter string"), this);
    Check17->setObjectName(QStringLiteral("Check17"));
    Check17->setToolTip(tr("e.g. an HTML tag."));
    Text11 = new QLineEdit(this);
    Text11->setObjectName(QStringLiteral("Text11"));
    Text11->setToolTip(tr("Enter a series of characters to use as delimiter, e.g. an HTML tag."));
    tabs::addRow(grid, row++, Check17, Text11);

    Check18 = new QCheckBox(tr("Remove delimiter"), this);
    Check18->setObjectName(QStringLiteral("Check18"));
    Check18->setToolTip(tr("If checked, the delimiter will be removed from the processed text."));
    grid->addWidget(Check18, row++, 1);

    labelMoveDelimiter = new QLabel(tr("Move delimiter to right of space(s)?"), this);
    Combo14 = tabs::makeCombo(QStringLiteral("Combo14"), {yesEntry, noEntry}, noEntry, this);
    tabs::addRow(grid, row++, labelMoveDelimiter, Combo14);

    labelSpacesBetweenCols = new QLabel(tr("Spaces between columns:"), this);
    MaskEdBox16 = new MaskEdBox(QStringLiteral("MaskEdBox16"), this);
    UpDown16 = new UpDown(QStringLiteral("UpDown16"), MaskEdBox16, this);
    tabs::addRow(grid, row++, labelSpacesBetweenCols, MaskEdBox16, UpDown16);

    labelAddText = new QLabel(tr("Add text:"), this);
    Combo13 = tabs::makeCombo(QStringLiteral("Combo13"), addTextEntries(false), omitTextEntry, this);
    tabs::addRow(grid, row++, labelAddText, Combo13);

    labelTextToAdd = new QLabel(tr("Text to add:"), this);
    Text9 = new QLineEdit(this);
    Text9->setObjectName(QStringLiteral("Text9"));
    Text9->setToolTip(tr("Enter text to add, or (empty this field and) specify the column where text "
                         "starts, and the number of characters."));
    tabs::addRow(grid, row++, labelTextToAdd, Text9);

    labelAddFromCol = new QLabel(tr("Add text from column:"), this);
    MaskEdBox14 = new MaskEdBox(QStringLiteral("MaskEdBox14"), this);
    UpDown14 = new UpDown(QStringLiteral("UpDown14"), MaskEdBox14, this);
    tabs::addRow(grid, row++, labelAddFromCol, MaskEdBox14, UpDown14);

    labelNumOfChars = new QLabel(tr("# of characters:"), this);
    MaskEdBox15 = new MaskEdBox(QStringLiteral("MaskEdBox15"), this);
    UpDown15 = new UpDown(QStringLiteral("UpDown15"), MaskEdBox15, this);
    tabs::addRow(grid, row++, labelNumOfChars, MaskEdBox15, UpDown15);

    labelFirstSection = new QLabel(tr("Add text to first delimited section?"), this);
    Combo15 = tabs::makeCombo(QStringLiteral("Combo15"), {yesEntry, noEntry}, yesEntry, this);
    Combo15->setToolTip(tr("If the text to add is being taken from the first delimited section of each "
                           "original line, select no."));
    tabs::addRow(grid, row++, labelFirstSection, Combo15);

    labelAddedText = new QLabel(tr("Added text:"), this);
    Combo10 = tabs::makeCombo(QStringLiteral("Combo10"),
                              {QString::fromUtf16(entry::addSpaces), QString::fromUtf16(entry::omitSpaces)},
                              QString::fromUtf16(entry::omitSpaces), this);
    tabs::addRow(grid, row++, labelAddedText, Combo10);

    labelPlaceSpaces = new QLabel(tr("Place spaces:"), this);
    Combo11 = tabs::makeCombo(QStringLiteral("Combo11"),
                              {QString::fromUtf16(entry::bothSides), QString::fromUtf16(entry::leftSide),
                               QString::fromUtf16(entry::rightSide)},
                              QString::fromUtf16(entry::bothSides), this);
    tabs::addRow(grid, row++, labelPlaceSpaces, Combo11);

    labelSpaces = new QLabel(tr("# of spaces:"), this);
    MaskEdBox13 = new MaskEdBox(QStringLiteral("MaskEdBox13"), this);
    UpDown13 = new UpDown(QStringLiteral("UpDown13"), MaskEdBox13, this);
    tabs::addRow(grid, row++, labelSpaces, MaskEdBox13, UpDown13);

    Command6 = new QPushButton(tr("&Process"), this);
    Command6->setObjectName(QStringLiteral("Command6"));
    grid->addWidget(Command6, row++, 1, Qt::AlignLeft);

    for (MaskEdBox *box : {MaskEdBox13, MaskEdBox14, MaskEdBox15, MaskEdBox16})
        box->setValue(1);
    Combo12_Change();
    Check17_Click();
    Check18_Click();

    connect(Combo12, &QComboBox::editTextChanged, this, &FormatTab::Combo12_Change);
    tabs::onFocusIn(Combo12, [this] { Combo12_Change(); });
    connect(Combo13, &QComboBox::editTextChanged, this, &FormatTab::applyAddedTextRules);
    connect(Text9, &QLineEdit::textChanged, this, &FormatTab::applyAddedTextRules);
    connect(Combo10, &QComboBox::editTextChanged, this, &FormatTab::applyAddedTextRules);
    tabs::onFocusIn(Combo10, [this] { applyAddedTextRules(); });
    connect(Check17, &QCheckBox::toggled, this, &FormatTab::Check17_Click);
    connect(Check18, &QCheckBox::toggled, this, &FormatTab::Check18_Click);
    connect(Command6, &QPushButton::clicked, this, &FormatTab::Command6_Click);
    tabs::markDirtyOnChange(dirty, {Combo12, Combo9, Check17, Text11, Check18, Combo14, MaskEdBox16, Combo13,
                                    Text9, MaskEdBox14, MaskEdBox15, Combo15, Combo10, Combo11, MaskEdBox13});

    static_cast<QBoxLayout *>(parentWidget()->layout())->insertWidget(0, this);
}

FormatParams FormatTab::params() const
{
    FormatParams p;
    p.formatCreate = Combo12->currentText();
    p.formatRemoveDelimiter = Check18->isChecked();
    p.formatDelimiter = Combo9->currentText();
    p.formatUseDelimiterString = Check17->isChecked();
    p.formatDelimiterString = Text11->text();
    p.formatMoveDelimiter = Combo14->currentText();
    p.formatSpacesBetweenCols = MaskEdBox16->value();
    p.formatAddText = Combo13->currentText();
    p.formatTextToAdd = Text9->text();
    p.formatAddFromCol = MaskEdBox14->value();
    p.formatNumOfChars = MaskEdBox15->value();
    p.formatFirstSection = Combo15->currentText();
    p.formatOptions = Combo10->currentText();
    p.formatPlaceSpaces = Combo11->currentText();
    p.formatSpaces = MaskEdBox13->value();
    return p;
}

QWidget *FormatTab::fieldNamed(const QString &settingsName) const
{
    const QList<QPair<const char *, QWidget *>> fields{
        {"formatCreate", Combo12},           {"formatDelimiter", Combo9},
        {"formatDelimiterString", Text11},   {"formatSpacesBetweenCols", MaskEdBox16},
        {"formatAddFromCol", MaskEdBox14},   {"formatNumOfChars", MaskEdBox15},
        {"formatSpaces", MaskEdBox13},
    };
    for (const auto &[name, field] : fields) {
        if (settingsName == QLatin1String(name))
            return field;
    }
    return nullptr;
}

void FormatTab::Command6_Click()
{
    QElapsedTimer started;
    started.start();
    // A second Process while a run lets events through would work on a text
    // the first run is about to replace.
    if (m_window.isBusy())
        return;
    // The text is held by value: the run lets window events through, and the
    // working text may be replaced meanwhile without pulling it from under us.
    const QString text = m_window.text();
    if (text.isEmpty()) {
        m_window.nothingToProcess();
        return;
    }
    // The fields are read once, when Process is pressed.
    const FormatParams p = params();
    const TextResult check = checkFormatParams(p);
    if (check.refused()) {
        Toolkit::instance().message(check.error);
        if (QWidget *field = fieldNamed(check.field))
            field->setFocus();
        return;
    }
    if (!m_window.beginRun(0, started))
        return;
    FrameProgress progress(m_window);
    TextResult result;
    if (!m_window.computeRun([&] { result = formatText(text, p, &progress); }))
        return;
    if (result.refused()) {
        m_window.abandonRun();
        Toolkit::instance().message(result.error, Buttons::Ok, Icon::Information, tr("Tabwright - Sorry..."));
        return;
    }
    m_window.finishRun(result.text, m_window.afterProcessBoxes(ProcessingFrame::FormatText));
}

void FormatTab::Combo12_Change()
{
    const QString create = Combo12->currentText();
    const bool lines = create == newLineEntry;
    const bool columns = create == newColumnEntry;
    if ((lines || columns) && columns != m_columnEntries) {
        // The text in the box stays: a placement of the other pair means the
        // same and keeps working.
        const QString kept = Combo13->currentText();
        Combo13->clear();
        Combo13->addItems(addTextEntries(columns));
        Combo13->setCurrentIndex(-1);
        Combo13->setEditText(kept);
        m_columnEntries = columns;
    }
    if (lines || columns)
        tabs::setVisible({labelMoveDelimiter, Combo14}, columns);
    tabs::setVisible({labelSpacesBetweenCols, MaskEdBox16, UpDown16}, columns);
    applyAddedTextRules();
}

void FormatTab::applyAddedTextRules()
{
    const QString create = Combo12->currentText();
    const bool validCreate = create == newLineEntry || create == newColumnEntry;
    const bool adding = validCreate && Combo13->currentText() != omitTextEntry;
    tabs::setEnabled({labelAddedText, labelTextToAdd, labelFirstSection, Text9, Combo10, Combo15}, adding);
    tabs::setEnabled({labelAddFromCol, labelNumOfChars, MaskEdBox14, MaskEdBox15, UpDown14, UpDown15},
                     adding && Text9->text().isEmpty());
    tabs::setEnabled({labelSpaces, labelPlaceSpaces, Combo11, MaskEdBox13, UpDown13},
                     adding && Combo10->currentText() == entry::addSpaces);
}

void FormatTab::Check17_Click()
{
    const bool useString = Check17->isChecked();
    Text11->setEnabled(useString);
    tabs::setEnabled({labelDelimiter, Combo9}, !useString);
}

void FormatTab::Check18_Click()
{
    const bool remove = Check18->isChecked();
    // A removed delimiter cannot be moved; the box shows that by saying "No".
    if (remove && Combo12->currentText() == newColumnEntry)
        Combo14->setEditText(noEntry);
    tabs::setEnabled({labelMoveDelimiter, Combo14}, !remove);
}
