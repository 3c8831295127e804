// The last line rfc batch writes on standard error, what it made of its rows:
//
//     1204 filas: 1187 con clave, 15 sin clave (12 por acentos: vea --fold-accents), 2 ilegibles
//
// and, for a file that holds keys of its own to be checked:
//
//     30 filas: 22 coinciden, 3 con otra homoclave, 1 no es clave, 2 sin clave que revisar,
//     2 sin clave calculada (2 por acentos: vea --fold-accents), 0 ilegibles
#pragma once

#include <string>

#include "naming.h"
#include "tally.h"

namespace words {

// The summary line, without "rfc: " and the file name. `checks_keys` when the
// file has a key column: its rows are then told by how their keys compare.
// `choice` is how the accents are asked to be folded, which the rows without
// a key for their accents are pointed to.
std::string summary_text(const convert::RowTally& tally, bool checks_keys,
                         Naming choice = Naming::CommandLine);

}  // namespace words
