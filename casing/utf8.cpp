#include "utf8.h"

#include <algorithm>

#include "utf16.h"
#include "utf8_sequence.h"

namespace casing {
namespace {

constexpr char16_t replacement_character = 0xFFFD;

// The length of the well-formed UTF-8 sequence at `p`, whose lead byte is past
// ASCII, with its value in `c`; 0 when the bytes there are no such sequence
// (overlong forms, encoded surrogates, values past U+10FFFF and sequences cut
// short included).
std::size_t well_formed_sequence(const unsigned char* p, const unsigned char* end, char32_t& c) {
    const keycalc::text::Utf8Sequence sequence = keycalc::text::read_utf8_sequence(
        {reinterpret_cast<const char*>(p), static_cast<std::size_t>(end - p)});
    if (!keycalc::text::is_well_formed(sequence)) return 0;
    c = sequence.value;
    return sequence.length;
}

}  // namespace

std::size_t decode_character(std::string_view utf8, char32_t& c) {
    if (utf8.empty()) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    if (p[0] < 0x80) {
        c = p[0];
        return 1;
    }
    return well_formed_sequence(p, p + utf8.size(), c);
}

char32_t next_wtf8_code_point(std::string_view utf8, std::size_t& at, bool& cut) {
    const keycalc::text::Utf8Sequence sequence = keycalc::text::read_utf8_sequence(utf8.substr(at));
    cut = sequence.ends_text;
    if (cut) return replacement_character;
    at += sequence.length;
    return keycalc::text::is_whole_in_shortest_form(sequence) ? sequence.value
                                                              : replacement_character;
}

std::size_t start_of_cut_character(std::string_view utf8) {
    for (std::size_t back = 1; back < keycalc::text::longest_utf8_sequence && back <= utf8.size();
         ++back) {
        const std::size_t at = utf8.size() - back;
        // A continuation byte: the sequence starts further back.
        if (keycalc::text::is_utf8_continuation(static_cast<unsigned char>(utf8[at]))) continue;
        const auto sequence = keycalc::text::read_utf8_sequence(utf8.substr(at));
        return keycalc::text::could_become_well_formed(sequence) ? at : utf8.size();
    }
    return utf8.size();
}

void append_code_point(char32_t c, std::string& out) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool is_well_formed_utf8(std::string_view utf8) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = p + utf8.size();
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        char32_t c;
        const std::size_t length = well_formed_sequence(p, end, c);
        if (length == 0) return false;
        p += length;
    }
    return true;
}

bool utf8_to_utf16(std::string_view utf8, std::u16string& out) {
    out.resize(utf8.size());  // never more code units than bytes
    std::size_t units = 0;
    if (!utf8_into_utf16(utf8, out, units)) return false;
    out.resize(units);
    return true;
}

bool utf8_into_utf16(std::string_view utf8, std::span<char16_t> out, std::size_t& units) {
    // ASCII, the usual case, is widened byte for byte in one pass that also
    // tells whether it was ASCII; anything else is decoded again below.
    char16_t* written = out.data();
    unsigned char bits = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        bits |= byte;
        written[i] = byte;
    }
    if (bits < 0x80) {
        units = utf8.size();
        return true;
    }

    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = p + utf8.size();
    while (p < end) {
        // Read here rather than through well_formed_sequence: inline, the
        // reading of an ASCII byte folds down to a copy.
        const keycalc::text::Utf8Sequence sequence = keycalc::text::read_utf8_sequence(
            {reinterpret_cast<const char*>(p), static_cast<std::size_t>(end - p)});
        if (!keycalc::text::is_well_formed(sequence)) return false;
        written = write_utf16(sequence.value, written);
        p += sequence.length;
    }
    units = static_cast<std::size_t>(written - out.data());
    return true;
}

std::u16string utf8_to_utf16_replacing(std::string_view utf8) {
    std::u16string out;
    utf8_to_utf16_replacing(utf8, out);
    return out;
}

void utf8_to_utf16_replacing(std::string_view utf8, std::u16string& out) {
    if (utf8_to_utf16(utf8, out) && !out.starts_with(u'\uFEFF')) return;
    constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";
    if (utf8.starts_with(byte_order_mark)) utf8.remove_prefix(byte_order_mark.size());
    out.resize(utf8.size());  // never more code units than bytes
    char16_t* written = out.data();
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = p + utf8.size();
    while (p < end) {
        char32_t c = *p;
        const std::size_t length = c < 0x80 ? 1 : well_formed_sequence(p, end, c);
        written = write_utf16(length == 0 ? replacement_character : c, written);
        p += length == 0 ? 1 : length;
    }
    out.resize(static_cast<std::size_t>(written - out.data()));
}

void append_utf8(std::u16string_view utf16, std::string& out, std::string_view lone_surrogate) {
    // ASCII, nearly always: narrowed in the same pass that finds out, and
    // taken back when some unit was not.
    const std::size_t start = out.size();
    out.resize(start + utf16.size());
    char* const written = out.data() + start;
    char16_t bits = 0;
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        bits |= utf16[i];
        written[i] = static_cast<char>(utf16[i]);
    }
    if (bits < 0x80) return;
    out.resize(start);
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char16_t unit = utf16[i];
        if (unit < 0x80) {
            out.push_back(static_cast<char>(unit));
        } else if (is_high_surrogate(unit) && i + 1 < utf16.size() &&
                   is_low_surrogate(utf16[i + 1])) {
            append_code_point(pair_code_point(unit, utf16[i + 1]), out);
            ++i;
        } else if (is_high_surrogate(unit) || is_low_surrogate(unit)) {
            out.append(lone_surrogate);
        } else {
            append_code_point(unit, out);
        }
    }
}

std::string utf16_to_utf8(std::u16string_view utf16, std::string_view lone_surrogate) {
    std::string out;
    out.reserve(utf16.size());
    append_utf8(utf16, out, lone_surrogate);
    return out;
}

}  // namespace casing
