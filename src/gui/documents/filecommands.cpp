// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/documents/filecommands.h"

#include "core/text/textdocument.h"
#include "gui/shell/errorreporter.h"
#include "gui/shell/preferences.h"
#include "gui/shell/toolkit.h"

#include <QFileInfo>

namespace {
FileDialogRequest textFileDialog(const QString &title, bool save, const QString &folder)
{
    FileDialogRequest request;
    request.title = title;
    request.fileName = folder;
    request.filter = FileCommands::tr("Text files (*.txt)|*.txt|All files (*.*)|*.*");
    request.save = save;
    request.fileMustExist = !save;
    return request;
}
} // namespace

FileCommands::FileCommands(tw::TextDocument &document, Preferences &preferences, QObject *parent)
    : QObject(parent), m_document(document), m_preferences(preferences)
{
    setObjectName(QStringLiteral("FileCommands"));
}

bool FileCommands::menuFileOpenFile_Click()
{
    // Cancel keeps the unsaved text: opening another file now would replace
    // the very text the user just chose to keep.
    if (m_document.isModified() && !closeFile())
        return false;
    myOpenFile();
    return true;
}

void FileCommands::myOpenFile()
{
    HourglassGuard hourglass;
    Q_EMIT openStarted();
    const QString path = Toolkit::instance().fileDialog(
        textFileDialog(tr("Tabwright - Open text file to process"), false,
                       m_preferences.lastFolder(Preferences::Folder::OpenText)));
    if (!path.isEmpty()) {
        m_preferences.rememberFolderOf(Preferences::Folder::OpenText, path);
        if (!load(path)) {
            Q_EMIT openEnded();
            return;
        }
    }
    Q_EMIT openEnded();
    Q_EMIT manipulatorActivated(true);
}

bool FileCommands::load(const QString &path)
{
    HourglassGuard hourglass;
    if (const tw::FileError error = m_document.open(path); error.failed()) {
        hourglass.release();
        // The window keeps its text, its caption and its document; a file
        // that is gone leaves the list of recent files.
        if (!QFileInfo::exists(path))
            m_preferences.removeRecentFile(path);
        errors::report(error);
        return false;
    }
    m_preferences.addRecentFile(path);
    return true;
}

bool FileCommands::openFile(const QString &path)
{
    if (m_document.isModified() && !closeFile())
        return false;
    Q_EMIT openStarted();
    const bool loaded = load(path);
    Q_EMIT openEnded();
    if (loaded)
        Q_EMIT manipulatorActivated(true);
    return true;
}

void FileCommands::menuFileSaveFile_Click()
{
    saveFile();
}

void FileCommands::menuFileSaveFileAs_Click()
{
    saveFileAs();
}

void FileCommands::menuFileCloseFile_Click()
{
    closeFile();
}

bool FileCommands::writeDocument(const QString &path)
{
    HourglassGuard hourglass;
    bool savedAsUtf8 = false;
    if (const tw::FileError error = m_document.save(path, &savedAsUtf8); error.failed()) {
        hourglass.release();
        errors::report(error);
        return false;
    }
    m_preferences.addRecentFile(path);
    if (savedAsUtf8) {
        hourglass.release();
        Toolkit::instance().message(
            tr("The text holds characters that Windows-1252 cannot store, so %1 was saved as UTF-8.").arg(path),
            Buttons::Ok, Icon::Information, tr("Tabwright"));
    }
    return true;
}

bool FileCommands::saveFile()
{
    Q_EMIT manipulatorActivated(false);
    QString path = m_document.path();
    if (path.isEmpty()) {
        path = Toolkit::instance().fileDialog(textFileDialog(
            tr("Tabwright - Save file"), true, m_preferences.lastFolder(Preferences::Folder::SaveText)));
        if (path.isEmpty())
            return false;
        m_preferences.rememberFolderOf(Preferences::Folder::SaveText, path);
    }
    return writeDocument(path);
}

bool FileCommands::saveFileAs()
{
    Q_EMIT manipulatorActivated(false);
    const QString path = Toolkit::instance().fileDialog(textFileDialog(
        tr("Tabwright - Save file as"), true, m_preferences.lastFolder(Preferences::Folder::SaveText)));
    m_preferences.rememberFolderOf(Preferences::Folder::SaveText, path);
    if (path.isEmpty()) {
        // As with a closed dialog: the next Save asks for a path again.
        m_document.forgetPath();
        return false;
    }
    // A failed write keeps the document where it was: the caption and the
    // path only move to a file that was really written.
    return writeDocument(path);
}

bool FileCommands::closeFile()
{
    if (m_document.isModified()) {
        const int answer = Toolkit::instance().message(tr("Would you like to save changes?"), Buttons::YesNoCancel,
                                                       Icon::Question, tr("Tabwright - It's your choice..."),
                                                       Answer::Cancel);
        if (answer == Answer::Cancel)
            return false;
        // Nothing was written (the dialog was cancelled or the save failed):
        // emptying now would lose the text the user wanted kept.
        if (answer == Answer::Yes && !saveFile())
            return false;
    }
    m_document.close();
    return true;
}
