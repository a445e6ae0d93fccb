# SPDX-License-Identifier: GPL-3.0-or-later
# tabwright-cli: the operations of the Manipulator from the command line, on
# the core library alone (no widgets, no display needed).
add_executable(tabwright-cli
  ${CMAKE_CURRENT_LIST_DIR}/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fields.h ${CMAKE_CURRENT_LIST_DIR}/fields.cpp
  ${CMAKE_CURRENT_LIST_DIR}/columnsfile.h ${CMAKE_CURRENT_LIST_DIR}/columnsfile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/runner.h ${CMAKE_CURRENT_LIST_DIR}/runner.cpp
  ${CMAKE_CURRENT_LIST_DIR}/save.h ${CMAKE_CURRENT_LIST_DIR}/save.cpp
)
target_link_libraries(tabwright-cli PRIVATE tabwright_core)
