// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/mdiform1.h"
#include "gui/shell/qttoolkit.h"

#include <QApplication>
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

    MDIForm1 frame;
    frame.show();
    if (!frame.Form_Load())
        return 1;
    return app.exec();
}
