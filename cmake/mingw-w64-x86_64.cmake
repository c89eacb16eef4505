# Cross build for 64-bit Windows with Debian's mingw-w64 (POSIX threads
# flavour, which the C++ standard library's threads and filesystem need).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TRATTA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TRATTA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TRATTA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TRATTA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TRATTA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest runs the Windows executables under wine (64-bit loader first: the
# plain `wine` wrapper complains when the 32-bit half is not installed).
find_program(TRATTA_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(TRATTA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TRATTA_WINE})
endif()
