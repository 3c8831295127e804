// Code points in UTF-16 text, where a character past the BMP is a surrogate
// pair.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace casing {

constexpr bool is_high_surrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool is_low_surrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The code point starting at text[i], advancing `i` past it; a lone surrogate
// half is taken as it is.
inline char32_t next_code_point(std::u16string_view text, std::size_t& i) {
    const char16_t unit = text[i++];
    if (!is_high_surrogate(unit) || i == text.size() || !is_low_surrogate(text[i])) return unit;
    return 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{text[i++]} - 0xDC00);
}

// Appends `c`, at most U+10FFFF, as one code unit or a surrogate pair.
inline void append_utf16(char32_t c, std::u16string& out) {
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
        return;
    }
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
}

}  // namespace casing
