#include <gtest/gtest.h>

#include "escaped.h"

namespace words {
namespace {

TEST(Escaped, ShowsControlsAndStrayBytesAndPassesTheRest) {
    const struct {
        std::string arg;
        std::string shown;
    } cases[] = {
        {"", ""},
        {"nómina 2024.csv", "nómina 2024.csv"},
        {"C:\\datos\\x.csv", "C:\\datos\\x.csv"},  // backslashes stay
        {"a\nb\r\nc\td", "a\\nb\\r\\nc\\td"},
        {"\x1b[31mrojo\x1b[0m", "\\x1b[31mrojo\\x1b[0m"},
        {std::string("a\0b", 3), "a\\x00b"},
        {"\x7f\x01\x1f", "\\x7f\\x01\\x1f"},
        {"\xC2\x85\xC2\x9B", "\\u{85}\\u{9b}"},
        // Spaces nobody sees, which would hide at the edge of a quoted value.
        {"\u00A0a\u2000\u200A\u200B\u202F\u3000b\uFEFF",
         "\\u{a0}a\\u{2000}\\u{200a}\\u{200b}\\u{202f}\\u{3000}b\\u{feff}"},
        {"x\xE2\x80\xA8y\xE2\x80\xAEz\xE2\x81\xA6", "x\\u{2028}y\\u{202e}z\\u{2066}"},
        {"\xEF\xBB\xBFid", "\\u{feff}id"},
        {"\xF0\x9F\x98\x80 \xE2\x82\xAC", "\xF0\x9F\x98\x80 \xE2\x82\xAC"},
        // Bytes that are not UTF-8: stray, truncated, overlong, surrogates, too high.
        {"p\xE9rez", "p\\xe9rez"},
        {"\xff\xfe", "\\xff\\xfe"},
        {"\xE2\x82", "\\xe2\\x82"},
        {"\xC0\xAF", "\\xc0\\xaf"},
        {"\xE0\x80\xAF", "\\xe0\\x80\\xaf"},
        {"\xED\xA0\x80", "\\xed\\xa0\\x80"},
        {"\xF4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"},
        {"\xC3", "\\xc3"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(escaped(c.arg), c.shown) << c.shown;
    }
}

}  // namespace
}  // namespace words
