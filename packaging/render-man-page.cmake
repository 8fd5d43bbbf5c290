# Run at build time by man-page.cmake:
#   cmake -DSCDOC=... -DGZIP=... -DEPOCH=... -DSOURCE=page.scd -DPAGE=page.1 -P render-man-page.cmake
# writes PAGE (roff, dated EPOCH, or today when EPOCH is empty) and PAGE.gz (gzip -9n: no
# file name or time stamp inside).
foreach(variable SCDOC GZIP SOURCE PAGE)
  if(NOT DEFINED ${variable} OR "${${variable}}" STREQUAL "")
    message(FATAL_ERROR "render-man-page.cmake: ${variable} is not set")
  endif()
endforeach()

if(EPOCH)
  set(ENV{SOURCE_DATE_EPOCH} ${EPOCH})
else()
  unset(ENV{SOURCE_DATE_EPOCH})
endif()
execute_process(COMMAND ${SCDOC} INPUT_FILE ${SOURCE} OUTPUT_FILE ${PAGE}.tmp
                RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  file(REMOVE ${PAGE}.tmp)
  message(FATAL_ERROR "scdoc failed on ${SOURCE}: ${errors}")
endif()
execute_process(COMMAND ${GZIP} -9n -c INPUT_FILE ${PAGE}.tmp OUTPUT_FILE ${PAGE}.gz RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE ${PAGE}.tmp ${PAGE}.gz)
  message(FATAL_ERROR "gzip failed on ${PAGE}")
endif()
file(RENAME ${PAGE}.tmp ${PAGE})
