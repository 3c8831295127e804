// The two numeric codings that close a key: the homoclave, two characters
// computed from the full name, and the check character over the first twelve
// characters of the key.
//
// Worked example: the full name "A  A" codes as the digit text 011000011,
// whose digit-pair sum is 1*1 + 11*1 + 10*0 + 0 + 0 + 0 + 1*1 + 11*1 = 24;
// a sum under 100 has no homoclave. The twelve characters PELJ8001152A have
// the check sum 1056, which 11 divides, so their check character is "0".
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "compute_key.h"

namespace keycalc {

// The two homoclave characters of `full_name`, or why there are none: a
// character without a value (reported with its 1-based position), a sum under
// 100, or a sum past the signed 32-bit range.
std::variant<std::u16string, EmptyKey> homoclave(std::u16string_view full_name);

// The check character of the first twelve characters of `twelve`: a digit or
// "A". The empty text when `twelve` has 10 characters or fewer. Never fails.
std::u16string check_character(std::u16string_view twelve);

// The check symbol, a digit or "A", of the first twelve characters of
// `characters`; positions past its end add nothing. Both a computed key and a
// key being examined get their check character from here.
char16_t check_symbol(std::u16string_view characters);

// Whether `c` can stand in a homoclave: "1" to "9", "A" to "N", "P" to "Z".
bool is_homoclave_symbol(char16_t c);

}  // namespace keycalc
