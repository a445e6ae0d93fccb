# SPDX-License-Identifier: GPL-3.0-or-later
# Whole-text operations: Format Text, the line tools and the column layout.
target_sources(tabwright_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/textparams.h
  ${CMAKE_CURRENT_LIST_DIR}/textchars.h
  ${CMAKE_CURRENT_LIST_DIR}/formattext.h ${CMAKE_CURRENT_LIST_DIR}/formattext.cpp
  ${CMAKE_CURRENT_LIST_DIR}/linetools.h ${CMAKE_CURRENT_LIST_DIR}/linetools.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tabwrite.h ${CMAKE_CURRENT_LIST_DIR}/tabwrite.cpp
)
