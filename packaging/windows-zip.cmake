# The Windows download: huecast-VERSION-win64.zip, one folder holding huecast.exe, the README
# and the licence as text, and the filter sets in "filters" beside the program, where --set
# looks for them. `cmake --build BUILD --target windows_zip` writes it into the build folder.
set(HUECAST_ZIP_NAME huecast-${PROJECT_VERSION}-win64)
set(HUECAST_ZIP ${PROJECT_BINARY_DIR}/${HUECAST_ZIP_NAME}.zip)
list(TRANSFORM HUECAST_FILTER_SETS PREPEND ${PROJECT_SOURCE_DIR}/ OUTPUT_VARIABLE HUECAST_ZIP_SETS)
add_custom_command(
  OUTPUT ${HUECAST_ZIP}
  COMMAND ${CMAKE_COMMAND} -DFOLDER=${PROJECT_BINARY_DIR}/zip/${HUECAST_ZIP_NAME} -DZIP=${HUECAST_ZIP}
          -DEXE=$<TARGET_FILE:huecast> -DSOURCE=${PROJECT_SOURCE_DIR} "-DSETS=${HUECAST_ZIP_SETS}"
          -P ${PROJECT_SOURCE_DIR}/packaging/windows-zip-folder.cmake
  DEPENDS huecast ${HUECAST_ZIP_SETS} ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
          ${PROJECT_SOURCE_DIR}/packaging/windows-zip-folder.cmake
  VERBATIM)
add_custom_target(windows_zip DEPENDS ${HUECAST_ZIP})
