# SPDX-License-Identifier: GPL-3.0-or-later
# The default database is generated from the schema kept in data/ and put into
# the program folder; the program itself never creates these tables.
find_program(SQLITE3_SHELL sqlite3 REQUIRED)
set(TABWRIGHT_SCHEMA ${CMAKE_SOURCE_DIR}/data/schema.sql)
set(TABWRIGHT_DEFAULT_DB ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/tabwright.mdb)
add_custom_command(
  OUTPUT ${TABWRIGHT_DEFAULT_DB}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${TABWRIGHT_DEFAULT_DB}.tmp
  COMMAND ${SQLITE3_SHELL} -bail ${TABWRIGHT_DEFAULT_DB}.tmp ".read ${TABWRIGHT_SCHEMA}"
  COMMAND ${CMAKE_COMMAND} -E rename ${TABWRIGHT_DEFAULT_DB}.tmp ${TABWRIGHT_DEFAULT_DB}
  DEPENDS ${TABWRIGHT_SCHEMA}
  COMMENT "Generating the default database tabwright.mdb"
  VERBATIM)
add_custom_target(default_database ALL DEPENDS ${TABWRIGHT_DEFAULT_DB})
