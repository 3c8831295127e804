#include "birth_date.h"

#include <optional>

namespace rfc_cli {
namespace {

constexpr std::chrono::year earliest_year{1601};

// The number written by the decimal digits of `digits`, or nothing when any
// character is not a digit.
std::optional<unsigned> read_digits(std::string_view digits) {
    unsigned value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value;
}

struct DateParts {
    std::string_view year, month, day;
};

std::optional<DateParts> split_date(std::string_view text) {
    constexpr std::size_t date_length = 10;
    if (text.size() != date_length) return std::nullopt;
    if (text[4] == '-' && text[7] == '-')
        return DateParts{text.substr(0, 4), text.substr(5, 2), text.substr(8, 2)};
    if (text[2] == '/' && text[5] == '/')
        return DateParts{text.substr(6, 4), text.substr(3, 2), text.substr(0, 2)};
    return std::nullopt;
}

}  // namespace

BirthDate parse_birth_date(std::string_view text) {
    const std::optional<DateParts> parts = split_date(text);
    if (!parts) return DateError::NotADate;
    const auto year = read_digits(parts->year);
    const auto month = read_digits(parts->month);
    const auto day = read_digits(parts->day);
    if (!year || !month || !day) return DateError::NotADate;
    const std::chrono::year_month_day date{std::chrono::year{static_cast<int>(*year)},
                                           std::chrono::month{*month}, std::chrono::day{*day}};
    if (!date.ok()) return DateError::NoSuchDay;
    if (date.year() < earliest_year) return DateError::OutOfRange;
    return date;
}

std::string_view date_error_text(DateError error) {
    switch (error) {
        case DateError::NotADate:
            return "no tiene la forma AAAA-MM-DD ni DD/MM/AAAA";
        case DateError::NoSuchDay:
            return "no existe en el calendario";
        case DateError::OutOfRange:
            return "es anterior al 1601-01-01";
    }
    return {};
}

}  // namespace rfc_cli
