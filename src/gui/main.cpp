// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/mdiform1.h"
#include "gui/shell/qttoolkit.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Tabwright"));
    QCoreApplication::setApplicationName(QStringLiteral("Tabwright"));

    QtToolkit toolkit;
    Toolkit::install(&toolkit);

    MDIForm1 frame;
    frame.show();
    if (!frame.Form_Load())
        return 1;
    return app.exec();
}
