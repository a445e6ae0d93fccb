// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class Preferences;
namespace tw {
class TextDocument;
}

// The File menu's text-file commands on the working text: Open File, Save
// File, Save File As and Close File, with their dialogs and the question
// about unsaved changes. The document keeps the text and its file; this is
// the part that talks to the user.
class FileCommands : public QObject
{
    Q_OBJECT

public:
    FileCommands(tw::TextDocument &document, Preferences &preferences, QObject *parent = nullptr);

public Q_SLOTS:
    // True when the open dialog was shown (unsaved changes did not stop it).
    bool menuFileOpenFile_Click();
    void menuFileSaveFile_Click();
    void menuFileSaveFileAs_Click();
    void menuFileCloseFile_Click();

public:
    void myOpenFile();
    // Opens a file the user named without the dialog (a recent file, a file
    // dropped on the window), after the question about unsaved changes.
    // False when the question was cancelled.
    bool openFile(const QString &path);
    // True when the text was written.
    bool saveFile();
    bool saveFileAs();
    // Offers to save unsaved changes, then empties the text. False when the
    // user cancelled, or chose to save and nothing was written: the text is
    // kept then (and a window that was closing stays open).
    bool closeFile();

Q_SIGNALS:
    // A file is being chosen and read.
    void openStarted();
    void openEnded();
    // The commands work on the Manipulator's text: it becomes the window the
    // Edit menu acts on, and after an Open it gets the focus.
    void manipulatorActivated(bool focus);

private:
    bool writeDocument(const QString &path);
    bool load(const QString &path);

    tw::TextDocument &m_document;
    Preferences &m_preferences;
};
