# SPDX-License-Identifier: GPL-3.0-or-later
# cmake --install puts Tabwright where a Linux desktop looks for it; cpack -G DEB
# makes a Debian package of the same files (dpkg-dev's tools are needed).
#
# An installed program cannot write beside itself: it keeps the shipped
# default database (and the files that go with it) under share/tabwright and
# copies them into the user's data folder on first start.
include(GNUInstallDirs)

install(TARGETS tabwright tabwright-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${TABWRIGHT_DEFAULT_DB} ${TABWRIGHT_HELP_SOURCES} DESTINATION ${CMAKE_INSTALL_DATADIR}/tabwright)
install(FILES data/tabwright.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 64 128 256)
  install(FILES data/icons/tabwright-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tabwright.png)
endforeach()
install(FILES data/icons/tabwright.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES docs/tabwright-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md docs/cli.md LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME tabwright)
set(CPACK_PACKAGE_VENDOR "Tabwright")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Reshape plain text line by line and load it into database tables")
set(CPACK_PACKAGE_CONTACT "Tabwright maintainers <maintainers@tabwright.invalid>")
set(CPACK_PACKAGE_INSTALL_DIRECTORY tabwright)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The database driver is a plugin: no library dependency would name it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6widgets6, libqt6sql6, libqt6sql6-sqlite, libqt6printsupport6, libqscintilla2-qt6-15, libsqlite3-0")
include(CPack)
