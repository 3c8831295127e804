#include "birth_date.h"

#include <gtest/gtest.h>

namespace keycalc {
namespace {

using namespace std::chrono;

struct DateCase {
    std::string text;
    BirthDate expected;
    DateOptions options = {};
};

void PrintTo(const DateCase& c, std::ostream* os) {
    *os << '"' << c.text << '"' << (c.options.spreadsheet_serials ? " (serials)" : "");
}

class BirthDateTest : public testing::TestWithParam<DateCase> {};

TEST_P(BirthDateTest, Parses) {
    EXPECT_EQ(parse_birth_date(GetParam().text, GetParam().options), GetParam().expected)
        << GetParam().text;
}

constexpr year_month_day jan15 = year{1980} / January / 15;
constexpr year_month_day may1 = year{1980} / May / 1;
constexpr year_month_day sep15 = year{1980} / September / 15;
constexpr DateOptions serials{.spreadsheet_serials = true};
const std::string nbsp = "\u00A0";

INSTANTIATE_TEST_SUITE_P(
    Forms, BirthDateTest,
    testing::Values(
        DateCase{"1980-01-15", jan15}, DateCase{"15/01/1980", jan15}, DateCase{"15-01-1980", jan15},
        DateCase{"15.01.1980", jan15}, DateCase{"1980/01/15", jan15},
        // The day always comes before the month: 1/5 is the first of May.
        DateCase{"1/5/1980", may1}, DateCase{"01/5/1980", may1}, DateCase{"1/05/1980", may1},
        DateCase{"1-5-1980", may1}, DateCase{"1.5.1980", may1}, DateCase{"1980-5-1", may1},
        DateCase{"1980/5/01", may1},
        // Spreadsheets write a time after the date.
        DateCase{"15/01/1980 00:00", jan15}, DateCase{"15/01/1980 0:00", jan15},
        DateCase{"15/01/1980 00:00:00", jan15}, DateCase{"1980-01-15 00:00:00", jan15},
        DateCase{"1980-01-15T00:00:00", jan15}, DateCase{"1980-01-15 23:59:59.999", jan15},
        DateCase{"1980/01/15 12:30", jan15},
        // Cells often carry spaces around the value.
        DateCase{" 15/01/1980 ", jan15}, DateCase{"\t1980-01-15 00:00\t", jan15},
        // Months by their Spanish names, in any case, abbreviated with or without a dot.
        DateCase{"15-ene-1980", jan15}, DateCase{"15/ENE/1980", jan15},
        DateCase{"15 ene 1980", jan15}, DateCase{"15 ene. 1980", jan15},
        DateCase{"15 de enero de 1980", jan15}, DateCase{"15 de ene de 1980", jan15},
        DateCase{"15 de Enero del 1980", jan15}, DateCase{"1980-01-15t00:00:00z", jan15},
        DateCase{"15 De Enero DE 1980 00:00", jan15}, DateCase{"1-May-1980", may1},
        DateCase{"1 de mayo de 1980", may1}, DateCase{"15 sept. 1980", sep15},
        DateCase{"15-set-1980", sep15}, DateCase{"15 de setiembre de 1980", sep15},
        DateCase{"15-Dic-1980", year{1980} / December / 15},
        // Twelve-hour times, and ISO times with their zone; the date is as written.
        DateCase{"15/01/1980 12:00:00 a. m.", jan15}, DateCase{"15/01/1980 12:00:00 p. m.", jan15},
        DateCase{"15/01/1980 1:30 a.m.", jan15}, DateCase{"15/01/1980 11:59 PM", jan15},
        DateCase{"15/01/1980 12:00am", jan15}, DateCase{"1980-01-15 12:00 P.M.", jan15},
        DateCase{"1980-01-15T23:30Z", jan15}, DateCase{"1980-01-15T23:30:00+06:00", jan15},
        DateCase{"1980-01-15T00:00:00.000-0600", jan15}, DateCase{"1980-01-15T00:00-06", jan15},
        // Invisible spaces count as spaces: dropped around, one space inside.
        DateCase{nbsp + "15/01/1980\u200B", jan15},
        DateCase{"15/01/1980 12:00:00 a." + nbsp + "m.", jan15},
        DateCase{"\u3000 1980-01-15 \uFEFF", jan15}, DateCase{"1980-01-15\u202F00:00", jan15},
        DateCase{"15\u2002ene\u2009"
                 "1980",
                 jan15},
        DateCase{std::string(40, ' ') +
                     "\u2003\u2003\u2003\u2003\u2003\u2003\u2003"
                     "\u2003\u2003\u2003\u2003\u2003\u2003\u2003\u2003\u2003\u2003"
                     "\u2003\u2003\u2003\u2003\u2003\u2003\u2003\u2003\u2003\u2003"
                     "15/01/1980" +
                     nbsp + nbsp + nbsp + nbsp + nbsp + nbsp + nbsp + nbsp + nbsp + nbsp + nbsp +
                     nbsp + nbsp + nbsp + nbsp + nbsp + nbsp + nbsp + nbsp + nbsp + nbsp + nbsp +
                     nbsp + nbsp + nbsp + nbsp,
                 jan15},
        // A spreadsheet's day numbers, where the caller allows them.
        DateCase{"29235", jan15, serials}, DateCase{"29235.5", jan15, serials},
        DateCase{" 029235 ", jan15, serials},
        DateCase{"0000001", year{1900} / January / 1, serials},
        DateCase{"15/01/1980", jan15, serials}, DateCase{"1", year{1900} / January / 1, serials},
        DateCase{"59", year{1900} / February / 28, serials},
        DateCase{"61", year{1900} / March / 1, serials},
        DateCase{"2958465", year{9999} / December / 31, serials}));

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
        DateCase{"15/01/1980 99999999999:00", DateError::NotADate},
        DateCase{"15/01/1980 00:00 a. m.", DateError::NotADate},
        DateCase{"15/01/1980 13:00 PM", DateError::NotADate},
        DateCase{"15/01/1980 12:00 a m", DateError::NotADate},
        DateCase{"15/01/1980 12:00  pm", DateError::NotADate},
        DateCase{"15/01/1980 12:00 pm.", DateError::NotADate},
        DateCase{"1980-01-15T12:00 pm", DateError::NotADate},
        // A zone only after the "T" of YYYY-MM-DD, and only a well-formed one.
        DateCase{"1980-01-15 00:00Z", DateError::NotADate},
        DateCase{"1980-01-15T00:00zz", DateError::NotADate},
        DateCase{"1980-01-15T00:00+6", DateError::NotADate},
        DateCase{"1980-01-15T00:00+06:0", DateError::NotADate},
        DateCase{"1980-01-15T00:00+060", DateError::NotADate},
        DateCase{"1980-01-15T00:00+24:00", DateError::NotADate},
        DateCase{"1980-01-15T00:00+0660", DateError::NotADate},
        DateCase{"1980-01-15T00:00Z+06", DateError::NotADate},
        // Month names: both separators alike, a dot only after an abbreviation.
        DateCase{"15-ene-80", DateError::TwoDigitYear},
        DateCase{"15 de enero de 80", DateError::TwoDigitYear},
        DateCase{"31 de febrero de 1980", DateError::NoSuchDay},
        DateCase{"15 enero. 1980", DateError::NotADate},
        DateCase{"15 de enero 1980", DateError::NotADate},
        DateCase{"15-ene/1980", DateError::NotADate}, DateCase{"15.ene.1980", DateError::NotADate},
        DateCase{"15-ener-1980", DateError::NotADate}, DateCase{"ene-15-1980", DateError::NotADate},
        DateCase{"115 ene 1980", DateError::NotADate}, DateCase{"1980 ene 15", DateError::NotADate},
        DateCase{"15 ene", DateError::NotADate}, DateCase{"15 de", DateError::NotADate},
        // The day comes first: a first number that is a month before one only a day can be.
        DateCase{"1/15/1980", DateError::MonthFirst},
        DateCase{"12-31-1980 00:00", DateError::MonthFirst},
        DateCase{"12/31/1980", DateError::MonthFirst}, DateCase{"1/15/80", DateError::TwoDigitYear},
        DateCase{"2/32/1980", DateError::NoSuchDay},
        // Past ASCII only invisible spaces, each counting as one space.
        DateCase{"15/01/1980" + nbsp + nbsp + "00:00", DateError::NotADate},
        DateCase{"15/01/1980 \u00E9", DateError::NotADate},
        DateCase{"15\u00AD/01/1980", DateError::NotADate},
        DateCase{std::string(70, '1') + "\u00A0", DateError::NotADate},
        // A bare number is a day number only where the caller allows it, and
        // then neither 0, nor signed, nor the 29 February 1900 spreadsheets count.
        DateCase{"29235", DateError::NotADate}, DateCase{"0", DateError::NotADate, serials},
        DateCase{"60", DateError::February29Of1900, serials},
        DateCase{"60.25", DateError::February29Of1900, serials},
        DateCase{"2958466", DateError::OutOfRange, serials},
        DateCase{"0000", DateError::NotADate, serials},
        // Longer than a day number: a date without separators, or nothing.
        DateCase{"01011980", DateError::NotADate, serials},
        DateCase{"00029235", DateError::NotADate, serials},
        DateCase{"99999999999", DateError::NotADate, serials},
        DateCase{"+29235", DateError::NotADate, serials},
        DateCase{"-1", DateError::NotADate, serials},
        DateCase{"29235.", DateError::NotADate, serials},
        DateCase{"29235,5", DateError::NotADate, serials},
        DateCase{"29235 00:00", DateError::NotADate, serials}));

}  // namespace
}  // namespace keycalc
