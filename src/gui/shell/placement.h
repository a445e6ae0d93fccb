// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>

class QWidget;

// Top-level windows open on the screen, whole: title bar and menus included,
// at any display scale. Sizes the program asks for are only wishes.
namespace placement {

// Sizes the window to `wanted`, or less where the screen is smaller, and
// centres it on its screen; no edge leaves the screen's available area.
void centreOnScreen(QWidget *window, QSize wanted);
// Moves (and if need be shrinks) a shown window back onto its screen, its
// frame included; nothing when it is on the screen already.
void keepOnScreen(QWidget *window);

} // namespace placement
