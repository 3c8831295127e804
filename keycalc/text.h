// Text helpers for the key computation. Text is UTF-16 code units; a
// character is one code unit, and only U+0020 counts as a space.
#pragma once

#include <string>
#include <string_view>

namespace keycalc::text {

inline constexpr char16_t space = u' ';

// The text without its leading and trailing U+0020 spaces.
std::u16string_view trim(std::u16string_view text);

// Trims `text` in place.
void trim_in_place(std::u16string& text);

// Replaces every non-overlapping occurrence of `what`, scanning left to right,
// by `with`. `what` must not be empty.
void replace_all(std::u16string& text, std::u16string_view what, std::u16string_view with);

// Replaces every `from` by `to`.
void replace_char(std::u16string& text, char16_t from, char16_t to);

// Removes every `c`.
void remove_char(std::u16string& text, char16_t c);

// The first character of `text`, or the empty text when it has none.
inline std::u16string_view first_char(std::u16string_view text) { return text.substr(0, 1); }

// The second character of `text`, or the empty text when it has none.
inline std::u16string_view second_char(std::u16string_view text)
{
    return text.size() < 2 ? std::u16string_view{} : text.substr(1, 1);
}

}  // namespace keycalc::text
