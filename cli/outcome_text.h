// What the command line tells people, in Spanish, when there is no key:
//
//     sin clave: el carácter U+00C9 «É» en la posición 2 del apellido paterno no tiene valor en la
//     tabla sin clave: el carácter U+00A0 en la posición 6 del apellido materno no tiene valor en
//     la tabla
#pragma once

#include <string>
#include <string_view>

#include "compute_key.h"

namespace rfc_cli {

// A character as messages show it: "U+00C9 «É»", or just "U+00A0" for one that
// would not show. `units` is one code unit, or a surrogate pair.
std::string character_text(std::u16string_view units);

// "entrada rechazada: ..." naming the refusal test.
std::string refusal_text(keycalc::RefusalTest test);

// "sin clave: ..." naming why the computation failed. `paternal`, `maternal`
// and `given` are the names the computation was given: an uncoded character
// is named by its code point (a surrogate pair as the one character it
// makes), shown in quotes only when it is visible, and placed by the name it
// is in and its position there in characters.
std::string failure_text(const keycalc::EmptyKey& failure, std::u16string_view paternal,
                         std::u16string_view maternal, std::u16string_view given);

}  // namespace rfc_cli
