# What `cmake --install` puts where (any prefix, DESTDIR honoured), and the Debian package that
# `cpack -G DEB` makes of the same files.

install(TARGETS tarvex tarvex-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
set(TARVEX_RESOURCES ${PROJECT_SOURCE_DIR}/resources)
# The help page where the installed program looks for it (see helpPagePath()).
install(FILES ${TARVEX_RESOURCES}/Tarvex_Help.html DESTINATION ${TARVEX_INSTALL_DATADIR})
install(FILES ${TARVEX_RESOURCES}/tarvex.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TARVEX_RESOURCES}/ru.tarvex.tarvex.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${TARVEX_RESOURCES}/tarvex.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${TARVEX_RESOURCES}/tarvex.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)

set(TARVEX_PACKAGE_MAINTAINER "Tarvex maintainers <maintainers@tarvex.invalid>"
    CACHE STRING "Maintainer field of the Debian package: a name and an e-mail address")

set(CPACK_PACKAGE_NAME tarvex)
set(CPACK_PACKAGE_VENDOR Tarvex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION}) # all four parts, as the program shows it
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "register of airline contracts and commissions for travel agencies")
set(CPACK_PACKAGE_DESCRIPTION
    "Tarvex keeps a travel agency's register of airline contracts and of the
commissions the airlines pay. From it, it writes Smart Key and Smart Flow
scripts for Amadeus, an Excel workbook for the accountants and a CSV list of
the airlines. The package holds the desktop program tarvex and the
command-line tool tarvex-cli.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # tarvex_<version>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TARVEX_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The libraries the executables link are found by dpkg-shlibdeps (package dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its SQLite and PostgreSQL drivers as plugins at run time, so no linked library
# leads to them. (The platform plugins come with libqt6gui6, which the executables link.)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql")
include(CPack)
