# Delimited-text library tests.
add_executable(delimited_tests
    delimited_csv_reader_test.cpp
    delimited_encoding_test.cpp
    delimited_header_test.cpp
    delimited_iconv_test.cpp
    delimited_line_scan_test.cpp)
target_link_libraries(delimited_tests PRIVATE delimited GTest::gtest_main)
if(WIN32)
    # Linux's alone: glibc's iconv is the reference for Windows-1252.
    rfc_leave_out_sources(delimited_tests delimited_iconv_test.cpp)
endif()
rfc_gtest_suite(delimited_tests)

# Command-line tests.
add_executable(cli_tests
    cli_batch_bounds_test.cpp
    cli_batch_files_test.cpp
    cli_batch_test.cpp
    cli_check_test.cpp
    cli_key_test.cpp
)
target_link_libraries(cli_tests PRIVATE rfc_cli GTest::gtest_main)
if(WIN32)
    # Linux's alone: they take POSIX as their tool (fork and getrusage, pipes,
    # mkstemp and open); what they check of streams rfc.exe meets under Wine.
    rfc_leave_out_sources(cli_tests cli_batch_bounds_test.cpp cli_batch_files_test.cpp)
endif()
target_compile_definitions(cli_tests PRIVATE
    RFC_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")
rfc_gtest_suite(cli_tests)

# The conversion of whole files: columns, where the data starts, the counts;
# one typed person and a held key, read and checked as values; files that are
# no text, told by their first bytes; the zip archives workbooks are; the XML
# reader of workbook parts, and natively that reader against expat.
# Its problems are checked as the user reads them, through the words.
add_executable(convert_tests
    convert_columns_test.cpp
    convert_file_kind_test.cpp
    convert_ods_test.cpp
    convert_person_test.cpp
    convert_workbook_test.cpp
    convert_xml_reader_test.cpp
    convert_xml_test.cpp
    convert_zip_test.cpp)
target_link_libraries(convert_tests PRIVATE convert words GTest::gtest_main)
if(CMAKE_CROSSCOMPILING)
    # No expat built for the target system: the comparison is Linux's alone.
    rfc_leave_out_sources(convert_tests convert_xml_test.cpp)
else()
    find_package(EXPAT REQUIRED)
    target_link_libraries(convert_tests PRIVATE EXPAT::EXPAT)
endif()
rfc_gtest_suite(convert_tests)

# The Spanish words every front end shows.
add_executable(words_tests
    words_escaped_test.cpp
    words_outcome_test.cpp
    words_verdict_test.cpp)
target_link_libraries(words_tests PRIVATE words GTest::gtest_main)
rfc_gtest_suite(words_tests)

# The installed program itself: exit statuses and streams of a real process;
# rfc.exe of a Windows build under Wine.
if(CMAKE_CROSSCOMPILING)
    include(wine.cmake)
else()
    add_test(NAME cli_smoke COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/cli_smoke_test.sh $<TARGET_FILE:rfc>)
endif()

# What rfc writes, byte for byte, over a generated corpus of files and command
# lines, against the outputs recorded in recorded/outputs.txt.
if(NOT CMAKE_CROSSCOMPILING)
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    add_test(NAME cli_recorded_outputs
        COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/recorded/compare.py $<TARGET_FILE:rfc>)
endif()

# Workbooks as openpyxl, LibreOffice and Excel's habits write them, through
# rfc batch: the same parts back, well formed, what Excel requires of a
# sheet, the added cells as for the same table in CSV, and LibreOffice
# showing them. Debian's Python has openpyxl.
if(NOT CMAKE_CROSSCOMPILING)
    add_test(NAME cli_workbooks
        COMMAND sh -c "rm -rf workbooks && /usr/bin/python3 \"$0\" workbooks && /usr/bin/python3 \"$1\" \"$2\" workbooks"
            ${CMAKE_CURRENT_SOURCE_DIR}/workbooks/make_workbooks.py
            ${CMAKE_CURRENT_SOURCE_DIR}/workbooks/check_workbooks.py $<TARGET_FILE:rfc>
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endif()
