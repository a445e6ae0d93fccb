# SPDX-License-Identifier: GPL-3.0-or-later
# The Tabwrite Text and Save to Database tabs.
target_sources(tabwright_widgets PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/savetargettab.h ${CMAKE_CURRENT_LIST_DIR}/savetargettab.cpp
  ${CMAKE_CURRENT_LIST_DIR}/savetable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tabwritetab.h ${CMAKE_CURRENT_LIST_DIR}/tabwritetab.cpp
)
