// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/mdiform1.h"
#include "gui/shell/qttoolkit.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

namespace {

// "tabwright FILE", as the desktop entry starts it for a file opened with it.
void describeArguments(QCommandLineParser &arguments)
{
    arguments.setApplicationDescription(QCoreApplication::translate(
        "main", "Reshape plain text line by line and load it into database tables."));
    arguments.addHelpOption();
    arguments.addPositionalArgument(QStringLiteral("file"),
                                    QCoreApplication::translate("main", "A text file to open."),
                                    QStringLiteral("[file]"));
}

// Help is given before the window system is touched, so that it answers on a
// console without a display. Anything else waits for the application, which
// takes the window system's own options (-platform, -style) out first.
void answerHelp(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "-h" || argument == "--help" || argument == "--help-all") {
            QCoreApplication app(argc, argv);
            QCommandLineParser arguments;
            describeArguments(arguments);
            arguments.process(app); // prints the help and ends the program
        }
    }
}

} // namespace

int main(int argc, char *argv[])
{
    answerHelp(argc, argv);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Tabwright"));
    QCoreApplication::setApplicationName(QStringLiteral("Tabwright"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tabwright"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/tabwright-%1.png").arg(size));
    QApplication::setWindowIcon(icon);

    QtToolkit toolkit;
    Toolkit::install(&toolkit);

    QCommandLineParser arguments;
    describeArguments(arguments);
    arguments.process(app);

    MDIForm1 frame;
    frame.show();
    if (!frame.Form_Load())
        return 1;
    if (!arguments.positionalArguments().isEmpty())
        frame.openFile(arguments.positionalArguments().constFirst());
    return app.exec();
}
