# 64-bit Windows, for machines whose kernel cannot run 32-bit programs (and so no 32-bit
# Wine): the same sources, the Windows platform layer among them, cross-built with Debian's
# mingw-w64 (package g++-mingw-w64-x86-64-posix) and run under 64-bit Wine (wine64). It proves
# the Windows code; the engine's 32-bit member convention is proven by the 32-bit builds.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PILFERN_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
