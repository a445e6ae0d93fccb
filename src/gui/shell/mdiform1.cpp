// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/mdiform1.h"

#include "core/columns/tablelist.h"
#include "core/db/defaultdatabase.h"
#include "core/text/longlines.h"
#include "gui/database/databasemenu.h"
#include "gui/database/form13.h"
#include "gui/database/form3.h"
#include "gui/documents/caretstatus.h"
#include "gui/documents/editmenu.h"
#include "gui/documents/filecommands.h"
#include "gui/documents/form5.h"
#include "gui/documents/searchwindow.h"
#include "gui/documents/textprinter.h"
#include "gui/documents/textviews.h"
#include "gui/manipulator/manipulator.h"
#include "gui/queries/form12.h"
#include "gui/queries/frmquerys.h"
#include "gui/shell/errorreporter.h"
#include "gui/shell/form1.h"
#include "gui/shell/helpmenu.h"
#include "gui/shell/placement.h"
#include "gui/shell/textbox.h"
#include "gui/shell/toolkit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QDragEnterEvent>
#include <QLabel>
#include <QMimeData>
#include <QTimer>

#include <algorithm>
#include <functional>

using Role = TextViews::Role;

namespace {

QString withTrailingSlash(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

// The child subwindows close by hiding: the windows keep their state and the
// menus bring them back. The owner may refuse the close or act on it.
class ChildWindow : public QMdiSubWindow
{
public:
    std::function<bool()> mayClose;
    std::function<void()> closing; // before it hides
    std::function<void()> closed;  // after
    bool centreOnFirstShow = false;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        event->ignore();
        if (mayClose && !mayClose())
            return;
        if (closing)
            closing();
        hide();
        if (closed)
            closed();
    }
    void showEvent(QShowEvent *event) override
    {
        if (centreOnFirstShow && parentWidget()) {
            centreOnFirstShow = false;
            const QRect area = parentWidget()->rect();
            move((area.width() - width()) / 2, (area.height() - height()) / 2);
        }
        QMdiSubWindow::showEvent(event);
    }
};

ChildWindow *childWindow(QMdiSubWindow *window)
{
    return static_cast<ChildWindow *>(window);
}
} // namespace

MDIForm1::MDIForm1(const StartupOptions &options)
    : m_preferences(options.settingsFile),
      m_programFolder(options.programFolder.isEmpty() ? tw::programFolder() : options.programFolder),
      m_showSplash(options.showSplash)
{
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(tr("Tabwright"));
    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    // On a small or strongly scaled screen the frame may be smaller than a
    // child window: the area scrolls rather than pushing the frame's own
    // size (and its title bar) past the screen.
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea);
    setAcceptDrops(true);
    createMenus();
    createChildren();
    connectMenus();
    connect(mdiArea, &QMdiArea::subWindowActivated, this, &MDIForm1::subWindowActivated);

    // The one place that asks before the program's own tables take the
    // default database back from another one.
    m_session.confirmLeavingExternal = [] {
        return Toolkit::instance().message(
                   tr("To honor your request would necessitate closing the external database and using the "
                      "original one.  Shall we close the external DB now?"),
                   Buttons::YesNo, Icon::Question, tr("Choices, choices..."), Answer::No)
               == Answer::Yes;
    };
    refreshEntries();
}

MDIForm1::~MDIForm1()
{
    // The windows go before the text, the session and the busy state they
    // work on; their activation changes must not reach this half-gone frame.
    disconnect(mdiArea, nullptr, this, nullptr);
    delete mdiArea;
    mdiArea = nullptr;
}

QMdiSubWindow *MDIForm1::addChild(QWidget *widget, Qt::WindowFlags extraFlags)
{
    auto window = new ChildWindow;
    window->setWidget(widget);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->setWindowTitle(widget->windowTitle());
    connect(widget, &QWidget::windowTitleChanged, window, &QWidget::setWindowTitle);
    mdiArea->addSubWindow(window, window->windowFlags() | extraFlags);
    window->hide();
    window->installEventFilter(this);
    m_subWindows.insert(widget, window);
    return window;
}

void MDIForm1::createChildren()
{
    m_views = new TextViews(m_document, m_busy, *this, this);

    m_manipulator = new Manipulator(m_document, m_session, m_busy, *m_views, m_preferences);
    ChildWindow *manipulator = childWindow(addChild(m_manipulator));
    // A run still putting its result together keeps the window open; so
    // does Cancel at the question about unsaved changes.
    manipulator->mayClose = [this] { return !m_busy.isBusy() && m_files->closeFile(); };
    manipulator->closed = [this] { manipulatorClosed(); };
    connect(m_manipulator, &Manipulator::closeRequested, this, [this] { closeChild(m_manipulator); });
    connect(m_manipulator, &Manipulator::findRequested, this, &MDIForm1::menuSearchFind_Click);
    m_manipulator->giveUpAccessKeys(menuAccessKeys());

    m_viewer = new Form5(*m_views);
    ChildWindow *viewer = childWindow(addChild(m_viewer));
    viewer->setObjectName(QStringLiteral("Form5Window"));
    viewer->closing = [this] { viewerClosing(); };
    viewer->closed = [this] { viewerClosed(); };
    connect(m_viewer, &Form5::manipulatorRequested, this, &MDIForm1::menuViewTabwrite_Click);

    m_search = new SearchWindow(*m_views, *this);
    // The Search window stays above the text it searches, so the match it
    // selects and the Find Again button can be seen together.
    addChild(m_search, Qt::WindowStaysOnTopHint)->setObjectName(QStringLiteral("SearchWindowFrame"));

    m_tableList = new Form3;
    addChild(m_tableList);
    connect(m_tableList, &Form3::closeRequested, this, [this] { closeChild(m_tableList); });

    m_tableWindow = new Form13(m_session);
    ChildWindow *tableWindow = childWindow(addChild(m_tableWindow));
    tableWindow->resize(640, 420);
    tableWindow->centreOnFirstShow = true;
    // Closing the table window closes its rows.
    tableWindow->closed = [this] { m_tableWindow->closeTable(); };
    connect(m_tableWindow, &Form13::closeRequested, this, [this] { closeChild(m_tableWindow); });

    m_queryResult = new Form12(m_session);
    ChildWindow *queryResult = childWindow(addChild(m_queryResult));
    queryResult->resize(640, 420);
    queryResult->centreOnFirstShow = true;
    queryResult->closed = [this] { m_queryResult->closeQuery(); };
    connect(m_queryResult, &Form12::closeRequested, this, [this] { closeChild(m_queryResult); });

    m_queries = new frmQuerys(m_session, m_preferences);
    ChildWindow *queries = childWindow(addChild(m_queries));
    // The result window goes with the Queries window.
    queries->closing = [this] {
        closeChild(m_queryResult);
        m_queries->Form_Unload();
    };
    queries->closed = [this] {
        if (m_activeChild == m_subWindows.value(m_queries))
            m_activeChild = nullptr;
    };
    connect(m_queries, &frmQuerys::closeRequested, this, [this] { closeChild(m_queries); });
    connect(m_queries, &frmQuerys::rowsRequested, this, [this](const tw::QueryDef &query, const QString &caption) {
        if (m_queryResult->showQuery(query, caption))
            showChild(m_queryResult);
    });
    connect(m_queries, &frmQuerys::statusMessage, this, [this](const QString &text) {
        statusBar()->showMessage(text, 10000);
    });
    m_help = new HelpMenu(m_session, m_preferences, this);
    m_textPrinter = new TextPrinter(m_document, this);

    m_files = new FileCommands(m_document, m_preferences, this);
    connect(m_files, &FileCommands::openStarted, m_manipulator, &Manipulator::fileOpenStarted);
    connect(m_files, &FileCommands::openEnded, m_manipulator, &Manipulator::fileOpenEnded);
    connect(m_files, &FileCommands::manipulatorActivated, this, &MDIForm1::manipulatorActivated);
    m_editMenu = new EditMenu(*m_views, this);
    m_databaseMenu = new DatabaseMenu(m_session, m_busy, *this, m_tableList, m_tableWindow, this);
    m_databaseMenu->setPreferences(&m_preferences);
    m_caretStatus = new CaretStatus(statusBar(), m_views->box(Role::Manipulator), this);
    connect(m_views, &TextViews::textShown, m_caretStatus, &CaretStatus::textReplaced);
    // Says why the text cannot be typed in while its long lines are shown
    // in pieces.
    auto piecesNote = new QLabel(
        tr("Read only: lines over %L1 characters are shown in pieces of %L2; the text itself is unchanged")
            .arg(tw::longLineLength)
            .arg(tw::longLinePiece),
        this);
    piecesNote->setObjectName(QStringLiteral("piecesNote"));
    piecesNote->setVisible(false);
    statusBar()->addWidget(piecesNote);
    connect(m_views, &TextViews::shownInPiecesChanged, piecesNote, &QWidget::setVisible);
    // The database the commands work on is always in sight.
    m_databaseStatus = new QLabel(this);
    m_databaseStatus->setObjectName(QStringLiteral("databaseStatus"));
    statusBar()->addPermanentWidget(m_databaseStatus);
    connect(&m_session, &tw::DatabaseSession::switched, this, &MDIForm1::showCurrentDatabase);
    connect(&m_busy, &BusyState::announced, this, [this](const QString &news) { statusBar()->showMessage(news); });

    // What the user chose last time.
    m_views->setTextFont(m_preferences.textFont());
    m_manipulator->setTextFont(m_preferences.textFont());
    m_views->setLineEndsShown(m_preferences.lineEndsShown());
    connect(&m_preferences, &Preferences::textFontChanged, m_views, &TextViews::setTextFont);
    connect(&m_preferences, &Preferences::textFontChanged, m_manipulator, &Manipulator::setTextFont);
    connect(&m_preferences, &Preferences::lineEndsShownChanged, m_views, &TextViews::setLineEndsShown);
    connect(&m_preferences, &Preferences::recentFilesChanged, this, &MDIForm1::fillRecentFiles);

    connect(&m_document, &tw::TextDocument::modifiedChanged, this, &MDIForm1::refreshEntries);
    connect(&m_document, &tw::TextDocument::undoAvailableChanged, this, &MDIForm1::refreshEntries);
    connect(&m_document, &tw::TextDocument::openChanged, this, &MDIForm1::refreshEntries);
    connect(&m_document, &tw::TextDocument::emptyChanged, this, &MDIForm1::refreshEntries);
    connect(&m_busy, &BusyState::busyChanged, this, &MDIForm1::refreshEntries);
    connect(&m_session, &tw::DatabaseSession::switched, this, &MDIForm1::refreshEntries);
}

QAction *MDIForm1::addEntry(QMenu *menu, const char *name, const QString &caption, const QKeySequence &key)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty())
        action->setShortcut(key);
    return action;
}

void MDIForm1::createMenus()
{
    auto makeMenu = [this](const char *name, const QString &caption) {
        QMenu *menu = menuBar()->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };

    menuFile = makeMenu("menuFile", tr("&File"));
    // The recent files' entries name the whole path in a tool tip.
    menuFile->setToolTipsVisible(true);
    menuFileTabwrite = addEntry(menuFile, "menuFileTabwrite", tr("&Tabwrite..."));
    // The keys users of any desktop program reach for.
    menuFileOpenFile = addEntry(menuFile, "menuFileOpenFile", tr("&Open File..."), QKeySequence::Open);
    menuFileSaveFile = addEntry(menuFile, "menuFileSaveFile", tr("&Save File"), QKeySequence::Save);
    menuFileSaveFileAs = addEntry(menuFile, "menuFileSaveFileAs", tr("Save File &As..."),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    menuFileCloseFile = addEntry(menuFile, "menuFileCloseFile", tr("C&lose File"), QKeySequence(Qt::CTRL | Qt::Key_W));
    // The files opened lately follow, between this separator and the next.
    menuFileRecentFiles = menuFile->addSeparator();
    menuFileRecentFiles->setObjectName(QStringLiteral("menuFileRecentFiles"));
    menuFile->addSeparator()->setObjectName(QStringLiteral("spacer0"));
    menuFileUseOrig = addEntry(menuFile, "menuFileUseOrig", tr("Use O&riginal Database"));
    menuFileOpenDB = addEntry(menuFile, "menuFileOpenDB", tr("Open Access Database..."));
    menuFileOpenServer = addEntry(menuFile, "menuFileOpenServer", tr("Open Server Data&base..."));
    menuFile->addSeparator()->setObjectName(QStringLiteral("spacer01"));
    menuFileOpenTable = addEntry(menuFile, "menuFileOpenTable", tr("Open &Table..."));
    menuFileSaveTableAs = addEntry(menuFile, "menuFileSaveTableAs", tr("Save TABLE &As..."));
    menuFileDeleteTable = addEntry(menuFile, "menuFileDeleteTable", tr("&Delete Table..."));
    menuFile->addSeparator()->setObjectName(QStringLiteral("spacer1"));
    menuFilePrinterSetup = addEntry(menuFile, "menuFilePrinterSetup", tr("Printer Set&up..."));
    menuFilePrint = addEntry(menuFile, "menuFilePrint", tr("&Print..."));
    menuFile->addSeparator()->setObjectName(QStringLiteral("spacer2"));
    menuExit = addEntry(menuFile, "menuExit", tr("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    menuFileTabwrite->setVisible(false);
    menuFilePrinterSetup->setVisible(false);
    menuFilePrint->setEnabled(false);

    menuEdit = makeMenu("menuEdit", tr("&Edit"));
    menuEditUndo = addEntry(menuEdit, "menuEditUndo", tr("&Undo"), QKeySequence::Undo);
    menuEditCut = addEntry(menuEdit, "menuEditCut", tr("Cu&t"));
    menuEditCopy = addEntry(menuEdit, "menuEditCopy", tr("&Copy"));
    menuEditPaste = addEntry(menuEdit, "menuEditPaste", tr("&Paste"));
    menuEditSelectAll = addEntry(menuEdit, "menuEditSelectAll", tr("&Select All"));
    menuEditDeleteAll = addEntry(menuEdit, "menuEditDeleteAll", tr("&Delete All"));
    for (QAction *off : {menuEditCut, menuEditCopy, menuEditSelectAll, menuEditDeleteAll})
        off->setEnabled(false);

    menuView = makeMenu("menuView", tr("&View"));
    menuViewTextViewer = addEntry(menuView, "menuViewTextViewer", tr("&Text Viewer"), Qt::Key_F2);
    menuViewTabwrite = addEntry(menuView, "menuViewTabwrite", tr("&Manipulator"), Qt::Key_F3);
    menuView->addSeparator();
    menuViewFont = addEntry(menuView, "menuViewFont", tr("&Font..."));
    menuViewLineEnds = addEntry(menuView, "menuViewLineEnds", tr("Show &Line Ends"));
    menuViewLineEnds->setCheckable(true);

    menuSearch = makeMenu("menuSearch", tr("&Search"));
    menuSearchFind = addEntry(menuSearch, "menuSearchFind", tr("&Find..."), QKeySequence(Qt::CTRL | Qt::Key_F));

    menuQueries = makeMenu("menuQueries", tr("&Queries"));
    menuQueriesSelect = addEntry(menuQueries, "menuQueriesSelect", tr("&Select and Run..."));
    menuQueriesDefine = addEntry(menuQueries, "menuQueriesDefine", tr("&Define and Run..."));

    menuHelp = makeMenu("menuHelp", tr("&Help"));
    menuHelpTips = addEntry(menuHelp, "menuHelpTips", tr("&Tips"), Qt::Key_F1);
    menuHelpSample1 = addEntry(menuHelp, "menuHelpSample1", tr("Sample &1"));
    menuHelpSample2 = addEntry(menuHelp, "menuHelpSample2", tr("Sample &2"));
    menuHelp->addSeparator()->setObjectName(QStringLiteral("menuHelpSpace1"));
    menuHelpContact = addEntry(menuHelp, "menuHelpContact", tr("&Contact Us..."));
    menuHelp->addSeparator()->setObjectName(QStringLiteral("menuHelpSpace2"));
    menuAbout = addEntry(menuHelp, "menuAbout", tr("&About Tabwright"));
}

QString MDIForm1::menuAccessKeys() const
{
    QString letters;
    for (const QMenu *menu : {menuFile, menuEdit, menuView, menuSearch, menuQueries, menuHelp}) {
        const QString title = menu->title();
        if (const qsizetype mark = title.indexOf(u'&'); mark >= 0 && mark + 1 < title.size())
            letters += title.at(mark + 1).toLower();
    }
    return letters;
}

void MDIForm1::connectMenus()
{
    connect(menuFile, &QMenu::aboutToShow, this, &MDIForm1::menuFile_Click);
    connect(menuEdit, &QMenu::aboutToShow, this, &MDIForm1::menuEdit_Click);
    connect(menuView, &QMenu::aboutToShow, this, &MDIForm1::menuView_Click);
    connect(menuSearch, &QMenu::aboutToShow, this, &MDIForm1::menuSearch_Click);
    connect(menuQueries, &QMenu::aboutToShow, this, &MDIForm1::menuQueries_Click);

    connect(menuFileOpenFile, &QAction::triggered, this, &MDIForm1::menuFileOpenFile_Click);
    connect(menuFileSaveFile, &QAction::triggered, m_files, &FileCommands::menuFileSaveFile_Click);
    connect(menuFileSaveFileAs, &QAction::triggered, m_files, &FileCommands::menuFileSaveFileAs_Click);
    connect(menuFileCloseFile, &QAction::triggered, m_files, &FileCommands::menuFileCloseFile_Click);
    connect(menuFileOpenDB, &QAction::triggered, this, &MDIForm1::menuFileOpenDB_Click);
    connect(menuFileOpenServer, &QAction::triggered, this, &MDIForm1::menuFileOpenServer_Click);
    connect(menuFileUseOrig, &QAction::triggered, m_databaseMenu, &DatabaseMenu::menuFileUseOrig_Click);
    connect(menuFileOpenTable, &QAction::triggered, m_databaseMenu, &DatabaseMenu::menuFileOpenTable_Click);
    connect(menuFileDeleteTable, &QAction::triggered, m_databaseMenu, &DatabaseMenu::menuFileDeleteTable_Click);
    connect(menuFileSaveTableAs, &QAction::triggered, m_databaseMenu, &DatabaseMenu::menuFileSaveTableAs_Click);
    connect(menuExit, &QAction::triggered, this, &MDIForm1::menuExit_Click);
    menuViewLineEnds->setChecked(m_preferences.lineEndsShown());
    fillRecentFiles();
    connect(menuFilePrint, &QAction::triggered, m_textPrinter, &TextPrinter::menuFilePrint_Click);
    connect(menuHelpTips, &QAction::triggered, m_help, &HelpMenu::menuHelpTips_Click);
    connect(menuHelpSample1, &QAction::triggered, m_help, &HelpMenu::menuHelpSample1_Click);
    connect(menuHelpSample2, &QAction::triggered, m_help, &HelpMenu::menuHelpSample2_Click);
    connect(menuHelpContact, &QAction::triggered, m_help, &HelpMenu::menuHelpContact_Click);
    connect(menuAbout, &QAction::triggered, m_help, &HelpMenu::menuAbout_Click);

    // Edit > Undo presses the Manipulator's Undo button.
    connect(menuEditUndo, &QAction::triggered, m_manipulator, &Manipulator::Command1_Click);
    connect(menuEditCut, &QAction::triggered, m_editMenu, &EditMenu::menuEditCut_Click);
    connect(menuEditCopy, &QAction::triggered, m_editMenu, &EditMenu::menuEditCopy_Click);
    connect(menuEditPaste, &QAction::triggered, m_editMenu, &EditMenu::menuEditPaste_Click);
    connect(menuEditSelectAll, &QAction::triggered, m_editMenu, &EditMenu::menuEditSelectAll_Click);
    connect(menuEditDeleteAll, &QAction::triggered, m_editMenu, &EditMenu::menuEditDeleteAll_Click);

    connect(menuViewTabwrite, &QAction::triggered, this, &MDIForm1::menuViewTabwrite_Click);
    connect(menuViewTextViewer, &QAction::triggered, this, &MDIForm1::menuViewTextViewer_Click);
    connect(menuViewFont, &QAction::triggered, this, &MDIForm1::menuViewFont_Click);
    connect(menuViewLineEnds, &QAction::toggled, &m_preferences, &Preferences::setLineEndsShown);
    connect(menuSearchFind, &QAction::triggered, this, &MDIForm1::menuSearchFind_Click);
    connect(menuQueriesSelect, &QAction::triggered, this, &MDIForm1::menuQueriesSelect_Click);
    connect(menuQueriesDefine, &QAction::triggered, this, &MDIForm1::menuQueriesDefine_Click);
}

void MDIForm1::placeOnScreen()
{
    // Where the user left the frame, or centred at its first start.
    if (!restoreGeometry(m_preferences.frameGeometry()))
        placement::centreOnScreen(this, QSize(twipsToPixels(10275), twipsToPixels(8000)));
    // The window manager's frame is known only once the window is up: then
    // the title bar is brought onto the screen if it was pushed off.
    QTimer::singleShot(0, this, [this] { placement::keepOnScreen(this); });
}

bool MDIForm1::Form_Load()
{
    placeOnScreen();
    if (m_showSplash) {
        Form1 splash(this);
        splash.playSequence();
    }
    if (m_session.defaultPath().isEmpty() && !checkDbase())
        return false;
    // Start-up goes on whatever fails here: the File and Queries menus try
    // the default database again each time they open.
    (void)m_session.openDefault();
    if (m_session.database().isOpen())
        (void)m_session.database().execUser(
            QStringLiteral("delete * from tabwrite_settings where not isnull(get_data_from_column);"));

    m_manipulator->Form_Load();
    // Filling the frame, but not maximised: a maximised child would put its
    // caption into the frame's.
    QMdiSubWindow *manipulator = m_subWindows.value(m_manipulator);
    manipulator->setGeometry(mdiArea->viewport()->rect());
    showChild(m_manipulator);
    setTextMenusVisible(true);
    m_manipulator->focusText();
    return true;
}

bool MDIForm1::checkDbase()
{
    Toolkit &toolkit = Toolkit::instance();
    if (QDir::current() != QDir(m_programFolder))
        QDir::setCurrent(m_programFolder);

    QString folder = withTrailingSlash(QDir::currentPath());
    QString found = tw::findDefaultDatabase(folder);

    int answer = Answer::Ok;
    while (found.isEmpty() && answer != Answer::Cancel) {
        answer = toolkit.message(tr("Please find and open the database: tabwright.mdb"), Buttons::OkCancel,
                                 Icon::Information, tr("Tabwright - It's your choice..."));
        QString picked;
        if (answer == Answer::Ok) {
            FileDialogRequest request;
            request.title = tr("Tabwrite - Select database");
            request.filter = tr("Microsoft database (*.mdb)|*.mdb|All files (*.*)|*.*");
            picked = toolkit.fileDialog(request);
        }
        if (picked.isEmpty()) {
            answer = Answer::Cancel;
            continue;
        }
        // Only the folder of the picked file counts: it must hold tabwright.mdb.
        folder = withTrailingSlash(QFileInfo(picked).absolutePath());
        found = tw::findDefaultDatabase(folder);
    }
    if (answer != Answer::Cancel && !found.isEmpty()) {
        m_session.setDefault(found, folder);
        return true;
    }
    toolkit.message(tr("This application cannot execute properly without the database tabwright.mdb.  "
                       "Please install this database on your system, and run the program again."));
    toolkit.endProgram(0);
    return false;
}

// ---- child windows ---------------------------------------------------------

void MDIForm1::showChild(QWidget *child)
{
    QMdiSubWindow *window = m_subWindows.value(child);
    window->show();
    window->raise();
    mdiArea->setActiveSubWindow(window);
}

void MDIForm1::raiseChild(QWidget *child)
{
    QMdiSubWindow *window = m_subWindows.value(child);
    window->show();
    window->raise();
}

void MDIForm1::closeChild(QWidget *child)
{
    if (QMdiSubWindow *window = m_subWindows.value(child); window && window->isVisible())
        window->close();
}

bool MDIForm1::isChildShown(const QWidget *child) const
{
    const QMdiSubWindow *window = m_subWindows.value(child);
    return window && window->isVisible();
}

bool MDIForm1::textWindowShown() const
{
    return isChildShown(m_manipulator) || isChildShown(m_viewer);
}

void MDIForm1::focusManipulator()
{
    showChild(m_manipulator);
    m_manipulator->setFocus();
}

void MDIForm1::setTextMenusVisible(bool visible)
{
    menuEdit->menuAction()->setVisible(visible);
    menuSearch->menuAction()->setVisible(visible);
    refreshEntries();
}

void MDIForm1::subWindowActivated(QMdiSubWindow *window)
{
    if (!window)
        return;
    const QWidget *child = window->widget();
    if (child == m_manipulator) {
        m_activeChild = window;
        m_views->setEditTarget(Role::Manipulator);
        m_caretStatus->follow(m_views->box(Role::Manipulator));
    } else if (child == m_viewer) {
        menuEdit->menuAction()->setVisible(true);
        menuSearch->menuAction()->setVisible(!isChildShown(m_search));
        m_views->setEditTarget(Role::Viewer);
        m_caretStatus->follow(m_views->box(Role::Viewer));
    } else if (child == m_tableWindow) {
        m_activeChild = window;
        // Coming back from another window: show the table as it is now.
        if (m_lastActivated != window)
            m_tableWindow->Form_Activate();
    } else if (child == m_tableList) {
        m_activeChild = window;
    } else if (child == m_queries) {
        m_activeChild = window;
        m_queries->Form_Activate();
    } else if (child == m_queryResult) {
        m_activeChild = window;
        // The rows are read anew each time the window comes to the front.
        if (m_lastActivated != window)
            m_queryResult->Form_Activate();
    }
    m_lastActivated = window;
}

void MDIForm1::manipulatorActivated(bool focus)
{
    m_activeChild = m_subWindows.value(m_manipulator);
    m_views->setEditTarget(Role::Manipulator);
    if (focus) {
        focusManipulator();
        m_manipulator->focusText();
    }
}

void MDIForm1::manipulatorClosed()
{
    // Keys must not go on reaching a text box that can no longer be seen.
    // (Giving it to the frame's area would hand it straight back: the area
    // passes it on to its active window, which is this hidden one.)
    if (QWidget *focus = QApplication::focusWidget(); focus && m_manipulator->isAncestorOf(focus))
        focus->clearFocus();
    if (m_activeChild == m_subWindows.value(m_manipulator))
        m_activeChild = nullptr;
    setTextMenusVisible(isChildShown(m_viewer));
    if (isChildShown(m_search) && !isChildShown(m_viewer))
        closeChild(m_search);
}

void MDIForm1::viewerClosing()
{
    HourglassGuard hourglass;
    // Out of its maximised state first: the area would hand that state on to
    // the Manipulator as it becomes the active window.
    m_subWindows.value(m_viewer)->showNormal();
    if (isChildShown(m_manipulator)) {
        m_views->copyCaret(Role::Viewer, Role::Manipulator);
        focusManipulator();
        m_manipulator->focusText();
    }
}

void MDIForm1::viewerClosed()
{
    // The Edit and Search menus stay only while a text window is open.
    if (!isChildShown(m_manipulator)) {
        setTextMenusVisible(false);
        if (QWidget *focus = QApplication::focusWidget(); focus && m_viewer->isAncestorOf(focus))
            focus->clearFocus();
    }
    refreshEntries();
}

// ---- menus -----------------------------------------------------------------

void MDIForm1::refreshEntries()
{
    if (!m_views)
        return;
    const bool textWindow = textWindowShown();
    const bool busy = m_busy.isBusy();
    // While a run or a save goes on, nothing may swap the text or the
    // database from under it: its result would overwrite a newly opened file,
    // or its records would go to a database the user has left.
    menuFileTabwrite->setEnabled(!textWindow);
    menuFileOpenFile->setEnabled(textWindow && !busy);
    menuFileSaveFile->setEnabled(textWindow && m_document.isModified());
    menuFileSaveFileAs->setEnabled(textWindow && m_document.isOpen());
    menuFileCloseFile->setEnabled(textWindow && m_document.isOpen() && !busy);
    menuFileUseOrig->setEnabled(m_session.isExternal() && !busy);
    menuFileOpenDB->setEnabled(!busy);
    menuFileOpenServer->setEnabled(!busy);
    menuFileOpenTable->setEnabled(m_tablesListed);
    menuFileDeleteTable->setEnabled(m_tablesListed && !busy);
    menuFileSaveTableAs->setEnabled(m_tablesListed && isChildShown(m_tableWindow) && !busy);
    menuEditUndo->setEnabled(textWindow && m_document.undoAvailable());
    // The files opened lately are offered where Open File is.
    const QList<QAction *> entries = menuFile->actions();
    for (qsizetype i = entries.indexOf(menuFileRecentFiles) + 1; i < entries.size() && !entries[i]->isSeparator(); ++i)
        entries[i]->setEnabled(textWindow && !busy);
    menuSearchFind->setEnabled(textWindow && !m_document.isEmpty());
    // F2 and F3 work without the View menu being opened first.
    const bool viewer = isChildShown(m_viewer);
    menuViewTabwrite->setEnabled(viewer || !isChildShown(m_manipulator));
    menuViewTextViewer->setEnabled(!viewer);
}

void MDIForm1::menuFile_Click()
{
    const tw::DbError opened = m_session.reopenDefaultIfClosed();
    if (opened.isError()) {
        refreshEntries();
        return errors::reportFileMenu(opened);
    }
    const auto tables = m_session.database().tableNames();
    if (!tables) {
        refreshEntries();
        return errors::reportFileMenu(tables.error());
    }
    m_tablesListed = std::any_of(tables.value().cbegin(), tables.value().cend(), tw::isListedTable);
    menuFilePrint->setEnabled(!m_document.isEmpty() && m_activeChild
                              && m_activeChild == m_subWindows.value(m_manipulator));
    refreshEntries();
}

void MDIForm1::menuEdit_Click()
{
    const EditMenu::Offer offer = m_editMenu->menuEdit_Click();
    for (QAction *entry : {menuEditCut, menuEditCopy, menuEditSelectAll, menuEditDeleteAll})
        entry->setEnabled(offer.selectionCommands);
    menuEditPaste->setEnabled(offer.paste);
}

void MDIForm1::menuView_Click()
{
    refreshEntries();
}

bool MDIForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide)
        refreshEntries();
    return QMainWindow::eventFilter(watched, event);
}

void MDIForm1::menuSearch_Click()
{
    refreshEntries();
}

void MDIForm1::menuQueries_Click()
{
    // Errors are passed over: the Queries window reports its own.
    if (!m_session.reopenDefaultIfClosed().isError())
        (void)m_session.database().tableNames();
}

void MDIForm1::menuFileOpenFile_Click()
{
    if (m_files->menuFileOpenFile_Click())
        menuFilePrint->setEnabled(true);
}

void MDIForm1::menuFileOpenDB_Click()
{
    // The program's own tables are left before another database comes in.
    m_manipulator->showTab(ProcessingFrame::TextLines);
    m_databaseMenu->menuFileOpenDB_Click();
}

void MDIForm1::menuFileOpenServer_Click()
{
    m_manipulator->showTab(ProcessingFrame::TextLines);
    m_databaseMenu->menuFileOpenServer_Click();
}

void MDIForm1::menuViewTabwrite_Click()
{
    HourglassGuard hourglass;
    if (isChildShown(m_viewer)) {
        m_views->copyCaret(Role::Viewer, Role::Manipulator);
        // Out of its maximised state before it goes: the area would hand that
        // state on to the Manipulator as it becomes the active window.
        QMdiSubWindow *viewer = m_subWindows.value(m_viewer);
        viewer->showNormal();
        viewer->hide();
    }
    m_manipulator->Form_Load();
    showChild(m_manipulator);
    m_manipulator->focusText();
    setTextMenusVisible(true);
}

void MDIForm1::menuViewTextViewer_Click()
{
    HourglassGuard hourglass;
    m_viewer->setCaptionFor(m_document.shownPath());
    m_views->copyCaret(Role::Manipulator, Role::Viewer);
    m_subWindows.value(m_viewer)->showMaximized();
    showChild(m_viewer);
    m_views->box(Role::Viewer)->setFocus();
    refreshEntries();
}

void MDIForm1::menuSearchFind_Click()
{
    m_search->showWindow();
}

void MDIForm1::openQueriesWindow(bool select)
{
    // Shown already, it loads again to take the new mode.
    m_queries->setMode(select ? frmQuerys::Mode::Select : frmQuerys::Mode::Define);
    m_queries->Form_Load();
    showChild(m_queries);
    m_queries->Form_Activate();
}

void MDIForm1::menuQueriesSelect_Click()
{
    openQueriesWindow(true);
}

void MDIForm1::menuQueriesDefine_Click()
{
    openQueriesWindow(false);
}

void MDIForm1::menuExit_Click()
{
    // Exit asks what closing the frame asks: unsaved text is never lost
    // without a word.
    if (closeChildren())
        Toolkit::instance().endProgram(0);
}

bool MDIForm1::closeChildren()
{
    const QList<QMdiSubWindow *> children = mdiArea->subWindowList();
    for (QMdiSubWindow *child : children) {
        if (!child->isVisible())
            continue;
        // A child that may close hides itself; one that refuses stays shown.
        child->close();
        if (child->isVisible())
            return false;
    }
    return true;
}

void MDIForm1::closeEvent(QCloseEvent *event)
{
    if (!closeChildren()) {
        event->ignore();
        return;
    }
    m_preferences.setFrameGeometry(saveGeometry());
    event->accept();
}

void MDIForm1::dragEnterEvent(QDragEnterEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.first().isLocalFile() && !m_busy.isBusy() && textWindowShown())
        event->acceptProposedAction();
}

void MDIForm1::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return;
    event->acceptProposedAction();
    openFile(urls.first().toLocalFile());
}

void MDIForm1::openFile(const QString &path)
{
    if (m_busy.isBusy())
        return;
    if (m_files->openFile(path))
        menuFilePrint->setEnabled(true);
}

void MDIForm1::fillRecentFiles()
{
    // The entries between the separator after Close File and the next one.
    const QList<QAction *> entries = menuFile->actions();
    for (qsizetype i = entries.indexOf(menuFileRecentFiles) + 1; i < entries.size() && !entries[i]->isSeparator(); ++i)
        delete entries[i];
    QAction *before = nullptr;
    const QList<QAction *> after = menuFile->actions();
    if (const qsizetype at = after.indexOf(menuFileRecentFiles); at + 1 < after.size())
        before = after[at + 1];
    const QStringList files = m_preferences.recentFiles();
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        auto entry = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()), menuFile);
        // Files of the same name in different folders told apart.
        entry->setToolTip(QDir::toNativeSeparators(path));
        entry->setStatusTip(QDir::toNativeSeparators(path));
        entry->setObjectName(QStringLiteral("menuFileRecent%1").arg(i + 1));
        entry->setToolTip(path);
        entry->setStatusTip(path);
        connect(entry, &QAction::triggered, this, [this, path] { openFile(path); });
        menuFile->insertAction(before, entry);
    }
    menuFileRecentFiles->setVisible(!files.isEmpty());
    refreshEntries();
}

void MDIForm1::showCurrentDatabase()
{
    m_databaseStatus->setText(m_session.currentPath());
    m_databaseStatus->setToolTip(tr("The database the table commands work on"));
}

void MDIForm1::menuViewFont_Click()
{
    QFont font = m_preferences.textFont();
    if (Toolkit::instance().fontDialog(font, tr("Tabwright - Font of the text")))
        m_preferences.setTextFont(font);
}
