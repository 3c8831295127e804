# The two programs: the command line with its man page; the window, when it is
# built, with its desktop entry, AppStream metainfo and icons in the
# freedesktop hicolor theme, so that it shows in the desktop's menu and
# software centre.

# Both link only system libraries: no run path to set on install
# (qt_standard_project_setup asks for one relative to the binary).
set_target_properties(rfc PROPERTIES INSTALL_RPATH "")
install(TARGETS rfc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT cli)
configure_file(${PROJECT_SOURCE_DIR}/cli/rfc.1 ${CMAKE_CURRENT_BINARY_DIR}/man/rfc.1 @ONLY)
compress_file(${CMAKE_CURRENT_BINARY_DIR}/man/rfc.1 cli_man_page)
install(FILES ${cli_man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT cli)

if(NOT TARGET rfc-ventana)
    return()
endif()
set_target_properties(rfc-ventana PROPERTIES INSTALL_RPATH "")
install(TARGETS rfc-ventana RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT window)
install(FILES rfc-ventana.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT window)
configure_file(example.claverfc.ventana.metainfo.xml.in
    ${CMAKE_CURRENT_BINARY_DIR}/example.claverfc.ventana.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/example.claverfc.ventana.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT window)
set(icon_dir ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
foreach(size 16 24 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/window/images/icon-${size}.png
        DESTINATION ${icon_dir}/${size}x${size}/apps COMPONENT window
        RENAME rfc-ventana.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/window/images/icon.svg
    DESTINATION ${icon_dir}/scalable/apps COMPONENT window RENAME rfc-ventana.svg)
configure_file(rfc-ventana.1 ${CMAKE_CURRENT_BINARY_DIR}/man/rfc-ventana.1 @ONLY)
compress_file(${CMAKE_CURRENT_BINARY_DIR}/man/rfc-ventana.1 window_man_page)
install(FILES ${window_man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT window)
