// Conversion between UTF-8, the text of arguments and of most files, and the
// UTF-16 code units that names are worked on in. Callers convert once, at
// their edge, and only through these functions.
//
//     utf8_to_utf16("PÉREZ", out)  ->  true, out = u"PÉREZ" (5 units)
//     utf8_to_utf16("P\xC9REZ", out) -> false: not UTF-8
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "utf16.h"

namespace casing {

// Decodes the one well-formed UTF-8 character that `utf8` starts with into
// `c`, and returns how many bytes it takes; 0 when `utf8` starts with none.
std::size_t decode_character(std::string_view utf8, char32_t& c);

// The character of `utf8` at `at`, advancing `at` past it, for text that may
// hold lone surrogates in their three-byte form (WTF-8), which it takes as
// they are. Anything else that is not well-formed reads as U+FFFD: a byte
// that begins no sequence, or the bytes of a sequence up to one that does not
// continue it, or an overlong or too large one. When the text ends inside a
// sequence, sets `cut` and leaves `at` where it was.
char32_t next_wtf8_code_point(std::string_view utf8, std::size_t& at, bool& cut);

// Where the last character of `utf8` begins when the text ends before that
// character does and what there is of it could still become a well-formed
// character; utf8.size() otherwise.
std::size_t start_of_cut_character(std::string_view utf8);

// Whether `utf8` is well-formed UTF-8, as utf8_to_utf16 takes it.
bool is_well_formed_utf8(std::string_view utf8);

// Replaces `out` with the UTF-16 form of `utf8`. Returns false, leaving `out`
// unspecified, when `utf8` is not well-formed UTF-8 (overlong forms, encoded
// surrogates, values past U+10FFFF and truncated sequences included). A
// character outside the BMP becomes a surrogate pair.
bool utf8_to_utf16(std::string_view utf8, std::u16string& out);

// The same into `out`, which must have room for utf8.size() code units (never
// fewer are needed); `units` tells how many were written.
bool utf8_into_utf16(std::string_view utf8, std::span<char16_t> out, std::size_t& units);

// Text as Qt's QString::fromUtf8 decodes it, for text that must be taken
// whatever its bytes: a byte-order mark at the start is dropped, and every
// byte of a sequence that is not well-formed UTF-8 becomes U+FFFD.
std::u16string utf8_to_utf16_replacing(std::string_view utf8);
// The same into `out`, whose room is kept.
void utf8_to_utf16_replacing(std::string_view utf8, std::u16string& out);

// The UTF-8 form of a lone surrogate, which no strict reader accepts: U+FFFD,
// or "?" as Qt's QString::toUtf8 writes it.
inline constexpr std::string_view lone_surrogate_replacement = "\xEF\xBF\xBD";
inline constexpr std::string_view lone_surrogate_question_mark = "?";

// Appends the UTF-8 form of `utf16` to `out`; a lone surrogate becomes
// `lone_surrogate`.
void append_utf8(std::u16string_view utf16, std::string& out,
                 std::string_view lone_surrogate = lone_surrogate_replacement);

std::string utf16_to_utf8(std::u16string_view utf16,
                          std::string_view lone_surrogate = lone_surrogate_replacement);

// Appends the UTF-8 form of the value `c` below 0x110000. A surrogate value
// takes its three-byte form, which strict UTF-8 readers refuse.
void append_code_point(char32_t c, std::string& out);

}  // namespace casing
