// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/shell/appstate.h"

#include <QMainWindow>

#include <memory>

class Manipulator;
class TextDocuments;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
namespace tw {
class Database;
struct DbError;
} // namespace tw

// Where the program looks for its default database, and whether the splash
// window plays (tests start the frame without it).
struct StartupOptions
{
    QString programFolder; // empty: the folder of the executable
    bool showSplash = true;
};

// The frame window: its menus, the process-wide state, the default and the
// current database, and the child windows. It only routes: each command's
// work is done by the window it belongs to.
class MDIForm1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit MDIForm1(const StartupOptions &options = {});
    ~MDIForm1() override;

    // The start-up sequence. Returns false when the program had to end (no
    // default database could be found).
    bool Form_Load();
    bool checkDbase();

    AppState &state() { return m_state; }
    const QString &programFolder() const { return m_programFolder; }
    tw::Database *currentDatabase() const { return m_db.get(); }
    // Opens a database as the current one, replacing the handle; on failure
    // the current database has no name.
    tw::DbError openCurrentDatabase(const QString &path);

    Manipulator *manipulator() const { return m_manipulator; }
    // The text documents: file commands, Edit menu, Text Viewer and Search.
    TextDocuments *documents() const { return m_documents; }
    bool manipulatorVisible() const;
    bool textViewerVisible() const;
    void focusManipulator();
    // The Edit and Search menus are offered only while a text window is open.
    void setTextMenusVisible(bool visible);

    QMdiArea *mdiArea;

    QMenu *menuFile;
    QAction *menuFileTabwrite;
    QAction *menuFileOpenFile;
    QAction *menuFileSaveFile;
    QAction *menuFileSaveFileAs;
    QAction *menuFileCloseFile;
    QAction *menuFileUseOrig;
    QAction *menuFileOpenDB;
    QAction *menuFileOpenTable;
    QAction *menuFileSaveTableAs;
    QAction *menuFileDeleteTable;
    QAction *menuFilePrinterSetup;
    QAction *menuFilePrint;
    QAction *menuExit;

    QMenu *menuEdit;
    QAction *menuEditUndo;
    QAction *menuEditCut;
    QAction *menuEditCopy;
    QAction *menuEditPaste;
    QAction *menuEditSelectAll;
    QAction *menuEditDeleteAll;

    QMenu *menuView;
    QAction *menuViewTextViewer;
    QAction *menuViewTabwrite;

    QMenu *menuSearch;
    QAction *menuSearchFind;

    QMenu *menuQueries;
    QAction *menuQueriesSelect;
    QAction *menuQueriesDefine;

    QMenu *menuHelp;
    QAction *menuHelpTips;
    QAction *menuHelpSample1;
    QAction *menuHelpSample2;
    QAction *menuHelpContact;
    QAction *menuAbout;

public Q_SLOTS:
    void menuFile_Click();
    void menuView_Click();
    void menuQueries_Click();
    void menuViewTabwrite_Click();
    void menuViewTextViewer_Click();
    void menuQueriesSelect_Click();
    void menuQueriesDefine_Click();
    void menuExit_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createMenus();
    QAction *addEntry(QMenu *menu, const char *name, const QString &caption,
                      const QKeySequence &key = {});
    void placeOnScreen();
    void reopenDefaultIfClosed(tw::DbError &error);
    void reportFileMenuError(const tw::DbError &error);
    // Entries switched off while a run was going on, given back afterwards.
    void releaseEntriesHeldDuringRun();
    void showQueriesWindow(const QString &mode);
    void subWindowActivated(QMdiSubWindow *window);

    AppState m_state;
    QString m_programFolder;
    bool m_showSplash;
    std::unique_ptr<tw::Database> m_db;
    QList<QAction *> m_heldDuringRun;
    Manipulator *m_manipulator = nullptr;
    TextDocuments *m_documents = nullptr;
    QMdiSubWindow *m_manipulatorWindow = nullptr;
};
