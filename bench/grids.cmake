# SPDX-License-Identifier: GPL-3.0-or-later
# The table window on a large table: open, paint, scroll, sort, filter.
add_executable(bench_grids ${CMAKE_CURRENT_LIST_DIR}/grids_bench.cpp)
target_link_libraries(bench_grids PRIVATE tabwright_widgets)
