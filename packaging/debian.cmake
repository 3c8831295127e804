# Debian packages, one per install component, built by `cpack -G DEB` in the
# build directory (or `cmake --build BUILD --target package`):
#
#   libkeycalc1      the shared library (runtime)
#   libkeycalc-dev   headers, static libraries, CMake and pkg-config files
#   rfc-ventana      the window, its desktop entry, metainfo, icons, man page
#   rfc-cli          the command line `rfc` and its man page
#
# Dependencies on system libraries come from dpkg-shlibdeps; the command line
# links no Qt library, so its package pulls in none.
set(debian_maintainer "The Clave RFC developers <desarrollo@claverfc.example>")

set(package_components runtime development cli)
set(package_names libkeycalc1 libkeycalc-dev rfc-cli)
if(TARGET rfc-ventana)
    list(APPEND package_components window)
    list(APPEND package_names rfc-ventana)
endif()

# Every package carries the licence as its copyright file and a change log,
# as Debian asks of each binary package. A plain `cmake --install` leaves them
# out: only the packages' per-component installs take them.
execute_process(COMMAND env LC_ALL=C date -u -R -d "${RFC_RELEASE_DATE} 12:00"
    OUTPUT_VARIABLE debian_changelog_date OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(changelog.in ${CMAKE_CURRENT_BINARY_DIR}/changelog @ONLY)
compress_file(${CMAKE_CURRENT_BINARY_DIR}/changelog changelog)
foreach(component name IN ZIP_LISTS package_components package_names)
    install(FILES copyright ${changelog} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${name}
        COMPONENT ${component} EXCLUDE_FROM_ALL)
    string(TOUPPER ${component} upper)
    set(CPACK_DEBIAN_${upper}_PACKAGE_NAME ${name})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME clave-rfc)
set(CPACK_PACKAGE_VENDOR "The Clave RFC developers")
set(CPACK_PACKAGE_CONTACT "${debian_maintainer}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL ${package_components})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${debian_maintainer}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://claverfc.example)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# The ldconfig trigger, as Debian asks. CPack also writes a postinst and a
# postrm that call ldconfig for any library under /usr/lib, which lintian warns
# of (maintscript-calls-ldconfig); they are taken out once the packages are built.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/triggers)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/drop_ldconfig_scripts.cmake)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
    "library computing the Mexican RFC key of a person
keycalc computes the RFC (Registro Federal de Contribuyentes) key of a
natural person from the paternal surname, the maternal surname, the given
names and the date of birth, e.g. PELJ8001152A0 for PEREZ LOPEZ JUAN born on
15 January 1980. It is plain C++ and does no input or output.
.
This package holds the shared library.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
    "library computing the Mexican RFC key of a person - development files
keycalc computes the RFC (Registro Federal de Contribuyentes) key of a
natural person from the paternal surname, the maternal surname, the given
names and the date of birth.
.
This package holds the headers, the static libraries, the CMake package
(find_package(keycalc)) and the pkg-config files keycalc.pc and
keycalc-casing.pc. keycalc-casing upper-cases names typed in UTF-8 as the
Clave RFC window does, so that a program gets the same key.")

set(CPACK_DEBIAN_WINDOW_PACKAGE_SECTION misc)
# The window's fonts are Arial and Tahoma; Liberation Sans has Arial's metrics.
set(CPACK_DEBIAN_WINDOW_PACKAGE_RECOMMENDS fonts-liberation)
set(CPACK_COMPONENT_WINDOW_DESCRIPTION
    "window computing the Mexican RFC key of a person
Clave RFC opens one window where a clerk types a person's paternal surname,
maternal surname and given names and picks the date of birth; it shows the
RFC (Registro Federal de Contribuyentes) key, e.g. PELJ-800115-2A0, ready
to be copied.")

set(CPACK_DEBIAN_CLI_PACKAGE_SECTION utils)
set(CPACK_COMPONENT_CLI_DESCRIPTION
    "command line computing the Mexican RFC key of a person
rfc computes the RFC (Registro Federal de Contribuyentes) key of a natural
person from the names and the date of birth given as arguments (rfc key),
tells whether a key someone holds is well formed and, given the person's
names and date, whether it is theirs (rfc check), or adds the key to every
row of a CSV payroll file, or checks the keys the file already holds
(rfc batch), with the same rules as the Clave RFC window.")

include(CPack)
