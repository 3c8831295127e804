// What a run of the command line talks to.
#pragma once

#include <string_view>

#include "byte_stream.h"
#include "exit_status.h"
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
    // Standard output is a terminal, where a workbook's bytes would be garbage.
    bool out_is_terminal = false;
};

// Writes "rfc: <message>\n" on standard error.
void report(Console& console, std::string_view message);

// Reports a usage error with a pointer to --help; returns convert::ExitStatus::Usage.
convert::ExitStatus usage_error(Console& console, std::string_view message);

}  // namespace rfc_cli
