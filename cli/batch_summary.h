// What a run of rfc batch made of its rows: the last line it writes on
// standard error, and the exit status that sums it up.
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

#include "batch_row.h"
#include "key_verdict.h"

namespace rfc_cli {

// Each row is counted once: by its check verdict when the key it holds was
// compared with a computed one, or else by what its computation gave.
struct RowTally {
    std::array<std::size_t, outcome_count> outcomes{};  // by RowOutcome
    std::array<std::size_t, verdict_count> checks{};    // by CheckVerdict

    void count(const RowVerdict& verdict);
    RowTally& operator+=(const RowTally& other);
    std::size_t rows() const;
    std::size_t of(RowOutcome outcome) const { return outcomes[static_cast<std::size_t>(outcome)]; }
    std::size_t of(CheckVerdict verdict) const { return checks[static_cast<std::size_t>(verdict)]; }
};

// The summary line, without "rfc: " and the file name. `checks_keys` when the
// file has a key column: its rows are then told by how their keys compare.
std::string summary_text(const RowTally& tally, bool checks_keys);

// exit_status::key_wrong when some key is no key or not the row's person's;
// else unreadable_rows when some row could not be read; else key_doubtful
// when some key is doubtful; else ok. Rows without a computed key do not
// count: their result column says why.
int batch_exit_status(const RowTally& tally);

}  // namespace rfc_cli
