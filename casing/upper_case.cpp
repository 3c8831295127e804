#include "upper_case.h"

#include <QChar>

namespace casing {

char16_t upper_case_char(char16_t c) {
    // Most names are plain ASCII, whose only case pairs are a-z and A-Z; the
    // rest goes to the Unicode tables.
    if (c < 0x80) return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - (u'a' - u'A')) : c;
    const char32_t upper = QChar::toUpper(char32_t{c});
    // A character is one code unit here: a form outside the BMP would need two.
    return upper <= 0xFFFF ? static_cast<char16_t>(upper) : c;
}

void upper_case_in_place(std::u16string& text) {
    for (char16_t& c : text) c = upper_case_char(c);
}

std::u16string upper_case(std::u16string_view text) {
    std::u16string result(text);
    upper_case_in_place(result);
    return result;
}

}  // namespace casing
