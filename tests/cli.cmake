# Command-line tests.
add_executable(cli_tests
    cli_batch_test.cpp
    cli_birth_date_test.cpp
    cli_check_test.cpp
    cli_csv_reader_test.cpp
    cli_curp_date_test.cpp
    cli_key_test.cpp
    cli_line_scan_test.cpp
    cli_message_text_test.cpp
    cli_utf8_test.cpp)
target_link_libraries(cli_tests PRIVATE rfc_cli GTest::gtest_main)
gtest_discover_tests(cli_tests)

# The installed program itself: exit statuses and streams of a real process.
add_test(NAME cli_smoke COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/cli_smoke_test.sh $<TARGET_FILE:rfc>)
