#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "line_scan.h"

namespace rfc_cli {
namespace {

struct Scan {
    bool found = false;
    std::size_t length = 0;
    std::vector<std::size_t> commas;

    bool operator==(const Scan&) const = default;
};

// Byte by byte: what the chunked scans must give whenever they find a line.
Scan scan_slowly(std::string_view bytes) {
    Scan scan;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '"' || bytes[i] == '\r') return {};
        if (bytes[i] == ',') scan.commas.push_back(i);
        if (bytes[i] == '\n') return {true, i, scan.commas};
    }
    return {};
}

using Scanner = bool (*)(std::string_view, std::vector<std::size_t>&, std::size_t&);

Scan scan_with(Scanner scanner, std::string_view bytes) {
    Scan scan;
    scan.found = scanner(bytes, scan.commas, scan.length);
    if (!scan.found) return {};
    return scan;
}

// Random lines over the bytes that matter, and some that look like them
// (0x8A and 0xAC differ from "\n" and "," only in the high bit), each
// followed by padding so that every line can be found.
TEST(LineScan, BothScansAgreeWithReadingByteByByte) {
    const std::string alphabet = std::string("AZ ,,,\n\"\r\x8A\xAC\xFF", 13);
    std::mt19937 random(3);
    for (int i = 0; i < 20000; ++i) {
        std::string bytes;
        const std::size_t size = random() % 80;
        for (std::size_t k = 0; k < size; ++k) {
            bytes += random() % 4 == 0 ? alphabet[random() % alphabet.size()] : 'A';
        }
        bytes += std::string(16, 'A');
        const Scan expected = scan_slowly(bytes);
        for (const Scanner scanner : {&scan_plain_line, &scan_plain_line_by_words}) {
            const Scan scan = scan_with(scanner, bytes);
            ASSERT_EQ(scan.found, expected.found) << bytes;
            if (scan.found) {
                EXPECT_EQ(scan, expected) << bytes;
            }
        }
    }
}

TEST(LineScan, FindsTheUsualLinesAndMissesOnlyNearTheEnd) {
    const std::string line = "PEREZ,LOPEZ,JUAN CARLOS,1980-01-15\n";
    const std::string padded = line + "NEXT,ROW,HERE,1990-01-01\n";
    for (const Scanner scanner : {&scan_plain_line, &scan_plain_line_by_words}) {
        const Scan scan = scan_with(scanner, padded);
        EXPECT_EQ(scan, (Scan{true, line.size() - 1, {5, 11, 23}}));
        // A line break in the last, partial chunk is left to the slow way.
        EXPECT_FALSE(scan_with(scanner, "A,B\n").found);
    }
}

}  // namespace
}  // namespace rfc_cli
