// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/columns/saveplan.h"
#include "core/engine/textparams.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// tabwright-cli save: the "&Save" button of the Save to Database tab from the
// command line. The same checks, the same table creation from the column
// layout and the same run; the questions are answered by options.

namespace tw::cli {

// Where the records go and what to do when the table is there or a value
// does not fit: the options save shares with run.
struct SaveOptions
{
    std::optional<QString> db;
    std::optional<QString> table;
    bool create = false;
    ExistingTable ifExists = ExistingTable::Append;
    WarnMode tooLong = WarnMode::Abort;
    bool trim = false;
    QStringList given; // the options met, for a command that has no save to give them to
};

// Takes the save option at args[i], moving i past its value. False when
// args[i] is none; otherwise *problem says what is wrong with it, if anything.
bool takeSaveOption(const QStringList &args, qsizetype &i, SaveOptions &options, QString *problem);

// One save: the options, the method and delimiter fields, and the column
// layout when there is one (layoutName says where it came from).
struct SaveJob
{
    SaveOptions options;
    QString method;
    QString delimiter;
    std::optional<ColumnSpecs> layout;
    QString layoutName;
};

// Hands out the text in blocks of whole lines (joined by CR LF they are the
// text); false when there is no more.
using BlockReader = std::function<bool(QString &block)>;

// Why the text could not be read to its end, asked once the reader says there
// is no more; "" when it simply ended.
using ReadFailure = std::function<QString()>;

// Saves the text into the table; the exit status, after the summary or the
// refusal on standard error. A text that could not be read to its end fails
// the run like a failed write.
int saveBlocks(const SaveJob &job, bool hasText, const BlockReader &nextBlock,
               const ReadFailure &readFailure = {});

// Runs "save" with the arguments after the word save; the exit status.
int runSave(const QStringList &args);

// The part of --help about save.
QString saveHelpText();

} // namespace tw::cli
