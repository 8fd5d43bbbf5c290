# The newest entry of packaging/debian/changelog names the package's version, its maintainer
# and the release's date, so that each is written in one place:
#   HUECAST_CHANGELOG_UPSTREAM    the upstream version, e.g. 2.1.0.2
#   HUECAST_CHANGELOG_REVISION    the Debian revision, e.g. 1
#   HUECAST_CHANGELOG_MAINTAINER  "Name <address>"
#   HUECAST_RELEASE_EPOCH         the entry's date in seconds since 1970, for reproducible
#                                 dates in generated files; SOURCE_DATE_EPOCH overrides it;
#                                 empty when date(1) cannot read the entry's date
set(HUECAST_DEBIAN_CHANGELOG ${CMAKE_CURRENT_LIST_DIR}/debian/changelog)
file(READ ${HUECAST_DEBIAN_CHANGELOG} _changelog)

if(NOT _changelog MATCHES "^huecast \\(([0-9][0-9A-Za-z.+~]*)-([0-9A-Za-z.+~]+)\\) [a-z-]+; urgency=[a-z]+\n")
  message(FATAL_ERROR "${HUECAST_DEBIAN_CHANGELOG}: the first line is not "
                      "'huecast (UPSTREAM-REVISION) DISTRIBUTION; urgency=URGENCY'")
endif()
set(HUECAST_CHANGELOG_UPSTREAM ${CMAKE_MATCH_1})
set(HUECAST_CHANGELOG_REVISION ${CMAKE_MATCH_2})

if(NOT _changelog MATCHES "\n -- ([^\n<]+ <[^\n>]+>)  ([^\n]+)\n")
  message(FATAL_ERROR "${HUECAST_DEBIAN_CHANGELOG}: the newest entry has no "
                      "' -- Name <address>  Date' line")
endif()
set(HUECAST_CHANGELOG_MAINTAINER ${CMAKE_MATCH_1})
set(_changelog_date ${CMAKE_MATCH_2})

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(HUECAST_RELEASE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND date -u -d "${_changelog_date}" +%s
                  OUTPUT_VARIABLE HUECAST_RELEASE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE _date_result ERROR_QUIET)
  # A date(1) that cannot read it (not GNU's) leaves generated files dated on the day they
  # are made.
  if(NOT _date_result EQUAL 0 OR NOT HUECAST_RELEASE_EPOCH MATCHES "^[0-9]+$")
    set(HUECAST_RELEASE_EPOCH "")
  endif()
endif()
unset(_changelog)
unset(_changelog_date)
