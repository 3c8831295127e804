#include "digits.h"

#include <charconv>
#include <iterator>

namespace words {

void append_digits(std::string& out, std::uint32_t value, std::size_t width, Hex hex) {
    char digits[16];
    const char* end =
        std::to_chars(std::begin(digits), std::end(digits), value, hex == Hex::No ? 10 : 16).ptr;
    const auto count = static_cast<std::size_t>(end - digits);
    if (count < width) out.append(width - count, '0');
    for (const char* at = digits; at != end; ++at) {
        out += hex == Hex::Capitals && *at >= 'a' ? static_cast<char>(*at - 'a' + 'A') : *at;
    }
}

namespace {

void append_year(std::string& out, std::chrono::year year) {
    const int value = static_cast<int>(year);
    if (value < 0) out += '-';
    append_digits(out, static_cast<std::uint32_t>(value < 0 ? -value : value), 4);
}

}  // namespace

std::string date_text(std::chrono::year_month_day date) {
    std::string text;
    append_year(text, date.year());
    text += '-';
    append_digits(text, static_cast<unsigned>(date.month()), 2);
    text += '-';
    append_digits(text, static_cast<unsigned>(date.day()), 2);
    return text;
}

std::string day_first_date_text(std::chrono::year_month_day date) {
    std::string text;
    append_digits(text, static_cast<unsigned>(date.day()), 2);
    text += '/';
    append_digits(text, static_cast<unsigned>(date.month()), 2);
    text += '/';
    append_year(text, date.year());
    return text;
}

}  // namespace words
