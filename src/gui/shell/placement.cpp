// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace placement {

namespace {
QRect availableArea(const QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

// What the window manager adds around the window (title bar, borders); known
// once the window is shown, a guess before.
QSize decoration(const QWidget *window)
{
    const QSize around = window->frameGeometry().size() - window->geometry().size();
    if (window->isVisible() && around.isValid() && !around.isEmpty())
        return around;
    return QSize(16, 48);
}
} // namespace

void centreOnScreen(QWidget *window, QSize wanted)
{
    const QRect area = availableArea(window);
    const QSize around = decoration(window);
    const QSize size = wanted.boundedTo(area.size() - around);
    window->resize(size);
    const int x = area.x() + (area.width() - size.width() - around.width()) / 2;
    const int y = area.y() + (area.height() - size.height() - around.height()) / 2;
    window->move(qMax(area.x(), x), qMax(area.y(), y));
}

void keepOnScreen(QWidget *window)
{
    const QRect area = availableArea(window);
    QRect frame = window->frameGeometry();
    if (area.contains(frame))
        return;
    const QSize around = frame.size() - window->geometry().size();
    if (frame.width() > area.width() || frame.height() > area.height()) {
        window->resize(window->size().boundedTo(area.size() - around));
        frame = window->frameGeometry();
    }
    const int x = qBound(area.left(), frame.left(), qMax(area.left(), area.right() + 1 - frame.width()));
    const int y = qBound(area.top(), frame.top(), qMax(area.top(), area.bottom() + 1 - frame.height()));
    window->move(x, y);
}

} // namespace placement
