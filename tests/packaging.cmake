# What a user or a distribution gets: the install tree, the library as an
# outside program links it, and the Debian packages. Skipped in sanitizer and
# fuzzing builds, whose flags an installed tree must never carry. Labelled
# "system": ./test.sh --quick leaves them out.
if(NOT RFC_SANITIZE AND NOT RFC_BUILD_FUZZ)
    add_test(NAME install_outside_program
             COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install_test.sh ${PROJECT_SOURCE_DIR}
                     ${PROJECT_BINARY_DIR})
    # Both install from the build tree, which keeps a manifest of what it installed.
    set_tests_properties(install_outside_program PROPERTIES TIMEOUT 300 RESOURCE_LOCK install_tree
                                                         LABELS system)

    # Where the tools are missing (they are in scripts/install-deps.sh) the
    # check is skipped rather than failed.
    set(packaging_tools cpack dpkg-deb dpkg-shlibdeps lintian appstreamcli desktop-file-validate)
    set(packaging_tools_found TRUE)
    foreach(tool ${packaging_tools})
        string(MAKE_C_IDENTIFIER "${tool}_PROGRAM" variable)
        find_program(${variable} ${tool})
        if(NOT ${variable})
            message(STATUS "No ${tool}: the packaging check is left out")
            set(packaging_tools_found FALSE)
        endif()
    endforeach()
    if(packaging_tools_found)
        add_test(NAME packaging_check
                 COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/packaging_check.sh ${PROJECT_BINARY_DIR})
        set_tests_properties(packaging_check PROPERTIES TIMEOUT 600 RESOURCE_LOCK install_tree
                                                     LABELS system)
    endif()
endif()
