#include "message_text.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "utf8.h"

namespace rfc_cli {
namespace {

constexpr unsigned char delete_byte = 0x7F;
constexpr char32_t first_c1 = 0x80;
constexpr char32_t last_c1 = 0x9F;

// Characters that print as nothing yet change how the text around them reads:
// line breaks, the marks, embeddings, overrides and isolates of bidirectional
// text, and the byte-order mark.
struct CodeRange {
    char32_t first, last;
};
constexpr std::array<CodeRange, 5> layout_controls = {{
    {0x061C, 0x061C},  // Arabic letter mark
    {0x200E, 0x200F},  // left-to-right and right-to-left marks
    {0x2028, 0x202E},  // line and paragraph separators, embeddings and overrides
    {0x2066, 0x2069},  // isolates
    {0xFEFF, 0xFEFF},  // byte-order mark, invisible inside text
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
            char text[8];
            std::snprintf(text, sizeof text, "\\x%02x", static_cast<unsigned>(byte));
            out += text;
    }
}

void append_code_point_escape(char32_t c, std::string& out) {
    char text[16];
    std::snprintf(text, sizeof text, "\\u{%x}", static_cast<unsigned>(c));
    out += text;
}

// The length of the UTF-8 sequence that `lead` starts, or 0 for a byte that
// starts none.
std::size_t sequence_length(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// The code point of a well-formed sequence, decoded by the one UTF-8 decoder
// of the command line; nothing when it is not one.
bool decode(std::string_view sequence, char32_t& c) {
    std::u16string units;
    if (!delimited::utf8_to_utf16(sequence, units)) return false;
    c = units.size() == 2 ? 0x10000 + ((char32_t{units[0]} - 0xD800) << 10) + (units[1] - 0xDC00)
                          : char32_t{units[0]};
    return true;
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
        const std::size_t length = sequence_length(byte);
        char32_t c = 0;
        if (length == 0 || !decode(arg.substr(i, length), c)) {
            append_byte_escape(byte, out);
            ++i;
            continue;
        }
        if ((c >= first_c1 && c <= last_c1) || is_layout_control(c)) {
            append_code_point_escape(c, out);
        } else {
            out.append(arg.substr(i, length));
        }
        i += length;
    }
    return out;
}

}  // namespace rfc_cli
