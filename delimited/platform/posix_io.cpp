// The platform seam on POSIX systems: descriptors, poll and fstat.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform_io.h"

namespace delimited::platform {
namespace {

std::error_code last_error() { return {errno, std::generic_category()}; }

bool would_block(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

// A descriptor someone else left in non-blocking mode: wait until it is ready
// for `events` instead of giving up.
void wait_for(int fd, short events) {
    pollfd request{fd, events, 0};
    while (::poll(&request, 1, -1) < 0 && errno == EINTR) {
    }
}

}  // namespace

void prepare_standard_streams() {
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

std::vector<std::string> arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

int open_for_reading(const std::string& path, std::error_code& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    error = fd < 0 ? last_error() : std::error_code{};
    return fd;
}

void close(int fd) {
    if (fd >= 0) ::close(fd);
}

std::error_code read_some(int fd, std::span<char> buffer, std::size_t& count) {
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n >= 0) {
            count = static_cast<std::size_t>(n);
            return {};
        }
        if (would_block(errno)) {
            wait_for(fd, POLLIN);
        } else if (errno != EINTR) {
            count = 0;
            return last_error();
        }
    }
}

std::error_code write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (would_block(errno)) {
                wait_for(fd, POLLOUT);
            } else if (errno != EINTR) {
                return last_error();
            }
            continue;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

bool ready(int fd) {
    pollfd request{fd, POLLIN, 0};
    return ::poll(&request, 1, 0) != 0;
}

bool is_terminal(int fd) { return ::isatty(fd) == 1; }

bool same_terminal(int a, int b) {
    struct stat first {};
    struct stat second {};
    return is_terminal(a) && is_terminal(b) && ::fstat(a, &first) == 0 &&
           ::fstat(b, &second) == 0 && first.st_rdev == second.st_rdev;
}

std::optional<FileIdentity> regular_file_identity(int fd) {
    struct stat status {};
    if (fd < 0 || ::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    return FileIdentity{static_cast<unsigned long long>(status.st_dev),
                        static_cast<unsigned long long>(status.st_ino)};
}

}  // namespace delimited::platform
