#include "held_key.h"

#include <variant>

namespace keycalc {

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
    if (!key) return {CheckVerdict::NotAKey, false, {}};
    if (!std::holds_alternative<Key>(computed)) return {CheckVerdict::NoComputedKey, false, {}};

    const KeyComparison parts = compare_keys(examination.key(), key_text(computed), Ap, Am, Nm);
    HeldKeyVerdict held{CheckVerdict::Agrees, false, {}};
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
