#include "upper_case.h"

#include <QChar>

namespace casing {

char16_t upper_case_char(char16_t c) {
    const char32_t upper = QChar::toUpper(char32_t{c});
    // A character is one code unit here: a form outside the BMP would need two.
    return upper <= 0xFFFF ? static_cast<char16_t>(upper) : c;
}

std::u16string upper_case(std::u16string_view text) {
    std::u16string result(text);
    for (char16_t& c : result) c = upper_case_char(c);
    return result;
}

}  // namespace casing
