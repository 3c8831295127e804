// The four letters that open a key, taken from the cleaned-up name parts.
#pragma once

#include <string>
#include <variant>

#include "compute_key.h"
#include "name_cleanup.h"

namespace keycalc {

// The prefix of cleaned-up name parts (Am never empty): up to four letters,
// with an inconvenient word defused by an "X" in second place and every "Ñ"
// written as "X". Fails only when the paternal surname's first vowel after its
// first letter lies past position 32767.
std::variant<std::u16string, EmptyKey> build_prefix(const NameParts& parts);

}  // namespace keycalc
