# SPDX-License-Identifier: GPL-3.0-or-later
# The operation tabs and the line tools worked through their controls. Where
# the command line is built, each result is also compared with its result.
foreach(test test_movetab test_addtab test_replacetab test_deletetab test_formattab test_linetoolstab)
  if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/${test}.cpp)
    tabwright_add_test(${test} ${CMAKE_CURRENT_LIST_DIR}/${test}.cpp GUI)
    if(TARGET tabwright-cli)
      target_compile_definitions(${test} PRIVATE TABWRIGHT_CLI="$<TARGET_FILE:tabwright-cli>")
      add_dependencies(${test} tabwright-cli)
    endif()
  endif()
endforeach()
