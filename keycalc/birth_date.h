// Reading a date of birth as people and spreadsheets write it: "1980-01-15",
// "15/01/1980", "5/1/1980", "15.01.1980", "15-ene-1980", "15 de enero de
// 1980", "15/01/1980 12:00:00 a. m.", "1980-01-15T00:00:00-06:00" and, in a
// spreadsheet's date column, its day number 29235. Every front end reads typed
// dates only through here, and offers only the days of
// `supported_birth_dates`.
#pragma once

#include <chrono>
#include <string_view>
#include <variant>

namespace keycalc {

// Why a text is not a date of birth.
enum class DateError {
    NotADate,          // no known form, e.g. "ayer", "1980-01-15 25:00" or "15/01-1980"
    NoSuchDay,         // the right shape, but not a calendar day, e.g. 1980-02-31 or 13/25/1980
    OutOfRange,        // a calendar day outside supported_birth_dates
    TwoDigitYear,      // e.g. "15/01/80": the century is a guess, so it is refused
    MonthFirst,        // e.g. "1/15/1980": a month, then a number that only a day can be
    February29Of1900,  // the spreadsheet day 60, which the calendar never had
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

// The forms only some callers take.
struct DateOptions {
    // A day number as spreadsheets count days: 1 is 1900-01-01, 60 their
    // 29 February 1900, 61 is 1900-03-01 and 2958465 is 9999-12-31; a fraction
    // ("29235.5", a date and time) names the same day. Only where the text is
    // known to be a date, such as a file's column named as one: elsewhere a
    // bare number is more likely something else.
    bool spreadsheet_serials = false;
};

// Reads `text` in one of these forms, the year always with four digits, the
// day and month with one or two, and the day always before the month when the
// year comes last:
//     YYYY-MM-DD   YYYY/MM/DD   DD/MM/YYYY   DD-MM-YYYY   DD.MM.YYYY
//     DD-mes-YYYY  DD/mes/YYYY  DD mes YYYY  DD de mes de YYYY
// where "mes" is a Spanish month's name or abbreviation ("enero", "ene",
// "ene."), in any case. A time may follow after a space (or, after
// YYYY-MM-DD, a "T"): H:MM, H:MM:SS or H:MM:SS.fff, which must be a real time
// of day and is then ignored; after a space it may be on the twelve-hour
// clock ("12:00 a. m.", "1:30 PM"), after a "T" it may end in its zone ("Z",
// "+06:00", "-0600", "-06"), and the date is the date as written. Spaces and
// tabs around the whole text are ignored, and invisible spaces (the no-break
// space and its kin, see invisible_space.h) count as spaces. The day must be
// a real one within supported_birth_dates.
BirthDate parse_birth_date(std::string_view text);
BirthDate parse_birth_date(std::string_view text, DateOptions options);

}  // namespace keycalc
