# Native build: the portable core of both programs with its unit tests, under sanitizers.

option(VZ_SANITIZE "Build the native tests with address and undefined-behaviour sanitizers" ON)
option(VZ_FUZZ "Build the libFuzzer targets of tests/fuzz (clang) instead of the unit tests" OFF)
if(VZ_SANITIZE AND NOT MSVC)
    set(sanitizers address,undefined)
    if(VZ_FUZZ)
        # Coverage for the fuzzer in all code; the fuzz targets link libFuzzer itself.
        set(sanitizers fuzzer-no-link,address,undefined)
    endif()
    add_compile_options(-fsanitize=${sanitizers} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()


collect_program_sources(vantrel_portable vantrel_unused ${VANTREL_DIRS})
collect_program_sources(zorbel_portable zorbel_unused ${ZORBEL_DIRS})
add_source_library(vantrel_core ${vantrel_portable})
add_source_library(zorbel_core ${zorbel_portable})
# The GPS server stand-in's decoders, writer and simulations, for their tests.
collect_tool_sources(gps_server_portable gps_server)
add_source_library(gps_server_core ${gps_server_portable})

if(VZ_FUZZ)
    add_subdirectory(tests/fuzz)
    return()
endif()

find_package(GTest REQUIRED)
# The tests read the reference decoder's JSON check files.
find_package(nlohmann_json 3 REQUIRED)
include(GoogleTest)

# One test program per deliverable; tests/native/support holds test doubles (for example the
# recording drawing backend) that only the tests link.
function(add_native_tests name core dir)
    file(GLOB tests CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/native/${dir}/*.cpp)
    file(GLOB support CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/native/support/${dir}/*.cpp)
    if(NOT tests)
        return()
    endif()
    add_executable(${name} ${tests} ${support})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests/native/support)
    link_source_library(${name} ${core})
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE VZ_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
    project_warnings(${name})
    gtest_discover_tests(${name} TEST_PREFIX "native.${dir}." DISCOVERY_TIMEOUT 60)
endfunction()

add_native_tests(vantrel_native_tests vantrel_core vantrel)
target_link_libraries(vantrel_native_tests PRIVATE gps_server_core nlohmann_json::nlohmann_json)
add_native_tests(zorbel_native_tests zorbel_core zorbel)
# The fuzz targets, each run briefly over its seeds and their mutants (tests/fuzz/CMakeLists.txt).
add_subdirectory(tests/fuzz)

add_bench_folders()
