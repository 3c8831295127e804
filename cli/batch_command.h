// rfc batch [OPTIONS] [FILE|-]: the keys of a whole delimited file of people.
//
// Every input record gives one output record, in the same order: its bytes as
// they came, then "rfc" (the key, unmasked) and "resultado" ("ok" or why
// there is no key), in the file's own encoding, separator and line ends. A
// file with a key column of its own gets "rfc_calculado" and a "resultado"
// that says how the key it holds compares with the computed one.
// Records that cannot be read are kept too, named on standard error by their
// line number; blank lines are copied as they are.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "console.h"
#include "conversion.h"

namespace rfc_cli {

// How the file is converted, and the name messages give it.
struct BatchOptions : convert::ConversionOptions {
    std::string input_name;  // shown in messages; empty for standard input
};

// Reads delimited text from `input` and writes it with keys to the console's
// output. Returns Ok, UnreadableRows, KeyDoubtful or KeyWrong (as
// convert::exit_status_of the rows), Usage (the columns cannot be found, or
// the output is the input file: then nothing is written), or IoError.
convert::ExitStatus run_batch(delimited::ByteSource& input, const BatchOptions& options,
                              Console& console);

// `args` are the words after "batch": options, then nothing, "-" or a file
// name ("--" ends the options).
convert::ExitStatus run_batch_command(std::span<const std::string_view> args, Console& console);

}  // namespace rfc_cli
