#include "batch_summary.h"

#include <utility>

#include "counted.h"
#include "outcome_words.h"
#include "verdict_words.h"

namespace words {

using convert::RowOutcome;
using convert::RowTally;
using keycalc::CheckVerdict;

namespace {

// The rows without a computed key, grouped by why, in the order a user
// can act on them.
constexpr std::pair<RowOutcome, std::string_view> no_key_groups[] = {
    {RowOutcome::Accents, "por acentos"},
    {RowOutcome::UncodedOther, "por caracteres sin valor en la tabla"},
    {RowOutcome::Refused, "por nombre o apellidos vacíos"},
    {RowOutcome::HomoclaveFault, "por la homoclave"},
};

std::size_t without_key(const RowTally& tally) {
    std::size_t total = 0;
    for (const auto& [outcome, text] : no_key_groups) total += tally.of(outcome);
    return total;
}

// What the accents' group adds: how to fold them.
std::string_view fold_accents_cure(Naming choice) {
    static const std::string check_box = ": " + std::string(mark_fold_accents_check_box());
    return choice == Naming::Page ? std::string_view(check_box) : ": vea --fold-accents";
}

// Appends " (12 por acentos: vea --fold-accents, 3 por la homoclave)", or nothing.
void append_why_without_key(std::string& text, const RowTally& tally, Naming choice) {
    bool first = true;
    for (const auto& [outcome, label] : no_key_groups) {
        if (tally.of(outcome) == 0) continue;
        text.append(first ? " (" : ", ").append(std::to_string(tally.of(outcome))).append(" ");
        text.append(label);
        if (outcome == RowOutcome::Accents) text.append(fold_accents_cure(choice));
        first = false;
    }
    if (!first) text.push_back(')');
}

// Appends ", 2 ilegibles".
void append_unreadable_rows(std::string& text, const RowTally& tally) {
    text.append(", ").append(counted(tally.of(RowOutcome::Unreadable), noun::unreadable_rows));
}

// "1204 filas: 1187 con clave, 15 sin clave (...), 2 ilegibles"
std::string computing_summary(const RowTally& tally, Naming choice) {
    std::string text;
    text.reserve(160);  // one allocation for the longest summary
    text.append(counted(tally.rows(), noun::rows));
    text.append(": ").append(std::to_string(tally.of(RowOutcome::Key))).append(" con clave, ");
    text.append(std::to_string(without_key(tally))).append(" sin clave");
    append_why_without_key(text, tally, choice);
    append_unreadable_rows(text, tally);
    return text;
}

// The verdicts that compare a held key with a computed one, from best to
// worst; "coinciden" is always said, the others when some row has them.
constexpr CheckVerdict compared_verdicts[] = {
    CheckVerdict::Agrees,    CheckVerdict::CheckFails, CheckVerdict::HomoclaveDiffers,
    CheckVerdict::Disagrees, CheckVerdict::NotAKey,
};

// "30 filas: 22 coinciden, 3 con otra homoclave, ..., 0 ilegibles"
std::string checking_summary(const RowTally& tally, Naming choice) {
    std::string text;
    text.reserve(256);  // one allocation for the longest summary
    text.append(counted(tally.rows(), noun::rows));
    text.push_back(':');
    const auto add = [&text](std::size_t count, std::string_view label) {
        text.append(text.back() == ':' ? " " : ", ").append(std::to_string(count)).append(" ");
        text.append(label);
    };
    for (const CheckVerdict verdict : compared_verdicts) {
        const std::size_t count = tally.of(verdict);
        if (count > 0 || verdict == CheckVerdict::Agrees) {
            add(count, summary_label(verdict, count));
        }
    }
    // An empty key cell leaves the row to be computed as usual.
    if (const std::size_t count = tally.of(RowOutcome::Key)) {
        add(count, summary_label(CheckVerdict::NotGiven, count));
    }
    if (const std::size_t count = without_key(tally)) {
        add(count, summary_label(CheckVerdict::NoComputedKey, count));
        append_why_without_key(text, tally, choice);
    }
    append_unreadable_rows(text, tally);
    return text;
}

}  // namespace

std::string summary_text(const RowTally& tally, bool checks_keys, Naming choice) {
    return checks_keys ? checking_summary(tally, choice) : computing_summary(tally, choice);
}

}  // namespace words
