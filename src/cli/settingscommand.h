// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/engine/textparams.h"
#include "core/settings/settingsrecord.h"

#include <QString>
#include <QStringList>

// tabwright-cli settings list | show | save | delete: the named settings of
// the Settings tab from the command line. A settings is shown as a recipe
// text, one FIELD=VALUE line per field, an empty line, then the column rows in
// the --columns format; save --from reads that text back, so a recipe can be
// kept in a file, shared and imported.

namespace tw::cli {

int runSettingsCommand(const QStringList &args);

QString recipeText(const settings::SettingsRecord &record, const ColumnSpecs &columns);

struct Recipe
{
    settings::SettingsRecord record; // the fields the text gives; the others empty
    ColumnSpecs columns;
    bool hasColumns = false; // the text has the empty line and a column part
    QString error;           // the file and line at fault, and why
};
Recipe parseRecipe(const QString &text, const QString &name);

// The part of --help about settings and run.
QString settingsHelpText();

} // namespace tw::cli
