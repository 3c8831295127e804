# What an outside program finds of the library: the CMake package `keycalc`
# (keycalc::keycalc, keycalc::keycalc_static and, as the component `casing`,
# keycalc::casing) and the pkg-config files keycalc.pc and keycalc-casing.pc.
include(CMakePackageConfigHelpers)

set(keycalc_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/keycalc)
install(EXPORT keycalc-targets NAMESPACE keycalc::
    DESTINATION ${keycalc_cmake_dir} COMPONENT development)
if(TARGET casing)
    install(EXPORT keycalc-casing-targets NAMESPACE keycalc::
        DESTINATION ${keycalc_cmake_dir} COMPONENT development)
endif()
configure_package_config_file(keycalc-config.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/keycalc-config.cmake
    INSTALL_DESTINATION ${keycalc_cmake_dir})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/keycalc-config-version.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/keycalc-config.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/keycalc-config-version.cmake
    DESTINATION ${keycalc_cmake_dir} COMPONENT development)

# The .pc files find the prefix from their own place, so that the same files
# serve an install under /usr, under /usr/local or in a scratch directory.
set(pkgconfig_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH pc_prefix_from_pcfiledir /root/${pkgconfig_dir} /root)
string(REGEX REPLACE "/$" "" pc_prefix_from_pcfiledir "${pc_prefix_from_pcfiledir}")
set(pc_files keycalc.pc)
if(TARGET casing)
    list(APPEND pc_files keycalc-casing.pc)
endif()
foreach(pc ${pc_files})
    configure_file(${pc}.in ${CMAKE_CURRENT_BINARY_DIR}/${pc} @ONLY)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${pc}
        DESTINATION ${pkgconfig_dir} COMPONENT development)
endforeach()
