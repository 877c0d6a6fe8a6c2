# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 compilers of the POSIX thread
# model (packages g++-mingw-w64-x86-64-posix and gcc-mingw-w64-x86-64-posix), which
# std::thread and std::mutex need. Every program is a 64-bit (PE32+) executable that links
# the C and C++ runtimes and the thread library statically, so that it runs on its own,
# without a MinGW DLL beside it. CMake runs the programs that it builds (the test discovery,
# CTest) through Wine's 64-bit loader.
#
#   cmake -G Ninja -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triplet}-windres)

# Headers and libraries come from the MinGW system root alone; programs (Wine, below) from
# the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Wine's 64-bit loader itself rather than Debian's `wine` launcher, which prints a hint about
# a missing 32-bit Wine on every run unless WINEDEBUG silences it; the launcher only where no
# such loader is found (a Wine installed elsewhere).
find_program(LUMI_WINE NAMES wine64 wine PATHS /usr/lib/wine /usr/lib64/wine
    DOC "Wine loader that runs the cross-compiled programs")
if(LUMI_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${LUMI_WINE})
endif()
