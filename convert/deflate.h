// Raw deflate streams (no zlib or gzip wrapper around them), as the entries of
// a zip hold them, and the CRC-32 a zip keeps of each entry. The one place
// that speaks to zlib: nothing else includes its header, so a build for
// another platform only has to provide the library behind these classes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace convert {

class Inflater {
  public:
    Inflater();
    ~Inflater();
    Inflater(Inflater&&) noexcept;
    Inflater& operator=(Inflater&&) noexcept;
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    enum class Status { Ok, End, Corrupt };
    // Inflates from `in` into `out`: advances `in` past the bytes used and
    // sets `written` to the bytes placed in `out`. End once the stream's last
    // block is through (the bytes after it stay in `in`); Ok with nothing
    // written and nothing used means more input is needed.
    Status inflate(std::string_view& in, std::span<char> out, std::size_t& written);
    // Starts a new stream, keeping the memory of the last.
    void reset();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

class Deflater {
  public:
    // zlib's levels, 1 (fastest) to 9 (smallest); any other stops the program.
    explicit Deflater(int level);
    ~Deflater();
    Deflater(Deflater&&) noexcept;
    Deflater& operator=(Deflater&&) noexcept;
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // Appends the compressed form of `in` to `out`; `finish` ends the stream,
    // after which only reset() makes another.
    void deflate(std::string_view in, bool finish, std::string& out);
    void reset();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// The CRC-32 of `bytes` continued from `crc` (0 to start).
std::uint32_t crc32(std::uint32_t crc, std::string_view bytes);

}  // namespace convert
