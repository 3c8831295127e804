#include "byte_stream.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace rfc_cli {
namespace {

std::error_code last_error() { return {errno, std::generic_category()}; }

std::error_code read_fd(int fd, std::span<char> buffer, std::size_t& count) {
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n >= 0) {
            count = static_cast<std::size_t>(n);
            return {};
        }
        if (errno != EINTR) {
            count = 0;
            return last_error();
        }
    }
}

}  // namespace

std::error_code FdSource::read_some(std::span<char> buffer, std::size_t& count) {
    return read_fd(fd_, buffer, count);
}

bool FdSource::ready() {
    pollfd request{fd_, POLLIN, 0};
    return ::poll(&request, 1, 0) != 0;
}

std::error_code FdSink::write_all(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return last_error();
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

}  // namespace rfc_cli
