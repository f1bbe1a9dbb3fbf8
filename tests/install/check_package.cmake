# Builds the .deb with CPack and lists it with dpkg-deb: every installed file a desktop needs must be there.
execute_process(COMMAND cpack -G DEB WORKING_DIRECTORY ${BINARY_DIR} RESULT_VARIABLE built OUTPUT_VARIABLE log
    ERROR_VARIABLE log)
if(NOT built EQUAL 0)
    message(FATAL_ERROR "cpack failed:\n${log}")
endif()
file(GLOB debs ${BINARY_DIR}/package/zavok_*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one package, found: ${debs}")
endif()
execute_process(COMMAND dpkg-deb --contents ${debs} OUTPUT_VARIABLE contents RESULT_VARIABLE listed)
if(NOT listed EQUAL 0)
    message(FATAL_ERROR "dpkg-deb could not read ${debs}")
endif()
foreach(path
        ./usr/bin/zavok
        ./usr/share/applications/zavok.desktop
        ./usr/share/icons/hicolor/scalable/apps/zavok.svg
        ./usr/share/icons/hicolor/16x16/apps/zavok.png
        ./usr/share/icons/hicolor/48x48/apps/zavok.png
        ./usr/share/icons/hicolor/256x256/apps/zavok.png)
    string(FIND "${contents}" " ${path}\n" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${path} is missing from the package:\n${contents}")
    endif()
endforeach()
execute_process(COMMAND dpkg-deb --field ${debs} Package Depends OUTPUT_VARIABLE fields)
message(STATUS "${fields}")
