// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/db/database.h"

#include <QFile>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

// Tests work on copies in temporary folders, never on the generated default
// database itself.
inline QString copyOfDefaultDatabase(const QTemporaryDir &dir, const QString &fileName = QStringLiteral("tabwright.mdb"))
{
    const QString source = qEnvironmentVariable("TABWRIGHT_DEFAULT_DB");
    const QString target = dir.filePath(fileName);
    if (source.isEmpty() || !QFile::copy(source, target))
        return {};
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

inline QString errorText(const tw::DbError &error)
{
    return QStringLiteral("%1 %2").arg(error.number).arg(error.description);
}

#define TW_VERIFY_OK(expr)                                                         \
    do {                                                                           \
        const tw::DbError twError_ = (expr);                                       \
        QVERIFY2(!twError_.isError(), qPrintable(errorText(twError_)));            \
    } while (false)

#define TW_VERIFY_RESULT(result)                                                   \
    do {                                                                           \
        const auto &twResult_ = (result);                                          \
        QVERIFY2(twResult_.ok(), qPrintable(errorText(twResult_.error())));        \
    } while (false)
