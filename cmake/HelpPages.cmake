# SPDX-License-Identifier: GPL-3.0-or-later
# The help pages and their sample texts (data/help/) go into the program
# folder beside the default database, where Help opens them.
file(GLOB TABWRIGHT_HELP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/help/*)
set(TABWRIGHT_HELP_FILES)
foreach(_source IN LISTS TABWRIGHT_HELP_SOURCES)
  get_filename_component(_name ${_source} NAME)
  set(_target ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${_name})
  add_custom_command(
    OUTPUT ${_target}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}
    COMMAND ${CMAKE_COMMAND} -E copy ${_source} ${_target}
    DEPENDS ${_source}
    COMMENT "Copying the help page ${_name}"
    VERBATIM)
  list(APPEND TABWRIGHT_HELP_FILES ${_target})
endforeach()
add_custom_target(help_pages ALL DEPENDS ${TABWRIGHT_HELP_FILES})
