# huecast(1): docs/huecast.1.scd, in scdoc's plain-text format, made into roff as part of
# the default build, with a copy packed by gzip -9n for installing. Without scdoc the
# program still builds, without its manual page.
find_program(SCDOC scdoc)
find_program(GZIP gzip)
if(NOT SCDOC OR NOT GZIP)
  message(STATUS "scdoc or gzip not found: the man page huecast.1 is not built "
                 "(on Debian: apt-get install scdoc)")
  return()
endif()

# The version comes from the project; the page's date from the release (see
# debian-changelog.cmake), so that the same sources give the same page.
configure_file(${PROJECT_SOURCE_DIR}/docs/huecast.1.scd ${PROJECT_BINARY_DIR}/huecast.1.scd @ONLY)
add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/huecast.1 ${PROJECT_BINARY_DIR}/huecast.1.gz
  COMMAND ${CMAKE_COMMAND} -DSCDOC=${SCDOC} -DGZIP=${GZIP} "-DEPOCH=${HUECAST_RELEASE_EPOCH}"
          -DSOURCE=${PROJECT_BINARY_DIR}/huecast.1.scd -DPAGE=${PROJECT_BINARY_DIR}/huecast.1
          -P ${CMAKE_CURRENT_LIST_DIR}/render-man-page.cmake
  DEPENDS ${PROJECT_BINARY_DIR}/huecast.1.scd ${CMAKE_CURRENT_LIST_DIR}/render-man-page.cmake
  COMMENT "Generating the man page huecast.1"
  VERBATIM)
add_custom_target(huecast_man_page ALL DEPENDS ${PROJECT_BINARY_DIR}/huecast.1 ${PROJECT_BINARY_DIR}/huecast.1.gz)

install(FILES ${PROJECT_BINARY_DIR}/huecast.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
