// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/db/session.h"
#include "core/text/textdocument.h"
#include "gui/shell/busystate.h"
#include "gui/shell/childwindows.h"
#include "gui/shell/preferences.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

class CaretStatus;
class DatabaseMenu;
class EditMenu;
class FileCommands;
class Form12;
class Form13;
class Form3;
class Form5;
class HelpMenu;
class Manipulator;
class SearchWindow;
class TextPrinter;
class TextViews;
class frmQuerys;
class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

// Where the program looks for its default database, and whether the splash
// window plays (tests start the frame without it).
struct StartupOptions
{
    QString programFolder; // empty: the folder of the executable
    bool showSplash = true;
    QString settingsFile;  // empty: the user's own application settings
};

// The frame window. It holds what the whole program shares — the working
// text, the database session, the busy state — builds the child windows
// around them, and owns its menus: each entry routes to the window or command
// it belongs to, and its enabled state follows the document, the session and
// the busy state. No child window reaches into another; the frame only
// routes.
class MDIForm1 : public QMainWindow, public ChildWindows
{
    Q_OBJECT

public:
    explicit MDIForm1(const StartupOptions &options = {});
    ~MDIForm1() override;

    // The start-up sequence. Returns false when the program had to end (no
    // default database could be found).
    bool Form_Load();
    bool checkDbase();

    const QString &programFolder() const { return m_programFolder; }
    tw::TextDocument &document() { return m_document; }
    tw::DatabaseSession &session() { return m_session; }
    BusyState &busy() { return m_busy; }
    Preferences &preferences() { return m_preferences; }

    void showChild(QWidget *child) override;
    void raiseChild(QWidget *child) override;
    void closeChild(QWidget *child) override;
    bool isChildShown(const QWidget *child) const override;

public Q_SLOTS:
    void menuFile_Click();
    void menuEdit_Click();
    void menuView_Click();
    void menuSearch_Click();
    void menuQueries_Click();
    void menuFileOpenFile_Click();
    void menuFileOpenDB_Click();
    void menuFileOpenServer_Click();
    void menuViewTabwrite_Click();
    void menuViewTextViewer_Click();
    void menuSearchFind_Click();
    void menuQueriesSelect_Click();
    void menuQueriesDefine_Click();
    void menuExit_Click();
    void menuViewFont_Click();

    // Opens a text file named on the command line, dropped on the window or
    // picked from the recent files, asking first about unsaved text as File >
    // Open File does.
    void openFile(const QString &path);

protected:
    void closeEvent(QCloseEvent *event) override;
    // A text file dropped on the window opens, as File > Open File would.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    // The entries that follow which windows are shown hear of every child
    // shown or hidden.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createMenus();
    QAction *addEntry(QMenu *menu, const char *name, const QString &caption, const QKeySequence &key = {});
    void createChildren();
    // The letters of the menu bar's access keys ("fevsqh").
    QString menuAccessKeys() const;
    void connectMenus();
    QMdiSubWindow *addChild(QWidget *widget, Qt::WindowFlags extraFlags = {});
    void placeOnScreen();
    // Asks each child window whether it may close, as closing the frame does;
    // false when one refused (the user cancelled at a question).
    bool closeChildren();
    // The entries whose state follows the text, the windows and the busy state.
    void refreshEntries();
    // The Edit and Search menus are offered only while a text window is open.
    void setTextMenusVisible(bool visible);
    void subWindowActivated(QMdiSubWindow *window);
    void manipulatorActivated(bool focus);
    void manipulatorClosed();
    void viewerClosing();
    void viewerClosed();
    void focusManipulator();
    bool textWindowShown() const;
    void fillRecentFiles();
    void showCurrentDatabase();
    // Queries > Select and Run / Define and Run.
    void openQueriesWindow(bool select);

    tw::TextDocument m_document;
    tw::DatabaseSession m_session;
    BusyState m_busy;
    Preferences m_preferences;
    QString m_programFolder;
    bool m_showSplash;

    QMdiArea *mdiArea = nullptr;
    QHash<const QWidget *, QMdiSubWindow *> m_subWindows;
    QPointer<QMdiSubWindow> m_activeChild;
    QPointer<QMdiSubWindow> m_lastActivated;
    // The table commands follow the tables listed when the File menu last opened.
    bool m_tablesListed = false;

    TextViews *m_views = nullptr;
    Manipulator *m_manipulator = nullptr;
    Form5 *m_viewer = nullptr;
    SearchWindow *m_search = nullptr;
    Form3 *m_tableList = nullptr;
    Form13 *m_tableWindow = nullptr;
    frmQuerys *m_queries = nullptr;
    Form12 *m_queryResult = nullptr;
    HelpMenu *m_help = nullptr;
    TextPrinter *m_textPrinter = nullptr;
    FileCommands *m_files = nullptr;
    EditMenu *m_editMenu = nullptr;
    DatabaseMenu *m_databaseMenu = nullptr;
    CaretStatus *m_caretStatus = nullptr;
    QLabel *m_databaseStatus = nullptr;

    QMenu *menuFile = nullptr;
    QAction *menuFileTabwrite = nullptr;
    QAction *menuFileOpenFile = nullptr;
    QAction *menuFileSaveFile = nullptr;
    QAction *menuFileSaveFileAs = nullptr;
    QAction *menuFileCloseFile = nullptr;
    QAction *menuFileRecentFiles = nullptr; // the separator before the list
    QAction *menuFileUseOrig = nullptr;
    QAction *menuFileOpenDB = nullptr;
    QAction *menuFileOpenServer = nullptr;
    QAction *menuFileOpenTable = nullptr;
    QAction *menuFileSaveTableAs = nullptr;
    QAction *menuFileDeleteTable = nullptr;
    QAction *menuFilePrinterSetup = nullptr;
    QAction *menuFilePrint = nullptr;
    QAction *menuExit = nullptr;

    QMenu *menuEdit = nullptr;
    QAction *menuEditUndo = nullptr;
    QAction *menuEditCut = nullptr;
    QAction *menuEditCopy = nullptr;
    QAction *menuEditPaste = nullptr;
    QAction *menuEditSelectAll = nullptr;
    QAction *menuEditDeleteAll = nullptr;

    QMenu *menuView = nullptr;
    QAction *menuViewTextViewer = nullptr;
    QAction *menuViewTabwrite = nullptr;
    QAction *menuViewFont = nullptr;
    QAction *menuViewLineEnds = nullptr;

    QMenu *menuSearch = nullptr;
    QAction *menuSearchFind = nullptr;

    QMenu *menuQueries = nullptr;
    QAction *menuQueriesSelect = nullptr;
    QAction *menuQueriesDefine = nullptr;

    QMenu *menuHelp = nullptr;
    QAction *menuHelpTips = nullptr;
    QAction *menuHelpSample1 = nullptr;
    QAction *menuHelpSample2 = nullptr;
    QAction *menuHelpContact = nullptr;
    QAction *menuAbout = nullptr;
};
