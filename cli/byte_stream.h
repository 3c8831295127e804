// Where the command line reads and writes bytes: file descriptors in the
// program, strings in the tests.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace rfc_cli {

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Reads at most buffer.size() bytes into `buffer`, waiting only until some
    // are there; sets `count` to the number read, 0 at the end of the input.
    virtual std::error_code read_some(std::span<char> buffer, std::size_t& count) = 0;
    // Whether read_some would return at once rather than wait for more input.
    virtual bool ready() { return true; }
};

class ByteSink {
  public:
    virtual ~ByteSink() = default;
    // Writes all of `bytes`, or reports why it could not.
    virtual std::error_code write_all(std::string_view bytes) = 0;
};

// A file descriptor the object does not own (standard input or output).
class FdSource final : public ByteSource {
  public:
    explicit FdSource(int fd) : fd_(fd) {}
    std::error_code read_some(std::span<char> buffer, std::size_t& count) override;
    bool ready() override;

  private:
    int fd_;
};

class FdSink final : public ByteSink {
  public:
    explicit FdSink(int fd) : fd_(fd) {}
    std::error_code write_all(std::string_view bytes) override;

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

}  // namespace rfc_cli
