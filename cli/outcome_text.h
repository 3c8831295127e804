// What the command line tells people, in Spanish, when there is no key:
//
//     sin clave: el carácter "É" (posición 2 del nombre completo) no tiene valor en la tabla
#pragma once

#include <string>

#include "compute_key.h"

namespace rfc_cli {

// The character as it looks, in quotes; as U+XXXX when it would not show, or
// is half of a character outside the BMP.
std::string quoted_character(char16_t c);

// "entrada rechazada: ..." naming the refusal test.
std::string refusal_text(keycalc::RefusalTest test);

// "sin clave: ..." naming why the computation failed.
std::string failure_text(const keycalc::EmptyKey& failure);

}  // namespace rfc_cli
