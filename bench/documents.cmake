# SPDX-License-Identifier: GPL-3.0-or-later
add_executable(bench_documents ${CMAKE_CURRENT_LIST_DIR}/documents_bench.cpp)
target_link_libraries(bench_documents PRIVATE tabwright_widgets)
