// The one upper-casing rule of the program, shared by the window (as the user
// types and when it calculates) and by the command line.
//
//     u"pérez ñuñez ß"  ->  u"PÉREZ ÑUÑEZ ß"  (each character upper-cased where it stands)
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace casing {

// The character's one-character upper-case form from the Unicode case tables
// ("a" -> "A", "ñ" -> "Ñ", "é" -> "É"); characters without one (digits, spaces,
// "ß", surrogate halves) come back unchanged.
char16_t upper_case_char(char16_t c);

// Applies upper_case_char to every code unit; the length never changes.
std::u16string upper_case(std::u16string_view text);
void upper_case_in_place(std::u16string& text);
void upper_case_in_place(std::span<char16_t> text);

// For text read as bytes: when every byte of `ascii` is ASCII, writes its
// upper-case form to `out` (which has room for ascii.size() code units), one
// code unit per byte, and returns true. Otherwise returns false, and `out`
// holds nothing of use: the text must be decoded and upper-cased as above.
bool upper_case_ascii(std::string_view ascii, std::span<char16_t> out);

}  // namespace casing
