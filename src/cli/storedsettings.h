// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/engine/textparams.h"
#include "core/settings/settingsrecord.h"

#include <QString>

#include <optional>

namespace tw {
class Database;
}

// Named settings as the command line reaches them: in a database given by an
// option, or in the default database beside the program, the one the window
// uses, so a settings saved in the window replays with no option at all.

namespace tw::cli {

// Opens the database the option names, or the default one when it names none.
// Returns "" on success, otherwise one line naming the problem (option is the
// option's name, for the hint when there is no default database).
QString openSettingsDatabase(Database &database, const std::optional<QString> &path, const QString &option);

struct StoredRecipe
{
    settings::SettingsRecord record;
    ColumnSpecs columns; // the settings' column table
};

// The settings of that name with its column rows; "" on success, otherwise
// the problem (the database cannot be opened, no settings of that name).
QString readStoredRecipe(const std::optional<QString> &path, const QString &option, const QString &name,
                         StoredRecipe *recipe);

} // namespace tw::cli
