#include "outcome_words.h"

#include <array>
#include <string>

#include "digits.h"
#include "invisible_space.h"
#include "utf8.h"
#include "visible_character.h"

namespace words {
namespace {

// In the order of keycalc::NamePart.
constexpr std::array<std::string_view, 3> part_labels = {"del apellido paterno",
                                                         "del apellido materno", "del nombre"};

// The character of `units` (one code unit, or a surrogate pair), appended.
void append_character_text(std::string& out, std::u16string_view units) {
    const char32_t c = casing::code_point_at(units, 0);
    out += "U+";
    append_digits(out, static_cast<std::uint32_t>(c), 4, Hex::Capitals);
    // A lone surrogate half is no character, and is not visible either.
    if (casing::is_visible_alone(c)) {
        out += " «";
        casing::append_utf8(units, out);
        out += "»";
    }
}

// "el carácter U+00C9 «É» en la posición 2 del apellido paterno".
void append_uncoded_character_text(std::string& out, const keycalc::EmptyKey& failure,
                                   const std::optional<convert::UncodedCharacter>& uncoded) {
    if (!uncoded) {
        // Only when the names are not those of the computation.
        out += "un carácter en la posición ";
        out += std::to_string(failure.position);
        out += " del nombre completo";
        return;
    }
    out += "el carácter ";
    append_character_text(out, uncoded->units);
    out += " en la posición ";
    out += std::to_string(uncoded->position);
    out += ' ';
    out += part_labels[static_cast<std::size_t>(uncoded->part)];
}

}  // namespace

std::string character_text(std::u16string_view units) {
    std::string text;
    append_character_text(text, units);
    return text;
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

void append_failure_text(std::string& out, const keycalc::EmptyKey& failure,
                         std::u16string_view paternal, std::u16string_view maternal,
                         std::u16string_view given) {
    append_failure_text(out, failure,
                        convert::uncoded_character(failure, paternal, maternal, given));
}

void append_failure_text(std::string& out, const keycalc::EmptyKey& failure,
                         const std::optional<convert::UncodedCharacter>& uncoded) {
    using keycalc::FailureReason;
    out += "sin clave: ";
    switch (failure.reason) {
        case FailureReason::UncodedCharacter:
            append_uncoded_character_text(out, failure, uncoded);
            out += " no tiene valor en la tabla";
            return;
        case FailureReason::SumBelow100:
            out += "la suma de la homoclave es menor que 100";
            return;
        case FailureReason::SumOverflow:
            out += "la suma de la homoclave no cabe en un entero de 32 bits";
            return;
        case FailureReason::VowelPositionOverflow:
            out += "la primera vocal del apellido paterno está más allá de la posición 32767";
            return;
    }
}

std::string no_key_text(const convert::PersonKey& key, Naming naming) {
    if (const auto* refused = std::get_if<keycalc::NoKey>(&key.outcome)) {
        return refusal_text(refused->test);
    }
    std::string text;
    if (const auto* failed = std::get_if<keycalc::EmptyKey>(&key.outcome)) {
        append_failure_text(text, *failed, key.uncoded);
        if (key.folding_helps) text += fold_accents_hint(naming);
    }
    return text;
}

std::string_view date_error_text(keycalc::DateError error) {
    using keycalc::DateError;
    switch (error) {
        case DateError::NotADate:
            return "no tiene una forma de fecha conocida (AAAA-MM-DD o DD/MM/AAAA)";
        case DateError::NoSuchDay:
            return "no existe en el calendario";
        case DateError::OutOfRange: {
            // A spreadsheet's day number may name a day past the last too.
            static const std::string outside = "está fuera de las fechas admitidas, del " +
                                               date_text(keycalc::supported_birth_dates.first) +
                                               " al " +
                                               date_text(keycalc::supported_birth_dates.last);
            return outside;
        }
        case DateError::TwoDigitYear:
            return "tiene el año con dos cifras, que es ambiguo: escríbalo con cuatro";
        case DateError::MonthFirst:
            return "tiene el mes antes del día: escriba primero el día (DD/MM/AAAA)";
        case DateError::February29Of1900:
            return "es el día 60 de las hojas de cálculo, un 29 de febrero de 1900 que no existió";
    }
    return {};
}

std::string_view curp_error_text(keycalc::CurpError error) {
    switch (error) {
        case keycalc::CurpError::BadShape:
            return "la CURP no tiene la forma de una CURP";
        case keycalc::CurpError::NoSuchDay:
            return "la fecha de la CURP no existe en el calendario";
    }
    return {};
}

std::string_view mark_fold_accents_check_box() {
    static const std::string text = "marque «" + std::string(fold_accents_check_box) + "»";
    return text;
}

std::string_view fold_accents_hint(Naming choice) {
    static const std::string check_box =
        "; " + std::string(mark_fold_accents_check_box()) + " y se quitan los acentos";
    return choice == Naming::Page ? std::string_view(check_box)
                                  : "; con --fold-accents se quitan los acentos";
}

}  // namespace words
