# Fails when an include runs against the layers of the source tree.
#
#   cmake -DSOURCE_DIR=<checkout> -P cmake/CheckLayers.cmake
#
# Each folder below may include its own headers and those of the folders
# listed before it, never one listed after it: support, model, reader, then
# the generator's settings, site tables, analyses, page builders, page
# frames, the help packages and the run, then the two front ends (which never include each
# other). No core folder includes a Qt header. Run by CTest as
# Layers.IncludesRunOneWay, so `make test` fails on the include that
# would start a cycle.
cmake_minimum_required(VERSION 3.20)
set(layers
    support
    model
    reader
    generator/settings
    generator/site
    generator/analysis
    generator/pages
    generator/layout
    generator/offline
    generator/run
    cli
    shell)
# The front ends stand side by side: neither may include the other.
set(sideBySide cli shell)


function(layer_of path out)
    set(found -1)
    set(index 0)
    foreach(layer IN LISTS layers)
        string(LENGTH "${layer}/" length)
        string(SUBSTRING "${path}" 0 ${length} head)
        if(head STREQUAL "${layer}/")
            set(found ${index})
        endif()
        math(EXPR index "${index} + 1")
    endforeach()
    set(${out} ${found} PARENT_SCOPE)
endfunction()

set(faults "")
foreach(layer IN LISTS layers)
    file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${layer}/*.h"
         "${SOURCE_DIR}/${layer}/*.cpp")
    foreach(file IN LISTS files)
        layer_of("${file}" own)
        file(STRINGS "${SOURCE_DIR}/${file}" includes REGEX "^#include [\"<]")
        foreach(line IN LISTS includes)
            if(line MATCHES "^#include \"([^\"]+)\"")
                set(target "${CMAKE_MATCH_1}")
                layer_of("${target}" other)
                if(other GREATER own)
                    string(APPEND faults "  ${file} includes ${target}\n")
                elseif(NOT other EQUAL own AND other GREATER -1)
                    list(GET layers ${own} ownName)
                    list(GET layers ${other} otherName)
                    if(ownName IN_LIST sideBySide AND otherName IN_LIST sideBySide)
                        string(APPEND faults "  ${file} includes ${target}\n")
                    endif()
                endif()
            elseif(line MATCHES "^#include <(Q[A-Za-z]*)>" AND own LESS 9)
                string(APPEND faults "  ${file} includes the Qt header ${CMAKE_MATCH_1}\n")
            endif()
        endforeach()
    endforeach()
endforeach()

if(faults)
    string(REPLACE ";" " " order "${layers}")
    message(FATAL_ERROR "Includes against the layers (${order}; each may include only "
                        "itself and those before it):\n${faults}")
endif()
