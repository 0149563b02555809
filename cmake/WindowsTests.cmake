# Windows-side GoogleTest programs: unit tests of the Win32 glue and end-to-end scenarios that
# start the ready programs with the rig (tests/rig). Cross compiled, ctest runs them through Wine.

set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources to build for Windows")
if(NOT EXISTS ${GTEST_SOURCE_DIR}/CMakeLists.txt)
    message(WARNING "No GoogleTest sources at ${GTEST_SOURCE_DIR}: Windows-side tests are not built")
    return()
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# Paths the rig needs, as Windows paths.
windows_path(RIG_DIST_DIR ${VANTREL_DIST_DIR})
windows_path(RIG_SCRATCH_DIR ${CMAKE_BINARY_DIR}/rig-scratch)
windows_path(RIG_TEST_BIN_DIR ${CMAKE_BINARY_DIR}/tests)
windows_path(RIG_SOURCE_DIR ${PROJECT_SOURCE_DIR})
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/rig-scratch)
string(REPLACE "\\" "\\\\" RIG_DIST_DIR "${RIG_DIST_DIR}")
string(REPLACE "\\" "\\\\" RIG_SCRATCH_DIR "${RIG_SCRATCH_DIR}")
string(REPLACE "\\" "\\\\" RIG_TEST_BIN_DIR "${RIG_TEST_BIN_DIR}")
string(REPLACE "\\" "\\\\" RIG_SOURCE_DIR "${RIG_SOURCE_DIR}")
configure_file(${PROJECT_SOURCE_DIR}/tests/rig/rig_paths.h.in ${CMAKE_BINARY_DIR}/generated/rig_paths.h @ONLY)

file(GLOB rig_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/rig/*.cpp)
list(FILTER rig_sources EXCLUDE REGEX "_main\\.cpp$")
add_library(rig STATIC ${rig_sources})
target_include_directories(rig PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(rig PUBLIC gtest ${VZ_SYSTEM_LIBS})
project_warnings(rig)

# Small programs that the tests start as peers (for example tests/rig/rig_peer_main.cpp); they sit
# beside the test programs, not in the ready folder.
file(GLOB test_programs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/rig/*_main.cpp
                                          ${PROJECT_SOURCE_DIR}/tests/wine/*/*_main.cpp)
set(VZ_TEST_PROGRAMS)
foreach(main IN LISTS test_programs)
    get_filename_component(name ${main} NAME_WE)
    string(REGEX REPLACE "_main$" "" name ${name})
    add_executable(${name} WIN32 ${main})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(${name} PRIVATE ${VZ_SYSTEM_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    project_warnings(${name})
    list(APPEND VZ_TEST_PROGRAMS ${name})
endforeach()

# In-process COM servers that the tests register for the programs to load, in place of system
# components Wine lacks (tests/wine/*/*_dll.cpp); they sit beside the test programs.
file(GLOB test_dlls CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/wine/*/*_dll.cpp)
foreach(source IN LISTS test_dlls)
    get_filename_component(name ${source} NAME_WE)
    string(REGEX REPLACE "_dll$" "" name ${name})
    add_library(${name} SHARED ${source})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
    link_source_library(${name} vantrel_win)
    link_source_library(${name} vantrel_core)
    target_link_libraries(${name} PRIVATE ${VZ_SYSTEM_LIBS})
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        # COM finds DllGetClassObject by its plain name, without the stdcall decoration.
        target_link_options(${name} PRIVATE -Wl,--kill-at)
    endif()
    set_target_properties(${name} PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    project_warnings(${name})
    list(APPEND VZ_TEST_PROGRAMS ${name})
endforeach()

# The Wine tests run in two lanes. Each lane has its own prefix, display and persistent
# wineserver; the tests of one lane share them and the registry, so they run one at a time, and
# the two lanes run side by side. Most of a test's time is spent waiting on the programs it
# starts, so two lanes take about half as long. A test file stays in one lane as a whole; lane b
# takes these files (about half of the running time), lane a all others.
set(VZ_WINE_LANE_B_TESTS
    shell_window_test.cpp zorbel_e2e_test.cpp shell_power_cut_test.cpp obd_adapter_test.cpp
    nav_location_sensor_test.cpp zorbel_win_test.cpp render_frame_cache_pixels_test.cpp)
if(VZ_UNDER_WINE)
    foreach(lane a b)
        if(lane STREQUAL "a")
            set(suffix "")
        else()
            set(suffix ".${lane}")
        endif()
        add_test(NAME wine.start${suffix} COMMAND ${CMAKE_BINARY_DIR}/wine-run --start)
        add_test(NAME wine.stop${suffix} COMMAND ${CMAKE_BINARY_DIR}/wine-run --stop)
        set_tests_properties(wine.start${suffix} PROPERTIES FIXTURES_SETUP wine_${lane} TIMEOUT 300)
        set_tests_properties(wine.stop${suffix} PROPERTIES FIXTURES_CLEANUP wine_${lane})
        if(NOT lane STREQUAL "a")
            set_tests_properties(wine.start${suffix} wine.stop${suffix}
                                 PROPERTIES ENVIRONMENT VZ_WINE_LANE=${lane})
        endif()
    endforeach()
endif()

# One test program per folder of tests/wine; each TEST is its own ctest entry.
file(GLOB wine_test_dirs LIST_DIRECTORIES true CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/wine/*)
foreach(dir IN LISTS wine_test_dirs)
    if(NOT IS_DIRECTORY ${dir})
        continue()
    endif()
    get_filename_component(group ${dir} NAME)
    file(GLOB tests CONFIGURE_DEPENDS ${dir}/*_test.cpp)
    file(GLOB support CONFIGURE_DEPENDS ${dir}/*.cpp)
    list(FILTER support EXCLUDE REGEX "(_test|_main|_dll)\\.cpp$")
    if(NOT tests)
        continue()
    endif()
    set(name ${group}_wine_tests)
    add_executable(${name} ${tests} ${support})
    target_link_libraries(${name} PRIVATE rig gtest_main)
    if(group STREQUAL "vantrel")
        link_source_library(${name} vantrel_win)
        link_source_library(${name} vantrel_core)
        # The playback tests decode what they send as the GPS server stand-in does.
        target_link_libraries(${name} PRIVATE gps_server_core)
        # The gateway tests play a TCP receiver.
        target_link_libraries(${name} PRIVATE ws2_32)
    elseif(group STREQUAL "zorbel")
        link_source_library(${name} zorbel_win)
        link_source_library(${name} zorbel_core)
    endif()
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    project_warnings(${name})
    # End-to-end scenarios start the ready programs and the test peers.
    add_dependencies(${name} dist)
    if(VZ_TEST_PROGRAMS)
        add_dependencies(${name} ${VZ_TEST_PROGRAMS})
    endif()
    foreach(test_source IN LISTS tests)
        get_filename_component(test_file ${test_source} NAME)
        if(test_file IN_LIST VZ_WINE_LANE_B_TESTS)
            set(lane b)
        else()
            set(lane a)
        endif()
        gtest_add_tests(TARGET ${name} SOURCES ${test_source} TEST_PREFIX "wine.${group}."
                        TEST_LIST added)
        set_tests_properties(${added} PROPERTIES RESOURCE_LOCK wine_${lane} TIMEOUT 120
                                                 SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
        if(NOT lane STREQUAL "a")
            set_tests_properties(${added} PROPERTIES ENVIRONMENT VZ_WINE_LANE=${lane})
        endif()
        if(VZ_UNDER_WINE)
            set_tests_properties(${added} PROPERTIES FIXTURES_REQUIRED wine_${lane})
        endif()
    endforeach()
endforeach()
