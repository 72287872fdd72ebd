# What the cross toolchains share: libraries and packages from the target's
# sysroot, programs from this machine; the tests run with the sysroot's
# `run`, which the script that fetched it wrote (qemu-user, wine).
set(RINGCUBE_SYSROOT "" CACHE PATH "The target's Pd and libraries (machines.txt, column pd)")
list(APPEND CMAKE_FIND_ROOT_PATH ${RINGCUBE_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
if(RINGCUBE_SYSROOT)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${RINGCUBE_SYSROOT}/run)
endif()
