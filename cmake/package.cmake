# The man page, the package's documents and the .deb. Included last: the man page is written by the program itself.
set(ZAVOK_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/zavok)

# The day of the newest changelog entry dates the man page, so that the same sources give the same page.
execute_process(COMMAND dpkg-parsechangelog -l ${PROJECT_SOURCE_DIR}/packaging/changelog -S Timestamp
    OUTPUT_VARIABLE ZAVOK_RELEASE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE parsed ERROR_QUIET)
if(NOT parsed EQUAL 0)
    set(ZAVOK_RELEASE_EPOCH 0)
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog)
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^zavok \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog begins with '${newest}', not with version ${PROJECT_VERSION}")
endif()

# zavok(1), from the program's own --help and --version, so that the page and the program never tell different
# stories; the sections --help has no room for come from packaging/zavok.h2m. help2man reads the help in its locale,
# which would turn every character beyond ASCII (the °C of an example) into a question mark.
find_program(ZAVOK_HELP2MAN help2man)
if(ZAVOK_HELP2MAN)
    set(page ${CMAKE_BINARY_DIR}/zavok.1)
    add_custom_command(OUTPUT ${page}.gz
        COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${ZAVOK_RELEASE_EPOCH} ${ZAVOK_HELP2MAN} --no-info
            --section=1 --source=ZAVOK --locale=C.UTF-8 --include=${PROJECT_SOURCE_DIR}/packaging/zavok.h2m
            --output=${page}
            $<TARGET_FILE:zavok>
        COMMAND gzip -n -9 -f ${page}
        DEPENDS zavok ${PROJECT_SOURCE_DIR}/packaging/zavok.h2m
        COMMENT "Writing the man page from zavok --help"
        VERBATIM)
    add_custom_target(zavok_man_page ALL DEPENDS ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 PERMISSIONS ${ZAVOK_FILE_MODE})
else()
    message(WARNING "help2man is missing, so there is no man page (scripts/deps installs it)")
endif()

set(changelog ${CMAKE_BINARY_DIR}/changelog)
add_custom_command(OUTPUT ${changelog}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/changelog ${changelog}
    COMMAND gzip -n -9 -f ${changelog}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
    VERBATIM)
add_custom_target(zavok_changelog ALL DEPENDS ${changelog}.gz)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${changelog}.gz DESTINATION ${ZAVOK_DOC_DIR}
    PERMISSIONS ${ZAVOK_FILE_MODE})
# What the broker must enforce for the alarms it carries to be believed, as a file to start from.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/mosquitto.acl DESTINATION ${ZAVOK_DOC_DIR}/examples
    PERMISSIONS ${ZAVOK_FILE_MODE})

# Stripped programs and library, as Debian ships them, without the compiler's notes either.
#
# lintian says (for information) that the programs call no fortified libc function. They are built with
# _FORTIFY_SOURCE=2; the compiler has proved the few reads and copies they make safe at build time, and left them
# plain, which is the case the tag allows for.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        foreach(program \"${CMAKE_INSTALL_BINDIR}/zavok\" \"${CMAKE_INSTALL_LIBEXECDIR}/zavok/zavok-headless\"
                \"${CMAKE_INSTALL_LIBDIR}/zavok/plugins/zavok-trend.so\")
            execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${program}\" COMMAND_ERROR_IS_FATAL ANY)
        endforeach()
    endif()
")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zavok)
set(CPACK_PACKAGE_CONTACT "ZAVOK developers <zavok@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION "ZAVOK watches four alert contacts (doors, a tank overflow, a freezer)
and four analogue sensors (pressure, volume, temperature, flow), read as
the buttons and axes of a USB game pad, from a state file, or from its
built-in simulator.

It colours indicators on a floor plan, shows bar meters with alarm
limits and calibration, rings a bell, logs every event into a daily
activity log, keeps the history of every reading with trend charts, and
can run without a screen as a systemd user service that publishes to
MQTT, with Home Assistant discovery.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/zavok/zavok")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the program uses that no library it links names: the fonts it draws its captions in, Qt SQL's SQLite driver
# the history is kept with (a plugin, loaded at run time), libmosquitto (loaded when MQTT is asked for), SDL (loaded
# when the joysticks or the bell first need it), and a sound server for the bell (Qt's and SDL's audio speak to
# PulseAudio, which PipeWire serves too).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, libqt6sql6-sqlite, libmosquitto1, libsdl2-2.0-0")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-extra, pipewire-pulse | pulseaudio")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
# Directories take the umask of whoever builds the package; a package wants them 0755.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/staged_directories.cmake)
include(CPack)
