# SPDX-License-Identifier: GPL-3.0-or-later
tabwright_add_test(test_form13 ${CMAKE_CURRENT_LIST_DIR}/test_form13.cpp GUI)
