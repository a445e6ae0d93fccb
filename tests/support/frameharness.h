// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/shell/mdiform1.h"
#include "scriptedtoolkit.h"

#include <QTemporaryDir>
#include <QWidget>

#include <memory>

class QAction;
class TextBox;

// A program folder in a temporary directory holding a fresh copy of the
// generated default database, a scripted toolkit answering the dialogs, and
// the frame window started on them without the splash. Tests drive the real
// windows through their controls, found by window and control name.
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
    // A path in the program folder, for files a test makes.
    QString path(const QString &fileName) const { return m_dir.filePath(fileName); }
    ScriptedToolkit &toolkit() { return m_toolkit; }

    // Creates the frame on the program folder and runs its start-up.
    bool start();
    MDIForm1 &frame() { return *m_frame; }
    tw::TextDocument &document() { return m_frame->document(); }
    tw::DatabaseSession &session() { return m_frame->session(); }

    // A menu entry by name ("menuFileSaveFile").
    QAction *action(const QString &name);
    // Opens a menu ("menuFile") as far as the program sees it: the entries
    // take the states they would show.
    void openMenu(const QString &name);
    bool menuShown(const QString &name);
    // A window by name ("Manipulator", "Form5", "SearchWindow", "Form13"...).
    QWidget *window(const QString &name);
    // A control of a window by name; fails the test when there is none.
    template <typename T>
    T *control(const QString &windowName, const QString &name)
    {
        QWidget *parent = window(windowName);
        T *found = parent ? parent->findChild<T *>(name) : nullptr;
        if (!found)
            qWarning("no control %s in %s", qPrintable(name), qPrintable(windowName));
        return found;
    }
    TextBox *manipulatorBox();
    TextBox *viewerBox();
    bool isShown(const QString &windowName);

    // Replaces the text in the Manipulator's box the way a user's edit would.
    void userSetsText(const QString &text);
    // Clicks a button of a window.
    void click(const QString &windowName, const QString &button);

private:
    QTemporaryDir m_dir;
    ScriptedToolkit m_toolkit;
    std::unique_ptr<MDIForm1> m_frame;
    QString m_previousCurrentFolder;
};
