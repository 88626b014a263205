# Cross-compiling Palisk for 64-bit Windows with Debian's mingw-w64
# (g++-mingw-w64-x86-64-posix): the real SDK headers and import libraries,
# and a statically linked runtime, so palisk.exe needs no DLL beside it.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PALISK_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PALISK_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PALISK_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${PALISK_MINGW_TRIPLET}-windres)

# Look for headers and libraries in the cross sysroot only; programs come
# from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${PALISK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes and winpthreads go into the executable itself.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# A release executable carries no symbol table.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
