# Where the sources of each program live and how they are told apart.
#
# A file named *_win.cpp talks to Windows; every other .cpp under a program's folders is portable:
# it includes no <windows.h>, builds natively for the unit tests and goes into the program unchanged.
# main_win.cpp holds a program's WinMain and goes only into the program itself.

set(VANTREL_DIRS shell config render trip sources skin state)
set(ZORBEL_DIRS balls)

# Collects the portable and the Windows sources of a program's folders.
function(collect_program_sources out_portable out_win)
    set(portable)
    set(win)
    foreach(dir IN LISTS ARGN)
        file(GLOB found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp)
        foreach(file IN LISTS found)
            get_filename_component(name ${file} NAME)
            if(name STREQUAL "main_win.cpp")
                continue()
            elseif(name MATCHES "_win\\.cpp$")
                list(APPEND win ${file})
            else()
                list(APPEND portable ${file})
            endif()
        endforeach()
    endforeach()
    set(${out_portable} ${portable} PARENT_SCOPE)
    set(${out_win} ${win} PARENT_SCOPE)
endfunction()

# Warnings are errors in our own code (not in GoogleTest's).
function(project_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 /WX /wd4996)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
    endif()
endfunction()

# A library of a program's sources; an empty folder set still gives a usable target.
function(add_source_library name)
    if(ARGN)
        add_library(${name} STATIC ${ARGN})
    else()
        add_library(${name} INTERFACE)
        return()
    endif()
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    project_warnings(${name})
endfunction()

# Links a library target, whether it holds sources or is an empty interface.
function(link_source_library target lib)
    get_target_property(type ${lib} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
    else()
        target_link_libraries(${target} PRIVATE ${lib})
    endif()
endfunction()

# A peer stand-in's portable sources: every .cpp of tools/<dir> except its WinMain (*_main.cpp)
# and its Windows glue (*_win.cpp). The stand-in is built from them; the native build makes them
# a library that the unit tests link.
function(collect_tool_sources out dir)
    file(GLOB found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/${dir}/*.cpp)
    list(FILTER found EXCLUDE REGEX "(_main|_win)\\.cpp$")
    set(${out} ${found} PARENT_SCOPE)
endfunction()

# Benchmarks print figures and judge none; scripts/bench.sh runs them. Both builds add every
# bench/* folder, and each folder's CMakeLists says which build it belongs to. The target
# "benchmarks" builds the benchmarks of this build and nothing else.
function(add_bench_folders)
    add_custom_target(benchmarks)
    file(GLOB bench_dirs LIST_DIRECTORIES true CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/*)
    foreach(dir IN LISTS bench_dirs)
        if(EXISTS ${dir}/CMakeLists.txt)
            add_subdirectory(${dir})
            get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
            if(targets)
                add_dependencies(benchmarks ${targets})
            endif()
        endif()
    endforeach()
endfunction()
