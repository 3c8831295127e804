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
        // Default ignorables and private use: a joiner, a filler, a selector, a tag.
        {"a\u00ADb\u200Dc\u3164d\uFE0Fe\U000E0041f\uE000",
         "a\\u{ad}b\\u{200d}c\\u{3164}d\\u{fe0f}e\\u{e0041}f\\u{e000}"},
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

std::string repeated(std::string_view text, std::size_t times) {
    std::string out;
    for (std::size_t i = 0; i < times; ++i) out += text;
    return out;
}

// Past the limit an echo keeps its first characters whole: a UTF-8 sequence
// or an escape is never split, and the length is told in characters.
TEST(Echoed, CutsLongEchoesAtACharacterAndTellsTheLength) {
    const std::string a39 = repeated("A", echo_limit - 1), a40 = a39 + "A";
    const struct {
        std::string arg;
        std::string shown;
    } cases[] = {
        {"", "«»"},
        {"a\nb", "«a\\nb»"},
        {a40, "«" + a40 + "»"},
        {a40 + "B", "«" + a40 + "…» (41 caracteres)"},
        {repeated("A", 1000000), "«" + a40 + "…» (1000000 caracteres)"},
        {repeated("é", 41), "«" + repeated("é", 40) + "…» (41 caracteres)"},
        {a39 + "\xF0\x9F\x98\x80Z", "«" + a39 + "\xF0\x9F\x98\x80…» (41 caracteres)"},
        // The 40th character is an escape, shown whole; stray bytes count one each.
        {a39 + "\x1b\xff\xff", "«" + a39 + "\\x1b…» (42 caracteres)"},
        {a39 + "\xE2\x80\xAE!", "«" + a39 + "\\u{202e}…» (41 caracteres)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(echoed(c.arg), c.shown) << c.shown.substr(0, 80);
    }
    // File names are shown whole up to the longest path a system opens.
    const std::string path = "/" + repeated("d", file_name_limit - 1);
    EXPECT_EQ(echoed_file_name(path), "«" + path + "»");
    EXPECT_TRUE(echoed_file_name(path + "x").ends_with("d…» (4097 caracteres)"));
}

}  // namespace
}  // namespace words
