// Code points in UTF-16 text, where a character past the BMP is a surrogate
// pair.
//
//     code_point_at(u"a😀", 1)  ->  U+1F600, from the pair D83D DE00 (character_units 2)
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace casing {

inline constexpr char16_t first_high_surrogate = 0xD800, last_high_surrogate = 0xDBFF;
inline constexpr char16_t first_low_surrogate = 0xDC00, last_low_surrogate = 0xDFFF;
// The first code point past the BMP, the first that takes a pair.
inline constexpr char32_t first_supplementary = 0x10000;

constexpr bool is_high_surrogate(char32_t unit) {
    return unit >= first_high_surrogate && unit <= last_high_surrogate;
}
constexpr bool is_low_surrogate(char32_t unit) {
    return unit >= first_low_surrogate && unit <= last_low_surrogate;
}

// The code point that the pair `high`, `low` stands for.
constexpr char32_t pair_code_point(char16_t high, char16_t low) {
    return first_supplementary + ((char32_t{high} - first_high_surrogate) << 10) +
           (char32_t{low} - first_low_surrogate);
}

// How many code units the character at `at` of `utf16` takes: 2 for a
// surrogate pair, 1 for anything else (a lone half included).
constexpr std::size_t character_units(std::u16string_view utf16, std::size_t at) {
    return is_high_surrogate(utf16[at]) && at + 1 < utf16.size() && is_low_surrogate(utf16[at + 1])
               ? 2
               : 1;
}

// The character at `at` of `utf16` as one value: a pair joined, a lone half as it is.
constexpr char32_t code_point_at(std::u16string_view utf16, std::size_t at) {
    return character_units(utf16, at) == 2 ? pair_code_point(utf16[at], utf16[at + 1]) : utf16[at];
}

// The code point starting at text[i], advancing `i` past it; a lone surrogate
// half is taken as it is.
constexpr char32_t next_code_point(std::u16string_view text, std::size_t& i) {
    const char16_t unit = text[i++];
    if (!is_high_surrogate(unit) || i == text.size() || !is_low_surrogate(text[i])) return unit;
    return pair_code_point(unit, text[i++]);
}

// Writes `c`, at most U+10FFFF, at `out` as one code unit or a surrogate
// pair; returns the end of what it wrote.
constexpr char16_t* write_utf16(char32_t c, char16_t* out) {
    if (c < first_supplementary) {
        *out++ = static_cast<char16_t>(c);
        return out;
    }
    c -= first_supplementary;
    *out++ = static_cast<char16_t>(first_high_surrogate + (c >> 10));
    *out++ = static_cast<char16_t>(first_low_surrogate + (c & 0x3FF));
    return out;
}

// Appends `c`, at most U+10FFFF, as one code unit or a surrogate pair.
inline void append_utf16(char32_t c, std::u16string& out) {
    char16_t units[2];
    out.append(units, write_utf16(c, units));
}

}  // namespace casing
