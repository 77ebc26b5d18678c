# The udev rule beside the program, generated from the identifier table the program searches by.
add_executable(zelbo_udev_rule ${CMAKE_CURRENT_LIST_DIR}/udev_rule.cpp)
target_include_directories(zelbo_udev_rule PRIVATE ${PROJECT_SOURCE_DIR}/src)
set(ZELBO_UDEV_RULE ${ZELBO_SHIPPED_DIR}/70-zelbo-mouse.rules)
add_custom_command(OUTPUT ${ZELBO_UDEV_RULE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ZELBO_SHIPPED_DIR}
    COMMAND zelbo_udev_rule ${ZELBO_UDEV_RULE}
    DEPENDS zelbo_udev_rule
    COMMENT "Writing 70-zelbo-mouse.rules")
add_custom_target(zelbo_udev_rule_file ALL DEPENDS ${ZELBO_UDEV_RULE})
