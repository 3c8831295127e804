// The words after "rfc batch": options, then at most one file.
//
//     --columns paterno=3,materno=4,nombre=2,fecha=7 --delimiter ';' nomina.csv
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "batch_command.h"

namespace rfc_cli {

// Fills `options` and `file` ("-" for standard input) from `args`. An option's
// value follows it as the next word or after "="; "--" ends the options. On a
// mistake returns false with `error` saying what it is, in Spanish, naming
// the options as `naming` does.
bool parse_batch_options(std::span<const std::string_view> args, BatchOptions& options,
                         std::string& file, std::string& error,
                         words::Naming naming = words::Naming::CommandLine);

}  // namespace rfc_cli
