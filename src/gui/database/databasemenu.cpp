// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/database/databasemenu.h"

#include "gui/shell/mdiform1.h"
#include "core/columns/tablecopy.h"
#include "core/columns/tablelist.h"
#include "core/db/database.h"
#include "gui/database/form3.h"
#include "gui/database/form4.h"
#include "gui/database/form13.h"
#include "core/grids/gridmodel.h"
#include "gui/manipulator/manipulator.h"
#include "gui/manipulator/savetargettab.h"

#include <QCloseEvent>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTableView>

#include <functional>

namespace {
// The subwindows of the table list and the table window hide when closed;
// the owner then lets go of what they showed.
class HidingSubWindow : public QMdiSubWindow
{
public:
    std::function<void()> closed;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        event->ignore();
        hide();
        if (closed)
            closed();
    }
};

QMdiSubWindow *addChild(QMdiArea *area, QWidget *widget, std::function<void()> closed)
{
    auto window = new HidingSubWindow;
    window->closed = std::move(closed);
    window->setWidget(widget);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->setWindowTitle(widget->windowTitle());
    QObject::connect(widget, &QWidget::windowTitleChanged, window, &QWidget::setWindowTitle);
    area->addSubWindow(window);
    window->hide();
    return window;
}

bool samePath(const QString &a, const QString &b)
{
    return a.toLower() == b.toLower();
}
} // namespace

DatabaseMenu::DatabaseMenu(MDIForm1 &frame) : QObject(&frame), m_frame(frame)
{
    setObjectName(QStringLiteral("databaseMenu"));
    m_form3 = new Form3;
    m_form13 = new Form13(frame.state());
    m_form3Window = addChild(frame.mdiArea, m_form3, [this] { m_frame.state().activeChildName.clear(); });
    m_form13Window = addChild(frame.mdiArea, m_form13, [this] {
        // Closing the table window closes its rows.
        m_form13->model()->submit();
        m_form13->closeTable();
        m_frame.state().activeChildName.clear();
    });
    m_form13Window->resize(640, 420);
    connect(m_form3, &Form3::tableDoubleClicked, this, &DatabaseMenu::List1_DblClick);
    connect(m_form3, &Form3::closeRequested, m_form3Window, &QWidget::close);
    connect(m_form13, &Form13::closeRequested, m_form13Window, &QWidget::close);
    connect(frame.mdiArea, &QMdiArea::subWindowActivated, this, &DatabaseMenu::subWindowActivated);

    connect(frame.menuFileOpenDB, &QAction::triggered, this, &DatabaseMenu::menuFileOpenDB_Click);
    connect(frame.menuFileUseOrig, &QAction::triggered, this, &DatabaseMenu::menuFileUseOrig_Click);
    connect(frame.menuFileOpenTable, &QAction::triggered, this, &DatabaseMenu::menuFileOpenTable_Click);
    connect(frame.menuFileDeleteTable, &QAction::triggered, this, &DatabaseMenu::menuFileDeleteTable_Click);
    connect(frame.menuFileSaveTableAs, &QAction::triggered, this, &DatabaseMenu::menuFileSaveTableAs_Click);
}

DatabaseMenu::~DatabaseMenu() = default;

DatabaseMenu &DatabaseMenu::of(MDIForm1 &frame)
{
    return *frame.findChild<DatabaseMenu *>(QStringLiteral("databaseMenu"), Qt::FindDirectChildrenOnly);
}

FileDialogRequest DatabaseMenu::databaseDialogRequest()
{
    FileDialogRequest request;
    request.title = tr("Tabwrite - Select database");
    request.filter = tr("Microsoft database (*.mdb)|*.mdb|All files (*.*)|*.*");
    return request;
}

bool DatabaseMenu::tableWindowVisible() const
{
    return m_form13Window->isVisible();
}

bool DatabaseMenu::tableListVisible() const
{
    return m_form3Window->isVisible();
}

void DatabaseMenu::reportError(int number, const QString &description)
{
    m_frame.manipulator()->handleError(number, description);
}

void DatabaseMenu::subWindowActivated(QMdiSubWindow *window)
{
    if (!window)
        return;
    AppState &state = m_frame.state();
    if (window == m_form13Window) {
        state.activeChildName = QStringLiteral("Form13");
        // Coming back from another window: show the table as it is now.
        if (m_lastActive != window)
            m_form13->Form_Activate(*m_frame.currentDatabase());
    } else if (window == m_form3Window) {
        state.activeChildName = QStringLiteral("Form3");
    }
    m_lastActive = window;
}

void DatabaseMenu::closeDatabaseWindows()
{
    AppState &state = m_frame.state();
    const bool wasProgrammatic = state.programmaticChange;
    state.programmaticChange = true;
    if (m_form3Window->isVisible())
        m_form3Window->close();
    // The table window's rows live on the connection about to close, so it
    // closes whether shown or not.
    m_form13Window->close();
    state.programmaticChange = wasProgrammatic;
}

void DatabaseMenu::menuFileOpenDB_Click()
{
    AppState &state = m_frame.state();
    m_frame.manipulator()->SSTab1->setCurrentIndex(Manipulator::TextLines);
    state.previousDbPath = m_frame.currentDatabase()->name();
    const QString picked = Toolkit::instance().fileDialog(databaseDialogRequest());
    if (picked.isEmpty())
        return;
    state.currentDbPath = picked;
    showPasswordAccess();
}

bool DatabaseMenu::showPasswordAccess()
{
    AppState &state = m_frame.state();
    // The dialog keeps the chosen path, so OK after a failed attempt tries the
    // same file again while the state names the database still open.
    const QString path = state.currentDbPath;
    Form4 dialog(&m_frame);
    bool opened = false;
    dialog.openDatabase = [&](const QString &user, const QString &password) {
        opened = openWithDetails(path, user, password);
        return opened;
    };
    if (dialog.exec() != QDialog::Accepted && !opened) {
        if (!state.previousDbPath.isEmpty()) {
            state.currentDbPath = state.previousDbPath;
            state.previousDbPath.clear();
        } else {
            state.currentDbPath = state.defaultDbPath;
        }
    }
    return opened;
}

bool DatabaseMenu::openWithDetails(const QString &path, const QString &user, const QString &password)
{
    AppState &state = m_frame.state();
    auto restorePath = [&state] {
        state.currentDbPath = state.previousDbPath.isEmpty() ? state.defaultDbPath : state.previousDbPath;
        state.previousDbPath.clear();
    };
    // Tried on a handle of its own first: a file that cannot be opened
    // leaves the current database as it was.
    {
        tw::Database trial;
        if (const tw::DbError error = trial.open(path, user, password); error.isError()) {
            const QString previous = state.previousDbPath;
            restorePath();
            state.previousDbPath = previous;
            reportError(error.number, error.description);
            return false;
        }
    }
    closeDatabaseWindows();
    state.currentDbPath = path;
    if (const tw::DbError error = m_frame.openCurrentDatabase(path); error.isError()) {
        restorePath();
        Toolkit::instance().message(tr("An error has occured while opening a database.  The default database "
                                       "will now be re-opened."));
        state.currentDbPath = state.defaultDbPath;
        (void)m_frame.openCurrentDatabase(state.currentDbPath);
        return true;
    }
    if (SaveTargetTab *target = m_frame.manipulator()->saveTargetTab)
        target->fillTableList();
    return true;
}

void DatabaseMenu::menuFileUseOrig_Click()
{
    AppState &state = m_frame.state();
    state.currentDbPath = state.defaultDbPath;
    Manipulator *manipulator = m_frame.manipulator();
    if (m_frame.manipulatorVisible() && manipulator->SSTab1->currentIndex() == Manipulator::SaveToDatabase
        && manipulator->saveTargetTab) {
        manipulator->saveTargetTab->Option1_Click();
        return;
    }
    closeDatabaseWindows();
    if (const tw::DbError error = m_frame.openCurrentDatabase(state.currentDbPath); error.isError())
        reportError(error.number, error.description);
    if (m_form3Window->isVisible())
        createTableList();
}

void DatabaseMenu::createTableList()
{
    AppState &state = m_frame.state();
    m_form3->List1->clear();
    tw::Database *db = m_frame.currentDatabase();
    if (samePath(state.currentDbPath, state.defaultDbPath)) {
        Manipulator *manipulator = m_frame.manipulator();
        if (m_frame.manipulatorVisible() && manipulator->SSTab1->currentIndex() == Manipulator::SaveToDatabase
            && manipulator->saveTargetTab)
            manipulator->saveTargetTab->Option1->setFocus();
        // Only a database that is not open is opened again: reopening an open
        // one would pull the rows from under the table window.
        if (!db->isOpen())
            (void)m_frame.openCurrentDatabase(state.currentDbPath);
    }
    const tw::Result<QStringList> tables = db->tableNames();
    for (const QString &name : tables.value())
        if (tw::isListedTable(name))
            m_form3->List1->addItem(name);
    if (m_form3->List1->count() == 0 && m_form3Window->isVisible()) {
        const bool wasProgrammatic = state.programmaticChange;
        state.programmaticChange = true;
        m_form3Window->close();
        state.programmaticChange = wasProgrammatic;
    }
}

void DatabaseMenu::showTableList(bool forOpening)
{
    createTableList();
    m_form3->setPurpose(forOpening ? Form3::Purpose::Open : Form3::Purpose::Delete);
    if (m_form3->List1->count() == 0)
        return;
    m_form3Window->show();
    m_frame.mdiArea->setActiveSubWindow(m_form3Window);
    m_form3->List1->setFocus();
    if (!m_form3->List1->currentItem())
        m_form3->List1->setCurrentRow(0);
}

void DatabaseMenu::menuFileOpenTable_Click()
{
    showTableList(true);
}

void DatabaseMenu::menuFileDeleteTable_Click()
{
    showTableList(false);
}

void DatabaseMenu::showTable(const QString &name, const QString &windowCaption)
{
    if (const tw::DbError error = m_form13->openTable(*m_frame.currentDatabase(), name); error.isError())
        reportError(error.number, error.description);
    m_form13->setCaptions(windowCaption, name);
    if (!m_form13Placed) {
        // Centred in the frame the first time it shows.
        const QRect area = m_frame.mdiArea->viewport()->rect();
        m_form13Window->move((area.width() - m_form13Window->width()) / 2,
                             (area.height() - m_form13Window->height()) / 2);
        m_form13Placed = true;
    }
    // Already current: the activation handler must not read the table again.
    m_lastActive = m_form13Window;
    m_form13Window->show();
    m_frame.mdiArea->setActiveSubWindow(m_form13Window);
    m_form13->grdDataGrid->setFocus();
}

void DatabaseMenu::List1_DblClick(const QString &name)
{
    if (m_form3->purpose() == Form3::Purpose::Open) {
        m_frame.menuFileSaveTableAs->setEnabled(true);
        showTable(name, tr("Table - ") + name);
        m_form3Window->close();
        return;
    }
    const int answer = Toolkit::instance().message(tr("Delete this table: ") + name + u'?', Buttons::YesNo,
                                                   Icon::Question, tr("Tabwright - Be careful"), Answer::No);
    if (answer != Answer::Yes)
        return;
    if (m_form13Window->isVisible() && m_form13->openTableName().compare(name, Qt::CaseInsensitive) == 0)
        m_form13Window->close();
    if (const tw::DbError error = m_frame.currentDatabase()->dropTable(name); error.isError())
        reportError(error.number, error.description);
    if (SaveTargetTab *target = m_frame.manipulator()->saveTargetTab)
        target->refreshDbaseTableList();
    if (m_form13Window->isVisible())
        m_form13->openTable(*m_frame.currentDatabase(), m_form13->openTableName());
    createTableList();
}

QString DatabaseMenu::tableCheck()
{
    QString openTable = m_form13->openTableName();
    if (openTable.isEmpty())
        openTable = tw::exportTableName();
    Toolkit &toolkit = Toolkit::instance();
    QString newName;
    int answer = Answer::Yes;
    bool taken = true;
    while (answer == Answer::Yes && taken) {
        taken = false;
        newName = toolkit.inputBox(tr("Please enter a name to save the table as:"),
                                   QString::fromLatin1(applicationTitle), openTable);
        if (newName.isEmpty())
            break;
        const tw::Result<bool> found = tw::isTableNameTaken(*m_frame.currentDatabase(), newName);
        taken = found.valueOr(false);
        if (taken)
            answer = toolkit.message(tr("This table name (") + newName
                                         + tr(") is already in the database.  Would you like to enter another name?"),
                                     Buttons::YesNo, Icon::Question, tr("Tabwright - It's your choice..."));
    }
    return taken ? QString() : newName;
}

void DatabaseMenu::saveTableAs(const QString &newTableName)
{
    AppState &state = m_frame.state();
    state.tableCopy = true;
    auto clearFlag = qScopeGuard([&state] { state.tableCopy = false; });
    const QString source = m_form13->openTableName().isEmpty() ? tw::exportTableName() : m_form13->openTableName();
    m_form13->model()->submit();

    QProgressBar *bar = m_frame.manipulator()->ProgressBar1;
    tw::DbError error;
    {
        HourglassGuard hourglass;
        error = tw::copyTable(*m_frame.currentDatabase(), source, newTableName, [bar](qint64 copied, qint64 total) {
            if (total <= 0)
                return;
            // The bar counts rows; a table longer than it can count moves it
            // in proportion.
            const double scale = total > 1000000 ? 1000000.0 / double(total) : 1.0;
            bar->setRange(0, int(double(total) * scale));
            bar->setValue(int(double(copied) * scale));
            bar->setVisible(true);
        });
        bar->setVisible(false);
    }
    // A copy that failed is said so, rather than shown as if it had worked.
    if (error.isError()) {
        reportError(error.number, error.description);
        return;
    }
    if (source == tw::exportTableName())
        return;
    showTable(newTableName, tr("Tables - ") + newTableName);
    m_frame.menuFileDeleteTable->setEnabled(true);
    if (m_form3Window->isVisible())
        createTableList();
}

void DatabaseMenu::menuFileSaveTableAs_Click()
{
    const QString newName = tableCheck();
    if (!newName.isEmpty())
        saveTableAs(newName);
}
