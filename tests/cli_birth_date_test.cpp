#include <gtest/gtest.h>

#include "birth_date.h"

namespace rfc_cli {
namespace {

using namespace std::chrono;

struct DateCase {
    const char* text;
    BirthDate expected;
};

void PrintTo(const DateCase& c, std::ostream* os) { *os << c.text; }

class BirthDateTest : public testing::TestWithParam<DateCase> {};

TEST_P(BirthDateTest, Parses) {
    EXPECT_EQ(parse_birth_date(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Dates, BirthDateTest,
    testing::Values(
        DateCase{"1980-01-15", year{1980} / January / 15},
        DateCase{"15/01/1980", year{1980} / January / 15},
        DateCase{"2000-02-29", year{2000} / February / 29},
        DateCase{"29/02/2000", year{2000} / February / 29},
        DateCase{"1601-01-01", year{1601} / January / 1},
        DateCase{"9999-12-31", year{9999} / December / 31},
        DateCase{"31/12/9999", year{9999} / December / 31},
        DateCase{"1900-02-29", DateError::NoSuchDay}, DateCase{"31/02/1980", DateError::NoSuchDay},
        DateCase{"1980-13-01", DateError::NoSuchDay}, DateCase{"1980-00-10", DateError::NoSuchDay},
        DateCase{"00/01/1980", DateError::NoSuchDay}, DateCase{"1600-12-31", DateError::OutOfRange},
        DateCase{"01/01/0000", DateError::OutOfRange}, DateCase{"ayer", DateError::NotADate},
        DateCase{"", DateError::NotADate}, DateCase{"1980-1-15", DateError::NotADate},
        DateCase{"1980/01/15", DateError::NotADate}, DateCase{"15-01-1980", DateError::NotADate},
        DateCase{" 1980-01-15", DateError::NotADate}, DateCase{"1980-01-15 ", DateError::NotADate},
        DateCase{"198a-01-15", DateError::NotADate}, DateCase{"+980-01-15", DateError::NotADate},
        DateCase{"10000-01-01", DateError::NotADate}));

}  // namespace
}  // namespace rfc_cli
