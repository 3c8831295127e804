#include "person.h"

#include "utf8.h"

namespace convert {

std::variant<TypedPerson, InputFault> read_typed_person(std::span<const std::string_view, 4> fields,
                                                        bool fold_accents) {
    TypedPerson person;
    for (std::size_t i = 0; i < person.names.size(); ++i) {
        if (!casing::utf8_to_utf16(fields[i], person.names[i])) {
            return NameNotUtf8{static_cast<keycalc::NamePart>(i)};
        }
        prepare_name(person.names[i], fold_accents);
    }
    const std::string_view date_text = fields[3];
    const keycalc::BirthDate date = keycalc::parse_birth_date(date_text);
    if (const auto* error = std::get_if<keycalc::DateError>(&date)) {
        // A number copied out of a spreadsheet's date cell: which day it
        // would be there, so that it can be typed as a date.
        const keycalc::BirthDate as_serial =
            keycalc::parse_birth_date(date_text, {.spreadsheet_serials = true});
        if (const auto* day = std::get_if<std::chrono::year_month_day>(&as_serial)) {
            return UnreadableDate{*error, *day};
        }
        // 60, which spreadsheets count as a day, is none.
        const bool phantom_day =
            std::get<keycalc::DateError>(as_serial) == keycalc::DateError::February29Of1900;
        return UnreadableDate{phantom_day ? keycalc::DateError::February29Of1900 : *error, {}};
    }
    person.birth = std::get<std::chrono::year_month_day>(date);
    return person;
}

PersonKey key_of(const TypedPerson& person, bool folded) {
    const auto& [paternal, maternal, given] = person.names;
    PersonKey key{keycalc::Compute_Key(paternal, maternal, given, person.birth), {}, false};
    if (const auto* failed = std::get_if<keycalc::EmptyKey>(&key.outcome)) {
        key.uncoded = uncoded_character(*failed, paternal, maternal, given);
        key.folding_helps =
            fold_hint_applies(key.outcome, folded, paternal, maternal, given, person.birth);
    }
    return key;
}

ExitStatus key_exit_status(const keycalc::KeyOutcome& outcome) {
    if (std::holds_alternative<keycalc::NoKey>(outcome)) return ExitStatus::Refused;
    if (std::holds_alternative<keycalc::EmptyKey>(outcome)) return ExitStatus::NoKey;
    return ExitStatus::Ok;
}

}  // namespace convert
