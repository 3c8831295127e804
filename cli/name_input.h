// Names as the command line hands them to the key computation: upper-cased by
// the window's rule and, on request, without accents.
//
//     "gonzález" -> "GONZÁLEZ"; with folding -> "GONZALEZ"
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "compute_key.h"
#include "naming.h"

namespace rfc_cli {

// Drops the invisible spaces at its edges, upper-cases by the window's rule, folds if `fold`.
void prepare_name(std::u16string& text, bool fold);

// Whether the failure is an uncoded character that accent folding would have coded.
// `paternal`, `maternal`, `given` and `birth` are what the failed computation
// was given (prepared without folding): the same names folded are computed
// again, and folding helps when that computation gets past the character, be
// it to a key or to a later failure.
bool folding_would_help(const keycalc::EmptyKey& failure, std::u16string_view paternal,
                        std::u16string_view maternal, std::u16string_view given,
                        std::chrono::year_month_day birth);

// The hint that follows a failure message: words::fold_accents_hint(choice)
// when the names were not `folded` and folding_would_help, else nothing.
std::string_view fold_hint(const keycalc::KeyOutcome& outcome, bool folded,
                           std::u16string_view paternal, std::u16string_view maternal,
                           std::u16string_view given, std::chrono::year_month_day birth,
                           words::Naming choice);

}  // namespace rfc_cli
