# SPDX-License-Identifier: GPL-3.0-or-later
# The operation tabs of the Manipulator and the line tools of the Text/Lines tab.
target_sources(tabwright_widgets PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/numericbox.h ${CMAKE_CURRENT_LIST_DIR}/numericbox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tabcontrols.h ${CMAKE_CURRENT_LIST_DIR}/tabcontrols.cpp
  ${CMAKE_CURRENT_LIST_DIR}/movetab.h ${CMAKE_CURRENT_LIST_DIR}/movetab.cpp
  ${CMAKE_CURRENT_LIST_DIR}/addtab.h ${CMAKE_CURRENT_LIST_DIR}/addtab.cpp
  ${CMAKE_CURRENT_LIST_DIR}/replacetab.h ${CMAKE_CURRENT_LIST_DIR}/replacetab.cpp
  ${CMAKE_CURRENT_LIST_DIR}/deletetab.h ${CMAKE_CURRENT_LIST_DIR}/deletetab.cpp
  ${CMAKE_CURRENT_LIST_DIR}/formattab.h ${CMAKE_CURRENT_LIST_DIR}/formattab.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linetools.h ${CMAKE_CURRENT_LIST_DIR}/linetools.cpp
)
