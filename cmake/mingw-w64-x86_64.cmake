# Cross-builds huecast.exe for 64-bit Windows with Debian's MinGW-w64 compilers (the posix
# threading flavour, which the C++ standard library needs for its thread-safe statics).
# The executable is linked statically so that it runs without MinGW's DLLs beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(HUECAST_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${HUECAST_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${HUECAST_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${HUECAST_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${HUECAST_MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${HUECAST_MINGW_TRIPLET}-ranlib CACHE FILEPATH "")

# Libraries built for the target (PCRE2, by cmake/build-pcre2-windows.sh) live in this
# cache; pkg-config looks there and never at the host's own libraries.
# The environment is the whole process's, and a try_compile reads this file again: it is
# handed the same cache directory so that it sets the same search path.
if(NOT DEFINED HUECAST_WIN_DEPS)
  get_filename_component(HUECAST_WIN_DEPS "${CMAKE_CURRENT_LIST_DIR}/../build-win-deps" ABSOLUTE)
  set(HUECAST_WIN_DEPS "${HUECAST_WIN_DEPS}" CACHE PATH "Libraries built for Windows")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES HUECAST_WIN_DEPS)
set(ENV{PKG_CONFIG_LIBDIR} "${HUECAST_WIN_DEPS}/pcre2/lib/pkgconfig:${CMAKE_CURRENT_LIST_DIR}/windows-pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

set(CMAKE_FIND_ROOT_PATH /usr/${HUECAST_MINGW_TRIPLET} ${HUECAST_WIN_DEPS}/pcre2)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs built here run under Wine.
find_program(HUECAST_WINE wine)
if(HUECAST_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${HUECAST_WINE})
endif()
