# SPDX-License-Identifier: GPL-3.0-or-later
# The line operations of the Move, Add, Replace and Delete tabs.
tabwright_add_test(test_spacing test_spacing.cpp)
tabwright_add_test(test_moveops test_moveops.cpp)
tabwright_add_test(test_addops test_addops.cpp)
tabwright_add_test(test_replaceops test_replaceops.cpp)
tabwright_add_test(test_deleteops test_deleteops.cpp)
tabwright_add_test(test_lineops_random test_lineops_random.cpp)
