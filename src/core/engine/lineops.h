// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The line operations of the Move, Add, Replace and Delete tabs.
#include "core/engine/addops.h"
#include "core/engine/deleteops.h"
#include "core/engine/moveops.h"
#include "core/engine/params.h"
#include "core/engine/replaceops.h"
#include "core/engine/spacing.h"
