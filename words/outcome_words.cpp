#include "outcome_words.h"

#include <array>

#include "digits.h"
#include "invisible_space.h"
#include "utf8.h"
#include "visible_character.h"

namespace words {
namespace {

// In the order of keycalc::NamePart.
constexpr std::array<std::string_view, 3> part_labels = {"del apellido paterno",
                                                         "del apellido materno", "del nombre"};

// The name part as the computation was given it.
std::u16string_view part_text(keycalc::NamePart part, std::u16string_view paternal,
                              std::u16string_view maternal, std::u16string_view given) {
    switch (part) {
        case keycalc::NamePart::Paternal:
            return paternal;
        case keycalc::NamePart::Maternal:
            return maternal;
        case keycalc::NamePart::Given:
            return given;
    }
    return {};
}

// "el carácter U+00C9 «É» en la posición 2 del apellido paterno": the
// position counts characters, a surrogate pair as one.
std::string uncoded_character_text(const keycalc::EmptyKey& failure, std::u16string_view paternal,
                                   std::u16string_view maternal, std::u16string_view given) {
    const std::u16string_view text = part_text(failure.part, paternal, maternal, given);
    const std::size_t offset = failure.part_position - 1;
    if (failure.part_position == 0 || offset >= text.size()) {
        // Only when the names are not those of the computation.
        return "un carácter en la posición " + std::to_string(failure.position) +
               " del nombre completo";
    }
    std::size_t position = 1;
    for (std::size_t i = 0; i < offset; i += delimited::character_units(text, i)) ++position;
    std::string out = "el carácter ";
    out.reserve(96);  // once, rather than at each piece
    out.append(character_text(text.substr(offset, delimited::character_units(text, offset))))
        .append(" en la posición ")
        .append(std::to_string(position))
        .append(" ")
        .append(part_labels[static_cast<std::size_t>(failure.part)]);
    return out;
}

}  // namespace

std::string character_text(std::u16string_view units) {
    const char32_t c = delimited::code_point_at(units, 0);
    std::string text = "U+";
    append_digits(text, static_cast<std::uint32_t>(c), 4, Hex::Capitals);
    // A lone surrogate half is no character, and is not visible either.
    if (casing::is_visible_alone(c)) text += " «" + delimited::utf16_to_utf8(units) + "»";
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

std::string failure_text(const keycalc::EmptyKey& failure, std::u16string_view paternal,
                         std::u16string_view maternal, std::u16string_view given) {
    using keycalc::FailureReason;
    std::string text = "sin clave: ";
    switch (failure.reason) {
        case FailureReason::UncodedCharacter:
            text.append(uncoded_character_text(failure, paternal, maternal, given))
                .append(" no tiene valor en la tabla");
            return text;
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

std::variant<std::chrono::year_month_day, std::string> cell_birth_date(
    std::string_view cell, bool from_curp, keycalc::DateOptions options) {
    if (from_curp) {
        const auto date = keycalc::birth_date_from_curp(keycalc::trim_spaces(cell, " \t"));
        if (const auto* error = std::get_if<keycalc::CurpError>(&date)) {
            return std::string(curp_error_text(*error));
        }
        return std::get<std::chrono::year_month_day>(date);
    }
    const keycalc::BirthDate date = keycalc::parse_birth_date(cell, options);
    if (const auto* error = std::get_if<keycalc::DateError>(&date)) {
        return "la fecha " + std::string(date_error_text(*error));
    }
    return std::get<std::chrono::year_month_day>(date);
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
