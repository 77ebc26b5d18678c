# Install-time part of data/install.cmake: what depends on the install prefix.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

# The command: a link, so that the program still finds its folder beside its real path.
file(MAKE_DIRECTORY "${root}/bin")
file(CREATE_LINK "../${ZELBO_INSTALL_FOLDER}/zelbo-mouse" "${root}/bin/zelbo-mouse" SYMBOLIC)
message(STATUS "Installing: ${root}/bin/zelbo-mouse")

# The desktop entry names the command by its full path: the prefix need not be on PATH.
file(READ "${ZELBO_DESKTOP_TEMPLATE}" entry)
string(REPLACE "@BINDIR@" "${CMAKE_INSTALL_PREFIX}/bin" entry "${entry}")
file(WRITE "${root}/share/applications/zelbo-mouse.desktop" "${entry}")
message(STATUS "Installing: ${root}/share/applications/zelbo-mouse.desktop")

# udev reads its rules from /etc/udev/rules.d and the system's own folder only; an install into
# another prefix keeps the rule in the prefix, to be copied by hand (README).
set(rules_dir "${ZELBO_UDEV_RULES_DIR}")
if(NOT rules_dir)
    if(CMAKE_INSTALL_PREFIX STREQUAL "/usr/local")
        set(rules_dir "/etc/udev/rules.d")
    elseif(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
        set(rules_dir "/usr/lib/udev/rules.d")
    else()
        set(rules_dir "${CMAKE_INSTALL_PREFIX}/lib/udev/rules.d")
    endif()
endif()
# file(INSTALL) puts DESTDIR in front by itself.
file(INSTALL "${ZELBO_UDEV_RULE}" DESTINATION "${rules_dir}")

# Installed on this very system: let the device manager apply the rule to a mouse that is
# already plugged in. Without a running udevd (a container) this does nothing.
if("$ENV{DESTDIR}" STREQUAL "" AND rules_dir MATCHES "^(/etc|/usr/lib|/lib)/udev/rules.d$")
    find_program(udevadm udevadm PATHS /usr/bin /bin /sbin /usr/sbin)
    if(udevadm)
        execute_process(COMMAND "${udevadm}" control --reload
                        RESULT_VARIABLE reload_result OUTPUT_QUIET ERROR_QUIET)
        if(reload_result EQUAL 0)
            execute_process(COMMAND "${udevadm}" trigger --action=add --subsystem-match=hidraw
                            OUTPUT_QUIET ERROR_QUIET)
        endif()
    endif()
endif()
