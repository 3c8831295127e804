// A character in the form names are compared in, regardless of how they are
// written: "Ｎｏｍｂｒｅ" and "Nombre", "ﬁ" and "fi", "ª" and "a", "É" and
// "e" followed by a combining acute accent.
#pragma once

#include <string>

namespace casing {

// Appends to `out` the compatibility decomposition (NFKD) of `c`, case
// folded, for the characters of Latin text: the Latin blocks, the combining
// marks, general punctuation, superscripts, letterlike symbols, number
// forms, the Latin ligatures and the fullwidth forms. Any other BMP
// character comes as its simple case folding when it has no decomposition,
// else as it is; characters past the BMP come as they are. `c` is at most
// U+10FFFF.
void append_compatibility_fold(char32_t c, std::u16string& out);

}  // namespace casing
