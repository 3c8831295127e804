// Accent folding, asked for on the command line: "GONZÁLEZ" -> "GONZALEZ",
// "MÜLLER" -> "MULLER", while "NÚÑEZ" -> "NUÑEZ" keeps its Ñ.
#pragma once

#include <string>
#include <string_view>

namespace casing {

// Removes accents and diaereses from letters (Á->A, É->E, Ü->U, à->a, and a letter followed by a
// combining accent likewise); Ñ/ñ (precomposed, or N + U+0303) stays Ñ/ñ; nothing else changes.
//
// A letter here is a letter of the Latin script, and its marks are the
// nonspacing marks of its canonical decomposition and those that follow it:
// all of them go (the ring of Å, the cedilla of Ç and the caron of Š too),
// except the tilde of N or n, which comes back as the one character Ñ or ñ.
// Latin letters without a canonical decomposition (Ø, Ł, Æ, ß) stay as they
// are; so do letters of other scripts, characters with only a compatibility
// decomposition ("ﬁ", "½", "²", full-width letters), marks that follow
// anything but a Latin letter, and lone surrogate halves. The text never
// grows.
void fold_accents_in_place(std::u16string& text);

// Whether fold_accents_in_place would change `text`, found without building
// the folded text.
bool folding_changes(std::u16string_view text);

}  // namespace casing
