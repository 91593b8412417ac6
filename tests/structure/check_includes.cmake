# Fails when an #include "..." under src points up or across the folder order, or when a
# core folder includes Qt or OpenGL. Run as: cmake -DSOURCE_DIR=<repo>/src -P <this file>
#
# Each folder may include itself and the folders of a lower level:
#   0 platform  1 image  2 model  3 mesh  4 document  5 export  6 edit, scene
#   7 cli, gui  8 dialogs  9 views, preview  10 app
# Folders on the same level (edit and scene, cli and gui, views and preview) are
# independent of each other.

cmake_minimum_required(VERSION 3.25)

set(levels platform=0 image=1 model=2 mesh=3 document=4 export=5 edit=6 scene=6
           cli=7 gui=7 dialogs=8 views=9 preview=9 app=10)
set(core_folders platform image model mesh document export edit scene cli)
foreach(entry IN LISTS levels)
    string(REPLACE "=" ";" pair "${entry}")
    list(GET pair 0 name)
    list(GET pair 1 level)
    set(level_${name} ${level})
endforeach()

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp
     ${SOURCE_DIR}/*.h.in)
set(failures "")
set(checked 0)
foreach(source IN LISTS sources)
    string(REGEX MATCH "^[^/]+" folder "${source}")
    if(NOT DEFINED level_${folder})
        string(APPEND failures "\n  ${source}: the folder ${folder} has no place in the order")
        continue()
    endif()
    file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line IN LISTS includes)
        math(EXPR checked "${checked} + 1")
        if(line MATCHES "#[ \t]*include[ \t]*\"([^/\"]+)/")
            set(target ${CMAKE_MATCH_1})
            if(target STREQUAL folder OR NOT DEFINED level_${target})
                continue()
            endif()
            if(NOT level_${target} LESS level_${folder})
                string(APPEND failures "\n  ${source}: ${line} (${folder} may not include ${target})")
            endif()
        elseif(folder IN_LIST core_folders AND line MATCHES "#[ \t]*include[ \t]*<(Q[A-Za-z]*|GL/|EGL/)")
            string(APPEND failures "\n  ${source}: ${line} (the core stays free of Qt and OpenGL)")
        endif()
    endforeach()
endforeach()

list(LENGTH sources file_count)
if(failures)
    message(FATAL_ERROR "Includes against the folder order:${failures}")
endif()
message(STATUS "${file_count} files, ${checked} includes, all pointing down the folder order")
