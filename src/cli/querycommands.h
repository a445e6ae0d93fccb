// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// tabwright-cli query and report: a saved or typed query run as the Queries
// window runs it, its rows printed as CSV or TSV, or its ad-hoc report
// written as a PDF.

namespace tw::cli {

// Run with the arguments after the command's word; the exit status.
int runQuery(const QStringList &args);
int runReport(const QStringList &args, int argc, char **argv);

// The parts of --help about query and report.
QString queryHelpText();

} // namespace tw::cli
