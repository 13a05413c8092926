# SPDX-License-Identifier: GPL-3.0-or-later
#
# tilvo_library(NAME SOURCES ... [LINKS ...])
#   A subsystem's non-widget library. It may link Qt Core, Gui and Sql, never Widgets:
#   rules live here, and the ui/ libraries use them.
# tilvo_ui_library(NAME SOURCES ... [LINKS ...])
#   A subsystem's window library; links Qt Widgets.
# tilvo_test(NAME SOURCES ... [LINKS ...])
#   One test executable, registered with CTest and run headless.

function(_tilvo_refuse_widgets name)
    foreach(lib IN LISTS ARGN)
        if(lib MATCHES "Widgets|PrintSupport|_ui$")
            message(FATAL_ERROR "${name} is a non-widget library and cannot link ${lib}")
        endif()
    endforeach()
endfunction()

function(tilvo_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    _tilvo_refuse_widgets(${name} ${ARG_LINKS})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC Qt6::Core ${ARG_LINKS})
endfunction()

function(tilvo_ui_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC Qt6::Widgets ${ARG_LINKS})
endfunction()

function(tilvo_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test tilvo_test_support ${ARG_LINKS})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TILVO_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data;TILVO_PROGRAM_DIR=${TILVO_PROGRAM_DIR}"
        TIMEOUT 300)
endfunction()

# tilvo_tests_in_folder(LINKS ...)
#   Every tst_*.cpp of the calling folder becomes one test executable.
function(tilvo_tests_in_folder)
    cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
    foreach(source IN LISTS tests)
        get_filename_component(name ${source} NAME_WE)
        tilvo_test(${name} SOURCES ${source} LINKS ${ARG_LINKS})
    endforeach()
endfunction()
