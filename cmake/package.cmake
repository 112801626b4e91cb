# Install rules and the Debian package: cmake --build build --target package
# gives build/zr464_<version>_<arch>.deb. The programs go to /usr/bin, the
# driver libraries to their private folder (ZR_INSTALL_LIBDIR, where the
# programs look for them relative to themselves).
set(ZR_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(ZR_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/zr464)

install(TARGETS zr464 zr464-cli zr464-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS XCOM683 XKC683 XKC1683 XKU1683 XZR1683 LIBRARY DESTINATION ${ZR_INSTALL_LIBDIR})

install(FILES ${ZR_PACKAGING_DIR}/zr464.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${ZR_PACKAGING_DIR}/zr464.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
install(FILES ${ZR_PACKAGING_DIR}/zr464-cli.bash
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions RENAME zr464-cli)

# The manual pages, compressed as Debian keeps them.
set(ZR_MAN_PAGES)
foreach(program zr464 zr464-cli zr464-sim)
  set(page ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
  add_custom_command(OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9n -c ${ZR_PACKAGING_DIR}/man/${program}.1 > ${page}
    DEPENDS ${ZR_PACKAGING_DIR}/man/${program}.1 VERBATIM)
  list(APPEND ZR_MAN_PAGES ${page})
endforeach()
add_custom_target(manpages ALL DEPENDS ${ZR_MAN_PAGES})
install(FILES ${ZR_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The documentation keeps its layout, so that the README's links hold.
install(FILES README.md ${ZR_PACKAGING_DIR}/copyright DESTINATION ${ZR_DOC_DIR})
install(DIRECTORY docs/ DESTINATION ${ZR_DOC_DIR}/docs FILES_MATCHING PATTERN "*.md")
# The pictures the operator's guide shows, beside it as in the source tree.
install(DIRECTORY docs/img/ DESTINATION ${ZR_DOC_DIR}/docs/img FILES_MATCHING PATTERN "*.png")


set(ZR_MAINTAINER "ZR-464 maintainers <zr464-maintainers@example.org>"
    CACHE STRING "The Debian package's maintainer, as \"Name <e-mail>\"")

# Debian's changelog.gz, which every package carries: one entry for the
# version, made from packaging/changelog.in at configure time.
string(TIMESTAMP ZR_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${ZR_PACKAGING_DIR}/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog @ONLY)
set(ZR_CHANGELOG ${CMAKE_BINARY_DIR}/debian/changelog.gz)
add_custom_command(OUTPUT ${ZR_CHANGELOG}
  COMMAND gzip -9n -c ${CMAKE_BINARY_DIR}/debian/changelog > ${ZR_CHANGELOG}
  DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog VERBATIM)
add_custom_target(debian-changelog ALL DEPENDS ${ZR_CHANGELOG})
install(FILES ${ZR_CHANGELOG} DESTINATION ${ZR_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zr464)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration and test utility for ZR-464 digital I/O modules")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "A desktop program (Czech user interface) that connects to a ZR-464 module\n"
    "(32 digital inputs, 32 outputs, a watchdog relay, a status register) through\n"
    "a COM port, an ISA card KC-683, a PCI card KC-1683, a USB converter KU-1683\n"
    "or a LAN converter ZR-1683, identifies it, reads and writes its settings\n"
    "with a read-back check, watches its inputs and status and tests its\n"
    "watchdog. Also zr464-cli for shells and scripts (scan, configuration\n"
    "backup and cloning), the module simulator zr464-sim, and the five interface\n"
    "driver libraries.")
string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZR_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The dependencies from the programs' and libraries' own links (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The program's interface font (widgets/Pismo.h) is chosen by name and Qt's
# Czech translation (widgets/PrekladQt.h) loaded by file name: neither is linked.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, qt6-translations-l10n")
# The completion of zr464-cli uses bash-completion's helpers.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
