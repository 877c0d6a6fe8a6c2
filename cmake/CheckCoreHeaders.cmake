# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source of the core includes anything but a header of the C++ standard library
# or of the project itself: the core builds for every edition as it is, so it may know of no
# toolkit, operating system or platform library.
#   cmake -DSOURCE_DIR=<src> -P CheckCoreHeaders.cmake
cmake_minimum_required(VERSION 3.25)
set(standard_headers algorithm any array atomic bit bitset cassert cctype cerrno cfloat
    charconv chrono cinttypes climits clocale cmath compare concepts condition_variable cstddef
    cstdint cstdio cstdlib cstring ctime cwchar deque exception filesystem format forward_list
    functional initializer_list iomanip ios iosfwd iostream istream iterator limits list locale
    map memory mutex new numbers numeric optional ostream queue random ranges ratio regex
    scoped_allocator set shared_mutex source_location span sstream stack stdexcept
    stop_token streambuf string string_view system_error thread tuple type_traits typeindex
    typeinfo unordered_map unordered_set utility valarray variant vector version)
set(folders startup settings display music setup platform)
set(offending "")
foreach(folder ${folders})
    file(GLOB sources ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
    foreach(source ${sources})
        file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include")
        foreach(line ${includes})
            if(line MATCHES "<([^>]+)>")
                if(NOT CMAKE_MATCH_1 IN_LIST standard_headers)
                    list(APPEND offending "${source}: <${CMAKE_MATCH_1}>")
                endif()
            elseif(line MATCHES "\"([^\"]+)\"")
                string(REGEX MATCH "^[a-z]+" first ${CMAKE_MATCH_1})
                if(NOT first IN_LIST folders)
                    list(APPEND offending "${source}: \"${CMAKE_MATCH_1}\"")
                endif()
            endif()
        endforeach()
    endforeach()
endforeach()
if(offending)
    list(JOIN offending "\n  " lines)
    message(FATAL_ERROR "The core includes headers from outside the standard library and "
        "itself:\n  ${lines}")
endif()
message(STATUS "The core includes only the standard library and itself")
