// The verdict on a key that a person already holds, on its own or against the
// key computed from that person's names and date of birth:
//
//     PELJ8001152A0 alone                        ->  Valid
//     PELJ800115XY8 against PELJ8001152A0         ->  HomoclaveDiffers (homonyms get another)
//     NÑRP700707LQ7 against NURP700707LQ7 (NUÑEZ) ->  Agrees, the Ñ written as X
//     PELJ8001162A0 against PELJ8001152A0         ->  Disagrees: the date differs
//     SAT970701NN3 against PELJ8001152A0          ->  Disagrees: a legal person's key
//     PELJ800115 against PELJ8001152A0            ->  NotAKey, without homoclave; prefix
//                                                     and date agree
//
// The verdicts are values; the words a person reads are made elsewhere.
#pragma once

#include <cstddef>
#include <string_view>

#include "compute_key.h"
#include "key_check.h"

namespace keycalc {

// The verdicts, from best to worst.
enum class CheckVerdict {
    Valid,             // alone: a key whose check character verifies
    Agrees,            // agrees with the computed key, or differs only by its Ñ
    CheckFails,        // a well-formed key whose check character does not verify
    HomoclaveDiffers,  // prefix and date agree; the homoclave differs
    Disagrees,         // the prefix or the date differ
    NotAKey,           // the text is no key at all
    NoComputedKey,     // the names and date give no key to compare with
    NotGiven,          // the key is empty: there is nothing to check
};
inline constexpr std::size_t verdict_count = static_cast<std::size_t>(CheckVerdict::NotGiven) + 1;

// Sound: Valid and Agrees; Doubtful: CheckFails and HomoclaveDiffers; Wrong:
// Disagrees and NotAKey; Other: no comparison was made.
enum class CheckLevel { Sound, Doubtful, Wrong, Other };
CheckLevel level_of(CheckVerdict verdict);

// Whether a key of this kind is one of the generic keys: valid as a key, but
// no one person's.
bool is_generic(KeyKind kind);

// The parts of a held key that differ from the computed key. A prefix that
// differs only by a Ñ written as X is not counted as differing.
struct DifferingParts {
    bool prefix = false, date = false, homoclave = false, check_character = false;
};

// What a held key is when that alone tells it from the person's key.
enum class HeldKind {
    Comparable,  // a natural person's key, or a text that is no key: its parts tell
    Generic,     // a generic key (KeyKind tells which): no one person's
    // a legal person's key of 12 characters, where the person's has four
    // letters and 13
    LegalPerson,
    // 10 characters, KeyFault::WithoutHomoclave: only its prefix and date
    // are compared
    WithoutHomoclave,
};

struct HeldKeyVerdict {
    CheckVerdict verdict = CheckVerdict::NotAKey;
    HeldKind kind = HeldKind::Comparable;
    // The prefixes differ only where the held key has "Ñ" and the names hold
    // one, which these rules write as "X".
    bool enye_written_as_x = false;
    // Left empty for Generic and LegalPerson, whose parts say nothing.
    DifferingParts differing;

    // Some part differs, or the Ñ was written as X.
    bool differs() const {
        return enye_written_as_x || differing.prefix || differing.date || differing.homoclave ||
               differing.check_character;
    }
};

// The verdict on a key alone: NotAKey, Valid, or CheckFails.
CheckVerdict judge_key_alone(const KeyExamination& examination);

// The verdict on a key against the outcome that Compute_Key gave for the
// names Ap, Am, Nm: NotAKey for a text that is no key whatever the outcome,
// NoComputedKey when the outcome has no key, Disagrees for a key of another
// kind than the person's, or how the two keys compare.
HeldKeyVerdict judge_key_against(const KeyExamination& examination, const KeyOutcome& computed,
                                 std::u16string_view Ap, std::u16string_view Am,
                                 std::u16string_view Nm);

}  // namespace keycalc
