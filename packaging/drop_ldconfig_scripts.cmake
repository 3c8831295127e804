# Run by cpack once it has built the packages (CPACK_POST_BUILD_SCRIPTS), with
# the CPACK_* settings of debian.cmake and the list of built files.
#
# CPack gives every package holding a shared library under /usr/lib a postinst
# and a postrm that call ldconfig, and has no setting to leave them out. The
# library's package runs ldconfig by its trigger instead (triggers), once after
# dpkg has installed or removed it, as Debian asks; this rebuilds that package
# without the two scripts, its files and control fields unchanged.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
    get_filename_component(file_name "${deb}" NAME)
    if(NOT file_name MATCHES "^${CPACK_DEBIAN_RUNTIME_PACKAGE_NAME}_.*\\.deb$")
        continue()
    endif()
    set(tree "${deb}.tree")
    file(REMOVE_RECURSE "${tree}")
    execute_process(COMMAND dpkg-deb --raw-extract "${deb}" "${tree}" COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE "${tree}/DEBIAN/postinst" "${tree}/DEBIAN/postrm")
    execute_process(COMMAND dpkg-deb --root-owner-group --build "${tree}" "${deb}"
        OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE "${tree}")
endforeach()
