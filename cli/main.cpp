// rfc: the RFC key of a person, or of every row of a delimited file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

// A standard stream that was closed (rfc batch f.csv >&-) is held by a
// descriptor that fails every use, so that a file opened later cannot take
// its number and be written as the output or read as the input. Writing
// then fails as it should: an output error, not a file read as its own
// output.
void hold_closed_standard_streams() {
    const struct {
        int fd;
        int unusable_mode;  // the opposite of the stream's direction
    } streams[] = {{STDIN_FILENO, O_WRONLY}, {STDOUT_FILENO, O_RDONLY}, {STDERR_FILENO, O_RDONLY}};
    for (const auto& stream : streams) {
        if (::fcntl(stream.fd, F_GETFD) != -1 || errno != EBADF) continue;
        const int fd = ::open("/dev/null", stream.unusable_mode);
        if (fd >= 0 && fd != stream.fd) {
            ::dup2(fd, stream.fd);
            ::close(fd);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    hold_closed_standard_streams();
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    rfc_cli::FdSource in(STDIN_FILENO);
    rfc_cli::FdSink out(STDOUT_FILENO);
    rfc_cli::FdSink err(STDERR_FILENO);
    rfc_cli::Console console{in, out, err, ::isatty(STDERR_FILENO) == 1,
                             same_terminal(STDOUT_FILENO, STDERR_FILENO)};
    return rfc_cli::run(args, console);
}
