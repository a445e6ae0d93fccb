// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/errorreporter.h"

#include "core/db/dberror.h"
#include "core/text/textfile.h"
#include "gui/shell/toolkit.h"

#include <QApplication>
#include <QObject>

#include <optional>

namespace {

std::optional<QString> messageFor(int number, const QString &description)
{
    switch (number) {
    case 55:
        return QObject::tr("The file is open and could NOT be deleted.");
    case 70:
        return QObject::tr("Permission denied.");
    case 75:
        return QObject::tr("Path/file access error.");
    case 3163:
        return QObject::tr("Field is too small for the amount of data.  Increase the field size on the "
                           "Tabwrite tab, or use a database editor, such as Microsoft Access, to modify "
                           "the size of the field to allow it to accept the required amount of data.");
    case 3219:
        return QObject::tr("Tabwright performed an invalid operation.");
    case 3315:
        return QObject::tr("Field can't be a zero-length string.  Using a database editor, such as "
                           "Microsoft Access, modify the field (usually by clicking a check-box) to allow "
                           "it to accept zero-length strings.");
    case 3343:
        return QObject::tr("The database you selected has a format that is unrecognizable to Tabwright.");
    case 3012: case 3021: case 3141: case 3167: case 3191: case 3211: case 3284: case 3426:
        return std::nullopt;
    default:
        return description;
    }
}

std::optional<QString> fileMenuErrorMessage(int number, const QString &description)
{
    switch (number) {
    case 55:
        return QObject::tr("The file is open and could NOT be deleted.");
    case 68:
        return QObject::tr("The device is unavailable.");
    case 70:
        return QObject::tr("Permission denied.");
    case 75:
        return QObject::tr("Path/file access error.");
    case 3010: case 3012: case 32755:
        return std::nullopt;
    default:
        // The engine's own words; a generic line when it has none.
        if (description.isEmpty())
            return QObject::tr("An error occured while processing.  Please verify that file paths/source "
                               "files exist, and try again.");
        return description;
    }
}
} // namespace

namespace errors {

bool report(int number, const QString &description)
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    const std::optional<QString> message = messageFor(number, description);
    if (!message)
        return false;
    Toolkit::instance().message(*message, Buttons::Ok, Icon::Information, QObject::tr("Tabwright - Sorry..."));
    return true;
}

bool report(const tw::DbError &error)
{
    return report(error.number, error.description);
}

bool report(const tw::FileError &error)
{
    return report(error.number, error.description);
}

void reportFileMenu(const tw::DbError &error)
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    if (const std::optional<QString> message = fileMenuErrorMessage(error.number, error.description))
        Toolkit::instance().message(*message, Buttons::Ok, Icon::Information, QObject::tr("Tabwright - Sorry..."));
}

} // namespace errors
