// Spaces nobody sees: the no-break space, the typographic spaces, the
// zero-width space and a stray byte-order mark. Spreadsheets and web forms
// leave them at the edges of cells and arguments, where they look like
// nothing and would make a name hold a character without a value, a key not
// a key and a date not a date.
//
//     trim_spaces("\u00A0PELJ8001152A0\u200B")  ->  "PELJ8001152A0"
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace keycalc {

namespace invisible_space_table {
struct CodeRange {
    char32_t first, last;
};
inline constexpr std::array<CodeRange, 5> ranges = {{
    {0x00A0, 0x00A0},  // no-break space
    {0x2000, 0x200B},  // the typographic spaces, then the zero-width space
    {0x202F, 0x202F},  // narrow no-break space
    {0x3000, 0x3000},  // ideographic space
    {0xFEFF, 0xFEFF},  // byte-order mark, once the start of a file is behind
}};
// Which blocks of 256 code points hold an invisible space at all: one look-up
// tells nearly every character, a key's or a name's, that it is none.
inline constexpr std::array<bool, 256> blocks = [] {
    std::array<bool, 256> holding{};
    for (const CodeRange& range : ranges) {
        for (char32_t c = range.first; c <= range.last; ++c) holding[c >> 8] = true;
    }
    return holding;
}();
}  // namespace invisible_space_table

// U+00A0, U+2000 to U+200B, U+202F, U+3000 and U+FEFF. Every one is a single
// UTF-16 code unit. Inline, for it is asked of every character of a key.
constexpr bool is_invisible_space(char32_t c) {
    constexpr char32_t last_bmp = 0xFFFF;
    if (c > last_bmp || !invisible_space_table::blocks[c >> 8]) return false;
    for (const auto& range : invisible_space_table::ranges) {
        if (c >= range.first && c <= range.last) return true;
    }
    return false;
}

// The bytes of the invisible space that `utf8` starts with, or ends with; 0
// when there is none there.
std::size_t invisible_space_at_start(std::string_view utf8);
std::size_t invisible_space_at_end(std::string_view utf8);

// `utf8` without the invisible spaces and the characters of `blanks` at either
// end, for a text whose spaces mean nothing (a date, a key written with them).
std::string_view trim_spaces(std::string_view utf8, std::string_view blanks = " ");

// Removes the invisible spaces at either end of `name`, among the U+0020 that
// stay there: a name's leading and trailing spaces are the key's own to trim.
//     u"\u00A0 DE LA ROSA\u200B"  ->  u" DE LA ROSA"
void drop_invisible_spaces_at_edges(std::u16string& name);

}  // namespace keycalc
