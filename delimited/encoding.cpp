#include "encoding.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "utf8.h"

namespace delimited {
namespace {

// Windows-1252 is Latin-1 but for the 32 bytes 0x80-0x9F, which Windows gives
// to typographic marks and a few letters; five of them are left unassigned.
constexpr char16_t unassigned = 0xFFFF;
constexpr std::size_t high_controls_start = 0x80;
constexpr std::array<char16_t, 32> high_controls = {
    0x20AC,     unassigned, 0x201A, 0x0192, 0x201E, 0x2026,     0x2020, 0x2021,      // 80-87
    0x02C6,     0x2030,     0x0160, 0x2039, 0x0152, unassigned, 0x017D, unassigned,  // 88-8F
    unassigned, 0x2018,     0x2019, 0x201C, 0x201D, 0x2022,     0x2013, 0x2014,      // 90-97
    0x02DC,     0x2122,     0x0161, 0x203A, 0x0153, unassigned, 0x017E, 0x0178,      // 98-9F
};

constexpr std::array<char16_t, 256> make_windows1252_table() {
    std::array<char16_t, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte) {
        table[byte] = static_cast<char16_t>(byte);
    }
    for (std::size_t i = 0; i < high_controls.size(); ++i) {
        table[high_controls_start + i] = high_controls[i];
    }
    return table;
}

// The character of every byte; `unassigned` for the five that have none.
constexpr std::array<char16_t, 256> windows1252_to_utf16 = make_windows1252_table();

// The byte of `c` in Windows-1252, or nothing when it has none.
constexpr std::optional<unsigned char> windows1252_byte(char32_t c) {
    const bool latin1 = c < high_controls_start || (c >= 0xA0 && c <= 0xFF);
    if (latin1) return static_cast<unsigned char>(c);
    if (c >= unassigned) return std::nullopt;
    for (std::size_t i = 0; i < high_controls.size(); ++i) {
        if (high_controls[i] == c) return static_cast<unsigned char>(high_controls_start + i);
    }
    return std::nullopt;
}
static_assert(windows1252_byte(u'\u20AC') == 0x80 && windows1252_byte(u'\u00C9') == 0xC9);
static_assert(!windows1252_byte(0x81) && !windows1252_byte(unassigned));

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
    if (const std::optional<Encoding> mark = marked_encoding(start)) return {*mark, true};
    if (utf16) return {*utf16, false};
    if (starts_as_utf8(start, whole_input)) return {Encoding::Utf8, false};
    return {Encoding::Windows1252, false};
}

std::optional<Encoding> marked_encoding(std::string_view start) {
    for (const Encoding encoding : {Encoding::Utf8, Encoding::Utf16Le, Encoding::Utf16Be}) {
        if (start.starts_with(byte_order_mark(encoding))) return encoding;
    }
    return std::nullopt;
}

bool starts_as_utf8(std::string_view start, bool whole_input) {
    const std::size_t complete = whole_input ? start.size() : casing::start_of_cut_character(start);
    return casing::is_well_formed_utf8(start.substr(0, complete));
}

const Windows1252& Windows1252::get() {
    static const Windows1252 code_page;
    return code_page;
}

bool Windows1252::decode(std::string_view bytes, std::span<char16_t> out) const {
    bool assigned = true;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out[i] = windows1252_to_utf16[static_cast<unsigned char>(bytes[i])];
        assigned = assigned && out[i] != unassigned;
    }
    return assigned;
}

bool Windows1252::decode_to_utf8(std::string_view bytes, std::string& out) const {
    for (const char byte : bytes) {
        const char16_t unit = windows1252_to_utf16[static_cast<unsigned char>(byte)];
        if (unit == unassigned) return false;
        casing::append_code_point(unit, out);
    }
    return true;
}

void Windows1252::encode_utf8(std::string_view utf8, std::string& out) const {
    const std::size_t from = out.size();
    out.append(utf8);
    encode_utf8_in_place(out, from);
}

void Windows1252::encode_utf8_in_place(std::string& text, std::size_t from) const {
    // ASCII, as keys always are, is the same bytes.
    if (std::all_of(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return;
    }
    // Every character takes one byte, no more than it took in UTF-8, so the
    // bytes are written over those already read.
    std::size_t at = from;
    std::size_t written = from;
    while (at < text.size()) {
        bool cut = false;
        const char32_t c = casing::next_wtf8_code_point(text, at, cut);
        if (cut) break;
        text[written++] = static_cast<char>(windows1252_byte(c).value_or('?'));
    }
    if (at < text.size()) text[written++] = '?';
    text.resize(written);
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
            if (casing::is_high_surrogate(unit)) {
                if (i + 3 < bytes_.size()) {
                    const char16_t next = unit_at(i + 2);
                    if (casing::is_low_surrogate(next)) {
                        casing::append_code_point(casing::pair_code_point(unit, next), out);
                        i += 2;
                        continue;
                    }
                } else if (!at_end) {
                    break;  // its low half may be in the next read
                }
            }
            casing::append_code_point(unit, out);
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
        const auto byte = static_cast<unsigned char>(pending_[at]);
        if (byte < 0x80) {  // most of any text, read here without a call
            append_unit(byte, big_endian_, out_);
            ++at;
            continue;
        }
        const std::size_t before = at;
        bool cut = false;
        const char32_t c = casing::next_wtf8_code_point(pending_, at, cut);
        if (cut) {
            at = before;
            break;
        }
        char16_t units[2];
        const char16_t* const units_end = casing::write_utf16(c, units);
        for (const char16_t* unit = units; unit != units_end; ++unit) {
            append_unit(*unit, big_endian_, out_);
        }
    }
    pending_.erase(0, at);
    return sink_.write_all(out_);
}

LookaheadSource::LookaheadSource(ByteSource& source, std::size_t limit) : source_(source) {
    // Grown by doubling: a pipe may hand over a few bytes a read, and making
    // room each time would clear the rest of it again and again; and a small
    // input clears no more than it needs.
    // A source that knows its size gets room for all of it and one byte
    // more, which shows the end without growing.
    const std::optional<std::size_t> left = source.bytes_left();
    const std::size_t first_room = left ? *left + 1 : 4096;
    std::size_t size = 0;
    while (size < limit) {
        if (size == head_.size()) head_.resize(std::min(limit, std::max(first_room, 2 * size)));
        std::size_t got = 0;
        error_ = source_.read_some(std::span(head_).subspan(size), got);
        if (error_ || got == 0) {
            whole_input_ = !error_;
            break;
        }
        size += got;
        if (source_.interactive() && head_.find('\n', size - got) < size) break;
    }
    head_.resize(size);
}

std::optional<std::size_t> LookaheadSource::bytes_left() const {
    const std::size_t in_head = head_.size() - position_;
    if (whole_input_) return in_head;
    if (error_) return std::nullopt;
    const std::optional<std::size_t> in_source = source_.bytes_left();
    if (!in_source) return std::nullopt;
    return in_head + *in_source;
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
