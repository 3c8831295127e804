#include "names.h"

#include <variant>

#include "fold_accents.h"
#include "invisible_space.h"
#include "upper_case.h"
#include "utf16.h"

namespace convert {
namespace {

std::u16string folded(std::u16string_view name) {
    std::u16string text(name);
    casing::fold_accents_in_place(text);
    return text;
}

std::u16string_view part_of(keycalc::NamePart part, std::u16string_view paternal,
                            std::u16string_view maternal, std::u16string_view given) {
    const std::u16string_view parts[] = {paternal, maternal, given};
    return parts[static_cast<std::size_t>(part)];
}

}  // namespace

std::optional<UncodedCharacter> uncoded_character(const keycalc::EmptyKey& failure,
                                                  std::u16string_view paternal,
                                                  std::u16string_view maternal,
                                                  std::u16string_view given) {
    if (failure.reason != keycalc::FailureReason::UncodedCharacter) return std::nullopt;
    const std::u16string_view text = part_of(failure.part, paternal, maternal, given);
    const std::size_t offset = failure.part_position - 1;
    if (failure.part_position == 0 || offset >= text.size()) return std::nullopt;
    std::size_t position = 1;
    for (std::size_t i = 0; i < offset; i += casing::character_units(text, i)) ++position;
    return UncodedCharacter{
        failure.part, std::u16string(text.substr(offset, casing::character_units(text, offset))),
        casing::code_point_at(text, offset), position};
}

void prepare_name(std::u16string& text, bool fold) {
    keycalc::drop_invisible_spaces_at_edges(text);
    casing::upper_case_in_place(text);
    if (fold) casing::fold_accents_in_place(text);
}

bool folding_would_help(const keycalc::EmptyKey& failure, std::u16string_view paternal,
                        std::u16string_view maternal, std::u16string_view given,
                        std::chrono::year_month_day birth) {
    if (failure.reason != keycalc::FailureReason::UncodedCharacter) return false;
    const std::u16string_view parts[] = {paternal, maternal, given};
    const std::u16string_view part = part_of(failure.part, paternal, maternal, given);
    const std::size_t offset = failure.part_position - 1;
    if (failure.part_position == 0 || offset >= part.size()) return false;
    // Names that folding leaves as they are give the same outcome again; only
    // the parts that folding changes are copied to be folded.
    std::u16string folded_texts[3];
    std::u16string_view folded_parts[3];
    bool any_changes = false;
    for (std::size_t i = 0; i < 3; ++i) {
        folded_parts[i] = parts[i];
        if (!casing::folding_changes(parts[i])) continue;
        any_changes = true;
        folded_texts[i] = folded(parts[i]);
        folded_parts[i] = folded_texts[i];
    }
    if (!any_changes) return false;

    const keycalc::KeyOutcome again =
        keycalc::Compute_Key(folded_parts[0], folded_parts[1], folded_parts[2], birth);
    if (std::holds_alternative<keycalc::NoKey>(again)) return false;
    const auto* still = std::get_if<keycalc::EmptyKey>(&again);
    if (still == nullptr || still->reason != keycalc::FailureReason::UncodedCharacter) return true;
    if (still->part != failure.part) return still->part > failure.part;
    // Folding works letter by letter, looking only forward, so the folded part
    // up to the failing character is the folded form of the part up to it.
    const std::size_t end = offset + casing::character_units(part, offset);
    return still->part_position > folded(part.substr(0, end)).size();
}

bool fold_hint_applies(const keycalc::KeyOutcome& outcome, bool folded,
                       std::u16string_view paternal, std::u16string_view maternal,
                       std::u16string_view given, std::chrono::year_month_day birth) {
    const auto* failed = std::get_if<keycalc::EmptyKey>(&outcome);
    return !folded && failed && folding_would_help(*failed, paternal, maternal, given, birth);
}

}  // namespace convert
