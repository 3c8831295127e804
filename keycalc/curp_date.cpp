#include "curp_date.h"

#include <array>

#include "field_text.h"

namespace keycalc {
namespace {

// What may stand at each position of a CURP.
enum class Kind { Letter, Digit, LetterOrDigit };

constexpr std::array<Kind, 18> curp_shape = {
    Kind::Letter,        Kind::Letter, Kind::Letter, Kind::Letter,  // surnames and name
    Kind::Digit,         Kind::Digit,  Kind::Digit,  Kind::Digit,   // yymm
    Kind::Digit,         Kind::Digit,                               // dd
    Kind::Letter,                                                   // sex
    Kind::Letter,        Kind::Letter,                              // state of birth
    Kind::Letter,        Kind::Letter, Kind::Letter,                // inner consonants
    Kind::LetterOrDigit,                                            // century and homonyms
    Kind::Digit,                                                    // check digit
};
constexpr std::size_t date_start = 4;  // 0-based: characters 5 to 10
constexpr std::size_t century_position = 16;
constexpr int nineteen_hundred = 1900;
constexpr int two_thousand = 2000;

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool fits(Kind kind, char c) {
    switch (kind) {
        case Kind::Letter:
            return is_letter(c);
        case Kind::Digit:
            return is_digit(c);
        case Kind::LetterOrDigit:
            return is_letter(c) || is_digit(c);
    }
    return false;
}

unsigned two_digits(std::string_view text, std::size_t at) {
    return static_cast<unsigned>(text[at] - '0') * 10 + static_cast<unsigned>(text[at + 1] - '0');
}

}  // namespace

std::variant<std::chrono::year_month_day, CurpError> birth_date_from_curp(std::string_view curp) {
    const std::string_view text = trim_blanks(curp);
    if (text.size() != curp_shape.size()) return CurpError::BadShape;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!fits(curp_shape[i], text[i])) return CurpError::BadShape;
    }
    const int century = is_digit(text[century_position]) ? nineteen_hundred : two_thousand;
    const std::chrono::year_month_day date{
        std::chrono::year{century + static_cast<int>(two_digits(text, date_start))},
        std::chrono::month{two_digits(text, date_start + 2)},
        std::chrono::day{two_digits(text, date_start + 4)}};
    if (!date.ok()) return CurpError::NoSuchDay;
    return date;
}

}  // namespace keycalc
