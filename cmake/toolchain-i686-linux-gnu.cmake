# 32-bit Linux (g++ -m32, Debian's g++-multilib): the engine's 32-bit process where no 32-bit
# Windows program can run. GCC gives the engine's member convention (thiscall: the object in
# ECX, the arguments on the stack, removed by the callee) on this target as well, so the suite
# built here proves the replacements and the calls back into the engine in a 32-bit process,
# with 32-bit pointers and sizes. The programs run natively where the kernel allows and under
# user-mode emulation (qemu-i386-static) where it does not.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
foreach(kind EXE SHARED MODULE)
    set(CMAKE_${kind}_LINKER_FLAGS_INIT -m32)
endforeach()
# As a cross build it looks for none of the build machine's 64-bit libraries: GoogleTest is
# built from its sources and the simulator has no screenshots (no cairo).
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386-static)
