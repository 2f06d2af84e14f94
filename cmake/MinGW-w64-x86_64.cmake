# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (posix threads, for std::thread and
# std::mutex). Programs run through Wine where CMake needs to run them (ctest, test discovery).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FEATURETOGGLE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${FEATURETOGGLE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FEATURETOGGLE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${FEATURETOGGLE_MINGW_TRIPLE}-windres)

# Libraries and headers come from the toolchain's own root and from the folder the dependency
# script installs into; programs (Wine, ninja) from the build machine.
set(FEATURETOGGLE_MINGW_PREFIX "$ENV{FEATURETOGGLE_MINGW_PREFIX}")
if(NOT FEATURETOGGLE_MINGW_PREFIX)
    set(FEATURETOGGLE_MINGW_PREFIX /opt/featuretoggle-mingw64)
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${FEATURETOGGLE_MINGW_TRIPLE} ${FEATURETOGGLE_MINGW_PREFIX})
list(APPEND CMAKE_PREFIX_PATH ${FEATURETOGGLE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Debian's wine64 package keeps its loader out of PATH.
find_program(FEATURETOGGLE_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(FEATURETOGGLE_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/env WINEDEBUG=-all ${FEATURETOGGLE_WINE})
endif()
