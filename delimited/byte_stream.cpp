#include "byte_stream.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace delimited {
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

std::error_code read_fd(int fd, std::span<char> buffer, std::size_t& count) {
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

}  // namespace

std::optional<FileIdentity> regular_file_identity(int fd) {
    struct stat status {};
    if (fd < 0 || ::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    return FileIdentity{static_cast<unsigned long long>(status.st_dev),
                        static_cast<unsigned long long>(status.st_ino)};
}

std::error_code FdSource::read_some(std::span<char> buffer, std::size_t& count) {
    return read_fd(fd_, buffer, count);
}

bool FdSource::ready() {
    pollfd request{fd_, POLLIN, 0};
    return ::poll(&request, 1, 0) != 0;
}

bool FdSource::interactive() const { return ::isatty(fd_) == 1; }

std::error_code FdSink::write_all(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0) {
            if (would_block(errno)) {
                wait_for(fd_, POLLOUT);
            } else if (errno != EINTR) {
                return last_error();
            }
            continue;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

FileSource::FileSource(const std::string& path, std::error_code& error)
    : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    error = fd_ < 0 ? last_error() : std::error_code{};
}

FileSource::~FileSource() {
    if (fd_ >= 0) ::close(fd_);
}

std::error_code FileSource::read_some(std::span<char> buffer, std::size_t& count) {
    if (fd_ < 0) {
        count = 0;
        return {};
    }
    return read_fd(fd_, buffer, count);
}

std::error_code StringSource::read_some(std::span<char> buffer, std::size_t& count) {
    count = std::min({buffer.size(), piece_, text_.size() - position_});
    std::memcpy(buffer.data(), text_.data() + position_, count);
    position_ += count;
    return {};
}

std::error_code StringSink::write_all(std::string_view bytes) {
    text_.append(bytes);
    return {};
}

}  // namespace delimited
