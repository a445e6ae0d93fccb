# SPDX-License-Identifier: GPL-3.0-or-later
# Each operation tab and the line tools over a 1,000,000-line text, through the window.
add_executable(bench_tabs ${CMAKE_CURRENT_LIST_DIR}/tabs_bench.cpp)
target_link_libraries(bench_tabs PRIVATE tabwright_widgets)
