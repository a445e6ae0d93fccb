// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// tabwright-cli save: the "&Save" button of the Save to Database tab from the
// command line. The same checks, the same table creation from the column
// layout and the same run; the questions are answered by options.

namespace tw::cli {

// Runs "save" with the arguments after the word save; the exit status.
int runSave(const QStringList &args);

// The part of --help about save.
QString saveHelpText();

} // namespace tw::cli
