# SPDX-License-Identifier: GPL-3.0-or-later
# The Tabwrite Text and Save to Database tabs worked through their controls;
# where the command line is built, Process is also compared with its result.
tabwright_add_test(test_columnstabs ${CMAKE_CURRENT_LIST_DIR}/test_columnstabs.cpp GUI)
if(TARGET tabwright-cli)
  target_compile_definitions(test_columnstabs PRIVATE TABWRIGHT_CLI="$<TARGET_FILE:tabwright-cli>")
  add_dependencies(test_columnstabs tabwright-cli)
endif()
