# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (POSIX threading flavour).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZARV_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${ZARV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZARV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${ZARV_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZARV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything static: the products need no MinGW runtime DLLs on Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Release programs carry no symbols.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
