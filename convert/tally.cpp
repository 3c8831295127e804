#include "tally.h"

namespace convert {

using keycalc::CheckVerdict;

RowOutcome outcome_of(const keycalc::EmptyKey& failure) {
    return failure.reason == keycalc::FailureReason::UncodedCharacter ? RowOutcome::UncodedOther
                                                                      : RowOutcome::HomoclaveFault;
}

void RowTally::count(RowOutcome outcome, CheckVerdict check) {
    // A key that could not be compared leaves the row to its computation's
    // outcome, which says why there is no computed key.
    if (check != CheckVerdict::NotGiven && check != CheckVerdict::NoComputedKey) {
        ++checks[static_cast<std::size_t>(check)];
    } else {
        ++outcomes[static_cast<std::size_t>(outcome)];
    }
}

RowTally& RowTally::operator+=(const RowTally& other) {
    for (std::size_t i = 0; i < outcomes.size(); ++i) outcomes[i] += other.outcomes[i];
    for (std::size_t i = 0; i < checks.size(); ++i) checks[i] += other.checks[i];
    return *this;
}

std::size_t RowTally::rows() const {
    std::size_t total = 0;
    for (const std::size_t count : outcomes) total += count;
    for (const std::size_t count : checks) total += count;
    return total;
}

ExitStatus exit_status_of(const RowTally& tally) {
    std::size_t wrong = 0, doubtful = 0;
    for (std::size_t i = 0; i < keycalc::verdict_count; ++i) {
        const keycalc::CheckLevel level = keycalc::level_of(static_cast<CheckVerdict>(i));
        if (level == keycalc::CheckLevel::Wrong) wrong += tally.checks[i];
        if (level == keycalc::CheckLevel::Doubtful) doubtful += tally.checks[i];
    }
    if (wrong > 0) return ExitStatus::KeyWrong;
    if (tally.of(RowOutcome::Unreadable) > 0) return ExitStatus::UnreadableRows;
    if (doubtful > 0) return ExitStatus::KeyDoubtful;
    return ExitStatus::Ok;
}

}  // namespace convert
