// What a run of the command line talks to, and the exit statuses it ends with.
#pragma once

#include <string_view>

#include "byte_stream.h"
#include "naming.h"

namespace rfc_cli {

struct Console {
    delimited::ByteSource& in;
    delimited::ByteSink& out;
    delimited::ByteSink& err;
    bool err_is_terminal = false;
    // Standard output is the terminal standard error writes to, so that a
    // progress line there must be cleared before output goes out.
    bool out_is_err_terminal = false;
    // How the messages name the options: the page that runs the commands has
    // controls for them.
    words::Naming naming = words::Naming::CommandLine;
};

namespace exit_status {
constexpr int ok = 0;
constexpr int empty_key = 1;        // rfc key: the computation gave no key
constexpr int unreadable_rows = 1;  // rfc batch: some rows could not be read
constexpr int usage = 2;
constexpr int refused = 3;  // rfc key: the input was refused
constexpr int io_error = 4;
// rfc check, and rfc batch for the keys a file holds: well formed, but the
// check character or the homoclave differ.
constexpr int key_doubtful = 5;
// rfc check, and rfc batch likewise: no key, or not the person's (prefix or date).
constexpr int key_wrong = 6;
}  // namespace exit_status

// Writes "rfc: <message>\n" on standard error.
void report(Console& console, std::string_view message);

// Reports a usage error with a pointer to --help; returns exit_status::usage.
int usage_error(Console& console, std::string_view message);

}  // namespace rfc_cli
