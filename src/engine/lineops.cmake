# SPDX-License-Identifier: GPL-3.0-or-later
# The line operations of the Move, Add, Replace and Delete tabs.
target_sources(tabwright_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/params.h
  ${CMAKE_CURRENT_LIST_DIR}/codepoints.h
  ${CMAKE_CURRENT_LIST_DIR}/lineedit.h
  ${CMAKE_CURRENT_LIST_DIR}/spacing.h ${CMAKE_CURRENT_LIST_DIR}/spacing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/moveops.h ${CMAKE_CURRENT_LIST_DIR}/moveops.cpp
  ${CMAKE_CURRENT_LIST_DIR}/addops.h ${CMAKE_CURRENT_LIST_DIR}/addops.cpp
  ${CMAKE_CURRENT_LIST_DIR}/replaceops.h ${CMAKE_CURRENT_LIST_DIR}/replaceops.cpp
  ${CMAKE_CURRENT_LIST_DIR}/deleteops.h ${CMAKE_CURRENT_LIST_DIR}/deleteops.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lineops.h
)
