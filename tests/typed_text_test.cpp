// Names typed in UTF-8 made ready for the key, and the key's text back in UTF-8.
#include "typed_text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

using namespace std::string_view_literals;

TEST(UpperCaseUtf8, DecodesAndUpperCasesAsTheWindowDoes) {
    const struct {
        std::string_view typed;
        std::u16string_view expected;
    } cases[] = {
        {"perez", u"PEREZ"},
        {"mu\xC3\xB1oz", u"MUÑOZ"},     // two-byte sequence
        {"p\xC3\xA9rez", u"PÉREZ"},     // accented letters stay accented
        {" de la  o ", u" DE LA  O "},  // spaces kept where they are
        {"", u""},
        {"a\0b"sv, u"A\0B"sv},                  // a NUL is text, not the end
        {"\xE2\x82\xAC", u"\u20AC"},            // three-byte sequence, no case
        {"\xF0\x9D\x90\x80", u"\xD835\xDC00"},  // outside the BMP: a surrogate pair
        {"x\xFFy", u"X\uFFFDY"},                // a byte that never starts a sequence
        {"ju\xC3", u"JU\uFFFD"},                // a sequence cut short at the end
        {"\xC0\xAF", u"\uFFFD\uFFFD"},          // an overlong "/" is not a "/"
    };
    for (const auto& c : cases) {
        EXPECT_EQ(casing::upper_case_utf8(c.typed), c.expected) << c.typed;
    }
}

TEST(ToUtf8, EncodesTheKeysTextForPrinting) {
    const struct {
        std::u16string_view text;
        std::string_view expected;
    } cases[] = {
        {u"PELJ-800115-2A0", "PELJ-800115-2A0"},
        {u"    -      -   ", "    -      -   "},
        {u"", ""},
        {u"MUÑOZ", "MU\xC3\x91OZ"},
        {u"A\0B"sv, "A\0B"sv},
        {u"\xD835\xDC00", "\xF0\x9D\x90\x80"},
        {u"\xD800", "?"},  // an unpaired surrogate
    };
    for (const auto& c : cases) {
        EXPECT_EQ(casing::to_utf8(c.text), c.expected) << c.expected;
    }
}

}  // namespace
