# What the two Windows cross builds share; the toolchain file sets PILFERN_MINGW_PREFIX.

# The posix thread model: GoogleTest needs std::mutex, which the win32 model of GCC 12 lacks.
set(CMAKE_C_COMPILER ${PILFERN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PILFERN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${PILFERN_MINGW_PREFIX}-windres)

# Headers and libraries of the target only; programs (code generators) of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${PILFERN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Header-only packages of the build machine that the cross build may use anyway.
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/cross/nlohmann_json CACHE PATH "")

# Every program and DLL carries its own copy of the GCC runtime, the C++ library and
# winpthread, so Wine needs no DLL beyond the project's own and the system's.
foreach(kind EXE SHARED MODULE)
    set(CMAKE_${kind}_LINKER_FLAGS_INIT "-static")
endforeach()
