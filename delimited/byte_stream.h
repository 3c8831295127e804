// Where delimited text is read from and written to: file descriptors in a
// program, strings in tests.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace delimited {

// Which file an open descriptor is, when it is a regular file: two streams
// with the same identity read and write the same bytes.
struct FileIdentity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of the regular file open on `fd`, or nothing for a pipe, a
// terminal or a descriptor that is not open.
std::optional<FileIdentity> regular_file_identity(int fd);

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Reads at most buffer.size() bytes into `buffer`, waiting only until some
    // are there; sets `count` to the number read, 0 at the end of the input.
    virtual std::error_code read_some(std::span<char> buffer, std::size_t& count) = 0;
    // Whether read_some would return at once rather than wait for more input.
    virtual bool ready() { return true; }
    // Whether a person types the input as it is read (a terminal): then no
    // more of it is waited for than a line.
    virtual bool interactive() const { return false; }
    // The regular file read from, if it is one.
    virtual std::optional<FileIdentity> file_identity() const { return std::nullopt; }
};

class ByteSink {
  public:
    virtual ~ByteSink() = default;
    // Writes all of `bytes`, or reports why it could not.
    virtual std::error_code write_all(std::string_view bytes) = 0;
    // The regular file written to, if it is one.
    virtual std::optional<FileIdentity> file_identity() const { return std::nullopt; }
};

// A file descriptor the object does not own (standard input or output). One
// in non-blocking mode is waited for rather than failing with EAGAIN.
class FdSource final : public ByteSource {
  public:
    explicit FdSource(int fd) : fd_(fd) {}
    std::error_code read_some(std::span<char> buffer, std::size_t& count) override;
    bool ready() override;
    bool interactive() const override;
    std::optional<FileIdentity> file_identity() const override {
        return regular_file_identity(fd_);
    }

  private:
    int fd_;
};

class FdSink final : public ByteSink {
  public:
    explicit FdSink(int fd) : fd_(fd) {}
    std::error_code write_all(std::string_view bytes) override;
    std::optional<FileIdentity> file_identity() const override {
        return regular_file_identity(fd_);
    }

  private:
    int fd_;
};

// A file opened for reading, closed when the object goes.
class FileSource final : public ByteSource {
  public:
    // Opens `path`; on failure `error` is set and the object reads nothing.
    FileSource(const std::string& path, std::error_code& error);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    std::error_code read_some(std::span<char> buffer, std::size_t& count) override;
    std::optional<FileIdentity> file_identity() const override {
        return regular_file_identity(fd_);
    }

  private:
    int fd_ = -1;
};

// Reads a fixed text, at most `piece` bytes per call so that tests can cut
// the input anywhere.
class StringSource final : public ByteSource {
  public:
    explicit StringSource(std::string text, std::size_t piece = 1 << 20)
        : text_(std::move(text)), piece_(piece) {}
    std::error_code read_some(std::span<char> buffer, std::size_t& count) override;

  private:
    std::string text_;
    std::size_t piece_;
    std::size_t position_ = 0;
};

class StringSink final : public ByteSink {
  public:
    std::error_code write_all(std::string_view bytes) override;
    const std::string& text() const { return text_; }

  private:
    std::string text_;
};

}  // namespace delimited
