// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/manipulator/linetools.h"

#include "gui/shell/textbox.h"
#include "gui/shell/toolkit.h"
#include "core/engine/linetools.h"
#include "gui/manipulator/processingframe.h"
#include "gui/manipulator/settingsdirty.h"
#include "gui/manipulator/numericbox.h"
#include "gui/manipulator/tabcontrols.h"

#include <QBoxLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>

namespace {
// Moves the progress bar with the scan position, lets window events through
// once a time slice has passed and ends the scan when Stop was pressed.
class ScanProgress : public tw::ScanObserver
{
public:
    explicit ScanProgress(ProcessingFrame &window) : m_window(window) {}
    bool goOn(qsizetype position, qsizetype length) override
    {
        Q_UNUSED(length);
        m_reached = position;
        m_window.yieldIfDue(position + 1);
        return m_window.goOn();
    }
    qsizetype reached() const { return m_reached; }
    // Often enough that Stop answers at once, seldom enough that asking the
    // clock costs nothing next to the scan.
    qsizetype checkInterval() const override { return 8192; }

private:
    ProcessingFrame &m_window;
    qsizetype m_reached = 0;
};
} // namespace

LineTools::LineTools(ProcessingFrame &window, SettingsDirty &dirty)
    : QWidget(window.page(ProcessingFrame::TextLines)), m_window(window)
{
    setObjectName(QStringLiteral("LineTools"));
    Command13 = new QPushButton(tr("&Join Lines"), this);
    Command13->setObjectName(QStringLiteral("Command13"));
    Command13->setToolTip(tr("Preserves paragraphs"));
    labelStartNewLine = new QLabel(tr("Start new line after every"), this);
    // The line length starts empty: there is no sensible length to offer.
    MaskEdBox17 = new MaskEdBox(QStringLiteral("MaskEdBox17"), this);
    labelCharacters = new QLabel(tr("characters"), this);
    Command14 = new QPushButton(tr("&Process"), this);
    Command14->setObjectName(QStringLiteral("Command14"));
    Command15 = new QPushButton(tr("Create &Line"), this);
    Command15->setObjectName(QStringLiteral("Command15"));
    Command15->setToolTip(tr("Removes paragraphs"));

    auto row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(Command13);
    row->addSpacing(12);
    row->addWidget(labelStartNewLine);
    row->addWidget(MaskEdBox17);
    row->addWidget(labelCharacters);
    row->addWidget(Command14);
    row->addSpacing(12);
    row->addWidget(Command15);
    row->addStretch();

    connect(Command13, &QPushButton::clicked, this, &LineTools::Command13_Click);
    connect(Command14, &QPushButton::clicked, this, &LineTools::Command14_Click);
    connect(Command15, &QPushButton::clicked, this, &LineTools::Command15_Click);
    tabs::markDirtyOnChange(dirty, {MaskEdBox17});

    static_cast<QBoxLayout *>(parentWidget()->layout())->addWidget(this);
}

void LineTools::setToolsEnabled(bool enabled)
{
    for (QPushButton *tool : {Command13, Command14, Command15})
        tool->setEnabled(enabled);
}

void LineTools::Command13_Click()
{
    runTool(Tool::JoinLines);
}

void LineTools::Command14_Click()
{
    runTool(Tool::BreakEvery);
}

void LineTools::Command15_Click()
{
    runTool(Tool::CreateLine);
}

void LineTools::runTool(Tool tool)
{
    if (m_window.isBusy())
        return;
    QElapsedTimer started;
    started.start();
    // Held by value: the scan lets window events through and must not lose
    // its text if the working text is replaced meanwhile.
    const QString text = m_window.text();
    const int length = MaskEdBox17->value();
    if (text.isEmpty() || (tool == Tool::BreakEvery && length == 0)) {
        m_window.focusText();
        return;
    }
    if (!m_window.beginRun(text.size(), started))
        return;
    m_window.startStoppableLoop();
    ScanProgress progress(m_window);
    tw::TextResult result;
    if (!m_window.computeRun([&] {
            result = tool == Tool::JoinLines    ? tw::joinLines(text, &progress)
                     : tool == Tool::CreateLine ? tw::createLine(text, &progress)
                                                : tw::breakEvery(text, length, &progress);
        })) {
        m_window.focusText();
        return;
    }
    if (result.refused()) {
        m_window.abandonRun();
        Toolkit::instance().message(result.error, Buttons::Ok, Icon::Information, tr("Tabwright - Sorry..."));
    } else {
        // A stopped scan hands back the part it got through; the undo copy
        // still holds the whole text.
        m_window.finishRun(result.text, nullptr);
        if (!m_window.goOn()) {
            const QLocale locale;
            m_window.announce(tr("Stopped after %1 of %2 characters: the rest was left out, Undo brings the "
                                 "whole text back")
                                  .arg(locale.toString(progress.reached()), locale.toString(text.size())));
        }
    }
    m_window.focusText();
}
