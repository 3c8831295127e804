// What a conversion made of its rows, counted, and the exit status that
// follows from it:
//
//     1187 with a key, 15 without (12 for accents), 2 unreadable  ->  UnreadableRows
//     22 held keys agree, 3 with another homoclave                ->  KeyDoubtful
#pragma once

#include <array>
#include <cstddef>

#include "compute_key.h"
#include "exit_status.h"
#include "held_key.h"

namespace convert {

// What became of a row, as the summary groups them.
enum class RowOutcome {
    Key,
    Refused,         // no given names, or no surnames
    Accents,         // an accented letter has no value; folding accents would help
    UncodedOther,    // another character has no value
    HomoclaveFault,  // the homoclave sum is too small or overflows
    Unreadable,      // the record itself could not be read
};
inline constexpr std::size_t outcome_count = 6;

// How a failed computation is grouped: UncodedOther or HomoclaveFault.
RowOutcome outcome_of(const keycalc::EmptyKey& failure);

// Each row is counted once: by its check verdict when the key it holds was
// compared with a computed one, or else by what its computation gave.
struct RowTally {
    std::array<std::size_t, outcome_count> outcomes{};         // by RowOutcome
    std::array<std::size_t, keycalc::verdict_count> checks{};  // by CheckVerdict

    // A row whose computation gave `outcome` and whose held key got `check`
    // (NotGiven when it holds none).
    void count(RowOutcome outcome, keycalc::CheckVerdict check);
    RowTally& operator+=(const RowTally& other);
    std::size_t rows() const;
    std::size_t of(RowOutcome outcome) const { return outcomes[static_cast<std::size_t>(outcome)]; }
    std::size_t of(keycalc::CheckVerdict verdict) const {
        return checks[static_cast<std::size_t>(verdict)];
    }
};

// KeyWrong when some held key is no key or not the row's person's; else
// UnreadableRows when some row could not be read; else KeyDoubtful when some
// held key is doubtful; else Ok. Rows without a computed key do not count:
// their result cell says why.
ExitStatus exit_status_of(const RowTally& tally);

}  // namespace convert
