# SPDX-License-Identifier: GPL-3.0-or-later
# The text file reader and writer, and the command line run end to end.
tabwright_add_test(test_textfile ${CMAKE_CURRENT_LIST_DIR}/test_textfile.cpp)
