// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/storedsettings.h"

#include "core/db/database.h"
#include "core/db/defaultdatabase.h"
#include "core/settings/settingsstore.h"

#include <QDir>

namespace tw::cli {

QString openSettingsDatabase(Database &database, const std::optional<QString> &path, const QString &option)
{
    QString file = path.value_or(QString());
    if (!path) {
        file = defaultDatabasePath();
        if (file.isEmpty())
            return QStringLiteral("there is no %1 beside the program in %2 (name the database with %3 FILE)")
                .arg(defaultDatabaseName(), QDir::toNativeSeparators(programFolder()), option);
    }
    if (const DbError error = database.open(file); error.isError())
        return QStringLiteral("%1: %2").arg(file, error.description);
    return {};
}

QString readStoredRecipe(const std::optional<QString> &path, const QString &option, const QString &name,
                         StoredRecipe *recipe)
{
    Database database;
    if (const QString problem = openSettingsDatabase(database, path, option); !problem.isEmpty())
        return problem;
    const Result<std::optional<settings::StoredSettings>> found = settings::findSettings(database, name);
    if (!found)
        return QStringLiteral("%1: %2").arg(database.name(), found.error().description);
    if (!found.value())
        return QStringLiteral("no settings named '%1' in %2 (see tabwright-cli settings list)")
            .arg(name, database.name());
    const Result<ColumnSpecs> columns = settings::settingsColumns(database, name);
    if (!columns)
        return QStringLiteral("%1: %2").arg(database.name(), columns.error().description);
    recipe->record = found.value()->record;
    recipe->columns = columns.value();
    return {};
}

} // namespace tw::cli
