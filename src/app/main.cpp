// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mdiform1.h"
#include "app/qttoolkit.h"

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
