// Which characters a message may show as themselves, by the Unicode tables.
#pragma once

namespace casing {

// Whether `c`, printed alone, shows as something a reader can see and tell
// apart: a letter, digit, punctuation mark or symbol. Spaces of every width,
// control and format characters (U+200B, U+FEFF), combining marks,
// surrogate halves, private-use and unassigned code points do not.
bool is_visible_alone(char32_t c);

}  // namespace casing
