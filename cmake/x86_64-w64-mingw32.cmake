# 64-bit Windows with Debian's MinGW-w64 cross compiler (the POSIX-thread
# variant, whose libstdc++ is complete). RINGCUBE_SYSROOT, if given, holds
# Pd for Windows and a wine prefix (tools/fetch-pd-windows): the tests run
# under wine there. GoogleTest is built from Debian's sources (package
# googletest), the tests linked statically.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
# Windows aligns the stack to 16 bytes only, and GCC cannot realign the
# frame of a function that Windows unwinds: a 32-byte vector the AVX2
# variants spill could fault on an aligned move, so every move is unaligned.
set(CMAKE_C_FLAGS_INIT "-Wa,-muse-unaligned-vector-move")
set(CMAKE_CXX_FLAGS_INIT "-Wa,-muse-unaligned-vector-move")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/cross-common.cmake)
