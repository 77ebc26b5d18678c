# The source folders stand on one another in one order, lowest first; a folder includes only
# from its own floor and the ones below, so no two folders ever include each other.
# cmake -DSRC=<src folder> -P <this file>
set(floors platform common profile macro device ui app)
foreach(floor IN LISTS floors)
    list(FIND floors ${floor} level)
    file(GLOB_RECURSE files "${SRC}/${floor}/*.h" "${SRC}/${floor}/*.cpp")
    foreach(file IN LISTS files)
        file(STRINGS "${file}" includes REGEX "^#include \"[a-z_]+/")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^#include \"([a-z_]+)/.*" "\\1" target "${line}")
            list(FIND floors ${target} targetLevel)
            if(targetLevel GREATER level)
                file(RELATIVE_PATH name "${SRC}" "${file}")
                message(SEND_ERROR "${name} on floor ${floor} includes from ${target} above: ${line}")
            endif()
        endforeach()
    endforeach()
endforeach()
