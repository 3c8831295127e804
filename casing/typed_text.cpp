#include "typed_text.h"

#include "upper_case.h"
#include "utf8.h"

namespace casing {

std::u16string upper_case_utf8(std::string_view typed) {
    std::u16string text = utf8_to_utf16_replacing(typed);
    upper_case_in_place(text);
    return text;
}

std::string to_utf8(std::u16string_view text) {
    return utf16_to_utf8(text, lone_surrogate_question_mark);
}

}  // namespace casing
