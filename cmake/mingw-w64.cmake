# SPDX-License-Identifier: MIT
# Cross-building for Windows with Debian's MinGW-w64, for 64-bit (x86_64, the default) or
# 32-bit (i686) Windows: VELMORA_MINGW_ARCH picks. The -posix compilers, as the -win32 ones
# lack std::thread and std::mutex.
set(VELMORA_MINGW_ARCH x86_64 CACHE STRING "The Windows processor: x86_64 or i686")
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VELMORA_MINGW_ARCH})
set(CMAKE_C_COMPILER ${VELMORA_MINGW_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMORA_MINGW_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${VELMORA_MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VELMORA_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
