# Casing tests: the library's own, and those that take Qt, whose character data
# the tables come from, as their reference; those need Qt Core and are left out
# where there is none.
add_executable(casing_tests typed_text_test.cpp utf8_test.cpp)
target_link_libraries(casing_tests PRIVATE casing GTest::gtest_main)
rfc_gtest_suite(casing_tests)

find_package(Qt6 COMPONENTS Core QUIET)
if(Qt6Core_FOUND)
    add_executable(casing_qt_tests
        character_properties_test.cpp
        delimited_header_qt_test.cpp
        fold_accents_test.cpp
        typed_text_qt_test.cpp
        upper_case_test.cpp)
    target_link_libraries(casing_qt_tests PRIVATE casing delimited Qt6::Core GTest::gtest_main)
    gtest_discover_tests(casing_qt_tests DISCOVERY_TIMEOUT 30 PROPERTIES TIMEOUT 300)
else()
    message(STATUS "No Qt Core: the casing tables are not compared with Qt")
endif()
