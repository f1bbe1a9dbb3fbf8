# The core libraries link QtCore alone, but Qt's include root would still let them reach
# <QtWidgets/...>, <QtGui/...> or <QtCharts/...>. Each core target gets a directory in front
# of Qt's that holds a trap for every header of those modules, so such an include fails the build at once.
set(ZAVOK_TRAP_DIR ${CMAKE_BINARY_DIR}/core-include-trap)
foreach(module Widgets Gui Charts)
    get_target_property(dirs Qt6::${module} INTERFACE_INCLUDE_DIRECTORIES)
    foreach(dir ${dirs})
        get_filename_component(leaf ${dir} NAME)
        if(leaf STREQUAL "Qt${module}")
            file(GLOB headers RELATIVE ${dir} ${dir}/*)
            foreach(header ${headers})
                if(NOT IS_DIRECTORY ${dir}/${header})
                    file(WRITE ${ZAVOK_TRAP_DIR}/Qt${module}/${header}
                        "#error \"the core links QtCore only: Qt${module} belongs to src/ui and src/trend\"\n")
                endif()
            endforeach()
        endif()
    endforeach()
endforeach()

# A QtCore-only library of the core.
function(zavok_core_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} BEFORE PRIVATE ${ZAVOK_TRAP_DIR})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC zavok_options Qt6::Core)
endfunction()
