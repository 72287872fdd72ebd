# What both ARM toolchains share: GoogleTest from the sysroot, the tests run
# under qemu-user with the sysroot's libraries, everything else the compiler's.
set(RINGCUBE_SYSROOT "" CACHE PATH "Debian sysroot of the target (tools/fetch-sysroot)")
set(CMAKE_FIND_ROOT_PATH ${RINGCUBE_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
if(RINGCUBE_SYSROOT)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${RINGCUBE_QEMU} -L ${RINGCUBE_SYSROOT})
endif()
