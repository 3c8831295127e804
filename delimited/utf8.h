// Conversion between UTF-8, the text of arguments and of most files, and the
// UTF-16 code units that names are worked on in. Callers convert once, at
// their edge, and only through these functions.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace delimited {

// Replaces `out` with the UTF-16 form of `utf8`. Returns false, leaving `out`
// unspecified, when `utf8` is not well-formed UTF-8 (overlong forms, encoded
// surrogates, values past U+10FFFF and truncated sequences included). A
// character outside the BMP becomes a surrogate pair.
bool utf8_to_utf16(std::string_view utf8, std::u16string& out);

// The same into `out`, which must have room for utf8.size() code units (never
// fewer are needed); `units` tells how many were written.
bool utf8_into_utf16(std::string_view utf8, std::span<char16_t> out, std::size_t& units);

// Appends the UTF-8 form of `utf16` to `out`; a lone surrogate becomes U+FFFD.
void append_utf8(std::u16string_view utf16, std::string& out);

std::string utf16_to_utf8(std::u16string_view utf16);

// Appends the UTF-8 form of the value `c` below 0x110000. A surrogate value
// takes its three-byte form, which strict UTF-8 readers refuse.
void append_code_point(char32_t c, std::string& out);

}  // namespace delimited
