# Installing and packaging. `cmake --install build --prefix /usr` puts the programs into bin/,
# the template workbook and the explanatory document into share/plwan40/ (which the program
# finds as ../share/plwan40 from its own folder), the manual pages into share/man/ and the
# package's copyright and changelog into share/doc/plwan40/; `cpack -G DEB` in the build folder
# packs the same files as plwan40_<version>_<arch>.deb.
include(GNUInstallDirs)

set(PLWAN40_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/plwan40)
file(RELATIVE_PATH data_from_program ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/plwan40)
if(NOT data_from_program STREQUAL "../share/plwan40")
  message(FATAL_ERROR "The program looks for its files in ../share/plwan40 from its own folder; "
                      "CMAKE_INSTALL_BINDIR and CMAKE_INSTALL_DATADIR as set do not keep that.")
endif()
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# A program of the package: installed into bin/ with its manual pages PROGRAM(1), English and
# Japanese, which tools/manpage makes from `PROGRAM --help` (the Japanese forms and options), the
# README's command-line table (the English forms) and docs/man/PROGRAM.1.txt (the rest). A new
# program joins with this one line beside its add_executable and a page source of its own; a new
# option joins with its line in --help and the README's table and its English line in the page
# source's "== en OPTIONS" (tests/install/manual_pages.sh fails until it is there).
function(plwan40_installed_program target)
  set_property(GLOBAL APPEND PROPERTY PLWAN40_INSTALLED_PROGRAMS ${target})
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  set(source ${PROJECT_SOURCE_DIR}/docs/man/${target}.1.txt)
  set(readme ${PROJECT_SOURCE_DIR}/README.md)
  set(out ${PROJECT_BINARY_DIR}/man)
  add_custom_command(
    OUTPUT ${out}/${target}.1 ${out}/ja/${target}.1 ${out}/${target}.1.gz ${out}/ja/${target}.1.gz
    COMMAND plwan40-manpage $<TARGET_FILE:${target}> ${source} ${readme} ${PROJECT_VERSION} ${out}
    COMMAND gzip -9nkf ${out}/${target}.1 ${out}/ja/${target}.1
    DEPENDS ${target} plwan40-manpage ${source} ${readme}
    COMMENT "Writing the manual pages of ${target}"
    VERBATIM)
  add_custom_target(${target}_manual_pages ALL DEPENDS ${out}/${target}.1.gz
                                                        ${out}/ja/${target}.1.gz)
  install(FILES ${out}/${target}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${out}/ja/${target}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/ja/man1)
endfunction()

# The package's copyright and changelog, whose latest entry is this version.
set(PLWAN40_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/plwan40)
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog latest LIMIT_COUNT 1)
if(NOT latest MATCHES "^plwan40 \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog: the latest entry is not version ${PROJECT_VERSION}")
endif()
add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/changelog
          ${PROJECT_BINARY_DIR}/changelog
  COMMAND gzip -9nf ${PROJECT_BINARY_DIR}/changelog
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
  VERBATIM)
add_custom_target(plwan40_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog.gz)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_BINARY_DIR}/changelog.gz
        DESTINATION ${PLWAN40_INSTALL_DOCDIR})

# The Debian package. dpkg-shlibdeps finds the packages of the libraries the programs link;
# Depends adds what no link shows: the Japanese fonts the screens and the hard copy draw with,
# xdg-open for opening documents and Qt's Japanese translations (the standard dialogs; the X11
# platform plugin comes with Qt's GUI library). LibreOffice converts what the .xls writer
# cannot and shows the workbook: recommended, not required.
set(PLWAN40_PACKAGE_MAINTAINER "PLWAN40 developers <dev@plwan40.example>"
    CACHE STRING "The Debian package's maintainer")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME plwan40)
set(CPACK_PACKAGE_VENDOR "PLWAN40 developers")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${PLWAN40_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-ipafont-gothic, xdg-utils, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libreoffice-calc | libreoffice-calc-nogui")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "customer analysis (RFM analysis) of a point-card suite
PLWAN40 scores the card customers of a retail shop by recency, frequency and
monetary value, paints the rank combinations into groups and writes an Excel
workbook: the customer list with RFM value and group, count and amount tables
with charts for each viewpoint, and group totals.
.
The suite's menu program starts the desktop program; plwan40 --batch runs an
analysis from the saved settings without screens. plwan40-sample writes a
sample installation to try it on; plwan40-to-postgres moves an installation's
databases to a PostgreSQL server.")
include(CPack)
