# cmake --install [--prefix <dir>] (default /usr/local): the program folder as it ships, its
# command, the udev rule, a desktop entry and the icon. The program keeps its files beside itself,
# so the folder stays whole in <prefix>/lib/zelbo-mouse, and <prefix>/bin/zelbo-mouse links to
# it; a user whose copy of that folder cannot be written gets a per-user one (app/core).
set(ZELBO_INSTALL_FOLDER lib/zelbo-mouse)

install(TARGETS zelbo-mouse RUNTIME DESTINATION ${ZELBO_INSTALL_FOLDER})
install(DIRECTORY ${ZELBO_SHIPPED_DIR}/ DESTINATION ${ZELBO_INSTALL_FOLDER})
install(FILES ${CMAKE_BINARY_DIR}/desktop/zelbo-mouse.png DESTINATION share/icons/hicolor/32x32/apps)

set(ZELBO_UDEV_RULES_DIR "" CACHE PATH
    "Folder for the udev rule (empty: /etc/udev/rules.d for the prefix /usr/local, the system's
    rule folder for /usr, else <prefix>/lib/udev/rules.d)")
# The rest depends on the prefix, which --prefix may change at install time.
install(CODE "
    set(ZELBO_INSTALL_FOLDER \"${ZELBO_INSTALL_FOLDER}\")
    set(ZELBO_UDEV_RULES_DIR \"${ZELBO_UDEV_RULES_DIR}\")
    set(ZELBO_DESKTOP_TEMPLATE \"${CMAKE_CURRENT_SOURCE_DIR}/zelbo-mouse.desktop.in\")
    set(ZELBO_UDEV_RULE \"${ZELBO_SHIPPED_DIR}/70-zelbo-mouse.rules\")")
install(SCRIPT ${CMAKE_CURRENT_SOURCE_DIR}/install_desktop.cmake)
