// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/help.h"

#include "cli/fields.h"
#include "cli/querycommands.h"
#include "cli/save.h"
#include "cli/settingscommand.h"

namespace tw::cli {

QString helpText()
{
    QString help = QStringLiteral(
        "Usage: tabwright-cli OPERATION [--settings NAME [--db FILE]] [FIELD=VALUE ...]\n"
        "                    [--columns FILE] [-o OUTPUT] [INPUT]\n"
        "       tabwright-cli save ...   |   run ...   |   settings ...   (below)\n"
        "\n"
        "Reshapes a text exactly as the Manipulator's Process button of the operation\n"
        "does. INPUT is a text file, or standard input when absent or '-'; the result\n"
        "goes to OUTPUT (replaced only when the run succeeds) or standard output, in the\n"
        "input's encoding (UTF-8 or Windows-1252) and line ends.\n"
        "\n"
        "FIELD=VALUE sets a field, named as in saved settings. In a VALUE, \\r, \\n, \\t\n"
        "and \\\\ stand for CR, LF, tab and a backslash. Check boxes take 0 or 1;\n"
        "numbers take 0 to 999 or nothing (read as 0); a field whose list offers only\n"
        "its entries takes one of them, exactly. A field not given keeps the value its\n"
        "control has when the window opens, shown in brackets below.\n"
        "\n"
        "--columns FILE (tabwrite): the column layout, one row a line,\n"
        "  column_heading,get_data_from_column,number_of_characters,spaces_b4_next_column[,field_width]\n"
        "  in UTF-8; cells are taken exactly as written. A heading starting with \" is\n"
        "  quoted (\"\" for a quote, \\r \\n \\t \\\\ escapes), for headings holding commas.\n"
        "\n"
        "Exit status: 0 done; 1 the operation refused (its message on standard error,\n"
        "nothing written); 2 a usage error or a file that cannot be read or written.\n"
        "\n"
        "Operations:\n");
    for (const OperationInfo &op : operations()) {
        help += QStringLiteral("\n  %1    %2\n").arg(op.name, op.summary);
        for (const settings::Field *field : fieldsOf(op.operation)) {
            QString meaning = field->meaning;
            if (field->input == settings::Control::FixedList)
                meaning += QStringLiteral(": \"%1\"").arg(field->entries.join(QStringLiteral("\", \"")));
            help += QStringLiteral("    %1 [%2]\n        %3\n").arg(field->name, defaultText(*field), meaning);
        }
    }
    help += saveHelpText();
    help += settingsHelpText();
    help += queryHelpText();
    help += QStringLiteral("\nExamples are in docs/cli.md.\n");
    return help;
}

} // namespace tw::cli
