// rfc: the RFC key of a person, or of every row of a CSV file.
#include <unistd.h>

#include <string_view>
#include <vector>

#include "cli.h"

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    rfc_cli::FdSource in(STDIN_FILENO);
    rfc_cli::FdSink out(STDOUT_FILENO);
    rfc_cli::FdSink err(STDERR_FILENO);
    rfc_cli::Console console{in, out, err, ::isatty(STDERR_FILENO) == 1};
    return rfc_cli::run(args, console);
}
