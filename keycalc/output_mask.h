// The output mask "@@@@-@@@@@@-@@@" through which a key is shown to people.
#pragma once

#include <string>
#include <string_view>

namespace keycalc {

// Places the characters of `key` right-aligned into the mask's 13 placeholders
// (groups of 4, 6 and 3), padding on the left with spaces; the hyphens stay at
// positions 5 and 12 and the result always has 15 characters. An empty key
// gives the blank mask "    -      -   ". Only the last 13 characters of a
// longer text are shown.
std::u16string apply_output_mask(std::u16string_view key);

}  // namespace keycalc
