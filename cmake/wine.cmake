# A build for Windows (mingw-w64) runs its programs on this machine under Wine:
# the script wine-run in the build directory is the emulator CMake puts before
# every executable of the build in add_test and custom commands, and rfc-wine
# runs the built rfc.exe as a command of its own, for scripts that take the
# program to test as their argument.
find_program(RFC_WINE wine REQUIRED NO_CMAKE_FIND_ROOT_PATH)
set(RFC_WINEPREFIX ${PROJECT_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${PROJECT_BINARY_DIR}/wine-run @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                     WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_BINARY_DIR}/wine-run)
