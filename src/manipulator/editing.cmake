# SPDX-License-Identifier: GPL-3.0-or-later
# Editing on the Text/Lines tab.
target_sources(tabwright_widgets PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/textlinesediting.h ${CMAKE_CURRENT_LIST_DIR}/textlinesediting.cpp
)
