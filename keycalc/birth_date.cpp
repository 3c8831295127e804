#include "birth_date.h"

#include "field_text.h"

namespace keycalc {
namespace {

constexpr std::size_t year_digits = 4;
constexpr std::size_t short_year_digits = 2;
constexpr unsigned last_hour = 23;
constexpr unsigned last_minute = 59;
constexpr unsigned last_second = 59;
constexpr std::size_t most_fraction_digits = 9;

bool is_digit(char c) { return c >= '0' && c <= '9'; }
// A run of decimal digits at the start of a text.
struct Number {
    unsigned value = 0;
    std::size_t digits = 0;
};

// Takes the digits at the start of `text` off it. Runs longer than a year has
// digits are only counted, so that the value cannot overflow.
Number take_number(std::string_view& text) {
    Number number;
    while (number.digits < text.size() && is_digit(text[number.digits])) {
        if (number.digits < year_digits) {
            number.value = number.value * 10 + static_cast<unsigned>(text[number.digits] - '0');
        }
        ++number.digits;
    }
    text.remove_prefix(number.digits);
    return number;
}

bool take_char(std::string_view& text, char c) {
    if (text.empty() || text.front() != c) return false;
    text.remove_prefix(1);
    return true;
}

bool is_day_or_month(const Number& n) { return n.digits == 1 || n.digits == 2; }

// Whether `text` is exactly a time of day: H:MM, H:MM:SS or H:MM:SS.fff, the
// hour with one or two digits.
bool is_time_of_day(std::string_view text) {
    const Number hour = take_number(text);
    if (!is_day_or_month(hour) || hour.value > last_hour) return false;
    if (!take_char(text, ':')) return false;
    const Number minute = take_number(text);
    if (minute.digits != 2 || minute.value > last_minute) return false;
    if (text.empty()) return true;
    if (!take_char(text, ':')) return false;
    const Number second = take_number(text);
    if (second.digits != 2 || second.value > last_second) return false;
    if (text.empty()) return true;
    if (!take_char(text, '.')) return false;
    const Number fraction = take_number(text);
    return fraction.digits >= 1 && fraction.digits <= most_fraction_digits && text.empty();
}

// What follows the date: nothing, or a separator and a time of day.
bool is_time_tail(std::string_view tail, bool iso_date) {
    if (tail.empty()) return true;
    const char separator = tail.front();
    if (separator != ' ' && !(iso_date && separator == 'T')) return false;
    return is_time_of_day(tail.substr(1));
}

bool is_year_first_separator(char c) { return c == '-' || c == '/'; }
bool is_day_first_separator(char c) { return c == '/' || c == '-' || c == '.'; }

BirthDate calendar_day(unsigned year, unsigned month, unsigned day) {
    const std::chrono::year_month_day date{std::chrono::year{static_cast<int>(year)},
                                           std::chrono::month{month}, std::chrono::day{day}};
    if (!date.ok()) return DateError::NoSuchDay;
    if (date < supported_birth_dates.first || date > supported_birth_dates.last) {
        return DateError::OutOfRange;
    }
    return date;
}

// The usual form, YYYY-MM-DD with nothing around it, read straight; it means
// what the general reading below makes of it.
bool is_plain_iso_date(std::string_view text) {
    constexpr std::string_view form = "0000-00-00";
    if (text.size() != form.size()) return false;
    for (std::size_t i = 0; i < form.size(); ++i) {
        if (form[i] == '-' ? text[i] != '-' : !is_digit(text[i])) return false;
    }
    return true;
}

unsigned digits_value(std::string_view digits) {
    unsigned value = 0;
    for (const char c : digits) value = value * 10 + static_cast<unsigned>(c - '0');
    return value;
}

}  // namespace

BirthDate parse_birth_date(std::string_view text) {
    if (is_plain_iso_date(text)) {
        constexpr std::size_t month_at = year_digits + 1, day_at = month_at + 3;
        return calendar_day(digits_value(text.substr(0, year_digits)),
                            digits_value(text.substr(month_at, 2)),
                            digits_value(text.substr(day_at, 2)));
    }
    std::string_view rest = trim_blanks(text);
    const Number first = take_number(rest);
    if (rest.empty()) return DateError::NotADate;
    const char separator = rest.front();
    rest.remove_prefix(1);
    const Number second = take_number(rest);
    if (!take_char(rest, separator)) return DateError::NotADate;
    const Number third = take_number(rest);
    if (!is_day_or_month(second)) return DateError::NotADate;

    if (first.digits == year_digits) {
        if (!is_year_first_separator(separator) || !is_day_or_month(third)) {
            return DateError::NotADate;
        }
        if (!is_time_tail(rest, separator == '-')) return DateError::NotADate;
        return calendar_day(first.value, second.value, third.value);
    }
    if (!is_day_or_month(first) || !is_day_first_separator(separator) ||
        !is_time_tail(rest, false)) {
        return DateError::NotADate;
    }
    if (third.digits == short_year_digits) return DateError::TwoDigitYear;
    if (third.digits != year_digits) return DateError::NotADate;
    return calendar_day(third.value, second.value, first.value);
}

}  // namespace keycalc
