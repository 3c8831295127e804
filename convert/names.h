// Names as the command line and the files hand them to the key computation:
// upper-cased by the window's rule and, on request, without accents; and
// whether folding the accents would have given what a failure did not.
//
//     "gonzález" -> "GONZÁLEZ"; with folding -> "GONZALEZ"
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "compute_key.h"

namespace convert {

// Drops the invisible spaces at its edges, upper-cases by the window's rule, folds if `fold`.
void prepare_name(std::u16string& text, bool fold);

// The character a computation found uncoded, placed as people count: in
// characters of its name part, a surrogate pair as one.
//
//     "PÉREZ" / "LOPEZ" / "JUAN"  ->  Paternal, u"É", U+00C9, position 2
struct UncodedCharacter {
    keycalc::NamePart part;
    std::u16string units;  // one code unit, or a surrogate pair
    char32_t code_point;   // a lone surrogate half as it is
    std::size_t position;  // from 1
};

// Where the uncoded character of `failure` stands in the names the failed
// computation was given; nothing for another failure, or for names that are
// not those of the computation (the part is shorter than its position).
std::optional<UncodedCharacter> uncoded_character(const keycalc::EmptyKey& failure,
                                                  std::u16string_view paternal,
                                                  std::u16string_view maternal,
                                                  std::u16string_view given);

// Whether the failure is an uncoded character that accent folding would have coded.
// `paternal`, `maternal`, `given` and `birth` are what the failed computation
// was given (prepared without folding): the same names folded are computed
// again, and folding helps when that computation gets past the character, be
// it to a key or to a later failure.
bool folding_would_help(const keycalc::EmptyKey& failure, std::u16string_view paternal,
                        std::u16string_view maternal, std::u16string_view given,
                        std::chrono::year_month_day birth);

// Whether a failure message is to be followed by the hint to fold the
// accents: the outcome is a failure, the names were not `folded`, and
// folding_would_help.
bool fold_hint_applies(const keycalc::KeyOutcome& outcome, bool folded,
                       std::u16string_view paternal, std::u16string_view maternal,
                       std::u16string_view given, std::chrono::year_month_day birth);

}  // namespace convert
