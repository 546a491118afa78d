# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 compilers (the posix thread
# model: std::thread and std::mutex, which Qt and the program use, need it).
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/WindowsCross.cmake -DCMAKE_PREFIX_PATH=PREFIX ...
# PREFIX is where scripts/build-windows.sh installed the cross-built Qt and client library;
# libraries and packages are looked for there only, never among the machine's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(BRELO_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${BRELO_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRELO_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${BRELO_MINGW}-windres)
set(CMAKE_AR ${BRELO_MINGW}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${BRELO_MINGW}-gcc-ranlib-posix CACHE FILEPATH "")
set(CMAKE_FIND_ROOT_PATH /usr/${BRELO_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The prefixes given on the command line are searched as they are, not under the root path.
list(APPEND CMAKE_FIND_ROOT_PATH ${CMAKE_PREFIX_PATH})
