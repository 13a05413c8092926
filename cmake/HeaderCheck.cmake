# SPDX-License-Identifier: GPL-3.0-or-later
#
# Every header under src/ compiled together in one translation unit: a header that needs an
# include it does not make, or two headers that declare the same name, break the build here.

file(GLOB_RECURSE _tilvo_headers CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}/src
     ${PROJECT_SOURCE_DIR}/src/*.h)
list(SORT _tilvo_headers)
set(_tilvo_header_text "// Generated: every header of src/ in one translation unit.\n")
foreach(header IN LISTS _tilvo_headers)
    string(APPEND _tilvo_header_text "#include \"${header}\"\n")
endforeach()
set(_tilvo_header_source ${CMAKE_BINARY_DIR}/header_check/AllHeaders.cpp)
file(CONFIGURE OUTPUT ${_tilvo_header_source} CONTENT "${_tilvo_header_text}")

add_library(tilvo_header_check OBJECT ${_tilvo_header_source})
set_target_properties(tilvo_header_check PROPERTIES AUTOMOC OFF)
set(_tilvo_libraries)
foreach(sub IN LISTS TILVO_SUBSYSTEMS)
    foreach(lib tilvo_${sub} tilvo_${sub}_ui)
        if(TARGET ${lib})
            list(APPEND _tilvo_libraries ${lib})
        endif()
    endforeach()
endforeach()
target_link_libraries(tilvo_header_check PRIVATE ${_tilvo_libraries} Qt6::PrintSupport)
