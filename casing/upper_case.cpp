#include "upper_case.h"

#include <QChar>

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
    const char32_t upper = QChar::toUpper(char32_t{c});
    // A character is one code unit here: a form outside the BMP would need two.
    return upper <= 0xFFFF ? static_cast<char16_t>(upper) : c;
}

void upper_case_in_place(std::u16string& text) {
    // Most names are plain ASCII: then two passes without branches or calls.
    char16_t bits = 0;
    for (const char16_t c : text) bits |= c;
    if (bits < 0x80) {
        for (char16_t& c : text) c = ascii_upper_case(c);
        return;
    }
    for (char16_t& c : text) c = upper_case_char(c);
}

std::u16string upper_case(std::u16string_view text) {
    std::u16string result(text);
    upper_case_in_place(result);
    return result;
}

}  // namespace casing
