# Builds the Windows programs (64-bit) on Debian with its MinGW-w64 compilers
# (apt-get install g++-mingw-w64-x86-64):
#   cmake -S . -B build-windows --toolchain cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUORRELL_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUORRELL_MINGW}-gcc)
set(CMAKE_CXX_COMPILER ${QUORRELL_MINGW}-g++)
set(CMAKE_RC_COMPILER ${QUORRELL_MINGW}-windres)

# Headers and libraries come from the Windows side only; programs run at
# build time come from this machine.
set(CMAKE_FIND_ROOT_PATH /usr/${QUORRELL_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
