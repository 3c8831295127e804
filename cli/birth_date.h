// Reading a date of birth typed by a person: ISO "1980-01-15" or Mexican
// "15/01/1980". Both `rfc key` and `rfc batch` read dates only through here.
#pragma once

#include <chrono>
#include <string_view>
#include <variant>

namespace rfc_cli {

// Why a text is not a date of birth.
enum class DateError {
    NotADate,    // neither YYYY-MM-DD nor DD/MM/YYYY, e.g. "ayer" or "1980-1-5"
    NoSuchDay,   // the right shape, but not a calendar day, e.g. 1980-02-31
    OutOfRange,  // a calendar day before 1601-01-01
};

using BirthDate = std::variant<std::chrono::year_month_day, DateError>;

// Reads `text`, which must be exactly YYYY-MM-DD or DD/MM/YYYY (two-digit day
// and month, four-digit year, no spaces), a real day from 1601-01-01 to
// 9999-12-31.
BirthDate parse_birth_date(std::string_view text);

// The reason in Spanish, to follow "la fecha ..." in a message.
std::string_view date_error_text(DateError error);

}  // namespace rfc_cli
