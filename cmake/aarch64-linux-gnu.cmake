# Cross-builds huecast for 64-bit ARM Linux with Debian's aarch64 cross compiler, against
# Debian's arm64 packages installed beside the host's (multiarch: dpkg --add-architecture
# arm64; libraries in /usr/lib/aarch64-linux-gnu, which the cross compiler searches).
# Programs built here run under qemu-user, which ctest puts before each of them.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(HUECAST_ARM_TRIPLET aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${HUECAST_ARM_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${HUECAST_ARM_TRIPLET}-g++)
set(CMAKE_AR ${HUECAST_ARM_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${HUECAST_ARM_TRIPLET}-ranlib CACHE FILEPATH "")
# find_library and find_package look in /usr/lib/aarch64-linux-gnu, never in the host's
# /usr/lib/x86_64-linux-gnu.
set(CMAKE_LIBRARY_ARCHITECTURE ${HUECAST_ARM_TRIPLET})

# pkg-config reads the arm64 packages' files and never the host's.
set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/${HUECAST_ARM_TRIPLET}/pkgconfig:/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# Test programs built here run under qemu-user (named, not through binfmt_misc).
find_program(HUECAST_QEMU qemu-aarch64)
if(HUECAST_QEMU)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${HUECAST_QEMU})
endif()
