add_executable(keycalc_tests
    birth_date_test.cpp
    compute_key_test.cpp
    curp_date_test.cpp
    homoclave_test.cpp
    key_check_test.cpp
    name_cleanup_test.cpp
    output_mask_test.cpp
    utf8_sequence_test.cpp)
target_link_libraries(keycalc_tests PRIVATE keycalc GTest::gtest_main)
rfc_gtest_suite(keycalc_tests)
