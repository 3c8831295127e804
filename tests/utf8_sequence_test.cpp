#include "utf8_sequence.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace keycalc::text {
namespace {

// The reference the reading is checked against: the UTF-8 of `c`, below
// U+110000, surrogates in their three-byte form.
std::string utf8_of(char32_t c) {
    const auto byte = [](char32_t bits) { return static_cast<char>(bits); };
    if (c < 0x80) return {byte(c)};
    if (c < 0x800) return {byte(0xC0 | c >> 6), byte(0x80 | (c & 0x3F))};
    if (c < 0x10000) {
        return {byte(0xE0 | c >> 12), byte(0x80 | (c >> 6 & 0x3F)), byte(0x80 | (c & 0x3F))};
    }
    return {byte(0xF0 | c >> 18), byte(0x80 | (c >> 12 & 0x3F)), byte(0x80 | (c >> 6 & 0x3F)),
            byte(0x80 | (c & 0x3F))};
}

bool is_surrogate(char32_t c) { return c >= first_surrogate && c <= last_surrogate; }

TEST(Utf8Sequence, ReadsEveryCodePointBack) {
    for (char32_t c = 0; c <= last_code_point; ++c) {
        const std::string bytes = utf8_of(c);
        const Utf8Sequence sequence = read_utf8_sequence(bytes);
        ASSERT_EQ(std::uint32_t{sequence.value}, std::uint32_t{c});
        ASSERT_EQ(sequence.expected, bytes.size());
        ASSERT_EQ(sequence.length, bytes.size());
        ASSERT_FALSE(sequence.ends_text);
        ASSERT_TRUE(is_whole_in_shortest_form(sequence)) << std::hex << std::uint32_t{c};
        ASSERT_EQ(is_well_formed(sequence), !is_surrogate(c)) << std::hex << std::uint32_t{c};
    }
}

// Every text of one to three bytes (three from a lead past U+07FF's on) is
// one well-formed character exactly when some character is spelled so, and
// could still become one exactly when some character's bytes start so.
TEST(Utf8Sequence, WellFormedAndCutAgreeWithEveryCharactersBytes) {
    constexpr std::size_t three_bytes = std::size_t{1} << 24;
    const auto key = [](const std::string& bytes) {
        std::size_t k = 0;
        for (const char b : bytes) k = k << 8 | static_cast<unsigned char>(b);
        return k;
    };
    std::vector<std::vector<bool>> whole(4), started(4);
    for (std::size_t length = 1; length <= 3; ++length) {
        whole[length].assign(std::size_t{1} << (8 * length), false);
        started[length].assign(std::size_t{1} << (8 * length), false);
    }
    for (char32_t c = 0; c <= last_code_point; ++c) {
        if (is_surrogate(c)) continue;
        const std::string bytes = utf8_of(c);
        if (bytes.size() <= 3) whole[bytes.size()][key(bytes)] = true;
        for (std::size_t cut = 1; cut < bytes.size(); ++cut) {
            started[cut][key(bytes.substr(0, cut))] = true;
        }
    }
    for (std::size_t length = 1; length <= 3; ++length) {
        const std::size_t first = length == 3 ? 0xE0 << 16 : 0;
        for (std::size_t k = first; k < (length == 3 ? three_bytes : whole[length].size()); ++k) {
            std::string bytes;
            for (std::size_t i = length; i-- > 0;) bytes.push_back(static_cast<char>(k >> 8 * i));
            const Utf8Sequence sequence = read_utf8_sequence(bytes);
            ASSERT_EQ(is_well_formed(sequence) && sequence.length == length, whole[length][k])
                << std::hex << k;
            ASSERT_EQ(could_become_well_formed(sequence), started[length][k]) << std::hex << k;
        }
    }
}

// How far a sequence that is not well-formed reaches, as WTF-8 readers step
// over it.
struct BrokenCase {
    const char* name;
    std::string bytes;
    std::size_t expected, length;
    bool ends_text, whole;
};

void PrintTo(const BrokenCase& c, std::ostream* os) { *os << c.name; }

class BrokenSequence : public testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenSequence, Reaches) {
    const BrokenCase& c = GetParam();
    const Utf8Sequence sequence = read_utf8_sequence(c.bytes);
    EXPECT_EQ(sequence.expected, c.expected);
    EXPECT_EQ(sequence.length, c.length);
    EXPECT_EQ(sequence.ends_text, c.ends_text);
    EXPECT_EQ(is_whole_in_shortest_form(sequence), c.whole);
}

INSTANTIATE_TEST_SUITE_P(
    Utf8Sequence, BrokenSequence,
    testing::Values(BrokenCase{"LoneContinuation", "\x80Z", 0, 1, false, false},
                    BrokenCase{"LeadOfNone", "\xC0\xAF", 0, 1, false, false},
                    BrokenCase{"PastF4", "\xF5\x80\x80\x80", 0, 1, false, false},
                    BrokenCase{"StoppedByAscii", "\xE2\x82Z", 3, 2, false, false},
                    BrokenCase{"StoppedByLead", "\xF0\x9F\xC3\x89", 4, 2, false, false},
                    BrokenCase{"EndsText", "\xF0\x9F\x98", 4, 3, true, false},
                    BrokenCase{"Overlong", "\xE0\x80\xAF", 3, 3, false, false},
                    BrokenCase{"PastMaximum", "\xF4\x90\x80\x80", 4, 4, false, false},
                    BrokenCase{"SurrogateIsWhole", "\xED\xA0\x80", 3, 3, false, true}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace keycalc::text
