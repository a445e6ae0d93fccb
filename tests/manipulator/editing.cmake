# SPDX-License-Identifier: GPL-3.0-or-later
tabwright_add_test(test_textlinesediting ${CMAKE_CURRENT_LIST_DIR}/test_textlinesediting.cpp GUI)
