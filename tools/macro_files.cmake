# The macro files beside the program: built-in macros, the first user lists of both languages
# and the factory lists in the skin folders, written from data/macros by the program's writers.
add_executable(make_macro_files ${CMAKE_CURRENT_LIST_DIR}/make_macro_files.cpp)
target_link_libraries(make_macro_files PRIVATE zelbo_core)

set(ZELBO_MACRO_SOURCE_DIR ${PROJECT_SOURCE_DIR}/data/macros)
set(ZELBO_MACRO_FILES
    "constMacro.txt|constMacro.dat"
    "Macro_CN.txt|Macro_CN.dat"
    "Macro_EN.txt|Macro_EN.dat"
    "defMacro_CN.txt|skins/INI_CN/defMacro.dat"
    "defMacro_EN.txt|skins/INI_EN/defMacro.dat")
set(ZELBO_MACRO_OUTPUTS)
foreach(pair ${ZELBO_MACRO_FILES})
    string(REPLACE "|" ";" pair_list "${pair}")
    list(GET pair_list 0 source)
    list(GET pair_list 1 dest)
    add_custom_command(OUTPUT ${ZELBO_SHIPPED_DIR}/${dest}
        COMMAND make_macro_files ${ZELBO_MACRO_SOURCE_DIR}/${source} ${ZELBO_SHIPPED_DIR}/${dest}
        DEPENDS make_macro_files ${ZELBO_MACRO_SOURCE_DIR}/${source}
        COMMENT "Writing ${dest}")
    list(APPEND ZELBO_MACRO_OUTPUTS ${ZELBO_SHIPPED_DIR}/${dest})
endforeach()
add_custom_target(zelbo_macro_files ALL DEPENDS ${ZELBO_MACRO_OUTPUTS})
