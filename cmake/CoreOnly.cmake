# SPDX-License-Identifier: GPL-3.0-or-later
# The build of the core and its unit tests alone (LUMI_CORE_ONLY), included by the top-level
# CMakeLists.txt. GoogleTest comes from the system; when cross-compiling, from Debian's
# googletest sources, built with the cross compiler.
if(CMAKE_CROSSCOMPILING)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest/googletest ${PROJECT_BINARY_DIR}/googletest
        EXCLUDE_FROM_ALL SYSTEM)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
else()
    find_package(GTest REQUIRED)
endif()
enable_testing()
add_subdirectory(src)
add_subdirectory(tests)
