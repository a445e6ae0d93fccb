# SPDX-License-Identifier: GPL-3.0-or-later
# The command line's benchmark is a script (cli_bench.sh) run against the
# built tabwright-cli; nothing to build for it here.
#
# The engine's fuzz target, only when asked for: it needs clang's libFuzzer,
# and it builds the core library's sources again with the fuzzer's
# instrumentation and the address and undefined-behaviour sanitizers.
#   cmake -B build-fuzz -G Ninja -DTABWRIGHT_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++
#   ninja -C build-fuzz fuzz_engine && build-fuzz/bin/fuzz_engine -max_total_time=60 -timeout=5
if(TABWRIGHT_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "TABWRIGHT_FUZZ needs clang (configure with -DCMAKE_CXX_COMPILER=clang++)")
  endif()
  get_target_property(_tw_core_sources tabwright_core SOURCES)
  get_target_property(_tw_core_dir tabwright_core SOURCE_DIR)
  set(_tw_fuzz_sources)
  foreach(_source IN LISTS _tw_core_sources)
    if(_source MATCHES "\\.cpp$")
      if(NOT IS_ABSOLUTE "${_source}")
        set(_source "${_tw_core_dir}/${_source}")
      endif()
      # Only the text engine and the reader are fuzzed; the database layer
      # would drag in drivers the fuzzer cannot exercise.
      if(_source MATCHES "/src/(engine|documents)/")
        list(APPEND _tw_fuzz_sources "${_source}")
      endif()
    endif()
  endforeach()
  add_executable(fuzz_engine ${CMAKE_CURRENT_LIST_DIR}/fuzz/fuzz_engine.cpp ${_tw_fuzz_sources})
  target_include_directories(fuzz_engine PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(fuzz_engine PRIVATE Qt6::Core)
  target_compile_options(fuzz_engine PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
  target_link_options(fuzz_engine PRIVATE -fsanitize=fuzzer,address,undefined)
endif()
