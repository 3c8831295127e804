#include "encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "utf8.h"

namespace delimited {
namespace {

constexpr char32_t replacement_character = 0xFFFD;

bool is_high_surrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// An iconv conversion descriptor, closed when it goes.
class Iconv {
  public:
    Iconv(const char* to, const char* from) : handle_(::iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) ::iconv_close(handle_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `in`; returns 0 or the errno of the first failure
    // (EILSEQ: invalid input, EINVAL: input cut inside a character).
    int convert(std::string_view in, std::string& out) {
        char* in_bytes = const_cast<char*>(in.data());
        std::size_t in_left = in.size();
        while (in_left > 0) {
            char chunk[4096];
            char* out_bytes = chunk;
            std::size_t out_left = sizeof chunk;
            const std::size_t result = ::iconv(handle_, &in_bytes, &in_left, &out_bytes, &out_left);
            out.append(chunk, static_cast<std::size_t>(out_bytes - chunk));
            if (result == static_cast<std::size_t>(-1) && errno != E2BIG) return errno;
        }
        return 0;
    }

  private:
    iconv_t handle_;
};

bool starts_like_utf8(std::string_view start, bool whole_input) {
    Iconv to_utf16("UTF-16LE", "UTF-8");
    std::string ignored;
    const int error = to_utf16.convert(start, ignored);
    // Text cut in the middle of a character is fine where more follows.
    return error == 0 || (error == EINVAL && !whole_input);
}

// UTF-16 without a byte-order mark shows as NUL bytes in every other place:
// the odd ones for little-endian ASCII, the even ones for big-endian.
std::optional<Encoding> utf16_by_nul_bytes(std::string_view start) {
    std::size_t even = 0;
    std::size_t odd = 0;
    for (std::size_t i = 0; i < start.size(); ++i) {
        if (start[i] == '\0') ++(i % 2 == 0 ? even : odd);
    }
    const std::size_t pairs = start.size() / 2;
    if (pairs == 0) return std::nullopt;
    if (odd * 2 >= pairs && even * 8 < odd) return Encoding::Utf16Le;
    if (even * 2 >= pairs && odd * 8 < even) return Encoding::Utf16Be;
    return std::nullopt;
}

std::string lower_ascii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// The next character of `utf8` at `at`, advancing `at`; surrogates in their
// three-byte form are accepted. Sets `cut` when the text ends inside it.
char32_t next_code_point(std::string_view utf8, std::size_t& at, bool& cut) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
    const unsigned char lead = byte(at);
    cut = false;
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    std::size_t length = 0;
    char32_t c = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
    } else {
        ++at;
        return replacement_character;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (at + i >= utf8.size()) {
            cut = true;
            return replacement_character;
        }
        if ((byte(at + i) & 0xC0) != 0x80) {
            at += i;
            return replacement_character;
        }
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    at += length;
    constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < smallest[length] || c > 0x10FFFF) return replacement_character;
    return c;
}

void append_unit(char16_t unit, bool big_endian, std::string& out) {
    const auto high = static_cast<char>(unit >> 8);
    const auto low = static_cast<char>(unit & 0xFF);
    out.push_back(big_endian ? high : low);
    out.push_back(big_endian ? low : high);
}

}  // namespace

std::string_view encoding_name(Encoding encoding) {
    switch (encoding) {
        case Encoding::Utf8:
            return "UTF-8";
        case Encoding::Utf16Le:
            return "UTF-16 LE";
        case Encoding::Utf16Be:
            return "UTF-16 BE";
        case Encoding::Windows1252:
            return "Windows-1252";
    }
    return {};
}

std::string_view byte_order_mark(Encoding encoding) {
    switch (encoding) {
        case Encoding::Utf8:
            return "\xEF\xBB\xBF";
        case Encoding::Utf16Le:
            return "\xFF\xFE";
        case Encoding::Utf16Be:
            return "\xFE\xFF";
        case Encoding::Windows1252:
            break;
    }
    return {};
}

std::optional<EncodingChoice> encoding_choice(std::string_view name) {
    const std::string lower = lower_ascii(name);
    if (lower == "utf-8" || lower == "utf8") return EncodingChoice::Utf8;
    if (lower == "utf-16" || lower == "utf16") return EncodingChoice::Utf16;
    if (lower == "windows-1252" || lower == "cp1252" || lower == "windows1252") {
        return EncodingChoice::Windows1252;
    }
    return std::nullopt;
}

TextEncoding detect_encoding(std::string_view start, bool whole_input,
                             std::optional<EncodingChoice> choice) {
    const auto marked = [start](Encoding encoding) {
        return start.starts_with(byte_order_mark(encoding));
    };
    // What the user names wins; its own mark is still a mark.
    if (choice == EncodingChoice::Utf8) return {Encoding::Utf8, marked(Encoding::Utf8)};
    if (choice == EncodingChoice::Windows1252) return {Encoding::Windows1252, false};
    const std::optional<Encoding> utf16 = utf16_by_nul_bytes(start);
    if (choice == EncodingChoice::Utf16) {
        for (const Encoding order : {Encoding::Utf16Le, Encoding::Utf16Be}) {
            if (marked(order)) return {order, true};
        }
        return {utf16.value_or(Encoding::Utf16Le), false};
    }
    for (const Encoding encoding : {Encoding::Utf8, Encoding::Utf16Le, Encoding::Utf16Be}) {
        if (marked(encoding)) return {encoding, true};
    }
    if (utf16) return {*utf16, false};
    if (starts_like_utf8(start, whole_input)) return {Encoding::Utf8, false};
    return {Encoding::Windows1252, false};
}

const Windows1252& Windows1252::get() {
    static const Windows1252 code_page;
    return code_page;
}

Windows1252::Windows1252() {
    Iconv to_utf16("UTF-16LE", "WINDOWS-1252");
    for (std::size_t byte = 0; byte < to_utf16_.size(); ++byte) {
        std::string unit;
        const char in = static_cast<char>(byte);
        if (!to_utf16.ok() || to_utf16.convert(std::string_view(&in, 1), unit) != 0 ||
            unit.size() != 2) {
            to_utf16_[byte] = unassigned;
            continue;
        }
        to_utf16_[byte] = static_cast<char16_t>(static_cast<unsigned char>(unit[0]) |
                                                static_cast<unsigned char>(unit[1]) << 8);
    }
}

bool Windows1252::decode(std::string_view bytes, std::span<char16_t> out) const {
    bool assigned = true;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out[i] = to_utf16_[static_cast<unsigned char>(bytes[i])];
        assigned = assigned && out[i] != unassigned;
    }
    return assigned;
}

bool Windows1252::decode_to_utf8(std::string_view bytes, std::string& out) const {
    for (const char byte : bytes) {
        const char16_t unit = to_utf16_[static_cast<unsigned char>(byte)];
        if (unit == unassigned) return false;
        append_code_point(unit, out);
    }
    return true;
}

void Windows1252::encode_utf8(std::string_view utf8, std::string& out) const {
    // ASCII, as keys always are, is the same bytes.
    if (std::all_of(utf8.begin(), utf8.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        out.append(utf8);
        return;
    }
    std::size_t at = 0;
    while (at < utf8.size()) {
        bool cut = false;
        const char32_t c = next_code_point(utf8, at, cut);
        if (cut) break;
        const auto* found = std::find(to_utf16_.begin(), to_utf16_.end(), c);
        out.push_back(c < unassigned && found != to_utf16_.end()
                          ? static_cast<char>(found - to_utf16_.begin())
                          : '?');
    }
    if (at < utf8.size()) out.push_back('?');
}

Utf16Source::Utf16Source(ByteSource& source, bool big_endian)
    : source_(source), big_endian_(big_endian) {}

std::error_code Utf16Source::read_some(std::span<char> buffer, std::size_t& count) {
    count = 0;
    // Two bytes of UTF-16 give at most three of UTF-8; reads of more than
    // 64 KiB would gain nothing.
    constexpr std::size_t largest_read = std::size_t{64} << 10;
    const std::size_t room = std::clamp<std::size_t>(buffer.size() / 3 * 2, 4, largest_read);
    std::string& out = converted_;
    while (out.empty()) {
        const std::size_t kept = bytes_.size();
        bytes_.resize(std::max(room, kept + 2));
        std::size_t got = 0;
        const std::error_code error =
            source_.read_some(std::span(bytes_).subspan(kept, bytes_.size() - kept), got);
        bytes_.resize(kept + got);
        const bool at_end = got == 0;
        if (error) return error;
        const auto unit_at = [&](std::size_t i) -> char16_t {
            const auto first = static_cast<unsigned char>(bytes_[i]);
            const auto second = static_cast<unsigned char>(bytes_[i + 1]);
            return static_cast<char16_t>(big_endian_ ? first << 8 | second : second << 8 | first);
        };
        std::size_t i = 0;
        for (; i + 1 < bytes_.size(); i += 2) {
            const char16_t unit = unit_at(i);
            if (is_high_surrogate(unit)) {
                if (i + 3 < bytes_.size()) {
                    const char16_t next = unit_at(i + 2);
                    if (is_low_surrogate(next)) {
                        append_code_point(0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00), out);
                        i += 2;
                        continue;
                    }
                } else if (!at_end) {
                    break;  // its low half may be in the next read
                }
            }
            append_code_point(unit, out);
        }
        bytes_.erase(0, i);
        if (at_end) {
            if (!bytes_.empty()) odd_last_byte_ = bytes_.front();
            bytes_.clear();
            break;
        }
    }
    count = std::min(out.size(), buffer.size());
    std::copy_n(out.data(), count, buffer.data());
    out.erase(0, count);
    return {};
}

std::error_code Utf16Sink::write_all(std::string_view utf8) {
    pending_.append(utf8);
    out_.clear();
    std::size_t at = 0;
    while (at < pending_.size()) {
        const std::size_t before = at;
        bool cut = false;
        const char32_t c = next_code_point(pending_, at, cut);
        if (cut) {
            at = before;
            break;
        }
        if (c >= 0x10000) {
            append_unit(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)), big_endian_, out_);
            append_unit(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)), big_endian_, out_);
        } else {
            append_unit(static_cast<char16_t>(c), big_endian_, out_);
        }
    }
    pending_.erase(0, at);
    return sink_.write_all(out_);
}

LookaheadSource::LookaheadSource(ByteSource& source, std::size_t limit) : source_(source) {
    while (head_.size() < limit) {
        const std::size_t had = head_.size();
        head_.resize(limit);
        std::size_t got = 0;
        error_ = source_.read_some(std::span(head_).subspan(had), got);
        head_.resize(had + got);
        if (error_ || got == 0) {
            whole_input_ = !error_;
            break;
        }
        if (source_.interactive() && head_.find('\n', had) != std::string::npos) break;
    }
}

std::error_code LookaheadSource::read_some(std::span<char> buffer, std::size_t& count) {
    if (position_ < head_.size()) {
        count = std::min(buffer.size(), head_.size() - position_);
        std::copy_n(head_.data() + position_, count, buffer.data());
        position_ += count;
        return {};
    }
    if (error_ || whole_input_) {
        count = 0;
        return error_;
    }
    return source_.read_some(buffer, count);
}

}  // namespace delimited
