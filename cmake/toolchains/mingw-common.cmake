# The part of the mingw-w64 cross builds that both targets share. The including file sets
# CMAKE_SYSTEM_PROCESSOR, GIBO_MINGW_TRIPLE and GIBO_WINE_NAME first.
# The -posix compilers carry the standard thread types; -static links their runtime into each
# program, so the tests run under wine without the mingw DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${GIBO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GIBO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${GIBO_MINGW_TRIPLE}-windres)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

set(CMAKE_FIND_ROOT_PATH /usr/${GIBO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run through wine (ctest uses this). Debian's own loader, not the wrapper, which
# picks the 32-bit loader whenever it is installed.
find_program(GIBO_WINE_LOADER NAMES ${GIBO_WINE_NAME} PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(GIBO_WINE_LOADER)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${GIBO_WINE_LOADER})
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR wine)
endif()
