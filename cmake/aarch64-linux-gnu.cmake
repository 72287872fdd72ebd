# 64-bit ARM (Raspberry Pi 3 and later on a 64-bit system, other arm64
# machines) with Debian's cross compiler. RINGCUBE_SYSROOT, if given, holds
# Debian's arm64 Pd and test libraries (tools/fetch-sysroot): the tests link
# its GoogleTest and run under qemu with its libraries.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
include(${CMAKE_CURRENT_LIST_DIR}/cross-common.cmake)
