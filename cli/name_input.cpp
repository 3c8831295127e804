#include "name_input.h"

#include <variant>

#include "fold_accents.h"
#include "upper_case.h"

namespace rfc_cli {
namespace {

bool is_high_surrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

std::u16string folded(std::u16string_view name) {
    std::u16string text(name);
    casing::fold_accents_in_place(text);
    return text;
}

}  // namespace

void prepare_name(std::u16string& text, bool fold) {
    casing::upper_case_in_place(text);
    if (fold) casing::fold_accents_in_place(text);
}

bool folding_would_help(const keycalc::EmptyKey& failure, std::u16string_view paternal,
                        std::u16string_view maternal, std::u16string_view given,
                        std::chrono::year_month_day birth) {
    if (failure.reason != keycalc::FailureReason::UncodedCharacter) return false;
    // The failure's position counts code units of the full name "Ap Am Nm".
    std::u16string full_name(paternal);
    full_name.append(u" ").append(maternal).append(u" ").append(given);
    std::size_t end = failure.position;
    if (end == 0 || end > full_name.size()) return false;
    if (is_high_surrogate(full_name[end - 1]) && end < full_name.size() &&
        is_low_surrogate(full_name[end])) {
        ++end;
    }
    // Folding works letter by letter, looking only forward, so the folded text
    // up to the failing character is the folded form of the text up to it.
    std::u16string up_to_failure = full_name.substr(0, end);
    casing::fold_accents_in_place(up_to_failure);

    const keycalc::KeyOutcome again =
        keycalc::Compute_Key(folded(paternal), folded(maternal), folded(given), birth);
    if (std::holds_alternative<keycalc::NoKey>(again)) return false;
    const auto* still = std::get_if<keycalc::EmptyKey>(&again);
    return still == nullptr || still->reason != keycalc::FailureReason::UncodedCharacter ||
           still->position > up_to_failure.size();
}

}  // namespace rfc_cli
