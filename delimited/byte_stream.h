// Where delimited text is read from and written to: the platform's files and
// standard streams (through platform_io.h) in a program, strings in tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform_io.h"

namespace delimited {

// An input read at any offset: a whole file of known size, which a reader
// that needs the whole of it (a zip's directory is at its end) reads in
// pieces instead of holding it.
class RandomAccess {
  public:
    virtual ~RandomAccess() = default;
    virtual std::uint64_t size() const = 0;
    // Fills all of `buffer` from `offset`; fails past the end.
    virtual std::error_code read_at(std::uint64_t offset, std::span<char> buffer) = 0;
};

// Bytes held in memory, read at any offset.
class ViewRandomAccess final : public RandomAccess {
  public:
    explicit ViewRandomAccess(std::string_view bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    std::error_code read_at(std::uint64_t offset, std::span<char> buffer) override;

  private:
    std::string_view bytes_;
};

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
    // How many bytes are still to be read, when that is known beforehand (a
    // string, or an input already read to its end): readers size their
    // buffers by it.
    virtual std::optional<std::size_t> bytes_left() const { return std::nullopt; }
    // The whole input read at any offset, when the source offers it.
    virtual RandomAccess* random_access() { return nullptr; }
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
    bool ready() override { return platform::ready(fd_); }
    bool interactive() const override { return platform::is_terminal(fd_); }
    std::optional<FileIdentity> file_identity() const override {
        return platform::regular_file_identity(fd_);
    }

  private:
    int fd_;
};

class FdSink final : public ByteSink {
  public:
    explicit FdSink(int fd) : fd_(fd) {}
    std::error_code write_all(std::string_view bytes) override;
    std::optional<FileIdentity> file_identity() const override {
        return platform::regular_file_identity(fd_);
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
        return platform::regular_file_identity(fd_);
    }

  private:
    int fd_ = -1;
};

// Reads a text that the caller keeps alive and unchanged while it is read,
// at most `piece` bytes per call so that tests can cut the input anywhere.
class ViewSource final : public ByteSource {
  public:
    explicit ViewSource(std::string_view text, std::size_t piece = 1 << 20)
        : text_(text), piece_(piece) {}
    std::error_code read_some(std::span<char> buffer, std::size_t& count) override;
    std::optional<std::size_t> bytes_left() const override { return text_.size() - position_; }

  private:
    std::string_view text_;
    std::size_t piece_;
    std::size_t position_ = 0;
};

// The same over a text of its own.
class StringSource final : public ByteSource {
  public:
    explicit StringSource(std::string text, std::size_t piece = 1 << 20)
        : text_(std::move(text)), view_(text_, piece) {}
    StringSource(const StringSource&) = delete;
    StringSource& operator=(const StringSource&) = delete;
    std::error_code read_some(std::span<char> buffer, std::size_t& count) override {
        return view_.read_some(buffer, count);
    }
    std::optional<std::size_t> bytes_left() const override { return view_.bytes_left(); }

  private:
    std::string text_;
    ViewSource view_;
};

class StringSink final : public ByteSink {
  public:
    std::error_code write_all(std::string_view bytes) override;
    const std::string& text() const { return text_; }
    // Empties the text and keeps its room.
    void clear() { text_.clear(); }

  private:
    std::string text_;
};

}  // namespace delimited
