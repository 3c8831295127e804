// What a run of rfc batch made of its rows, counted, and the last line it
// writes on standard error:
//
//     1204 filas: 1187 con clave, 15 sin clave (12 por acentos: vea --fold-accents), 2 ilegibles
//
// and, for a file that holds keys of its own to be checked:
//
//     30 filas: 22 coinciden, 3 con otra homoclave, 1 no es clave, 2 sin clave que revisar,
//     2 sin clave calculada (2 por acentos: vea --fold-accents), 0 ilegibles
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "compute_key.h"
#include "held_key.h"
#include "outcome_words.h"

namespace words {

// What became of a row, as the summary groups them.
enum class RowOutcome {
    Key,
    Refused,         // no given names, or no surnames
    Accents,         // an accented letter has no value; --fold-accents would help
    UncodedOther,    // another character has no value
    HomoclaveFault,  // the homoclave sum is too small or overflows
    Unreadable,      // the record itself could not be read
};
inline constexpr std::size_t outcome_count = 6;

// How the summary groups a failed computation: UncodedOther or HomoclaveFault.
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

// The summary line, without "rfc: " and the file name. `checks_keys` when the
// file has a key column: its rows are then told by how their keys compare.
// `choice` is how the accents are asked to be folded, which the rows without
// a key for their accents are pointed to.
std::string summary_text(const RowTally& tally, bool checks_keys,
                         Naming choice = Naming::CommandLine);

}  // namespace words
