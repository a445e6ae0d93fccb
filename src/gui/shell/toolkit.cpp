// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/toolkit.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QScreen>

namespace {
Toolkit *installedToolkit = nullptr;

double logicalDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}
} // namespace

int Toolkit::message(const QString &text, Buttons buttons, Icon icon, const QString &title,
                     int defaultButton)
{
    return messageBox({text, title, buttons, icon, defaultButton});
}

bool Toolkit::printJob(QPrinter &printer, const std::function<void(QPainter &)> &draw)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    draw(painter);
    return painter.end();
}

Toolkit &Toolkit::instance()
{
    Q_ASSERT_X(installedToolkit, "Toolkit::instance", "no toolkit installed");
    return *installedToolkit;
}

void Toolkit::install(Toolkit *toolkit)
{
    installedToolkit = toolkit;
}

HourglassGuard::HourglassGuard()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

HourglassGuard::~HourglassGuard()
{
    release();
}

void HourglassGuard::release()
{
    if (m_active)
        QApplication::restoreOverrideCursor();
    m_active = false;
}

int twipsToPixels(double twips)
{
    return qRound(twips * logicalDpi() / 1440.0);
}

double pixelsToTwips(int pixels)
{
    return pixels * 1440.0 / logicalDpi();
}
