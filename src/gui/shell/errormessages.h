// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// The fixed messages shown for file and engine errors, by error number. An
// empty optional means the error is passed over without a message.

// The Manipulator's reporter (file, settings and saving commands).
std::optional<QString> manipulatorErrorMessage(int number, const QString &description);

// The report of the File menu's opening steps.
std::optional<QString> fileMenuErrorMessage(int number, const QString &description);
