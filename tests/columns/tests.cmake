# SPDX-License-Identifier: GPL-3.0-or-later
tabwright_add_test(test_columns_core ${CMAKE_CURRENT_LIST_DIR}/test_columns_core.cpp)
tabwright_add_test(test_databasemenu ${CMAKE_CURRENT_LIST_DIR}/test_databasemenu.cpp GUI)
tabwright_add_test(test_tablesaver ${CMAKE_CURRENT_LIST_DIR}/test_tablesaver.cpp)
tabwright_add_test(test_savetable ${CMAKE_CURRENT_LIST_DIR}/test_savetable.cpp GUI)
