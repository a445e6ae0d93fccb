// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/mdiform1.h"

#include "gui/shell/errormessages.h"
#include "gui/shell/form1.h"
#include "gui/shell/textbox.h"
#include "gui/shell/toolkit.h"
#include "core/columns/tablelist.h"
#include "core/db/database.h"
#include "gui/database/databasemenu.h"
#include "gui/documents/textdocuments.h"
#include "gui/manipulator/manipulator.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScopeGuard>
#include <QScreen>

#include <algorithm>
#include <functional>

namespace {
const QString defaultDbName = QStringLiteral("tabwright.mdb");

QString withTrailingSlash(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

// The name under which the folder holds tabwright.mdb, in whatever letter
// case it was stored; "" when it holds none.
QString findDefaultDb(const QString &folder)
{
    const QDir dir(folder);
    if (dir.exists(defaultDbName))
        return defaultDbName;
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : entries)
        if (entry.compare(defaultDbName, Qt::CaseInsensitive) == 0)
            return entry;
    return {};
}

// The child subwindows close by hiding: the windows keep their state and
// View brings them back. The owner may refuse the close or act on it.
class ChildWindow : public QMdiSubWindow
{
public:
    std::function<bool()> mayClose;
    std::function<void()> closed;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        event->ignore();
        if (mayClose && !mayClose())
            return;
        hide();
        if (closed)
            closed();
    }
};
} // namespace

MDIForm1::MDIForm1(const StartupOptions &options)
    : m_programFolder(options.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                      : options.programFolder),
      m_showSplash(options.showSplash), m_db(std::make_unique<tw::Database>())
{
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(tr("Tabwright"));
    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(mdiArea);
    connect(mdiArea, &QMdiArea::subWindowActivated, this, &MDIForm1::subWindowActivated);
    createMenus();

    m_manipulator = new Manipulator(*this, m_state);
    auto manipulatorWindow = new ChildWindow;
    // A run still putting its result together keeps the window open.
    manipulatorWindow->mayClose = [this] { return !m_manipulator->isBusy() && m_documents->manipulatorMayClose(); };
    manipulatorWindow->closed = [this] {
        setTextMenusVisible(textViewerVisible());
        m_documents->manipulatorClosed();
    };
    m_manipulatorWindow = manipulatorWindow;
    m_manipulatorWindow->setWidget(m_manipulator);
    m_manipulatorWindow->setAttribute(Qt::WA_DeleteOnClose, false);
    m_manipulatorWindow->setWindowTitle(m_manipulator->windowTitle());
    mdiArea->addSubWindow(m_manipulatorWindow);
    m_manipulatorWindow->hide();
    connect(m_manipulator, &QWidget::windowTitleChanged, m_manipulatorWindow, &QWidget::setWindowTitle);
    // Edit > Undo does what the Manipulator's Undo button does.
    connect(menuEditUndo, &QAction::triggered, m_manipulator, &Manipulator::Command1_Click);
    new DatabaseMenu(*this);
    m_documents = new TextDocuments(*this, m_state);
}

MDIForm1::~MDIForm1()
{
    // The area's subwindows go after this part of the frame is gone; their
    // activation changes must not reach it.
    disconnect(mdiArea, nullptr, this, nullptr);
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
    menuFileTabwrite = addEntry(menuFile, "menuFileTabwrite", tr("&Tabwrite..."));
    menuFileOpenFile = addEntry(menuFile, "menuFileOpenFile", tr("&Open File..."));
    menuFileSaveFile = addEntry(menuFile, "menuFileSaveFile", tr("&Save File"));
    menuFileSaveFileAs = addEntry(menuFile, "menuFileSaveFileAs", tr("Save File &As..."));
    menuFileCloseFile = addEntry(menuFile, "menuFileCloseFile", tr("C&lose File"));
    menuFile->addSeparator()->setObjectName(QStringLiteral("spacer0"));
    menuFileUseOrig = addEntry(menuFile, "menuFileUseOrig", tr("Use O&riginal Database"));
    menuFileOpenDB = addEntry(menuFile, "menuFileOpenDB", tr("Open Access Database..."));
    menuFile->addSeparator()->setObjectName(QStringLiteral("spacer01"));
    menuFileOpenTable = addEntry(menuFile, "menuFileOpenTable", tr("Open &Table..."));
    menuFileSaveTableAs = addEntry(menuFile, "menuFileSaveTableAs", tr("Save TABLE &As..."));
    menuFileDeleteTable = addEntry(menuFile, "menuFileDeleteTable", tr("&Delete Table..."));
    menuFile->addSeparator()->setObjectName(QStringLiteral("spacer1"));
    menuFilePrinterSetup = addEntry(menuFile, "menuFilePrinterSetup", tr("Printer Set&up..."));
    menuFilePrint = addEntry(menuFile, "menuFilePrint", tr("&Print..."));
    menuFile->addSeparator()->setObjectName(QStringLiteral("spacer2"));
    menuExit = addEntry(menuFile, "menuExit", tr("E&xit"));

    menuFileTabwrite->setVisible(false);
    menuFilePrinterSetup->setVisible(false);
    for (QAction *off : {menuFileTabwrite, menuFileSaveFile, menuFileSaveFileAs, menuFileCloseFile,
                         menuFileUseOrig, menuFileOpenTable, menuFileSaveTableAs, menuFileDeleteTable,
                         menuFilePrint})
        off->setEnabled(false);

    menuEdit = makeMenu("menuEdit", tr("&Edit"));
    menuEditUndo = addEntry(menuEdit, "menuEditUndo", tr("&Undo"));
    menuEditCut = addEntry(menuEdit, "menuEditCut", tr("Cu&t"));
    menuEditCopy = addEntry(menuEdit, "menuEditCopy", tr("&Copy"));
    menuEditPaste = addEntry(menuEdit, "menuEditPaste", tr("&Paste"));
    menuEditSelectAll = addEntry(menuEdit, "menuEditSelectAll", tr("&Select All"));
    menuEditDeleteAll = addEntry(menuEdit, "menuEditDeleteAll", tr("&Delete All"));
    for (QAction *off : {menuEditUndo, menuEditCut, menuEditCopy, menuEditSelectAll, menuEditDeleteAll})
        off->setEnabled(false);

    menuView = makeMenu("menuView", tr("&View"));
    menuViewTextViewer = addEntry(menuView, "menuViewTextViewer", tr("&Text Viewer"), Qt::Key_F2);
    menuViewTabwrite = addEntry(menuView, "menuViewTabwrite", tr("&Manipulator"), Qt::Key_F3);

    menuSearch = makeMenu("menuSearch", tr("&Search"));
    menuSearchFind = addEntry(menuSearch, "menuSearchFind", tr("&Find..."), QKeySequence(Qt::CTRL | Qt::Key_F));
    menuSearchFind->setEnabled(false);

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

    connect(menuFile, &QMenu::aboutToShow, this, &MDIForm1::menuFile_Click);
    connect(menuView, &QMenu::aboutToShow, this, &MDIForm1::menuView_Click);
    connect(menuQueries, &QMenu::aboutToShow, this, &MDIForm1::menuQueries_Click);
    connect(menuViewTabwrite, &QAction::triggered, this, &MDIForm1::menuViewTabwrite_Click);
    connect(menuViewTextViewer, &QAction::triggered, this, &MDIForm1::menuViewTextViewer_Click);
    connect(menuQueriesSelect, &QAction::triggered, this, &MDIForm1::menuQueriesSelect_Click);
    connect(menuQueriesDefine, &QAction::triggered, this, &MDIForm1::menuQueriesDefine_Click);
    connect(menuExit, &QAction::triggered, this, &MDIForm1::menuExit_Click);
}

void MDIForm1::placeOnScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const int width = qMin(twipsToPixels(10275), available.width());
    const int height = qMin(twipsToPixels(8000), available.height());
    resize(width, height);
    move(available.x() + (available.width() - frameGeometry().width()) / 2,
         available.y() + (available.height() - frameGeometry().height()) / 2);
}

bool MDIForm1::Form_Load()
{
    placeOnScreen();
    if (m_showSplash) {
        Form1 splash(this);
        splash.playSequence();
    }
    if (m_state.currentDbPath.isEmpty()) {
        if (!checkDbase())
            return false;
        m_state.defaultDbPath = m_state.currentDbPath;
    }
    // Start-up goes on whatever fails here: the File and Queries menus try
    // the default database again each time they open.
    openCurrentDatabase(m_state.currentDbPath);
    m_state.reportConnect = QStringLiteral("dsn=; uid=; pwd=; dsq=");
    m_state.previousDbPath.clear();
    if (m_db->isOpen())
        (void)m_db->execUser(QStringLiteral("delete * from tabwrite_settings where not isnull(get_data_from_column);"));

    m_manipulator->Form_Load();
    // Filling the frame, but not maximised: a maximised child would put its
    // caption into the frame's.
    m_manipulatorWindow->setGeometry(mdiArea->viewport()->rect());
    m_manipulatorWindow->show();
    setTextMenusVisible(true);
    mdiArea->setActiveSubWindow(m_manipulatorWindow);
    m_manipulator->RichTextBox1->setFocus();
    return true;
}

bool MDIForm1::checkDbase()
{
    Toolkit &toolkit = Toolkit::instance();
    m_state.currentDbPath.clear();
    if (QDir::current() != QDir(m_programFolder))
        QDir::setCurrent(m_programFolder);

    m_state.dbFolder = withTrailingSlash(QDir::currentPath());
    QString foundName = findDefaultDb(m_state.dbFolder);
    m_state.currentDbPath = m_state.dbFolder + (foundName.isEmpty() ? defaultDbName : foundName);

    int answer = Answer::Ok;
    while (foundName.isEmpty() && answer != Answer::Cancel) {
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
        m_state.dbFolder = withTrailingSlash(QFileInfo(picked).absolutePath());
        foundName = findDefaultDb(m_state.dbFolder);
        m_state.currentDbPath = m_state.dbFolder + (foundName.isEmpty() ? defaultDbName : foundName);
    }
    if (answer != Answer::Cancel && !foundName.isEmpty())
        return true;

    toolkit.message(tr("This application cannot execute properly without the database tabwright.mdb.  "
                       "Please install this database on your system, and run the program again."));
    toolkit.endProgram(0);
    return false;
}

tw::DbError MDIForm1::openCurrentDatabase(const QString &path)
{
    // The handle is replaced, never doubled: the old database is closed first.
    m_db->close();
    return m_db->open(path);
}

bool MDIForm1::manipulatorVisible() const
{
    return m_manipulatorWindow && m_manipulatorWindow->isVisible();
}

bool MDIForm1::textViewerVisible() const
{
    return m_documents && m_documents->viewerVisible();
}

void MDIForm1::focusManipulator()
{
    mdiArea->setActiveSubWindow(m_manipulatorWindow);
    m_manipulator->setFocus();
}

void MDIForm1::setTextMenusVisible(bool visible)
{
    menuEdit->menuAction()->setVisible(visible);
    menuSearch->menuAction()->setVisible(visible);
}

void MDIForm1::subWindowActivated(QMdiSubWindow *window)
{
    if (window && window == m_manipulatorWindow) {
        m_state.activeChildName = QStringLiteral("Manipulator");
        m_state.editTarget = QStringLiteral("Manipulator");
    }
}

void MDIForm1::reopenDefaultIfClosed(tw::DbError &error)
{
    if (m_db->isOpen())
        return;
    m_state.currentDbPath = m_state.defaultDbPath;
    error = openCurrentDatabase(m_state.currentDbPath);
}

void MDIForm1::reportFileMenuError(const tw::DbError &error)
{
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    const std::optional<QString> message = fileMenuErrorMessage(error.number, error.description);
    if (message)
        Toolkit::instance().message(*message, Buttons::Ok, Icon::Information, tr("Tabwright - Sorry..."));
}

void MDIForm1::menuFile_Click()
{
    releaseEntriesHeldDuringRun();
    m_state.programmaticChange = true;
    if (manipulatorVisible()) {
        menuFileTabwrite->setEnabled(false);
        menuFileOpenFile->setEnabled(true);
    } else if (!textViewerVisible()) {
        menuFileTabwrite->setEnabled(true);
        for (QAction *fileEntry : {menuFileOpenFile, menuFileSaveFile, menuFileSaveFileAs, menuFileCloseFile})
            fileEntry->setEnabled(false);
    }

    // The flag only guards this handler's own work: a failure below must not
    // leave it set, or the user's next edit would pass unnoticed.
    auto finish = qScopeGuard([this] { m_state.programmaticChange = false; });
    tw::DbError error;
    reopenDefaultIfClosed(error);
    if (error.isError())
        return reportFileMenuError(error);

    const auto tables = m_db->tableNames();
    if (!tables)
        return reportFileMenuError(tables.error());
    const bool anyListed = std::any_of(tables.value().cbegin(), tables.value().cend(), tw::isListedTable);
    menuFileOpenTable->setEnabled(anyListed);
    menuFileDeleteTable->setEnabled(anyListed);

    const bool tableWindowVisible = DatabaseMenu::of(*this).tableWindowVisible();
    menuFileSaveTableAs->setEnabled(tableWindowVisible && menuFileOpenTable->isEnabled());
    menuFileUseOrig->setEnabled(m_state.currentDbPath.toLower() != m_state.defaultDbPath.toLower());
    menuFilePrint->setEnabled(!m_manipulator->working().isEmpty()
                              && m_state.activeChildName == QLatin1String("Manipulator"));

    // While a run or a save goes on, nothing may swap the text or the
    // database from under it: its result would overwrite a newly opened file,
    // or its records would go to a database the user has left.
    if (m_manipulator->isBusy()) {
        for (QAction *swap : {menuFileOpenFile, menuFileCloseFile, menuFileUseOrig, menuFileOpenDB,
                              menuFileDeleteTable, menuFileSaveTableAs}) {
            if (swap->isEnabled()) {
                m_heldDuringRun << swap;
                swap->setEnabled(false);
            }
        }
    }
}

void MDIForm1::releaseEntriesHeldDuringRun()
{
    if (m_manipulator->isBusy())
        return;
    for (QAction *held : std::as_const(m_heldDuringRun))
        held->setEnabled(true);
    m_heldDuringRun.clear();
}

void MDIForm1::menuView_Click()
{
    m_state.programmaticChange = true;
    menuViewTabwrite->setEnabled(!manipulatorVisible() && !textViewerVisible());
    if (!textViewerVisible()) {
        menuViewTextViewer->setEnabled(true);
    } else {
        menuViewTextViewer->setEnabled(false);
        menuViewTabwrite->setEnabled(true);
    }
    m_state.programmaticChange = false;
}

void MDIForm1::menuQueries_Click()
{
    // Errors are passed over: the Queries window reports its own.
    tw::DbError error;
    reopenDefaultIfClosed(error);
    if (!error.isError())
        (void)m_db->tableNames();
}

void MDIForm1::menuViewTabwrite_Click()
{
    HourglassGuard hourglass;
    m_state.programmaticChange = true;
    const bool viewerWasVisible = m_documents->viewerIntoManipulator();
    m_state.programmaticChange = false;
    m_manipulator->Form_Load();
    m_manipulatorWindow->show();
    mdiArea->setActiveSubWindow(m_manipulatorWindow);
    m_manipulator->RichTextBox1->setFocus();
    if (viewerWasVisible)
        m_documents->hideViewer();
    setTextMenusVisible(true);
}

void MDIForm1::menuViewTextViewer_Click()
{
    m_documents->menuViewTextViewer_Click();
}

void MDIForm1::showQueriesWindow(const QString &mode)
{
    m_state.queryWindowMode = mode;
    m_state.programmaticChange = true;
    // The Queries window comes with the saved queries; until then choosing a
    // mode is all there is.
    m_state.programmaticChange = false;
}

void MDIForm1::menuQueriesSelect_Click()
{
    showQueriesWindow(QStringLiteral("select"));
}

void MDIForm1::menuQueriesDefine_Click()
{
    showQueriesWindow(QStringLiteral("define"));
}

void MDIForm1::menuExit_Click()
{
    // Exit ends the program at once: no window is asked, unsaved text is lost.
    Toolkit::instance().endProgram(0);
}

void MDIForm1::closeEvent(QCloseEvent *event)
{
    const QList<QMdiSubWindow *> children = mdiArea->subWindowList();
    for (QMdiSubWindow *child : children) {
        if (!child->isVisible())
            continue;
        // A child that may close hides itself; one that refuses stays shown.
        child->close();
        if (child->isVisible()) {
            event->ignore();
            return;
        }
    }
    event->accept();
}
