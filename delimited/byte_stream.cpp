#include "byte_stream.h"

#include <algorithm>
#include <cstring>

namespace delimited {

std::error_code FdSource::read_some(std::span<char> buffer, std::size_t& count) {
    return platform::read_some(fd_, buffer, count);
}

std::error_code FdSink::write_all(std::string_view bytes) {
    return platform::write_all(fd_, bytes);
}

FileSource::FileSource(const std::string& path, std::error_code& error)
    : fd_(platform::open_for_reading(path, error)) {}

FileSource::~FileSource() { platform::close(fd_); }

std::error_code FileSource::read_some(std::span<char> buffer, std::size_t& count) {
    if (fd_ < 0) {
        count = 0;
        return {};
    }
    return platform::read_some(fd_, buffer, count);
}

std::error_code ViewRandomAccess::read_at(std::uint64_t offset, std::span<char> buffer) {
    if (offset > bytes_.size() || buffer.size() > bytes_.size() - offset) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    if (!buffer.empty()) std::memcpy(buffer.data(), bytes_.data() + offset, buffer.size());
    return {};
}

std::error_code ViewSource::read_some(std::span<char> buffer, std::size_t& count) {
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
