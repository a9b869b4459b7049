# Cross build for 32-bit Windows with Debian's mingw-w64 (g++-mingw-w64-i686-posix).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(GIBO_MINGW_TRIPLE i686-w64-mingw32)
set(GIBO_WINE_NAME wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
