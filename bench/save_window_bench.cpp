// SPDX-License-Identifier: GPL-3.0-or-later
// Saves a generated 1,000,000-line text of five fields into a new table
// through the real window ("&Save" on the Save to Database tab, offscreen,
// dialogs answered by the scripted toolkit) and reports:
//  - rows per second of the whole save, by delimiter and by column layout;
//  - the longest time the window went without handling events during a save
//    (a 5 ms timer measures the gaps between its turns);
//  - how long Stop takes to end a save once pressed, and the rows kept.
// Best of N runs (argument 1, default 3): the machine is shared.

#include "frameharness.h"

#include "core/db/database.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int lineCount = 1000000;

QString generatedText()
{
    QString text;
    text.reserve(qsizetype(lineCount) * 70);
    for (int i = 1; i <= lineCount; ++i) {
        text += QStringLiteral("%1,%2,%3,%4,x%5\r\n")
                    .arg(i, 8, 10, QLatin1Char('0'))
                    .arg(QStringLiteral("name%1").arg(qint64(i) * 7919 % 100000), -20)
                    .arg((qint64(i) * 31 % 100000) / 100.0, 10, 'f', 2)
                    .arg(QStringLiteral("city%1").arg(i % 977), -15)
                    .arg(qint64(i) * 13 % 10000000000LL, 10, 10, QLatin1Char('0'));
    }
    return text;
}

struct Measure
{
    double seconds = 0;
    double longestGapMs = 0;
    double stopLatencyMs = -1;
    qint64 rows = 0;
};

qint64 countRows(const QString &path, const QString &table)
{
    tw::Database reader;
    if ((reader.open(path)).isError())
        return -1;
    return reader.queryValue(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table)).valueOr(-1).toLongLong();
}

Measure saveOnce(FrameHarness &harness, const QString &table, const QString &method, int stopAfterMs)
{
    const QString window = QStringLiteral("Manipulator");
    harness.control<QComboBox>(window, QStringLiteral("Combo17"))->setEditText(table);
    harness.control<QComboBox>(window, QStringLiteral("Combo18"))->setEditText(method);
    harness.control<QLineEdit>(window, QStringLiteral("Text10"))->setText(QStringLiteral(","));

    Measure m;
    QElapsedTimer clock;
    QElapsedTimer sinceTurn;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (harness.frame().busy().isBusy())
            m.longestGapMs = qMax(m.longestGapMs, sinceTurn.nsecsElapsed() / 1e6);
        sinceTurn.restart();
    });
    QElapsedTimer stopPressed;
    if (stopAfterMs >= 0) {
        QTimer::singleShot(stopAfterMs, [&] {
            stopPressed.start();
            harness.click(window, QStringLiteral("Command17"));
        });
    }
    sinceTurn.start();
    ticker.start();
    clock.start();
    harness.click(window, QStringLiteral("Command10"));
    m.seconds = clock.nsecsElapsed() / 1e9;
    if (stopPressed.isValid())
        m.stopLatencyMs = stopPressed.nsecsElapsed() / 1e6;
    ticker.stop();
    m.rows = countRows(harness.defaultDbPath(), table);
    return m;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef TABWRIGHT_DEFAULT_DB_PATH
    if (qEnvironmentVariableIsEmpty("TABWRIGHT_DEFAULT_DB"))
        qputenv("TABWRIGHT_DEFAULT_DB", TABWRIGHT_DEFAULT_DB_PATH);
#endif
    QApplication app(argc, argv);
    const int runs = argc > 1 ? qMax(1, atoi(argv[1])) : 3;

    FrameHarness harness;
    if (!harness.start()) {
        std::fprintf(stderr, "save_window_bench: the frame did not start\n");
        return 2;
    }
    {
        tw::Database layout;
        if ((layout.open(harness.defaultDbPath())).isError())
            return 2;
        const char *rows[] = {"'Id', 1, 8, 0, 8", "'Name', 10, 20, 0, 20", "'Amount', 31, 10, 0, 10",
                              "'City', 42, 15, 0, 15", "'Code', 58, 11, 0, 11"};
        for (const char *row : rows)
            (void)layout.exec(QStringLiteral("INSERT INTO tabwrite_settings VALUES (%1)").arg(QLatin1String(row)));
    }
    harness.userSetsText(generatedText());

    const QString parse = QStringLiteral("Parse text using delimiter I specify");
    const QString byColumns = QStringLiteral("Use column specs on the Tabwrite Text tab");
    std::printf("%d lines; best of %d runs (the machine is shared)\n", lineCount, runs);
    std::printf("%-26s %8s %10s %14s %12s %10s\n", "job", "seconds", "rows/s", "longest gap ms", "stop ms", "rows kept");
    int table = 0;
    for (const auto &[name, method, stopAfter] :
         {std::tuple{"window save, delimiter", parse, -1}, std::tuple{"window save, column layout", byColumns, -1},
          std::tuple{"window save, Stop at 1 s", parse, 1000}}) {
        Measure best;
        for (int run = 0; run < runs; ++run) {
            const Measure m = saveOnce(harness, QStringLiteral("Bench%1").arg(++table), method, stopAfter);
            if (run == 0 || m.seconds < best.seconds)
                best.seconds = m.seconds, best.rows = m.rows;
            best.longestGapMs = run == 0 ? m.longestGapMs : qMin(best.longestGapMs, m.longestGapMs);
            best.stopLatencyMs = run == 0 ? m.stopLatencyMs : qMin(best.stopLatencyMs, m.stopLatencyMs);
        }
        std::printf("%-26s %8.2f %10.0f %14.1f %12.1f %10lld\n", name, best.seconds,
                    stopAfter < 0 ? best.rows / best.seconds : 0.0, best.longestGapMs, best.stopLatencyMs,
                    static_cast<long long>(best.rows));
    }
    if (harness.toolkit().unanswered() > 0)
        std::fprintf(stderr, "save_window_bench: %d unexpected dialogs\n", harness.toolkit().unanswered());
    return 0;
}
