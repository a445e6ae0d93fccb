// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The line operations of the Move, Add, Replace and Delete tabs.
#include "engine/addops.h"
#include "engine/deleteops.h"
#include "engine/moveops.h"
#include "engine/params.h"
#include "engine/replaceops.h"
#include "engine/spacing.h"
