# A rebuild brings the program folder up to date with the shipped files but never replaces the
# config.ini or macro files that runs of the program changed; missing files come back.
# cmake -DSCRIPT=<place_shipped_files.cmake> -DWORK=<scratch folder> -P <this file>
set(shipped "${WORK}/shipped")
set(program "${WORK}/program")
file(REMOVE_RECURSE "${WORK}")

function(ship rel content)
    file(WRITE "${shipped}/${rel}" "${content}")
endfunction()

function(place)
    execute_process(COMMAND "${CMAKE_COMMAND}" -DSHIPPED=${shipped} -DPROGRAM=${program}
                            -P "${SCRIPT}" RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "placing the shipped files failed: ${result}")
    endif()
endfunction()

function(expect rel content)
    if(NOT EXISTS "${program}/${rel}")
        message(SEND_ERROR "${rel} is missing")
        return()
    endif()
    file(READ "${program}/${rel}" actual)
    if(NOT actual STREQUAL content)
        message(SEND_ERROR "${rel} holds '${actual}', expected '${content}'")
    endif()
endfunction()

# The first build lays out everything.
ship("skins/INI_CFG/config.ini" "shipped profiles 1")
ship("Macro_CN.dat" "shipped macros CN 1")
ship("Macro_EN.dat" "shipped macros EN 1")
ship("constMacro.dat" "built-in macros 1")
ship("skins/INI_EN/defMacro.dat" "factory macros 1")
ship("skins/main normal.jpg" "image 1")
place()
expect("skins/INI_CFG/config.ini" "shipped profiles 1")
expect("Macro_EN.dat" "shipped macros EN 1")
expect("skins/main normal.jpg" "image 1")

# Runs change the user's files and delete one; then every shipped file changes (a pull).
file(WRITE "${program}/skins/INI_CFG/config.ini" "the user's profiles")
file(WRITE "${program}/Macro_EN.dat" "the user's macros")
file(REMOVE "${program}/Macro_CN.dat" "${program}/constMacro.dat")
ship("skins/INI_CFG/config.ini" "shipped profiles 2")
ship("Macro_CN.dat" "shipped macros CN 2")
ship("Macro_EN.dat" "shipped macros EN 2")
ship("constMacro.dat" "built-in macros 2")
ship("skins/INI_EN/defMacro.dat" "factory macros 2")
ship("skins/main normal.jpg" "image 2")
place()
expect("skins/INI_CFG/config.ini" "the user's profiles")
expect("Macro_EN.dat" "the user's macros")
expect("Macro_CN.dat" "shipped macros CN 2")
expect("constMacro.dat" "built-in macros 2")
expect("skins/INI_EN/defMacro.dat" "factory macros 2")
expect("skins/main normal.jpg" "image 2")
