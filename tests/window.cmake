# Window tests: the window on Qt's offscreen platform, and the upper-casing rule.
qt_add_executable(window_tests window_test.cpp)
target_link_libraries(window_tests PRIVATE window_lib Qt6::Test)
add_test(NAME window_tests COMMAND window_tests)
set_tests_properties(window_tests PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)

add_executable(upper_case_tests upper_case_test.cpp)
target_link_libraries(upper_case_tests PRIVATE casing GTest::gtest_main)
gtest_discover_tests(upper_case_tests)

# The window under a few thousand random events from a fixed seed.
qt_add_executable(window_monkey_tests window_monkey_test.cpp)
target_link_libraries(window_monkey_tests PRIVATE window_lib Qt6::Test)
add_test(NAME window_monkey_tests COMMAND window_monkey_tests)
set_tests_properties(window_monkey_tests PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 120)
