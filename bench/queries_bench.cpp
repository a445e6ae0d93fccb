// SPDX-License-Identifier: GPL-3.0-or-later
// Times queries through the Queries window on a table of a million rows
// (made here): Execute until the first rows of the result window are
// painted, for a result that is the table's own rows, one sorted by a text
// field, and a calculated (read-only) one; then a scroll to the last row.
// Then the ad-hoc report of 10,000 rows by 10 fields rendered to a PDF, the
// pages the window prints.
//
//   bench_queries [ROWS]   (ROWS defaults to 1000000; runs offscreen unless
//                           QT_QPA_PLATFORM says otherwise)

#include "benchsupport.h"
#include "core/db/database.h"
#include "core/grids/adhocreport.h"
#include "core/grids/gridmodel.h"
#include "gui/queries/form12.h"
#include "gui/queries/frmquerys.h"
#include "gui/shell/qttoolkit.h"
#include "report/reportpainter.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>

#include <cstdio>

namespace {

void paint(Form12 &window)
{
    window.grdDataGrid->viewport()->repaint();
    QCoreApplication::processEvents();
}

void report(const char *what, QElapsedTimer &clock, const QString &detail)
{
    std::printf("%-52s %9.1f ms   %s\n", what, clock.nsecsElapsed() / 1e6, qPrintable(detail));
    clock.restart();
}

bool makeTable(tw::Database &db, const QString &name, qint64 rows, int fields)
{
    QStringList columns{QStringLiteral("id INTEGER")};
    QStringList values{QStringLiteral("x")};
    for (int f = 2; f <= fields; ++f) {
        columns << QStringLiteral("f%1 VARCHAR(40)").arg(f);
        values << QStringLiteral("'value ' || ((x * %1) % 9973) || ' of field %1'").arg(f);
    }
    return db.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(name, columns.join(u','))).ok()
        && db.exec(QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < %1) "
                                  "INSERT INTO %2 SELECT %3 FROM c")
                       .arg(rows)
                       .arg(name, values.join(u',')))
                   .ok();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qint64 rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toLongLong() : 1000000;

    QTemporaryDir folder;
    QtToolkit toolkit;
    Toolkit::install(&toolkit);
    std::unique_ptr<MDIForm1> frame = bench::startFrame(folder, "bench_queries");
    if (!frame)
        return 1;
    frame->resize(1000, 700);

    QElapsedTimer clock;
    clock.start();
    const QString data = folder.filePath(QStringLiteral("big.db"));
    {
        tw::Database db;
        if (db.open(data, {}, {}, tw::Database::OpenMode::CreateIfMissing).isError() || db.begin().isError()
            || !makeTable(db, QStringLiteral("big"), rows, 3) || !makeTable(db, QStringLiteral("wide"), 10000, 10)
            || db.commit().isError()) {
            std::fprintf(stderr, "bench_queries: cannot make the tables\n");
            return 1;
        }
    }
    report("make the tables", clock, QStringLiteral("%1 rows").arg(rows));
    if (frame->session().open(data).error.isError())
        return 1;

    Q_EMIT frame->findChild<QMenu *>(QStringLiteral("menuQueries"))->aboutToShow();
    frame->findChild<QAction *>(QStringLiteral("menuQueriesDefine"))->trigger();
    auto queries = frame->findChild<frmQuerys *>(QStringLiteral("frmQuerys"));
    auto result = frame->findChild<Form12 *>(QStringLiteral("Form12"));
    const auto execute = [&](const char *what, const QString &sql) {
        queries->txtSQLStatement->setPlainText(sql);
        clock.restart();
        queries->cmdExecuteSQL->click();
        paint(*result);
        report(what, clock, result->Data1->text());
    };
    execute("execute, first rows painted: the table's rows", QStringLiteral("select * from big"));
    result->grdDataGrid->scrollToBottom();
    result->grdDataGrid->setCurrentIndex(result->model()->index(result->model()->rowCount() - 1, 0));
    paint(*result);
    report("  scroll to the last row and paint", clock, result->Data1->text());
    execute("execute, first rows painted: sorted by a text", QStringLiteral("select * from big order by f2 desc"));
    execute("execute, first rows painted: calculated", QStringLiteral("select id * 2 as twice, f3 from big"));
    result->grdDataGrid->scrollToBottom();
    result->grdDataGrid->setCurrentIndex(result->model()->index(result->model()->rowCount() - 1, 0));
    paint(*result);
    report("  scroll to the last row and paint", clock, result->Data1->text());

    // The report, as Print draws it, into a PDF file.
    tw::AdHocReport adHoc(frame->session().database(), frame->session().defaultPath(),
                          tw::QueryDef({}, QStringLiteral("select * from wide")));
    clock.restart();
    if (adHoc.prepare() != tw::AdHocReport::State::Ready)
        return 1;
    const QString pdf = folder.filePath(QStringLiteral("wide.pdf"));
    int pages = 0;
    {
        QPdfWriter writer(pdf);
        setUpReportPdf(writer, adHoc.title());
        QPainter painter(&writer);
        ReportPainter sink(painter, writer);
        if (adHoc.print(sink).isError())
            return 1;
        painter.end();
        pages = sink.pagesPrinted();
    }
    report("report of 10,000 rows x 10 fields to PDF", clock,
           QStringLiteral("%1 pages, %2 KB").arg(pages).arg(QFileInfo(pdf).size() / 1024));
    return 0;
}
