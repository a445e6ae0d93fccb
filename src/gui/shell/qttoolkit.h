// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/shell/toolkit.h"

#include <memory>

class QInputDialog;

// The dialogs a user sees: Qt's message, input, file and print dialogs.
class QtToolkit : public Toolkit
{
public:
    int messageBox(const MessagePrompt &prompt) override;
    QString inputBox(const QString &prompt, const QString &title,
                     const QString &defaultAnswer) override;
    QString fileDialog(const FileDialogRequest &request) override;
    bool printerDialog(QPrinter &printer, const QString &title) override;
    bool fontDialog(QFont &font, const QString &title) override;
    void endProgram(int exitCode) override;

    // "Text files (*.txt)|*.txt|All files (*.*)|*.*" in Qt's own filter form.
    // "*.*" becomes "*": on Linux many files have no dot in their name.
    static QString qtFilter(const QString &filter);
    // The input box as it will be shown: a long prompt wraps, and the box
    // fits the screen it opens on.
    static std::unique_ptr<QInputDialog> inputDialog(const QString &prompt, const QString &title,
                                                     const QString &defaultAnswer, QWidget *parent = nullptr);
};
