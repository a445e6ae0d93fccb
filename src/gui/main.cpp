// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/mdiform1.h"
#include "gui/shell/qttoolkit.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

int main(int argc, char *argv[])
{
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

    // "tabwright FILE", as the desktop entry starts it for a file opened with it.
    QCommandLineParser arguments;
    arguments.setApplicationDescription(QCoreApplication::translate(
        "main", "Reshape plain text line by line and load it into database tables."));
    arguments.addHelpOption();
    arguments.addPositionalArgument(QStringLiteral("file"),
                                    QCoreApplication::translate("main", "A text file to open."),
                                    QStringLiteral("[file]"));
    arguments.process(app);

    MDIForm1 frame;
    frame.show();
    if (!frame.Form_Load())
        return 1;
    if (!arguments.positionalArguments().isEmpty())
        frame.openFile(arguments.positionalArguments().constFirst());
    return app.exec();
}
