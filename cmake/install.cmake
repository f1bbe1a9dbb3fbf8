# A desktop program's place on Linux: a desktop entry, AppStream data, the icon in every size and the service's
# unit. The programs install themselves (src/), the man page and the package come last (cmake/package.cmake).
include(GNUInstallDirs)
# Every installed file is given its mode here rather than taking it from the source tree, whose modes follow the umask
# of whoever unpacked it (a tarball unpacked under umask 002 leaves files 0664, which no package should ship).
set(ZAVOK_FILE_MODE OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(ZAVOK_PROGRAM_MODE ${ZAVOK_FILE_MODE} OWNER_EXECUTE GROUP_EXECUTE WORLD_EXECUTE)
install(FILES ${PROJECT_SOURCE_DIR}/data/zavok.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
    PERMISSIONS ${ZAVOK_FILE_MODE})
# What a software centre lists.
install(FILES ${PROJECT_SOURCE_DIR}/data/io.github.zavok.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
    PERMISSIONS ${ZAVOK_FILE_MODE})
# The headless service as a systemd user unit, where the user's systemd looks for it under any prefix (under
# ~/.local too). It names the program by its installed path, which only the install knows: a package, a
# `cmake --install --prefix` and the configured prefix may all differ.
install(CODE "
    set(CMAKE_INSTALL_FULL_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    configure_file(\"${PROJECT_SOURCE_DIR}/data/zavok.service.in\"
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/systemd/user/zavok.service\" @ONLY
        FILE_PERMISSIONS ${ZAVOK_FILE_MODE})
    message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/systemd/user/zavok.service\")
")
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/zavok.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps PERMISSIONS ${ZAVOK_FILE_MODE})
foreach(size 16 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/data/icons/hicolor/${size}x${size}/zavok.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps PERMISSIONS ${ZAVOK_FILE_MODE})
endforeach()
