# Brings a program folder up to date with the shipped files (cmake -DSHIPPED=<dir>
# -DPROGRAM=<dir> -P place_shipped_files.cmake). The files the program writes itself, config.ini
# and the user's macro files, are copied only where they are missing: once the program has run,
# they hold the user's profiles and macros, which a rebuild must never replace. Every other file
# (skin images and layouts, built-in and factory macros, the udev rule) follows the build.
cmake_minimum_required(VERSION 3.25)
if(NOT IS_DIRECTORY "${SHIPPED}" OR NOT PROGRAM)
    message(FATAL_ERROR "usage: cmake -DSHIPPED=<dir> -DPROGRAM=<dir> -P ${CMAKE_CURRENT_LIST_FILE}")
endif()
set(user_files "skins/INI_CFG/config.ini" "Macro_CN.dat" "Macro_EN.dat")
file(GLOB_RECURSE shipped_files LIST_DIRECTORIES false RELATIVE "${SHIPPED}" "${SHIPPED}/*")
foreach(rel IN LISTS shipped_files)
    set(target "${PROGRAM}/${rel}")
    get_filename_component(folder "${target}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    if(rel IN_LIST user_files)
        if(NOT EXISTS "${target}")
            file(COPY_FILE "${SHIPPED}/${rel}" "${target}")
        endif()
    else()
        file(COPY_FILE "${SHIPPED}/${rel}" "${target}" ONLY_IF_DIFFERENT)
    endif()
endforeach()
