# SPDX-License-Identifier: GPL-3.0-or-later
tabwright_add_test(test_documentrules ${CMAKE_CURRENT_LIST_DIR}/test_documentrules.cpp)
tabwright_add_test(test_textdocuments ${CMAKE_CURRENT_LIST_DIR}/test_textdocuments.cpp GUI)
tabwright_add_test(test_viewersearch ${CMAKE_CURRENT_LIST_DIR}/test_viewersearch.cpp GUI)
