#include "outcome_text.h"

#include <cstdio>

#include "utf8.h"

namespace rfc_cli {
namespace {

bool is_surrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool is_control(char16_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

}  // namespace

std::string quoted_character(char16_t c) {
    if (is_surrogate(c) || is_control(c)) {
        char code[8];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
        return code;
    }
    std::string quoted(1, '"');
    quoted += utf16_to_utf8(std::u16string_view(&c, 1));
    quoted += '"';
    return quoted;
}

std::string refusal_text(keycalc::RefusalTest test) {
    using keycalc::RefusalTest;
    std::string text = "entrada rechazada: ";
    switch (test) {
        case RefusalTest::GivenNamesBlank:
            return text + "el nombre está vacío o solo tiene espacios";
        case RefusalTest::SurnamesBlank:
            return text + "los dos apellidos están vacíos o solo tienen espacios";
        case RefusalTest::DateInvalid:
            return text + "la fecha de nacimiento no existe en el calendario";
    }
    return text;
}

std::string failure_text(const keycalc::EmptyKey& failure) {
    using keycalc::FailureReason;
    std::string text = "sin clave: ";
    switch (failure.reason) {
        case FailureReason::UncodedCharacter:
            return text + "el carácter " + quoted_character(failure.character) + " (posición " +
                   std::to_string(failure.position) +
                   " del nombre completo) no tiene valor en la tabla";
        case FailureReason::SumBelow100:
            return text + "la suma de la homoclave es menor que 100";
        case FailureReason::SumOverflow:
            return text + "la suma de la homoclave no cabe en un entero de 32 bits";
        case FailureReason::VowelPositionOverflow:
            return text +
                   "la primera vocal del apellido paterno está más allá de la posición 32767";
    }
    return text;
}

}  // namespace rfc_cli
