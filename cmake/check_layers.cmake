# Fails when a folder of src/ includes one that stands above it. The folders stand in layers, each built on the
# ones below it:
#
#   kit <- forms <- log <- alerts, channels, meters, timing <- app <- platform <- ui <- main.cpp
#
# A file may include its own folder and the layers below its own; folders of one layer stay apart. Run in script
# mode:
#
#   cmake -DSOURCE_DIR=<src> -P check_layers.cmake
set(layer_kit 0)
set(layer_forms 1)
set(layer_log 2)
foreach(folder alerts channels meters timing)
    set(layer_${folder} 3)
endforeach()
set(layer_app 4)
set(layer_platform 5)
set(layer_ui 6)
set(layer_main 7)

get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.cpp" "${SOURCE_DIR}/*.h")
if(NOT sources)
    message(FATAL_ERROR "check_layers: no sources under '${SOURCE_DIR}'")
endif()
set(wrong "")
foreach(source IN LISTS sources)
    if(source MATCHES "^([^/]+)/")
        set(folder "${CMAKE_MATCH_1}")
    else()
        set(folder main)
    endif()
    if(NOT DEFINED layer_${folder})
        list(APPEND wrong "${source}: the folder '${folder}' has no place among the layers")
        continue()
    endif()
    file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^/\"]+/")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^/\"]+)/.*" "\\1" target "${line}")
        if(DEFINED layer_${target} AND NOT target STREQUAL folder AND NOT layer_${target} LESS layer_${folder})
            list(APPEND wrong "${source}: ${folder} includes ${target}, which does not stand below it")
        endif()
    endforeach()
endforeach()
if(wrong)
    list(JOIN wrong "\n  " text)
    message(FATAL_ERROR "Includes against the layers:\n  ${text}")
endif()
list(LENGTH sources count)
message(STATUS "check_layers: ${count} files, every include runs downward")
