# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (GCC, posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(OVRA_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${OVRA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${OVRA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${OVRA_MINGW_TRIPLET}-windres)

# Libraries and headers come from the MinGW sysroot and the Windows Qt only; programs run on
# the build machine come from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${OVRA_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
