// Text helpers for the key computation. Text is UTF-16 code units; a
// character is one code unit, and only U+0020 counts as a space.
#pragma once

#include <string>
#include <string_view>

#include "scratch_memory.h"

namespace keycalc::text {

inline constexpr char16_t space = u' ';

// A typed character as the rules read it: "¥", which some keyboards and code
// pages deliver for "Ñ", is "Ñ"; any other is itself.
constexpr char16_t read_yen_as_enye(char16_t c) {
    constexpr char16_t yen = u'¥', enye = u'Ñ';
    return c == yen ? enye : c;
}

// A working text of the computation, in the computation's scratch memory.
using Text = std::basic_string<char16_t, std::char_traits<char16_t>, ScratchAllocator<char16_t>>;

// Trims `text` in place.
void trim_in_place(Text& text);

// Replaces every non-overlapping occurrence of `what`, scanning left to right,
// by `with`, and tells whether there was any. `what` must not be empty.
bool replace_all(Text& text, std::u16string_view what, std::u16string_view with);

// Whether `text` holds `c`. One pass without an early exit: on texts as short
// as names, a branch per character costs more than reading them all.
bool contains(std::u16string_view text, char16_t c);

// Removes every `c`.
void remove_char(Text& text, char16_t c);

// The first character of `text`, or the empty text when it has none.
inline std::u16string_view first_char(std::u16string_view text) { return text.substr(0, 1); }

// The second character of `text`, or the empty text when it has none.
inline std::u16string_view second_char(std::u16string_view text) {
    return text.size() < 2 ? std::u16string_view{} : text.substr(1, 1);
}

}  // namespace keycalc::text
