# The program's icon as a file, for the desktop's application list: drawn by the same routine
# that gives the window and the notification area their icon.
add_executable(make_program_icon ${CMAKE_CURRENT_LIST_DIR}/make_program_icon.cpp)
target_link_libraries(make_program_icon PRIVATE zelbo_ui Qt6::Gui)

set(ZELBO_PROGRAM_ICON ${CMAKE_BINARY_DIR}/desktop/zelbo-mouse.png)
add_custom_command(OUTPUT ${ZELBO_PROGRAM_ICON}
    COMMAND ${ZELBO_TOOL_ENV}
        $<TARGET_FILE:make_program_icon> ${ZELBO_PROGRAM_ICON}
    DEPENDS make_program_icon
    COMMENT "Drawing the program's icon"
    VERBATIM)
add_custom_target(zelbo_program_icon ALL DEPENDS ${ZELBO_PROGRAM_ICON})
