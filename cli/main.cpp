// rfc: the RFC key of a person, or of every row of a delimited file.
#include <sys/stat.h>
#include <unistd.h>

#include <string_view>
#include <vector>

#include "cli.h"

namespace {

// Whether standard output and standard error are one terminal.
bool same_terminal(int a, int b) {
    struct stat first {};
    struct stat second {};
    return ::isatty(a) == 1 && ::isatty(b) == 1 && ::fstat(a, &first) == 0 &&
           ::fstat(b, &second) == 0 && first.st_rdev == second.st_rdev;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    rfc_cli::FdSource in(STDIN_FILENO);
    rfc_cli::FdSink out(STDOUT_FILENO);
    rfc_cli::FdSink err(STDERR_FILENO);
    rfc_cli::Console console{in, out, err, ::isatty(STDERR_FILENO) == 1,
                             same_terminal(STDOUT_FILENO, STDERR_FILENO)};
    return rfc_cli::run(args, console);
}
