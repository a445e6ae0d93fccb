# SPDX-License-Identifier: GPL-3.0-or-later
# The text file reader and writer, and the command line run end to end.
tabwright_add_test(test_textfile ${CMAKE_CURRENT_LIST_DIR}/test_textfile.cpp)
if(TARGET tabwright-cli)
  tabwright_add_test(test_cli ${CMAKE_CURRENT_LIST_DIR}/test_cli.cpp)
  target_compile_definitions(test_cli PRIVATE TABWRIGHT_CLI="$<TARGET_FILE:tabwright-cli>")
  add_dependencies(test_cli tabwright-cli)
  tabwright_add_test(test_clisave ${CMAKE_CURRENT_LIST_DIR}/test_clisave.cpp)
  target_compile_definitions(test_clisave PRIVATE TABWRIGHT_CLI="$<TARGET_FILE:tabwright-cli>")
  add_dependencies(test_clisave tabwright-cli)
endif()
