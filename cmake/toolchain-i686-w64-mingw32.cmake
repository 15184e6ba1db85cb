# 32-bit Windows, the plugin's real home, cross-built with Debian's mingw-w64 (package
# g++-mingw-w64-i686-posix). The programs run under Wine (wine32), on a machine whose kernel
# runs 32-bit programs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(PILFERN_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
