#include "homoclave.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using keycalc::check_character;
using keycalc::EmptyKey;
using keycalc::FailureReason;
using keycalc::homoclave;

// The homoclave as text, or a word for why there is none.
std::string homoclave_or_reason(std::u16string_view full_name) {
    const auto result = homoclave(full_name);
    if (const auto* failure = std::get_if<EmptyKey>(&result)) {
        switch (failure->reason) {
            case FailureReason::UncodedCharacter:
                return "uncoded";
            case FailureReason::SumBelow100:
                return "below 100";
            case FailureReason::SumOverflow:
                return "overflow";
            case FailureReason::VowelPositionOverflow:
                return "vowel";
        }
    }
    const auto& symbols = std::get<std::u16string>(result);
    return std::string(symbols.begin(), symbols.end());
}

TEST(Homoclave, SplitsTheLastThreeDigitsOfTheSumBy34) {
    // Each name is chosen for its digit-pair sum.
    const struct {
        std::u16string_view full_name;
        int sum;
        const char* expected;
    } cases[] = {
        {u"A  A", 24, "below 100"},  // digit text 011000011
        {u"AE1", 99, "below 100"},
        {u"", 0, "below 100"},
        {u"     ", 0, "below 100"},  // a space codes as 00
        {u"M", 100, "3Y"},           // the smallest sum that has a homoclave
        {u"GZN", 999, "VE"},         // Q 29, R 13: the largest quotient
        {u"ITZ", 1000, "11"},        // N 0
        {u"OXV", 1002, "13"},        // N 2: Q 0 gives "1"
        {u"GXW", 1033, "1Z"},        // N 33: the last symbol
        {u"MZV", 1034, "21"},        // N 34: Q 1, R 0
        {u"AYRV", 1234, "7W"},       // N 234, Q 6, R 30
        {u"PEREZ LOPEZ JUAN", 3043, "2A"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(homoclave_or_reason(c.full_name), c.expected) << "sum " << c.sum;
    }
}

TEST(Homoclave, CodesExactlyTheTableCharacters) {
    // Every coded character, in a name long enough to pass 100.
    EXPECT_EQ(homoclave_or_reason(u"0123456789 Ñ&ABCDEFGHIJKLMNOPQRSTUVWXYZ").size(), 2u);
    for (const char16_t uncoded : {u'a', u'z', u'Á', u'É', u'Ü', u'ñ', u'\'', u'.', u'-', u'\t',
                                   u'¥', u'\0', u'\xFFFF', u'\xD800'}) {
        std::u16string name = u"PEREZ LOPEZ JUAN";
        name[3] = uncoded;
        const auto result = homoclave(name);
        ASSERT_TRUE(std::holds_alternative<EmptyKey>(result)) << static_cast<int>(uncoded);
        EXPECT_EQ(std::get<EmptyKey>(result).position, 4u);
        EXPECT_EQ(std::get<EmptyKey>(result).character, uncoded);
    }
}

TEST(Homoclave, FailsWhenTheSumPassesThe32BitRange) {
    // n letters "Z" sum to 360 + 630 (n - 1): up to 3,408,704 of them fit in 2^31 - 1.
    const std::size_t fits = 3'408'000;
    EXPECT_EQ(homoclave_or_reason(std::u16string(fits, u'Z')).size(), 2u);
    EXPECT_EQ(homoclave_or_reason(std::u16string(fits + 1000, u'Z')), "overflow");
}

TEST(CheckCharacter, WeighsTheFirstTwelveCharactersModulo11) {
    const struct {
        std::u16string_view twelve;
        std::u16string_view expected;
    } cases[] = {
        {u"PELJ8001152A", u"0"},    // sum 1056, divisible by 11
        {u"PELJ8001152AZZ", u"0"},  // characters past twelve are not weighed
        {u"SORA8005153R", u"A"},    // check number 10
        {u"LWJ 010101TR", u"7"},    // a space counts 37
        {u"LWA000101QM", u"3"},     // eleven characters still get one
        {u"LW900101H1", u""},       // ten or fewer get none
        {u"", u""},
        // "&" and "0" add nothing: 1056 - 26 * 13 = 718; "Ñ" counts 24: 718 + 24 * 13 = 1030.
        {u"&ELJ8001152A", u"8"},
        {u"0ELJ8001152A", u"8"},
        {u"ÑELJ8001152A", u"4"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(check_character(c.twelve), c.expected)
            << std::string(c.twelve.begin(), c.twelve.end());
    }
}

}  // namespace
