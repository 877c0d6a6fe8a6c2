# SPDX-License-Identifier: GPL-3.0-or-later
# The build of the core and its unit tests alone (LUMI_CORE_ONLY), included by the top-level
# CMakeLists.txt. GoogleTest comes from the system; when cross-compiling, from Debian's
# googletest sources, built with the cross compiler. No target here uses Qt, so none goes
# through moc or rcc.
set(CMAKE_AUTOMOC OFF)
set(CMAKE_AUTORCC OFF)
if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
    # The Windows program's resources (src/windows/resources).
    enable_language(RC)
endif()
if(CMAKE_CROSSCOMPILING)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest/googletest ${PROJECT_BINARY_DIR}/googletest
        EXCLUDE_FROM_ALL SYSTEM)
    # The sources name their targets GTest::gtest and GTest::gtest_main themselves (from
    # GoogleTest 1.11 on; Debian 12 has 1.12), as the system's package does.
else()
    find_package(GTest REQUIRED)
endif()
enable_testing()
add_subdirectory(src)
add_subdirectory(tests)
