#include "outcome_text.h"

#include <array>
#include <cstdio>

#include "utf8.h"
#include "visible_character.h"

namespace rfc_cli {
namespace {

bool is_high_surrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// A character of a name: its code units, and its 1-based position in
// characters (code points) within the name.
struct NamedCharacter {
    std::u16string_view units;
    std::string_view name;  // "del apellido paterno", ...
    std::size_t position = 0;
};

// Finds the character at 0-based code unit `offset` of the full name
// "paternal maternal given", the way the computation joins the three names.
NamedCharacter locate(std::size_t offset, std::u16string_view paternal,
                      std::u16string_view maternal, std::u16string_view given) {
    const std::array<std::pair<std::u16string_view, std::string_view>, 3> names = {{
        {paternal, "del apellido paterno"},
        {maternal, "del apellido materno"},
        {given, "del nombre"},
    }};
    for (const auto& [text, label] : names) {
        if (offset < text.size()) {
            std::size_t position = 1;
            for (std::size_t i = 0; i < offset; ++i) {
                if (!(is_low_surrogate(text[i]) && i > 0 && is_high_surrogate(text[i - 1]))) {
                    ++position;
                }
            }
            const bool pair = is_high_surrogate(text[offset]) && offset + 1 < text.size() &&
                              is_low_surrogate(text[offset + 1]);
            return {text.substr(offset, pair ? 2 : 1), label, position};
        }
        // The name and the space that follows it.
        if (offset == text.size()) return {};
        offset -= text.size() + 1;
    }
    return {};
}

char32_t code_point(std::u16string_view units) {
    if (units.size() == 2) {
        return 0x10000 + ((char32_t{units[0]} - 0xD800) << 10) + (char32_t{units[1]} - 0xDC00);
    }
    return units.front();
}

}  // namespace

std::string character_text(std::u16string_view units) {
    const char32_t c = code_point(units);
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    std::string text = code;
    // A lone surrogate half is no character, and is not visible either.
    if (casing::is_visible_alone(c)) text += " «" + delimited::utf16_to_utf8(units) + "»";
    return text;
}

namespace {

std::string uncoded_character_text(const keycalc::EmptyKey& failure, std::u16string_view paternal,
                                   std::u16string_view maternal, std::u16string_view given) {
    const NamedCharacter found = failure.position == 0
                                     ? NamedCharacter{}
                                     : locate(failure.position - 1, paternal, maternal, given);
    if (found.units.empty()) {
        // Only when the names are not those of the computation.
        return "un carácter en la posición " + std::to_string(failure.position) +
               " del nombre completo";
    }
    return "el carácter " + character_text(found.units) + " en la posición " +
           std::to_string(found.position) + " " + std::string(found.name);
}

}  // namespace

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

std::string failure_text(const keycalc::EmptyKey& failure, std::u16string_view paternal,
                         std::u16string_view maternal, std::u16string_view given) {
    using keycalc::FailureReason;
    std::string text = "sin clave: ";
    switch (failure.reason) {
        case FailureReason::UncodedCharacter:
            return text + uncoded_character_text(failure, paternal, maternal, given) +
                   " no tiene valor en la tabla";
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
