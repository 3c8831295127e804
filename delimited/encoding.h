// The text encodings delimited files come in, how to tell them apart from the
// first bytes, and the conversions the reader and writer need:
//
//     EF BB BF 50 45 ...   UTF-8 with a byte-order mark
//     FF FE 50 00 45 00    UTF-16 LE with a byte-order mark
//     50 C9 52 45 5A       "PÉREZ" in Windows-1252 (not valid UTF-8)
//
// All the separators, quotes and line ends of delimited text are ASCII, so
// UTF-8 and Windows-1252 text is read as bytes as it is; UTF-16 is turned into
// UTF-8 on the way in and back on the way out.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "byte_stream.h"

namespace delimited {

enum class Encoding { Utf8, Utf16Le, Utf16Be, Windows1252 };

// What a user may ask for: UTF-16 without saying which byte order.
enum class EncodingChoice { Utf8, Utf16, Windows1252 };

struct TextEncoding {
    Encoding encoding = Encoding::Utf8;
    bool byte_order_mark = false;
    bool operator==(const TextEncoding&) const = default;
};

// "UTF-8", "UTF-16 LE", "UTF-16 BE", "Windows-1252".
std::string_view encoding_name(Encoding encoding);

// The byte-order mark in `encoding`'s bytes ("" for Windows-1252).
std::string_view byte_order_mark(Encoding encoding);

// "utf-8", "utf-16", "windows-1252" and the usual other spellings ("utf8",
// "cp1252", ...), any case; nothing for an unknown name.
std::optional<EncodingChoice> encoding_choice(std::string_view name);

// The encoding of text that begins with `start` (all of it when
// `whole_input`). A `choice` decides, and then only that encoding's own
// byte-order mark is one (UTF-16's also tells its byte order). Otherwise a
// byte-order mark decides; then NUL bytes in every other place mean UTF-16
// without a mark, valid UTF-8 means UTF-8, and anything else Windows-1252.
TextEncoding detect_encoding(std::string_view start, bool whole_input,
                             std::optional<EncodingChoice> choice = std::nullopt);

// The encoding whose byte-order mark `start` begins with, if any.
std::optional<Encoding> marked_encoding(std::string_view start);

// Whether text that begins with `start` (all of it when `whole_input`) is
// well-formed UTF-8 as far as it goes. Where more follows, `start` may end
// inside a character, so long as the bytes there could still begin a
// well-formed one: "\xC3" may, "\xE0\x80" (overlong) may not. The whole
// input must end with a complete character.
bool starts_as_utf8(std::string_view start, bool whole_input);

// Windows-1252, the 8-bit code page of spreadsheets' plain "CSV" saves, from
// a table of our own that matches Windows and glibc's iconv. Its five
// unassigned bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) decode to nothing.
class Windows1252 {
  public:
    static const Windows1252& get();

    // Writes the UTF-16 of `bytes` to `out` (room for bytes.size() units);
    // false when a byte is unassigned.
    bool decode(std::string_view bytes, std::span<char16_t> out) const;
    // Appends the UTF-8 of `bytes`; false when a byte is unassigned.
    bool decode_to_utf8(std::string_view bytes, std::string& out) const;
    // Appends `utf8` in Windows-1252; a character it cannot hold becomes "?".
    void encode_utf8(std::string_view utf8, std::string& out) const;
    // The same for the UTF-8 that `text` holds from `from` on, in its place.
    void encode_utf8_in_place(std::string& text, std::size_t from) const;

  private:
    Windows1252() = default;
};

// Reads UTF-16 from `source` and hands it over as UTF-8. A lone surrogate
// becomes its three-byte form (as in WTF-8) so that Utf16Sink writes it back
// unchanged; an odd last byte is kept aside in odd_last_byte().
class Utf16Source final : public ByteSource {
  public:
    Utf16Source(ByteSource& source, bool big_endian);
    std::error_code read_some(std::span<char> buffer, std::size_t& count) override;
    bool ready() override { return source_.ready(); }
    bool interactive() const override { return source_.interactive(); }
    std::optional<FileIdentity> file_identity() const override { return source_.file_identity(); }
    std::optional<char> odd_last_byte() const { return odd_last_byte_; }

  private:
    ByteSource& source_;
    bool big_endian_;
    std::string bytes_;      // read and not yet converted: an odd byte, a high surrogate
    std::string converted_;  // converted and not yet handed over
    std::optional<char> odd_last_byte_;
};

// Writes UTF-8 (lone surrogates in their three-byte form included) to `sink`
// as UTF-16. Text may be cut anywhere between calls.
class Utf16Sink final : public ByteSink {
  public:
    Utf16Sink(ByteSink& sink, bool big_endian) : sink_(sink), big_endian_(big_endian) {}
    std::error_code write_all(std::string_view utf8) override;
    std::optional<FileIdentity> file_identity() const override { return sink_.file_identity(); }

  private:
    ByteSink& sink_;
    bool big_endian_;
    std::string pending_;  // the start of a character cut by the last call
    std::string out_;
};

// A source whose first bytes are read ahead, so that the encoding and the
// separator can be told from them, and then handed over again in full.
class LookaheadSource final : public ByteSource {
  public:
    // Reads up to `limit` bytes, however the source delivers them (a pipe
    // may hand them over a few at a time), stopping early only at the end of
    // the input, or, from a terminal, once a line is typed.
    LookaheadSource(ByteSource& source, std::size_t limit);
    std::error_code read_some(std::span<char> buffer, std::size_t& count) override;
    bool ready() override { return position_ < head_.size() || source_.ready(); }
    bool interactive() const override { return source_.interactive(); }
    std::optional<FileIdentity> file_identity() const override { return source_.file_identity(); }
    std::optional<std::size_t> bytes_left() const override;
    RandomAccess* random_access() override { return source_.random_access(); }

    std::string_view head() const { return head_; }
    // The part of the head that read_some has not handed over yet.
    std::string_view unread_head() const { return std::string_view(head_).substr(position_); }
    bool head_is_whole_input() const { return whole_input_; }
    std::error_code read_error() const { return error_; }
    // Drops the first `count` bytes of the head (a byte-order mark).
    void skip(std::size_t count) { position_ = std::min(head_.size(), position_ + count); }

  private:
    ByteSource& source_;
    std::string head_;
    std::size_t position_ = 0;
    bool whole_input_ = false;
    std::error_code error_;
};

}  // namespace delimited
