// The command line `rfc`: one key, or the keys of a whole CSV file.
//
//     $ rfc key perez lopez juan 1980-01-15
//     PELJ8001152A0
#pragma once

#include <span>
#include <string_view>

#include "console.h"

namespace rfc_cli {

// Runs the command line on `args` (the words after the program's name) and
// returns its exit status; everything it reads and writes goes through
// `console`.
convert::ExitStatus run(std::span<const std::string_view> args, Console& console);

}  // namespace rfc_cli
