# SPDX-License-Identifier: GPL-3.0-or-later
# Saving to a table: save_bench.sh times tabwright-cli save against the
# sqlite3 shell's .import (nothing to build for it); bench_save_window times
# the window's "&Save" and how quickly the window answers during it.
if(TARGET tabwright_testsupport)
  add_executable(bench_save_window ${CMAKE_CURRENT_LIST_DIR}/save_window_bench.cpp)
  target_link_libraries(bench_save_window PRIVATE tabwright_testsupport)
  target_compile_definitions(bench_save_window PRIVATE TABWRIGHT_DEFAULT_DB_PATH="${TABWRIGHT_DEFAULT_DB}")
  add_dependencies(bench_save_window default_database)
endif()
