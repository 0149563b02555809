# Windows build: the two programs, the peer stand-ins and the Windows-side tests.
# Cross compiling from Linux, the tests run through Wine on a private prefix and display.

enable_language(RC)

set(VANTREL_DIST_DIR ${CMAKE_BINARY_DIR}/dist CACHE PATH "Ready-to-run program folder")

if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
    set(VZ_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(VZ_WINE_ARCH win64)
        set(VZ_WINE_LOADER /usr/lib/wine/wine64)
    else()
        set(VZ_WINE_ARCH win32)
        set(VZ_WINE_LOADER /usr/lib/wine/wine)
    endif()
    configure_file(${PROJECT_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
                   FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                    WORLD_READ WORLD_EXECUTE)
    # Every target made after this runs through Wine in tests and build steps.
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
    set(VZ_UNDER_WINE ON)
endif()

# A Windows path as Windows code of this build sees it (Wine maps the Linux root to Z:).
function(windows_path out path)
    if(VZ_UNDER_WINE)
        set(path "Z:${path}")
    endif()
    string(REPLACE "/" "\\" path "${path}")
    set(${out} "${path}" PARENT_SCOPE)
endfunction()

if(NOT MSVC)
    # No runtime DLL has to sit beside the programs.
    add_link_options(-static -static-libgcc -static-libstdc++)
endif()
# Sections on page boundaries in the file too. Wine maps such a section straight from the file;
# one that is not page-aligned it reads into private memory whole, and the debug information
# alone would then add about 6 MiB to every program's resident memory.
if(MSVC)
    add_link_options(/FILEALIGN:4096)
else()
    add_link_options(-Wl,--file-alignment,4096)
endif()
add_compile_definitions(NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

set(VZ_SYSTEM_LIBS gdiplus msimg32 comctl32 shlwapi shell32 ole32 oleaut32 uuid advapi32 user32 gdi32 winmm)

# --- the programs -------------------------------------------------------------------------------

collect_program_sources(vantrel_portable vantrel_win_sources ${VANTREL_DIRS})
collect_program_sources(zorbel_portable zorbel_win_sources ${ZORBEL_DIRS})
add_source_library(vantrel_core ${vantrel_portable})
add_source_library(zorbel_core ${zorbel_portable})
add_source_library(vantrel_win ${vantrel_win_sources})
add_source_library(zorbel_win ${zorbel_win_sources})
foreach(lib vantrel_win zorbel_win)
    get_target_property(type ${lib} TYPE)
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
        target_link_libraries(${lib} PUBLIC ${VZ_SYSTEM_LIBS})
    endif()
endforeach()
get_target_property(type vantrel_win TYPE)
if(NOT type STREQUAL "INTERFACE_LIBRARY")
    target_link_libraries(vantrel_win PUBLIC vantrel_core)
endif()
get_target_property(type zorbel_win TYPE)
if(NOT type STREQUAL "INTERFACE_LIBRARY")
    target_link_libraries(zorbel_win PUBLIC zorbel_core)
endif()

# --- build-time generators ----------------------------------------------------------------------
#
# Small programs of this build draw the icons, the ball frames and the shipped skin's art at build
# time, run through Wine when cross compiling. Where Wine here cannot run this build's programs (a
# 32-bit build on a machine without 32-bit support) the same generators are built for x86-64 in a
# sub-build and run under wine64, so the 32-bit ready folder can be made on any machine.

set(VZ_GENERATORS vantrel_make_icon zorbel_ball_frames SkinArt)
set(VZ_GENERATORS_FROM_X64 OFF)
if(VZ_UNDER_WINE AND VZ_WINE_ARCH STREQUAL "win32")
    execute_process(COMMAND ${VZ_WINE_LOADER} --version RESULT_VARIABLE wine32_status
                    OUTPUT_QUIET ERROR_QUIET)
    if(NOT wine32_status EQUAL 0)
        message(STATUS "32-bit programs cannot run here: build-time generators run as x86-64 programs")
        set(VZ_GENERATORS_FROM_X64 ON)
    endif()
endif()

if(VZ_GENERATORS_FROM_X64)
    include(ExternalProject)
    set(VZ_X64_GENERATORS_DIR ${CMAKE_BINARY_DIR}/generators-x64)
    set(x64_generator_files)
    foreach(generator IN LISTS VZ_GENERATORS)
        list(APPEND x64_generator_files ${VZ_X64_GENERATORS_DIR}/generators/${generator}.exe)
    endforeach()
    ExternalProject_Add(generators_x64
        SOURCE_DIR ${PROJECT_SOURCE_DIR}
        BINARY_DIR ${VZ_X64_GENERATORS_DIR}
        CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/toolchain-x86_64-mingw.cmake
                   -DCMAKE_BUILD_TYPE=Release -DVZ_GENERATORS_ONLY=ON
        BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target ${VZ_GENERATORS}
        BUILD_ALWAYS ON
        BUILD_BYPRODUCTS ${x64_generator_files}
        INSTALL_COMMAND "")
endif()

# Every generator lands in one folder, so the sub-build's copies are found the same way.
function(add_generator name)
    add_executable(${name} ${ARGN})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/generators)
    project_warnings(${name})
endfunction()

# The COMMAND words that run generator NAME at build time (in out), and what a step running it
# depends on (in out_depends).
function(generator_command out out_depends name)
    if(VZ_GENERATORS_FROM_X64)
        set(exe ${VZ_X64_GENERATORS_DIR}/generators/${name}.exe)
        set(${out} ${VZ_X64_GENERATORS_DIR}/wine-run ${exe} PARENT_SCOPE)
        set(${out_depends} ${exe} generators_x64 PARENT_SCOPE)
    else()
        set(${out} ${name} PARENT_SCOPE) # CMake puts the Wine runner in front
        set(${out_depends} ${name} PARENT_SCOPE)
    endif()
endfunction()

# Build steps (for example image generators) that later targets depend on live in resources/.
if(EXISTS ${PROJECT_SOURCE_DIR}/resources/CMakeLists.txt)
    add_subdirectory(resources)
endif()

# Program NAME from its WinMain file, resource script and libraries.
function(add_program name main rc core win)
    if(NOT EXISTS ${PROJECT_SOURCE_DIR}/${main})
        message(STATUS "${name}: ${main} not written yet, program skipped")
        return()
    endif()
    set(sources ${PROJECT_SOURCE_DIR}/${main})
    if(EXISTS ${PROJECT_SOURCE_DIR}/${rc})
        list(APPEND sources ${PROJECT_SOURCE_DIR}/${rc})
    endif()
    add_executable(${name} WIN32 ${sources})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
    link_source_library(${name} ${win})
    link_source_library(${name} ${core})
    target_link_libraries(${name} PRIVATE ${VZ_SYSTEM_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VANTREL_DIST_DIR})
    project_warnings(${name})
    if(TARGET ${name}_resources)
        add_dependencies(${name} ${name}_resources)
    endif()
    add_dependencies(dist ${name})
endfunction()

add_custom_target(dist ALL)
add_program(Vantrel shell/main_win.cpp resources/vantrel.rc vantrel_core vantrel_win)
add_program(Zorbel balls/main_win.cpp resources/zorbel.rc zorbel_core zorbel_win)

# Shipped skin folders go into the ready folder as they are; generated images join them there.
file(GLOB skin_dirs LIST_DIRECTORIES true CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/skins/*)
foreach(dir IN LISTS skin_dirs)
    if(IS_DIRECTORY ${dir})
        get_filename_component(skin ${dir} NAME)
        add_custom_target(skin_${skin} ALL
            COMMAND ${CMAKE_COMMAND} -E copy_directory ${dir} ${VANTREL_DIST_DIR}/${skin})
        add_dependencies(dist skin_${skin})
    endif()
endforeach()

# --- the peers' stand-ins ---------------------------------------------------------------------------

function(add_tool name)
    add_executable(${name} ${ARGN})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${VZ_SYSTEM_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VANTREL_DIST_DIR})
    project_warnings(${name})
    add_dependencies(dist ${name})
endfunction()

file(GLOB tool_dirs LIST_DIRECTORIES true CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/*)
foreach(dir IN LISTS tool_dirs)
    if(EXISTS ${dir}/CMakeLists.txt)
        add_subdirectory(${dir})
    endif()
endforeach()

# --- Windows-side tests and benchmarks ------------------------------------------------------------

# A sub-build that only makes the generators for another build has no tests and no benchmarks.
option(VZ_GENERATORS_ONLY "Configure only for building the build-time generators" OFF)
if(NOT VZ_GENERATORS_ONLY)
    include(WindowsTests)
    add_bench_folders()
endif()
