# `make package` (cpack) in a build configured with -DHUECAST_DEBIAN_PACKAGE=ON writes a
# Debian package: the program linked against the system's libraries, installed under /usr,
# stripped, with the copyright and changelog files Debian asks for and Depends computed by
# dpkg-shlibdeps from the binary.
option(HUECAST_DEBIAN_PACKAGE "Build for a Debian package: its copyright and changelog files, and cpack writing the .deb" OFF)

if(NOT HUECAST_DEBIAN_PACKAGE)
  # A plain installation carries the licence beside the README; a package says it in
  # its copyright file instead.
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
  return()
endif()

if(NOT HUECAST_CHANGELOG_UPSTREAM STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "${HUECAST_DEBIAN_CHANGELOG}: the newest entry is for "
                      "${HUECAST_CHANGELOG_UPSTREAM}, the project is ${PROJECT_VERSION}: add an entry")
endif()
if(HUECAST_STATIC_RUNTIME OR HUECAST_STATIC_ODBC)
  message(FATAL_ERROR "A Debian package links the system's shared libraries: configure it "
                      "with -DHUECAST_STATIC_RUNTIME=OFF -DHUECAST_STATIC_ODBC=OFF")
endif()
if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  message(FATAL_ERROR "A Debian package installs under /usr: configure it with "
                      "-DCMAKE_INSTALL_PREFIX=/usr")
endif()
if(NOT GZIP)
  message(FATAL_ERROR "A Debian package needs gzip for its changelog")
endif()
if(NOT SCDOC)
  message(FATAL_ERROR "A Debian package needs its manual page: install scdoc")
endif()

add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/changelog.Debian.gz
  COMMAND ${GZIP} -9n -c ${HUECAST_DEBIAN_CHANGELOG} > ${PROJECT_BINARY_DIR}/changelog.Debian.gz
  DEPENDS ${HUECAST_DEBIAN_CHANGELOG}
  COMMENT "Packing the Debian changelog")
add_custom_target(huecast_debian_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog.Debian.gz)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright ${PROJECT_BINARY_DIR}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/lintian-overrides RENAME huecast
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides)

# The installed program is stripped as dh_strip does it: the symbols, and the sections
# that only name the compiler.
if(NOT CMAKE_STRIP)
  message(FATAL_ERROR "A Debian package's program is stripped: no strip program found")
endif()
install(CODE "
  execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                          \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/huecast\"
                  COMMAND_ERROR_IS_FATAL ANY)
")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME huecast)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The huecast developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "colouriser for console text, whole or by regular expressions")
# CPack reads this file with XML escapes (an apostrophe would become &apos;): it has none.
set(CPACK_PACKAGE_DESCRIPTION_FILE ${CMAKE_CURRENT_LIST_DIR}/debian/description)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${HUECAST_CHANGELOG_REVISION})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${HUECAST_CHANGELOG_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://huecast.example)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
