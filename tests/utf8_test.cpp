#include "utf8.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace casing {
namespace {

struct Utf8Case {
    const char* name;
    std::string utf8;
    std::u16string utf16;  // unused when not valid
    bool valid;
};

void PrintTo(const Utf8Case& c, std::ostream* os) { *os << c.name; }

class Utf8Test : public testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Test, Converts) {
    const Utf8Case& c = GetParam();
    std::u16string out = u"left over";
    ASSERT_EQ(utf8_to_utf16(c.utf8, out), c.valid);
    EXPECT_EQ(is_well_formed_utf8(c.utf8), c.valid);
    if (!c.valid) return;
    EXPECT_EQ(out, c.utf16);
    EXPECT_EQ(utf16_to_utf8(out), c.utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Utf8, Utf8Test,
    testing::Values(Utf8Case{"Empty", "", u"", true}, Utf8Case{"Ascii", "PEREZ", u"PEREZ", true},
                    Utf8Case{"TwoBytes", "MU\xC3\x91OZ", u"MU\u00D1OZ", true},
                    Utf8Case{"ThreeBytes", "\xE2\x82\xAC", u"\u20AC", true},
                    Utf8Case{"OutsideBmp", "\xF0\x9F\x99\x82", u"\xD83D\xDE42", true},
                    Utf8Case{"Nul", std::string("A\0B", 3), std::u16string(u"A\0B", 3), true},
                    Utf8Case{"Latin1", "P\xC9REZ", u"", false},
                    Utf8Case{"LoneContinuation", "\x80", u"", false},
                    Utf8Case{"Truncated", "A\xC3", u"", false},
                    Utf8Case{"TruncatedBeforeAscii",
                             "\xE2\x82"
                             "A",
                             u"", false},
                    Utf8Case{"Overlong", "\xC0\xAF", u"", false},
                    Utf8Case{"OverlongThree", "\xE0\x80\xAF", u"", false},
                    Utf8Case{"EncodedSurrogate", "\xED\xA0\x80", u"", false},
                    Utf8Case{"PastMaximum", "\xF4\x90\x80\x80", u"", false},
                    Utf8Case{"InvalidLead", "\xFF", u"", false}),
    [](const auto& info) { return info.param.name; });

TEST(Utf8Output, LoneSurrogateBecomesReplacementCharacter) {
    EXPECT_EQ(utf16_to_utf8(u"A\xD83D"
                            "B"),
              "A\xEF\xBF\xBD"
              "B");
}

// Every code point written as UTF-16 and read back, by each of the ways the
// libraries step through UTF-16; a lone half of a pair reads as itself.
TEST(Utf16Pairs, EveryCodePointRoundTrips) {
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        std::u16string text;
        append_utf16(c, text);
        text += u'Z';
        const std::size_t units = c < first_supplementary ? 1 : 2;
        ASSERT_EQ(text.size(), units + 1);
        ASSERT_EQ(character_units(text, 0), units);
        ASSERT_EQ(std::uint32_t{code_point_at(text, 0)}, std::uint32_t{c});
        std::size_t i = 0;
        ASSERT_EQ(std::uint32_t{next_code_point(text, i)}, std::uint32_t{c});
        ASSERT_EQ(i, units);
        ASSERT_EQ(is_high_surrogate(text[0]), units == 2 || is_high_surrogate(c));
        if (units == 2) {
            ASSERT_TRUE(is_low_surrogate(text[1]));
            ASSERT_EQ(std::uint32_t{pair_code_point(text[0], text[1])}, std::uint32_t{c});
            // The high half alone, before "Z", is one unit of its own.
            const std::u16string lone{text[0], u'Z'};
            ASSERT_EQ(character_units(lone, 0), 1u);
            ASSERT_EQ(std::uint32_t{code_point_at(lone, 0)}, std::uint32_t{text[0]});
        }
    }
}

}  // namespace
}  // namespace casing
