#include "birth_date.h"

#include <algorithm>
#include <array>
#include <optional>

#include "field_text.h"
#include "invisible_space.h"

namespace keycalc {
namespace {

using namespace std::chrono;

constexpr std::size_t year_digits = 4;
constexpr std::size_t short_year_digits = 2;
constexpr unsigned last_hour = 23;
constexpr unsigned last_clock_hour = 12;  // on the twelve-hour clock, which starts at 1
constexpr unsigned last_minute = 59;
constexpr unsigned last_second = 59;
constexpr std::size_t most_fraction_digits = 9;
constexpr unsigned last_month = 12;
constexpr unsigned first_day_not_month = 13, last_day = 31;

// Spreadsheets count days from 1 on 1 January 1900 and take 1900 for a leap
// year: their day 60 is a 29 February that never was, and from day 61 on a
// day's number counts from 30 December 1899.
constexpr unsigned phantom_leap_day = 60;
constexpr unsigned last_serial = 2958465;  // 31 December 9999
constexpr std::size_t most_serial_digits = 7;
constexpr sys_days serial_epoch{year{1899} / December / 30};

constexpr unsigned char first_non_ascii = 0x80;

// No form is longer than this once each invisible space is one plain space.
constexpr std::size_t longest_date = 64;

// A Spanish month's name or abbreviation, as dates are written with them.
struct MonthName {
    std::string_view name;
    unsigned month;
    bool abbreviation;  // may end in a dot: "ene."
};
constexpr std::array<MonthName, 27> month_names = {{
    {"enero", 1, false},      {"febrero", 2, false},  {"marzo", 3, false},
    {"abril", 4, false},      {"mayo", 5, false},     {"junio", 6, false},
    {"julio", 7, false},      {"agosto", 8, false},   {"septiembre", 9, false},
    {"setiembre", 9, false},  {"octubre", 10, false}, {"noviembre", 11, false},
    {"diciembre", 12, false}, {"ene", 1, true},       {"feb", 2, true},
    {"mar", 3, true},         {"abr", 4, true},       {"may", 5, true},
    {"jun", 6, true},         {"jul", 7, true},       {"ago", 8, true},
    {"sep", 9, true},         {"sept", 9, true},      {"set", 9, true},
    {"oct", 10, true},        {"nov", 11, true},      {"dic", 12, true},
}};

// What a month's name stands between: "15 de enero de 1980", "15 ene 1980",
// "15-ene-1980", "15/ene/1980". " de " is tried before " ".
constexpr std::array<std::string_view, 4> month_name_separators = {" de ", " ", "-", "/"};

// How a twelve-hour time ends: "a. m.", "p. m.", "a.m.", "AM", "pm"...
constexpr std::array<std::string_view, 6> clock_halves = {"a. m.", "p. m.", "a.m.",
                                                          "p.m.",  "am",    "pm"};

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool is_ascii(char c) { return static_cast<unsigned char>(c) < first_non_ascii; }
// One pass without an early exit: dates are short, and nearly always ASCII.
bool is_ascii(std::string_view text) {
    unsigned char bits = 0;
    for (const char c : text) bits |= static_cast<unsigned char>(c);
    return is_ascii(static_cast<char>(bits));
}

// Whether `text` is `lower_case` in any case.
bool equals_in_any_case(std::string_view text, std::string_view lower_case) {
    return text.size() == lower_case.size() &&
           std::equal(text.begin(), text.end(), lower_case.begin(),
                      [](char a, char b) { return lower(a) == b; });
}
bool starts_in_any_case(std::string_view text, std::string_view lower_case) {
    return equals_in_any_case(text.substr(0, lower_case.size()), lower_case);
}

// A run of decimal digits at the start of a text.
struct Number {
    unsigned value = 0;
    std::size_t digits = 0;
};

// Takes the digits at the start of `text` off it. Runs longer than a serial
// day has digits are only counted, so that the value cannot overflow.
Number take_number(std::string_view& text) {
    Number number;
    while (number.digits < text.size() && is_digit(text[number.digits])) {
        if (number.digits < most_serial_digits) {
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
bool is_minute(const Number& n) { return n.digits == 2 && n.value <= last_minute; }

// Takes a time of day off the start of `text`: H:MM, H:MM:SS or H:MM:SS.fff,
// the hour with one or two digits. Returns the hour, or nothing when there is
// no well-formed time there.
std::optional<unsigned> take_time_of_day(std::string_view& text) {
    const Number hour = take_number(text);
    if (!is_day_or_month(hour) || hour.value > last_hour || !take_char(text, ':')) {
        return std::nullopt;
    }
    if (!is_minute(take_number(text))) return std::nullopt;
    if (!take_char(text, ':')) return hour.value;
    const Number second = take_number(text);
    if (second.digits != 2 || second.value > last_second) return std::nullopt;
    if (!take_char(text, '.')) return hour.value;
    const Number fraction = take_number(text);
    if (fraction.digits < 1 || fraction.digits > most_fraction_digits) return std::nullopt;
    return hour.value;
}

// A time after a space: on the 24-hour clock, or on the twelve-hour one with
// its half of the day after it ("12:00 a. m." is midnight).
bool is_clock_time(std::string_view text) {
    const std::optional<unsigned> hour = take_time_of_day(text);
    if (!hour || text.empty()) return hour.has_value();
    take_char(text, ' ');
    return *hour >= 1 && *hour <= last_clock_hour &&
           std::any_of(clock_halves.begin(), clock_halves.end(),
                       [text](std::string_view half) { return equals_in_any_case(text, half); });
}

// An ISO time after the "T", alone or with its zone: "Z", "+06:00", "-0600", "-06".
bool is_zoned_time(std::string_view text) {
    if (!take_time_of_day(text)) return false;
    // Z and T may be written small, as RFC 3339 allows.
    if (text.empty() || text == "Z" || text == "z") return true;
    if (!take_char(text, '+') && !take_char(text, '-')) return false;
    const Number offset = take_number(text);
    constexpr std::size_t hour_digits = 2, hour_and_minute_digits = 4;
    constexpr unsigned hours = 100;  // what the hour weighs in "0600"
    if (offset.digits == hour_and_minute_digits) {
        return text.empty() && offset.value / hours <= last_hour &&
               offset.value % hours <= last_minute;
    }
    if (offset.digits != hour_digits || offset.value > last_hour) return false;
    return text.empty() || (take_char(text, ':') && is_minute(take_number(text)) && text.empty());
}

// What follows the date: nothing, or a separator and a time of day.
bool is_time_tail(std::string_view tail, bool iso_date) {
    if (tail.empty()) return true;
    const char separator = tail.front();
    tail.remove_prefix(1);
    if (separator == ' ') return is_clock_time(tail);
    return iso_date && (separator == 'T' || separator == 't') && is_zoned_time(tail);
}

bool is_year_first_separator(char c) { return c == '-' || c == '/'; }
bool is_day_first_separator(char c) { return c == '/' || c == '-' || c == '.'; }

BirthDate supported_day(year_month_day date) {
    if (date < supported_birth_dates.first || date > supported_birth_dates.last) {
        return DateError::OutOfRange;
    }
    return date;
}

BirthDate calendar_day(unsigned y, unsigned m, unsigned d) {
    const year_month_day date{year{static_cast<int>(y)}, month{m}, day{d}};
    if (!date.ok()) return DateError::NoSuchDay;
    return supported_day(date);
}

// The usual forms, with nothing around them: where their year, month and day
// are, each "0" of `form` standing for a digit.
struct FixedForm {
    std::string_view form;
    std::size_t year_at, month_at, day_at;
};
constexpr FixedForm iso_form{"0000-00-00", 0, 5, 8};
constexpr FixedForm day_first_form{"00/00/0000", 6, 3, 0};

// Templates, so that each form is read by code made for it.
template <const FixedForm& fixed>
bool has_form(std::string_view text) {
    if (text.size() != fixed.form.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (fixed.form[i] == '0' ? !is_digit(text[i]) : text[i] != fixed.form[i]) return false;
    }
    return true;
}

unsigned digits_value(std::string_view digits) {
    unsigned value = 0;
    for (const char c : digits) value = value * 10 + static_cast<unsigned>(c - '0');
    return value;
}

template <const FixedForm& fixed>
BirthDate fixed_form_day(std::string_view text) {
    constexpr std::size_t two_digits = 2;
    return calendar_day(digits_value(text.substr(fixed.year_at, year_digits)),
                        digits_value(text.substr(fixed.month_at, two_digits)),
                        digits_value(text.substr(fixed.day_at, two_digits)));
}

// A spreadsheet's day number, maybe with a fraction of a day; nothing when
// `text` is not a plain number.
std::optional<BirthDate> read_serial(std::string_view text) {
    const Number serial = take_number(text);
    if (serial.digits == 0) return std::nullopt;
    if (take_char(text, '.') && take_number(text).digits == 0) return std::nullopt;
    if (!text.empty()) return std::nullopt;
    // More digits than any day number has, zeros in front or not: most likely
    // a date written without separators (01011980), which is no known form.
    if (serial.digits > most_serial_digits || serial.value == 0) return DateError::NotADate;
    if (serial.value > last_serial) return DateError::OutOfRange;
    if (serial.value == phantom_leap_day) return DateError::February29Of1900;
    const unsigned count = serial.value < phantom_leap_day ? serial.value + 1 : serial.value;
    return supported_day(year_month_day{serial_epoch + days{count}});
}

const MonthName* month_named(std::string_view word) {
    const auto found = std::find_if(month_names.begin(), month_names.end(), [word](const auto& m) {
        return equals_in_any_case(word, m.name);
    });
    return found == month_names.end() ? nullptr : &*found;
}

// The year of a date written day first, then what follows it.
BirthDate day_first_date(const Number& day_number, unsigned month_number, std::string_view rest) {
    const Number year_number = take_number(rest);
    if (!is_time_tail(rest, false)) return DateError::NotADate;
    if (year_number.digits == short_year_digits) return DateError::TwoDigitYear;
    if (year_number.digits != year_digits) return DateError::NotADate;
    return calendar_day(year_number.value, month_number, day_number.value);
}

// Whether what follows the first number may be a month's name: a space, or
// a separator and a letter. Numbers alone, the usual case, are not looked at
// any further.
bool may_name_month(std::string_view rest) {
    return rest.front() == ' ' || (rest.size() > 1 && is_letter(rest[1]));
}

// "15-ene-1980", "15 de enero de 1980": nothing when no month's name follows
// the day.
std::optional<BirthDate> read_month_name(const Number& day_number, std::string_view rest) {
    const auto separator = std::find_if(
        month_name_separators.begin(), month_name_separators.end(), [rest](std::string_view s) {
            return rest.size() > s.size() && starts_in_any_case(rest, s) &&
                   is_letter(rest[s.size()]);
        });
    if (separator == month_name_separators.end()) return std::nullopt;
    rest.remove_prefix(separator->size());
    std::size_t letters = 0;
    while (letters < rest.size() && is_letter(rest[letters])) ++letters;
    const MonthName* named = month_named(rest.substr(0, letters));
    rest.remove_prefix(letters);
    if (named == nullptr || !is_day_or_month(day_number)) return DateError::NotADate;
    if (named->abbreviation) take_char(rest, '.');
    // "15 de enero del 1980", as it is often said.
    constexpr std::string_view of = " de ", of_the = " del ";
    const std::string_view before_year =
        *separator == of && starts_in_any_case(rest, of_the) ? of_the : *separator;
    if (!starts_in_any_case(rest, before_year)) return DateError::NotADate;
    rest.remove_prefix(before_year.size());
    return day_first_date(day_number, named->month, rest);
}

BirthDate read_numbers(const Number& first, std::string_view rest) {
    const char separator = rest.front();
    rest.remove_prefix(1);
    const Number second = take_number(rest);
    if (!take_char(rest, separator) || !is_day_or_month(second)) return DateError::NotADate;
    if (first.digits == year_digits) {
        const Number third = take_number(rest);
        if (!is_year_first_separator(separator) || !is_day_or_month(third) ||
            !is_time_tail(rest, separator == '-')) {
            return DateError::NotADate;
        }
        return calendar_day(first.value, second.value, third.value);
    }
    if (!is_day_or_month(first) || !is_day_first_separator(separator)) return DateError::NotADate;
    const BirthDate date = day_first_date(first, second.value, rest);
    // Only a day can be 13 or more: before it must be the month.
    const auto* error = std::get_if<DateError>(&date);
    if (error && *error == DateError::NoSuchDay && first.value >= 1 && first.value <= last_month &&
        second.value >= first_day_not_month && second.value <= last_day) {
        return DateError::MonthFirst;
    }
    return date;
}

// `text`, trimmed, in any of the forms (of which YYYY-MM-DD and DD/MM/YYYY
// alone have been read straight already).
BirthDate read_date(std::string_view text, DateOptions options) {
    if (options.spreadsheet_serials) {
        if (const std::optional<BirthDate> serial = read_serial(text)) return *serial;
    }
    const Number first = take_number(text);
    if (text.empty()) return DateError::NotADate;
    if (may_name_month(text)) {
        if (const std::optional<BirthDate> named = read_month_name(first, text)) return *named;
    }
    return read_numbers(first, text);
}

// `text` with every invisible space made a plain one, in `buffer`; nothing
// when it holds another character past ASCII, or more than any date holds.
std::optional<std::string_view> plain_spaces(std::string_view text,
                                             std::array<char, longest_date>& buffer) {
    std::size_t size = 0;
    while (!text.empty()) {
        const std::size_t invisible = invisible_space_at_start(text);
        if ((invisible == 0 && !is_ascii(text.front())) || size == buffer.size()) {
            return std::nullopt;
        }
        buffer[size++] = invisible == 0 ? text.front() : ' ';
        text.remove_prefix(std::max<std::size_t>(invisible, 1));
    }
    return std::string_view(buffer.data(), size);
}

}  // namespace

BirthDate parse_birth_date(std::string_view text) { return parse_birth_date(text, {}); }

BirthDate parse_birth_date(std::string_view text, DateOptions options) {
    // The usual forms, with nothing around them, read straight; they mean what
    // the general reading below makes of them, which also says why a day
    // written day first is no calendar day.
    if (has_form<iso_form>(text)) return fixed_form_day<iso_form>(text);
    if (has_form<day_first_form>(text)) {
        const BirthDate date = fixed_form_day<day_first_form>(text);
        if (!std::holds_alternative<DateError>(date)) return date;
    }
    const std::string_view trimmed = trim_blanks(text);
    const BirthDate date = read_date(trimmed, options);
    // Any byte past ASCII stops every form, so only then are invisible spaces
    // looked for, and the text read again with plain ones.
    if (date != BirthDate{DateError::NotADate} || is_ascii(trimmed)) return date;
    std::array<char, longest_date> buffer;
    const std::optional<std::string_view> plain = plain_spaces(trim_spaces(trimmed, " \t"), buffer);
    return plain ? read_date(*plain, options) : DateError::NotADate;
}

}  // namespace keycalc
