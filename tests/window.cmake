# Window tests: the window on Qt's offscreen platform.
qt_add_executable(window_tests window_test.cpp)
target_link_libraries(window_tests PRIVATE window_lib Qt6::Test)
add_test(NAME window_tests COMMAND window_tests)
set_tests_properties(window_tests PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)

# The window under a few thousand random events from a fixed seed.
qt_add_executable(window_monkey_tests window_monkey_test.cpp)
target_link_libraries(window_monkey_tests PRIVATE window_lib Qt6::Test)
add_test(NAME window_monkey_tests COMMAND window_monkey_tests)
set_tests_properties(window_monkey_tests PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 120)

# One start and close of the window, as the program does it; leak_check.sh runs
# it under valgrind.
qt_add_executable(window_start_close window_start_close.cpp)
target_link_libraries(window_start_close PRIVATE window_lib)
add_test(NAME window_start_close COMMAND window_start_close)
set_tests_properties(window_start_close PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 30)

# Memory leaks of the key computation and of the window's start and close, under
# valgrind (which cannot run sanitized programs). The command line's program is
# the script's third argument, once there is one. Labelled "system", like the
# install and packaging checks, which ./test.sh --quick leaves out.
find_program(VALGRIND_PROGRAM valgrind)
if(VALGRIND_PROGRAM AND NOT RFC_SANITIZE)
    add_test(NAME leak_check
             COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/leak_check.sh
                     $<TARGET_FILE:keycalc_tests> $<TARGET_FILE:window_start_close> $<TARGET_FILE:rfc>)
    set_tests_properties(leak_check PROPERTIES TIMEOUT 300 LABELS system)
endif()

# What rfc-ventana answers on its command line, run without any display.
add_test(NAME window_options
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/window_options_test.sh
                 $<TARGET_FILE:rfc-ventana> $<TARGET_FILE:rfc>)
