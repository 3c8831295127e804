#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "line_scan.h"

namespace delimited {
namespace {

struct Scan {
    bool found = false;
    std::size_t length = 0;
    bool crlf = false;
    std::vector<std::size_t> separators;
    std::vector<std::size_t> quotes;

    bool operator==(const Scan&) const = default;
};

// Byte by byte: what the chunked scans must give whenever they find a line.
Scan scan_slowly(std::string_view bytes, char separator) {
    Scan scan;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool ends_crlf = bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
        if (bytes[i] == '\r' && !ends_crlf) return {};
        if (ends_crlf) return {true, i, true, scan.separators, scan.quotes};
        if (bytes[i] == separator) scan.separators.push_back(i);
        if (bytes[i] == '"') scan.quotes.push_back(i);
        if (bytes[i] == '\n') return {true, i, false, scan.separators, scan.quotes};
    }
    return {};
}

using Scanner = bool (*)(std::string_view, char, std::vector<std::size_t>&,
                         std::vector<std::size_t>&, PlainLine&);

Scan scan_with(Scanner scanner, std::string_view bytes, char separator) {
    Scan scan;
    PlainLine line;
    scan.found = scanner(bytes, separator, scan.separators, scan.quotes, line);
    if (!scan.found) return {};
    scan.length = line.length;
    scan.crlf = line.crlf;
    return scan;
}

// Random lines over the bytes that matter, and some that look like them
// (0x8A and 0xAC differ from "\n" and "," only in the high bit), each
// followed by padding so that every line can be found; with each separator.
TEST(LineScan, BothScansAgreeWithReadingByteByByte) {
    const std::string alphabet = std::string("AZ ,;\t|\n\"\r\r\n\x8A\xAC\xFF", 16);
    std::mt19937 random(3);
    for (const char separator : {',', ';', '\t', '|'}) {
        for (int i = 0; i < 10000; ++i) {
            std::string bytes;
            const std::size_t size = random() % 80;
            for (std::size_t k = 0; k < size; ++k) {
                bytes += random() % 4 == 0 ? alphabet[random() % alphabet.size()] : 'A';
            }
            bytes += std::string(16, 'A');
            const Scan expected = scan_slowly(bytes, separator);
            for (const Scanner scanner : {&scan_plain_line, &scan_plain_line_by_words}) {
                const Scan scan = scan_with(scanner, bytes, separator);
                ASSERT_EQ(scan.found, expected.found) << bytes;
                if (scan.found) {
                    EXPECT_EQ(scan, expected) << bytes;
                }
            }
        }
    }
}

// Also whether the bytes are plain: ASCII with no stop at all.
TEST(FieldStop, AgreesWithReadingByteByByte) {
    const std::string alphabet = std::string("AZ ,;\t|\n\"\r\x8A\xAC\xFF\0", 14);
    std::mt19937 random(5);
    for (const char separator : {',', ';', '\t', '|'}) {
        for (int i = 0; i < 5000; ++i) {
            std::string bytes;
            const std::size_t size = random() % 70;
            for (std::size_t k = 0; k < size; ++k) {
                bytes += random() % 8 == 0 ? alphabet[random() % alphabet.size()] : 'A';
            }
            std::size_t expected = 0;
            while (expected < bytes.size() &&
                   std::string_view("\"\r\n").find(bytes[expected]) == std::string_view::npos &&
                   bytes[expected] != separator) {
                ++expected;
            }
            ASSERT_EQ(find_field_stop(bytes, separator), expected) << bytes;
            const bool plain =
                expected == bytes.size() && std::all_of(bytes.begin(), bytes.end(), [](char c) {
                    return static_cast<unsigned char>(c) < 0x80;
                });
            ASSERT_EQ(is_plain_text(bytes, separator), plain) << bytes;
        }
    }
}

TEST(LineScan, FindsTheUsualLinesAndMissesOnlyNearTheEnd) {
    const std::string line = "PEREZ,LOPEZ,JUAN CARLOS,1980-01-15\n";
    const std::string padded = line + "NEXT,ROW,HERE,1990-01-01\n";
    const std::string crlf = "PEREZ;LOPEZ;JUAN CARLOS;1980-01-15\r\n" + padded;
    for (const Scanner scanner : {&scan_plain_line, &scan_plain_line_by_words}) {
        EXPECT_EQ(scan_with(scanner, padded, ','),
                  (Scan{true, line.size() - 1, false, {5, 11, 23}, {}}));
        EXPECT_EQ(scan_with(scanner, crlf, ';'),
                  (Scan{true, line.size() - 1, true, {5, 11, 23}, {}}));
        // A line break in the last, partial chunk is left to the slow way.
        EXPECT_FALSE(scan_with(scanner, "A,B\n", ',').found);
    }
}

}  // namespace
}  // namespace delimited
