// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class ProcessingFrame;
class MaskEdBox;
class SettingsDirty;
class QLabel;
class QPushButton;

// The line tools under the working text on the "&Text/Lines" tab: Join Lines
// keeps paragraphs, Create Line makes the whole text one line, and Process
// starts a new line after every so many characters. They scan the whole text
// and stop early when Stop is pressed, keeping the part scanned so far.
class LineTools : public QWidget
{
    Q_OBJECT

public:
    LineTools(ProcessingFrame &window, SettingsDirty &dirty);

    QPushButton *Command13; // Join Lines
    QLabel *labelStartNewLine;
    MaskEdBox *MaskEdBox17;
    QLabel *labelCharacters;
    QPushButton *Command14; // Process
    QPushButton *Command15; // Create Line

    // The tools work on the text, so they are offered only while there is one.
    void setToolsEnabled(bool enabled);

public Q_SLOTS:
    void Command13_Click();
    void Command14_Click();
    void Command15_Click();

private:
    enum class Tool { JoinLines, BreakEvery, CreateLine };
    void runTool(Tool tool);

    ProcessingFrame &m_window;
};
