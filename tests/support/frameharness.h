// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/shell/mdiform1.h"
#include "scriptedtoolkit.h"

#include <QTemporaryDir>

#include <memory>

class Manipulator;

// A program folder in a temporary directory holding a fresh copy of the
// generated default database, a scripted toolkit answering the dialogs, and
// the frame window started on them without the splash.
class FrameHarness
{
public:
    FrameHarness();
    ~FrameHarness();

    // Path of the built default database the copies are made from.
    static QString shippedDatabase();
    // Copies the default database into a folder, under the given file name.
    static bool copyDefaultDatabase(const QString &folder, const QString &fileName = QStringLiteral("tabwright.mdb"));

    QString programFolder() const { return m_dir.path(); }
    QString defaultDbPath() const { return m_dir.filePath(QStringLiteral("tabwright.mdb")); }
    ScriptedToolkit &toolkit() { return m_toolkit; }

    // Creates the frame on the program folder and runs its start-up.
    bool start();
    MDIForm1 &frame() { return *m_frame; }
    Manipulator &manipulator();

    // Replaces the text in the box the way a user's edit would.
    void userSetsText(const QString &text);

private:
    QTemporaryDir m_dir;
    ScriptedToolkit m_toolkit;
    std::unique_ptr<MDIForm1> m_frame;
    QString m_previousCurrentFolder;
};
