// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QtTest>

#include <csignal>

#include <sys/resource.h>

// tabwright-cli run as a user runs it, or as a machine that fails under it
// would: with a limit on the memory the process may take, or on the size a
// file may grow to (as a full disk would stop it).
namespace clirun {

struct Limits
{
    // Bytes of data (heap and private mappings) the process may hold; 0: no limit.
    qint64 dataBytes = 0;
    // Bytes any file the process writes may grow to; 0: no limit. A write past
    // it fails (the signal that would end the process is ignored), as a write
    // to a full disk does.
    qint64 fileBytes = 0;
};

struct Run
{
    int status = -1; // -1: the process crashed or was killed
    QByteArray out;
    QString err;
};

inline void applyLimits(QProcess &process, Limits limits)
{
    process.setChildProcessModifier([limits] {
        if (limits.dataBytes > 0) {
            const rlimit data{rlim_t(limits.dataBytes), rlim_t(limits.dataBytes)};
            ::setrlimit(RLIMIT_DATA, &data);
        }
        if (limits.fileBytes > 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit size{rlim_t(limits.fileBytes), rlim_t(limits.fileBytes)};
            ::setrlimit(RLIMIT_FSIZE, &size);
        }
    });
}

inline Run finished(QProcess &process)
{
    Run run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// program: another copy of tabwright-cli, for tests of where it looks beside itself.
inline void start(QProcess &process, const QStringList &args, Limits limits = {},
                  const QString &program = QStringLiteral(TABWRIGHT_CLI))
{
    applyLimits(process, limits);
    process.start(program, args);
    if (!process.waitForStarted())
        qFatal("cannot start %s", qPrintable(program));
}

inline Run cli(const QStringList &args, const QByteArray &input = {}, Limits limits = {},
               const QString &program = QStringLiteral(TABWRIGHT_CLI))
{
    QProcess process;
    start(process, args, limits, program);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(120000);
    return finished(process);
}

} // namespace clirun
