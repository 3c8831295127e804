#include "escaped.h"

#include <algorithm>
#include <array>

#include "counted.h"
#include "digits.h"
#include "invisible_space.h"
#include "utf8.h"

namespace words {
namespace {

constexpr unsigned char delete_byte = 0x7F;
constexpr char32_t first_c1 = 0x80;
constexpr char32_t last_c1 = 0x9F;

// Characters that print as nothing, or change how the text around them
// reads: line breaks, the marks, embeddings, overrides and isolates of
// bidirectional text, the byte-order mark, and the characters Unicode calls
// default ignorable (joiners, fillers, variation selectors, tags), which a
// message would otherwise show as an unexplained extra character.
struct CodeRange {
    char32_t first, last;
};
constexpr std::array<CodeRange, 20> layout_controls = {{
    {0x00AD, 0x00AD},  // soft hyphen
    {0x034F, 0x034F},  // combining grapheme joiner
    {0x061C, 0x061C},  // Arabic letter mark
    {0x115F, 0x1160},  // Hangul fillers
    {0x17B4, 0x17B5},  // Khmer inherent vowels
    {0x180B, 0x180F},  // Mongolian variation selectors and vowel separator
    {0x200B,
     0x200F},  // zero-width space, non-joiner and joiner; left-to-right and right-to-left marks
    {0x2028, 0x202E},    // line and paragraph separators, embeddings and overrides
    {0x2060, 0x206F},    // word joiner, invisible operators, isolates, deprecated format controls
    {0x3164, 0x3164},    // Hangul filler
    {0xE000, 0xF8FF},    // private use, which shows as nothing or as anything
    {0xFE00, 0xFE0F},    // variation selectors
    {0xFEFF, 0xFEFF},    // byte-order mark, invisible inside text
    {0xFFA0, 0xFFA0},    // halfwidth Hangul filler
    {0xFFF0, 0xFFFB},    // interlinear annotation controls and unassigned specials
    {0x1BCA0, 0x1BCA3},  // shorthand format controls
    {0x1D173, 0x1D17A},  // musical symbol format controls
    {0xE0000, 0xE0FFF},  // tags and variation selectors supplement
    {0xF0000, 0xFFFFD},  // supplementary private use
    {0x100000, 0x10FFFD},
}};

bool is_layout_control(char32_t c) {
    return std::any_of(layout_controls.begin(), layout_controls.end(),
                       [c](const CodeRange& r) { return c >= r.first && c <= r.last; });
}

void append_byte_escape(unsigned char byte, std::string& out) {
    switch (byte) {
        case '\n':
            out += "\\n";
            return;
        case '\r':
            out += "\\r";
            return;
        case '\t':
            out += "\\t";
            return;
        default:
            out += "\\x";
            append_digits(out, byte, 2, Hex::Small);
    }
}

void append_code_point_escape(char32_t c, std::string& out) {
    out += "\\u{";
    append_digits(out, static_cast<std::uint32_t>(c), 1, Hex::Small);
    out += '}';
}

// The bytes of the character that starts `text`: a stray byte is one.
std::size_t character_length(std::string_view text) {
    if (static_cast<unsigned char>(text.front()) < 0x80) return 1;
    char32_t c = 0;
    return std::max<std::size_t>(casing::decode_character(text, c), 1);
}

}  // namespace

std::string escaped(std::string_view arg) {
    std::string out;
    out.reserve(arg.size());
    std::size_t i = 0;
    while (i < arg.size()) {
        const auto byte = static_cast<unsigned char>(arg[i]);
        if (byte < 0x80) {
            if (byte < 0x20 || byte == delete_byte) {
                append_byte_escape(byte, out);
            } else {
                out.push_back(static_cast<char>(byte));
            }
            ++i;
            continue;
        }
        char32_t c = 0;
        const std::size_t length = casing::decode_character(arg.substr(i), c);
        if (length == 0) {
            append_byte_escape(byte, out);
            ++i;
            continue;
        }
        if ((c >= first_c1 && c <= last_c1) || is_layout_control(c) ||
            keycalc::is_invisible_space(c)) {
            append_code_point_escape(c, out);
        } else {
            out.append(arg.substr(i, length));
        }
        i += length;
    }
    return out;
}

std::string echoed(std::string_view arg, std::size_t limit) {
    std::size_t kept_bytes = 0, count = 0;
    for (std::size_t i = 0; i < arg.size(); i += character_length(arg.substr(i))) {
        if (count == limit) kept_bytes = i;
        ++count;
    }
    if (count <= limit) return "«" + escaped(arg) + "»";
    return "«" + escaped(arg.substr(0, kept_bytes)) + "…» (" + counted(count, noun::characters) +
           ")";
}

std::string echoed_file_name(std::string_view name) { return echoed(name, file_name_limit); }

}  // namespace words
