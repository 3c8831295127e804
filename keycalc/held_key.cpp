#include "held_key.h"

#include <algorithm>
#include <string>
#include <variant>

#include "key_length.h"

namespace keycalc {
namespace {

// The kind that tells a held key from the computed key `computed` before any
// part is compared.
HeldKind kind_against(const KeyExamination& examination, std::u16string_view computed) {
    if (const auto* key = std::get_if<WellFormedKey>(&examination.verdict)) {
        if (is_generic(key->kind)) return HeldKind::Generic;
        // A computed key with a blank or empty fourth letter has 12
        // characters too, and is compared part by part.
        const auto compacted_length = static_cast<std::size_t>(
            std::count_if(computed.begin(), computed.end(), [](char16_t c) { return c != u' '; }));
        if (key->kind == KeyKind::LegalPerson && compacted_length == natural_key_length) {
            return HeldKind::LegalPerson;
        }
        return HeldKind::Comparable;
    }
    const auto& not_a_key = std::get<NotAKey>(examination.verdict);
    return not_a_key.fault == KeyFault::WithoutHomoclave ? HeldKind::WithoutHomoclave
                                                         : HeldKind::Comparable;
}

// The prefix and date of a key without homoclave against the computed key:
// the computed key's last three characters complete it, so those agree.
HeldKeyVerdict judge_without_homoclave(const KeyExamination& examination,
                                       std::u16string_view computed, std::u16string_view Ap,
                                       std::u16string_view Am, std::u16string_view Nm) {
    constexpr std::size_t completed_part = 3;  // homoclave and check character
    std::u16string completed(examination.key());
    if (computed.size() >= completed_part) {
        completed.append(computed.substr(computed.size() - completed_part));
    }
    const KeyComparison parts = compare_keys(completed, computed, Ap, Am, Nm);
    HeldKeyVerdict held{CheckVerdict::NotAKey, HeldKind::WithoutHomoclave, false, {}};
    held.enye_written_as_x = parts.enye_written_as_x;
    held.differing.prefix = !parts.prefix && !parts.enye_written_as_x;
    held.differing.date = !parts.date;
    return held;
}

}  // namespace

CheckLevel level_of(CheckVerdict verdict) {
    switch (verdict) {
        case CheckVerdict::Valid:
        case CheckVerdict::Agrees:
            return CheckLevel::Sound;
        case CheckVerdict::CheckFails:
        case CheckVerdict::HomoclaveDiffers:
            return CheckLevel::Doubtful;
        case CheckVerdict::Disagrees:
        case CheckVerdict::NotAKey:
            return CheckLevel::Wrong;
        case CheckVerdict::NoComputedKey:
        case CheckVerdict::NotGiven:
            return CheckLevel::Other;
    }
    return CheckLevel::Other;
}

bool is_generic(KeyKind kind) {
    return kind == KeyKind::GeneralPublic || kind == KeyKind::Foreigner;
}

CheckVerdict judge_key_alone(const KeyExamination& examination) {
    const auto* key = std::get_if<WellFormedKey>(&examination.verdict);
    if (!key) return CheckVerdict::NotAKey;
    return key->check_verifies ? CheckVerdict::Valid : CheckVerdict::CheckFails;
}

HeldKeyVerdict judge_key_against(const KeyExamination& examination, const KeyOutcome& computed,
                                 std::u16string_view Ap, std::u16string_view Am,
                                 std::u16string_view Nm) {
    const auto* key = std::get_if<WellFormedKey>(&examination.verdict);
    const bool has_computed = std::holds_alternative<Key>(computed);
    const HeldKind kind =
        has_computed ? kind_against(examination, key_text(computed)) : HeldKind::Comparable;
    if (kind == HeldKind::WithoutHomoclave) {
        return judge_without_homoclave(examination, key_text(computed), Ap, Am, Nm);
    }
    if (!key) return {CheckVerdict::NotAKey, HeldKind::Comparable, false, {}};
    if (!has_computed) return {CheckVerdict::NoComputedKey, HeldKind::Comparable, false, {}};
    if (kind != HeldKind::Comparable) return {CheckVerdict::Disagrees, kind, false, {}};

    const KeyComparison parts = compare_keys(examination.key(), key_text(computed), Ap, Am, Nm);
    HeldKeyVerdict held{CheckVerdict::Agrees, HeldKind::Comparable, false, {}};
    if (parts.all_agree()) return held;
    held.enye_written_as_x = parts.enye_written_as_x;
    held.differing = {!parts.prefix && !parts.enye_written_as_x, !parts.date, !parts.homoclave,
                      !parts.check_character};
    if (parts.enye_written_as_x && parts.date && parts.homoclave) {
        // The Ñ is a known difference of these rules, not a fault of the key.
        held.verdict = key->check_verifies ? CheckVerdict::Agrees : CheckVerdict::CheckFails;
    } else if (parts.prefix && parts.date && parts.homoclave) {
        held.verdict = CheckVerdict::CheckFails;
    } else if (parts.prefix && parts.date) {
        held.verdict = CheckVerdict::HomoclaveDiffers;
    } else {
        held.verdict = CheckVerdict::Disagrees;
    }
    return held;
}

}  // namespace keycalc
