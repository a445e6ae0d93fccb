// SPDX-License-Identifier: GPL-3.0-or-later
// Times the table window on a large table of a database the program did not
// make, through the database menu as a user opens it: opening the table,
// painting the first screen, jumping to the last row, sorting by a header's
// column (ascending, descending, by a text column), filtering and showing all
// rows again.
//
//   bench_grids DATABASE [TABLE]   (TABLE defaults to the first listed table;
//                                   runs offscreen unless QT_QPA_PLATFORM says
//                                   otherwise)
//
// A table of a million rows to try it on, made with the sqlite3 shell:
//   sqlite3 /tmp/big.db "create table t(id integer, name text, amount real);
//     with recursive c(x) as (select 1 union all select x+1 from c limit 1000000)
//     insert into t select x, 'name'||x, x*1.5 from c;"

#include "gui/shell/mdiform1.h"
#include "gui/shell/qttoolkit.h"
#include "core/db/database.h"
#include "gui/database/form3.h"
#include "gui/database/form13.h"
#include "core/grids/gridmodel.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>

namespace {
// Answers the filter prompt with a fixed criterion; every other dialog is Qt's.
class BenchToolkit : public QtToolkit
{
public:
    QString answer;
    QString inputBox(const QString &, const QString &, const QString &) override { return answer; }
};

// Paints the grid now, so the rows on screen are read as a user would see them.
void paint(Form13 &window)
{
    window.grdDataGrid->viewport()->repaint();
    QCoreApplication::processEvents();
}

void report(const char *what, QElapsedTimer &clock, Form13 &window)
{
    std::printf("%-44s %8.1f ms   %s\n", what, clock.nsecsElapsed() / 1e6, qPrintable(window.Data1->text()));
    clock.restart();
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_grids DATABASE [TABLE]\n");
        return 2;
    }
    const QString path = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();

    // Work on a copy of the default database, never on the one beside the program.
    QTemporaryDir folder;
    const QString shipped = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("tabwright.mdb"));
    if (!QFile::copy(shipped, folder.filePath(QStringLiteral("tabwright.mdb")))) {
        std::fprintf(stderr, "bench_grids: cannot copy %s\n", qPrintable(shipped));
        return 1;
    }
    BenchToolkit toolkit;
    Toolkit::install(&toolkit);
    MDIForm1 frame(StartupOptions{folder.path(), false, folder.filePath(QStringLiteral("settings.ini"))});
    frame.resize(1000, 700);
    frame.show();
    if (!frame.Form_Load())
        return 1;
    if (frame.session().open(path).error.isError()) {
        std::fprintf(stderr, "bench_grids: cannot open %s\n", qPrintable(path));
        return 1;
    }
    QString table = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (table.isEmpty()) {
        const tw::Result<QStringList> tables = frame.session().database().tableNames();
        if (!tables || tables.value().isEmpty())
            return 1;
        table = tables.value().constFirst();
    }

    // Through the File menu and the table list, as a user opens a table.
    auto menuFile = frame.findChild<QMenu *>(QStringLiteral("menuFile"));
    Q_EMIT menuFile->aboutToShow();
    QElapsedTimer clock;
    clock.start();
    frame.findChild<QAction *>(QStringLiteral("menuFileOpenTable"))->trigger();
    Q_EMIT frame.findChild<Form3 *>(QStringLiteral("Form3"))->tableDoubleClicked(table);
    auto window = frame.findChild<Form13 *>(QStringLiteral("Form13"));
    report("open table (rows listed)", clock, *window);
    paint(*window);
    report("first paint", clock, *window);

    const int columns = window->model()->columnCount();
    const QString first = window->model()->headerData(0, Qt::Horizontal).toString();
    const QString last = window->model()->headerData(columns - 1, Qt::Horizontal).toString();

    window->grdDataGrid->scrollToBottom();
    window->grdDataGrid->setCurrentIndex(window->model()->index(window->model()->rowCount() - 1, 0));
    paint(*window);
    report("scroll to the last row and paint", clock, *window);
    for (int step = 0; step < 50; ++step) {
        window->grdDataGrid->scrollTo(window->model()->index(int(qint64(step) * window->model()->rowCount() / 50), 0));
        paint(*window);
    }
    report("50 jumps across the table, each painted", clock, *window);

    if (!window->sortRecords(QStringLiteral("[%1] desc").arg(last)))
        return 1;
    paint(*window);
    report(qPrintable(QStringLiteral("sort [%1] desc and paint").arg(last)), clock, *window);
    if (columns > 1) {
        const QString text = window->model()->headerData(1, Qt::Horizontal).toString();
        if (!window->sortRecords(QStringLiteral("[%1]").arg(text)))
            return 1;
        paint(*window);
        report(qPrintable(QStringLiteral("sort [%1] and paint").arg(text)), clock, *window);
    }

    toolkit.answer = QStringLiteral("%1 > %2").arg(first).arg(window->model()->recordCount() / 2);
    window->cmdFilter->click();
    if (!window->Command1->isEnabled())
        return 1;
    paint(*window);
    report(qPrintable(QStringLiteral("filter %1 and paint").arg(toolkit.answer)), clock, *window);
    window->cmdRefresh->click();
    paint(*window);
    report("re-filter and paint", clock, *window);
    window->Command1->click();
    paint(*window);
    report("show all and paint", clock, *window);
    return 0;
}
