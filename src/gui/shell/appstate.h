// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What the whole program shares for as long as it runs: where the databases
// are and the markers the windows use to tell their own rewrites of a text box
// from the user's. Owned by the frame window and handed to every child.
struct AppState
{
    QString currentDbPath;
    QString defaultDbPath;
    QString dbFolder;      // where tabwright.mdb was found, ending in "/"
    QString previousDbPath;
    QString reportConnect;
    QString activeChildName;
    QString editTarget;    // "Manipulator" or "Text Viewer"
    QString queryWindowMode;

    // The program itself is rewriting a text box or opening a menu; the next
    // change notification of a text box consumes it.
    bool programmaticChange = false;
    bool modified = false;      // the working text has unsaved changes
    bool fileLoad = false;      // a file's text is being put into the box
    bool fileClose = false;     // a file is being closed
    bool paste = false;         // between a paste's key-down and its key-up
    bool silentDbError = false; // set for engine errors passed over in silence
    bool tableCopy = false;     // a table is being copied
    bool settingsDirty = false; // a settings field changed since the last save
    bool loadingSettings = false;

    // Marks a settings field as changed by the user, unless named settings are
    // being loaded into the fields.
    void markSettingsDirty()
    {
        if (!loadingSettings)
            settingsDirty = true;
    }
};
