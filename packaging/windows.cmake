# The zip for Windows, built by `cpack -G ZIP` (the target `package`) in a
# mingw-w64 build: one folder, clave-rfc-VERSION-win64, that a clerk unzips
# anywhere and uses without installing anything:
#
#   rfc.exe                                           statically linked
#   Clave RFC - soltar archivo aqui.cmd               drop a payroll file here
#   Clave RFC - soltar aqui para quitar acentos.cmd   ... with --fold-accents
#   LEAME.txt                                         how, in Spanish
#   LICENSE.txt
#
# Every text file gets CRLF line ends: Notepad before Windows 10 shows LF files
# as one line, and cmd.exe loses labels in a batch file of LF lines. LEAME.txt
# is UTF-8 with a byte-order mark (in its template), which every Notepad reads.
set(windows_files
    LEAME.txt
    "Clave RFC - soltar archivo aqui.cmd"
    "Clave RFC - soltar aqui para quitar acentos.cmd")
set(windows_staged)
foreach(file IN LISTS windows_files)
    set(template "windows/${file}")
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${template}.in)
        string(APPEND template .in)
    endif()
    configure_file(${template} "windows/${file}" @ONLY NEWLINE_STYLE CRLF)
    list(APPEND windows_staged "${CMAKE_CURRENT_BINARY_DIR}/windows/${file}")
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/LICENSE windows/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
list(APPEND windows_staged ${CMAKE_CURRENT_BINARY_DIR}/windows/LICENSE.txt)

if(TARGET rfc)
    install(TARGETS rfc RUNTIME DESTINATION . COMPONENT windows)
endif()
install(FILES ${windows_staged} DESTINATION . COMPONENT windows)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME clave-rfc)
set(CPACK_PACKAGE_VENDOR "The Clave RFC developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME clave-rfc-${PROJECT_VERSION}-win64)
# Only the component above: not the library's headers, DLL and CMake files.
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};windows;/")
set(CPACK_STRIP_FILES ON)
include(CPack)
