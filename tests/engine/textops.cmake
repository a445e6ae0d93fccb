# SPDX-License-Identifier: GPL-3.0-or-later
tabwright_add_test(test_formattext test_formattext.cpp)
tabwright_add_test(test_linetools test_linetools.cpp)
tabwright_add_test(test_tabwrite test_tabwrite.cpp)
