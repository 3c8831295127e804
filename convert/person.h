// A person as typed in four fields, PATERNO MATERNO NOMBRES FECHA, read the
// one way that `rfc key`, `rfc check` and the page read them, and the key
// that person gets, with what a front end says of it as values.
//
//     {"pérez", "lopez", "juan", "1980-01-15"}  ->  PÉREZ / LOPEZ / JUAN, 1980-01-15
//         -> EmptyKey: the É, at position 2 of the paternal surname; folding helps
//     {"perez", "lopez", "juan", "29235"}       ->  UnreadableDate: NotADate, which a
//                                                  spreadsheet's date column reads as 1980-01-15
#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "birth_date.h"
#include "compute_key.h"
#include "exit_status.h"
#include "names.h"

namespace convert {

struct TypedPerson {
    // paternal, maternal, given: in UTF-16, prepared by prepare_name
    std::array<std::u16string, 3> names;
    std::chrono::year_month_day birth;
};

// Why typed fields are no input to compute from.
struct KeyNotUtf8 {};
struct NameNotUtf8 {
    keycalc::NamePart part;
};
struct UnreadableDate {
    keycalc::DateError error;
    // A bare number that a spreadsheet's date column would read as this day:
    // typed, it is refused all the same, as it is more likely something else.
    std::optional<std::chrono::year_month_day> spreadsheet_day;
};
using InputFault = std::variant<KeyNotUtf8, NameNotUtf8, UnreadableDate>;

// Reads the four `fields`: names in UTF-8, prepared by prepare_name (folded
// when `fold_accents`); the date as keycalc::parse_birth_date reads it. The
// first fault found, in the order of the fields, is the answer otherwise:
// never KeyNotUtf8.
std::variant<TypedPerson, InputFault> read_typed_person(std::span<const std::string_view, 4> fields,
                                                        bool fold_accents);

// The key of a typed person, and what the front ends say beside a failure.
struct PersonKey {
    keycalc::KeyOutcome outcome = keycalc::Key{};
    // For an uncoded character: where it stands in the names.
    std::optional<UncodedCharacter> uncoded;
    // The outcome is a failure that folding the accents would get past
    // (fold_hint_applies).
    bool folding_helps = false;
};

// Computes the key of `person`, whose names were folded when `folded`.
PersonKey key_of(const TypedPerson& person, bool folded);

// How `rfc key` ends for `outcome`: Ok, Refused or NoKey.
ExitStatus key_exit_status(const keycalc::KeyOutcome& outcome);

}  // namespace convert
