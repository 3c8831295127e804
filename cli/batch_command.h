// rfc batch [FILE|-]: the keys of a whole CSV file of people.
//
// Every input record gives one output record, in the same order: its fields
// as read, then "rfc" (the key, unmasked) and "resultado" ("ok" or why there
// is no key). Records that cannot be read are kept too, named on standard
// error by their line number.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "console.h"
#include "csv_reader.h"

namespace rfc_cli {

struct BatchOptions {
    std::string input_name;  // shown in messages; empty for standard input
    std::size_t record_limit = CsvReader::default_record_limit;
    // Threads computing keys while the main thread reads and writes; 0
    // computes them on the main thread.
    std::size_t threads = default_threads();

    static std::size_t default_threads();
};

// Reads CSV from `input` and writes it with keys to the console's output.
// Returns exit_status::ok, unreadable_rows, or io_error.
int run_batch(ByteSource& input, const BatchOptions& options, Console& console);

// `args` are the words after "batch": nothing, "-" or a file name.
int run_batch_command(std::span<const std::string_view> args, Console& console);

}  // namespace rfc_cli
