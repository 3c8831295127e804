// What people are told, in Spanish, when a person gives no key, and why a
// date of birth could not be read:
//
//     sin clave: el carácter U+00C9 «É» en la posición 2 del apellido paterno no tiene valor en la
//     tabla
//     entrada rechazada: el nombre está vacío o solo tiene espacios
//     la fecha no existe en el calendario
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "birth_date.h"
#include "compute_key.h"
#include "curp_date.h"
#include "names.h"
#include "naming.h"
#include "person.h"

namespace words {

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
// Appended to `out`: a batch writes it into one text, reused, for every row
// that gets no key.
void append_failure_text(std::string& out, const keycalc::EmptyKey& failure,
                         std::u16string_view paternal, std::u16string_view maternal,
                         std::u16string_view given);
// The same, with the uncoded character already placed: `uncoded` is what
// convert::uncoded_character gave for `failure`.
void append_failure_text(std::string& out, const keycalc::EmptyKey& failure,
                         const std::optional<convert::UncodedCharacter>& uncoded);

// Why `key` is no key: refusal_text, or append_failure_text's followed by
// fold_accents_hint when folding helps.
std::string no_key_text(const convert::PersonKey& key, Naming naming);

// The page's check box as the hints name it.
inline constexpr std::string_view fold_accents_check_box = "Quitar acentos y diéresis";

// "marque «Quitar acentos y diéresis»", which the hints and the batch's
// summary say on the page.
std::string_view mark_fold_accents_check_box();

// Follows a failure when folding the accents would have coded the character:
// "; con --fold-accents se quitan los acentos".
std::string_view fold_accents_hint(Naming choice);

// Why a text is no date of birth, to follow "la fecha ...".
std::string_view date_error_text(keycalc::DateError error);

// Why a CURP gives no date, e.g. "la CURP no tiene la forma de una CURP".
std::string_view curp_error_text(keycalc::CurpError error);

}  // namespace words
