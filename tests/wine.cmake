# rfc.exe under Wine, as a Windows user runs it: the command line's end-to-end
# cases through rfc-wine, a script that runs the built rfc.exe; the zip; and, given the
# Linux build's rfc, the same bytes as Linux on the office samples and files in
# every encoding, and the drop files in cmd.exe.
set(RFC_REFERENCE_RFC "" CACHE FILEPATH
    "The Linux build's rfc, which rfc.exe must match byte for byte")

file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/rfc-wine
    CONTENT "#!/bin/sh\nexec '${CMAKE_CROSSCOMPILING_EMULATOR}' '$<TARGET_FILE:rfc>' \"$@\"\n"
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                     WORLD_READ WORLD_EXECUTE)
set(rfc_wine_tests cli_smoke)
add_test(NAME cli_smoke COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/cli_smoke_test.sh
                                   ${CMAKE_CURRENT_BINARY_DIR}/rfc-wine)
# Accents on a console (a terminal, to Wine) as on a pipe.
add_test(NAME console_text COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/wine/console_check.sh
                                   ${CMAKE_CURRENT_BINARY_DIR}/rfc-wine)
list(APPEND rfc_wine_tests console_text)
# The zip a clerk unzips, and rfc.exe in it.
add_test(NAME windows_zip
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/wine/zip_check.sh ${PROJECT_BINARY_DIR}
                 ${CMAKE_OBJDUMP} ${CMAKE_CROSSCOMPILING_EMULATOR})
list(APPEND rfc_wine_tests windows_zip)
if(RFC_REFERENCE_RFC)
    add_test(NAME same_as_linux
             COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/wine/compare_with_linux.sh
                     ${RFC_REFERENCE_RFC} ${CMAKE_CURRENT_BINARY_DIR}/rfc-wine
                     ${CMAKE_CURRENT_SOURCE_DIR}/data ${CMAKE_CROSSCOMPILING_EMULATOR}
                     $<TARGET_FILE:rfc>)
    add_test(NAME drop_files
             COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/wine/drop_file_test.sh
                     ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:rfc>
                     ${PROJECT_BINARY_DIR}/packaging/windows ${CMAKE_CURRENT_SOURCE_DIR}/data
                     ${RFC_REFERENCE_RFC})
    list(APPEND rfc_wine_tests same_as_linux drop_files)
endif()
# Wine's start is slow on a busy machine.
set_tests_properties(${rfc_wine_tests} PROPERTIES TIMEOUT 900)
