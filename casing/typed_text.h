// Names as people type them, in UTF-8, made ready for keycalc::Compute_Key, and
// the key's text back in UTF-8: what a program that holds UTF-8 text needs
// around the key computation, so that it gets the key the window shows.
//
//     upper_case_utf8("muñoz")  ->  u"MUÑOZ"
#pragma once

#include <string>
#include <string_view>

namespace casing {

// Decodes `typed` from UTF-8 and upper-cases it by the rule of upper_case.h.
// An invalid byte sequence becomes U+FFFD, which no key codes, so such a name
// gets no key rather than a wrong one.
std::u16string upper_case_utf8(std::string_view typed);

// `text` in UTF-8; an unpaired surrogate, which no text decoded above holds,
// becomes "?".
std::string to_utf8(std::u16string_view text);

}  // namespace casing
