// Reading a date of birth as people and spreadsheets write it: "1980-01-15",
// "15/01/1980", "5/1/1980", "15.01.1980", "15/01/1980 00:00",
// "1980-01-15T00:00:00". Every front end reads typed dates only through
// here, and offers only the days of `supported_birth_dates`.
#pragma once

#include <chrono>
#include <string_view>
#include <variant>

namespace keycalc {

// Why a text is not a date of birth.
enum class DateError {
    NotADate,      // no known form, e.g. "ayer", "1980-01-15 25:00" or "15/01-1980"
    NoSuchDay,     // the right shape, but not a calendar day, e.g. 1980-02-31 or 13/25/1980
    OutOfRange,    // a calendar day outside supported_birth_dates
    TwoDigitYear,  // e.g. "15/01/80": the century is a guess, so it is refused
};

// The first and last day a date of birth may be: the date picker's limits,
// and the days a typed date may name.
struct DateRange {
    std::chrono::year_month_day first, last;
};
inline constexpr DateRange supported_birth_dates{
    std::chrono::year{1601} / std::chrono::January / 1,
    std::chrono::year{9999} / std::chrono::December / 31};

using BirthDate = std::variant<std::chrono::year_month_day, DateError>;

// Reads `text` in one of these forms, the year always with four digits, the
// day and month with one or two, and the day always before the month when the
// year comes last:
//     YYYY-MM-DD   YYYY/MM/DD   DD/MM/YYYY   DD-MM-YYYY   DD.MM.YYYY
// optionally followed by a space (or, after YYYY-MM-DD, a "T") and a time
// H:MM, H:MM:SS or H:MM:SS.fff, which must be a real time of day and is then
// ignored. Spaces and tabs around the whole text are ignored. The day must be
// a real one within supported_birth_dates.
BirthDate parse_birth_date(std::string_view text);

}  // namespace keycalc
