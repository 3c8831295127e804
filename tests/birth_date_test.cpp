#include "birth_date.h"

#include <gtest/gtest.h>

namespace keycalc {
namespace {

using namespace std::chrono;

struct DateCase {
    const char* text;
    BirthDate expected;
};

void PrintTo(const DateCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class BirthDateTest : public testing::TestWithParam<DateCase> {};

TEST_P(BirthDateTest, Parses) {
    EXPECT_EQ(parse_birth_date(GetParam().text), GetParam().expected) << GetParam().text;
}

constexpr year_month_day jan15 = year{1980} / January / 15;
constexpr year_month_day may1 = year{1980} / May / 1;

INSTANTIATE_TEST_SUITE_P(
    Forms, BirthDateTest,
    testing::Values(DateCase{"1980-01-15", jan15}, DateCase{"15/01/1980", jan15},
                    DateCase{"15-01-1980", jan15}, DateCase{"15.01.1980", jan15},
                    DateCase{"1980/01/15", jan15},
                    // The day always comes before the month: 1/5 is the first of May.
                    DateCase{"1/5/1980", may1}, DateCase{"01/5/1980", may1},
                    DateCase{"1/05/1980", may1}, DateCase{"1-5-1980", may1},
                    DateCase{"1.5.1980", may1}, DateCase{"1980-5-1", may1},
                    DateCase{"1980/5/01", may1},
                    // Spreadsheets write a time after the date.
                    DateCase{"15/01/1980 00:00", jan15}, DateCase{"15/01/1980 0:00", jan15},
                    DateCase{"15/01/1980 00:00:00", jan15}, DateCase{"1980-01-15 00:00:00", jan15},
                    DateCase{"1980-01-15T00:00:00", jan15},
                    DateCase{"1980-01-15 23:59:59.999", jan15}, DateCase{"1980/01/15 12:30", jan15},
                    // Cells often carry spaces around the value.
                    DateCase{" 15/01/1980 ", jan15}, DateCase{"\t1980-01-15 00:00\t", jan15}));

INSTANTIATE_TEST_SUITE_P(Limits, BirthDateTest,
                         testing::Values(DateCase{"2000-02-29", year{2000} / February / 29},
                                         DateCase{"29/02/2000", year{2000} / February / 29},
                                         DateCase{"1601-01-01", year{1601} / January / 1},
                                         DateCase{"31/12/9999", year{9999} / December / 31},
                                         DateCase{"1900-02-29", DateError::NoSuchDay},
                                         DateCase{"31/02/1980", DateError::NoSuchDay},
                                         DateCase{"1980-13-01", DateError::NoSuchDay},
                                         DateCase{"1980-00-10", DateError::NoSuchDay},
                                         DateCase{"00/01/1980", DateError::NoSuchDay},
                                         DateCase{"13/25/1980", DateError::NoSuchDay},
                                         DateCase{"1600-12-31", DateError::OutOfRange},
                                         DateCase{"01/01/0000", DateError::OutOfRange},
                                         DateCase{"10000-01-01", DateError::NotADate},
                                         DateCase{"1/1/10000", DateError::NotADate}));

INSTANTIATE_TEST_SUITE_P(
    Refusals, BirthDateTest,
    testing::Values(
        DateCase{"15/01/80", DateError::TwoDigitYear}, DateCase{"5.1.80", DateError::TwoDigitYear},
        DateCase{"15-01-80 00:00", DateError::TwoDigitYear},
        // Not a date at all, however close.
        DateCase{"ayer", DateError::NotADate}, DateCase{"", DateError::NotADate},
        DateCase{"   ", DateError::NotADate}, DateCase{"1980", DateError::NotADate},
        DateCase{"15/01", DateError::NotADate}, DateCase{"15/01/", DateError::NotADate},
        DateCase{"15/01-1980", DateError::NotADate}, DateCase{"1980.01.15", DateError::NotADate},
        DateCase{"15/01/980", DateError::NotADate}, DateCase{"80-01-15", DateError::TwoDigitYear},
        DateCase{"015/01/1980", DateError::NotADate}, DateCase{"1980-001-15", DateError::NotADate},
        DateCase{"198a-01-15", DateError::NotADate}, DateCase{"+980-01-15", DateError::NotADate},
        DateCase{"1980-01-15x", DateError::NotADate},
        DateCase{"15/01/1980T00:00", DateError::NotADate},
        // A time must be a well-formed time of day.
        DateCase{"15/01/1980 24:00", DateError::NotADate},
        DateCase{"15/01/1980 00:60", DateError::NotADate},
        DateCase{"15/01/1980 00:00:60", DateError::NotADate},
        DateCase{"15/01/1980 0:0", DateError::NotADate},
        DateCase{"15/01/1980 00", DateError::NotADate},
        DateCase{"15/01/1980 00:00:", DateError::NotADate},
        DateCase{"15/01/1980 00:00:00.", DateError::NotADate},
        DateCase{"15/01/1980  00:00", DateError::NotADate},
        DateCase{"1980-01-15 00:00 PM", DateError::NotADate},
        DateCase{"15/01/1980 99999999999:00", DateError::NotADate}));

}  // namespace
}  // namespace keycalc
