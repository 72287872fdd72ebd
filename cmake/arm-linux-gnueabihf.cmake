# 32-bit ARMv7 with hard float (Raspberry Pi 2 and later on Raspberry Pi
# OS 32-bit, other armhf machines) with Debian's cross compiler.
#
# NEON on ARMv7 flushes subnormals to zero and rounds as if no FPSCR mode
# applied, so GCC gives it float arithmetic only under
# -funsafe-math-optimizations; without that flag, which the build never
# sets, the vector types' float operations are lowered to VFP, which keeps
# IEEE single precision with subnormals, and NEON does the integer and bit
# work (loads, stores, selects, table indices).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)
set(CMAKE_C_FLAGS_INIT "-march=armv7-a -mfpu=neon-vfpv4 -mfloat-abi=hard")
set(CMAKE_CXX_FLAGS_INIT "-march=armv7-a -mfpu=neon-vfpv4 -mfloat-abi=hard")
include(${CMAKE_CURRENT_LIST_DIR}/cross-common.cmake)
