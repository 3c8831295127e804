// Fields as people type them into forms and spreadsheets: dates, CURPs and
// column names come with blanks around them that mean nothing.
#pragma once

#include <string_view>

namespace keycalc {

// `text` without the characters of `blanks` at either end.
constexpr std::string_view trim_blanks(std::string_view text, std::string_view blanks = " \t") {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace keycalc
