#include "upper_case.h"

#include "character_tables.h"

namespace casing {
namespace {

// a-z and A-Z are the only case pairs in ASCII.
char16_t ascii_upper_case(char16_t c) {
    return static_cast<char16_t>(c - (static_cast<char16_t>(c - u'a') < 26 ? u'a' - u'A' : 0));
}

}  // namespace

char16_t upper_case_char(char16_t c) {
    // Most names are plain ASCII, whose only case pairs are a-z and A-Z; the
    // rest goes to the Unicode tables.
    if (c < 0x80) return ascii_upper_case(c);
    // A character is one code unit here: the tables leave a character whose
    // upper case lies outside the BMP unchanged, as it would need two.
    using namespace tables;
    constexpr unsigned block_mask = (1u << upper_case_block_bits) - 1;
    const std::uint8_t block = upper_case_block[c >> upper_case_block_bits];
    return static_cast<char16_t>(c +
                                 upper_case_delta[upper_case_delta_index[block][c & block_mask]]);
}

void upper_case_in_place(std::span<char16_t> text) {
    // ASCII letters first, in one pass without branches or calls, since most
    // names are plain ASCII; only a text with other characters takes a second
    // pass, through the Unicode tables, for those characters.
    char16_t bits = 0;
    for (char16_t& c : text) {
        bits |= c;
        c = ascii_upper_case(c);
    }
    if (bits < 0x80) return;
    for (char16_t& c : text) {
        if (c >= 0x80) c = upper_case_char(c);
    }
}

bool upper_case_ascii(std::string_view ascii, std::span<char16_t> out) {
    // Widening and upper-casing in the same pass.
    unsigned char bits = 0;
    for (std::size_t i = 0; i < ascii.size(); ++i) {
        const auto byte = static_cast<unsigned char>(ascii[i]);
        bits |= byte;
        out[i] = ascii_upper_case(byte);
    }
    return bits < 0x80;
}

void upper_case_in_place(std::u16string& text) { upper_case_in_place(std::span<char16_t>(text)); }

std::u16string upper_case(std::u16string_view text) {
    std::u16string result(text);
    upper_case_in_place(result);
    return result;
}

}  // namespace casing
