#include "curp_date.h"

#include <gtest/gtest.h>

namespace keycalc {
namespace {

using namespace std::chrono;
using CurpDate = std::variant<year_month_day, CurpError>;

struct CurpCase {
    const char* curp;
    CurpDate expected;
};

void PrintTo(const CurpCase& c, std::ostream* os) { *os << '"' << c.curp << '"'; }

class CurpDateTest : public testing::TestWithParam<CurpCase> {};

TEST_P(CurpDateTest, ReadsTheDateOrSaysWhyNot) {
    EXPECT_EQ(birth_date_from_curp(GetParam().curp), GetParam().expected) << GetParam().curp;
}

INSTANTIATE_TEST_SUITE_P(
    Dates, CurpDateTest,
    testing::Values(CurpCase{"GOPJ800115HDFNRS09", year{1980} / January / 15},
                    CurpCase{"GOPJ050115MDFNRSA3", year{2005} / January / 15},
                    // The century character decides, not the two digits of the year.
                    CurpCase{"GOPJ050115HDFNRS01", year{1905} / January / 15},
                    CurpCase{"GOPJ991231HDFNRSZ1", year{2099} / December / 31},
                    CurpCase{"GOPJ000229HDFNRSB1", year{2000} / February / 29},
                    CurpCase{"GOPJ000229HDFNRS01", CurpError::NoSuchDay},  // 1900 was no leap year
                    CurpCase{"GOPJ801315HDFNRS09", CurpError::NoSuchDay},
                    CurpCase{"GOPJ800100HDFNRS09", CurpError::NoSuchDay},
                    CurpCase{"GOPJ800231HDFNRS09", CurpError::NoSuchDay},
                    // Lenient on case, surrounding blanks and the sex marker.
                    CurpCase{"gopj800115hdfnrs09", year{1980} / January / 15},
                    CurpCase{"  GOPJ800115HDFNRS09\t", year{1980} / January / 15},
                    CurpCase{"GOPJ800115XDFNRS09", year{1980} / January / 15}));

INSTANTIATE_TEST_SUITE_P(
    Shapes, CurpDateTest,
    testing::Values(
        CurpCase{"", CurpError::BadShape}, CurpCase{"GOPJ800115HDFNRS0", CurpError::BadShape},
        CurpCase{"GOPJ800115HDFNRS091", CurpError::BadShape},
        CurpCase{"GOPJ 800115HDFNRS09", CurpError::BadShape},
        CurpCase{"GOP1800115HDFNRS09", CurpError::BadShape},  // a digit among the letters
        CurpCase{"GOPJ8O0115HDFNRS09", CurpError::BadShape},  // a letter O in the date
        CurpCase{"GOPJ800115HDFNRS-9", CurpError::BadShape},  // century neither digit nor letter
        CurpCase{"GOPJ800115HDFNRS0A", CurpError::BadShape},  // check character not a digit
        CurpCase{"GOPJ8001151DFNRS09", CurpError::BadShape},  // sex not a letter
        CurpCase{"GOPJ800115HD3NRS09", CurpError::BadShape},  // state not letters
        CurpCase{"GÓPJ800115HDFNRS0", CurpError::BadShape},   // 18 bytes, but not 18 letters
        CurpCase{"1980-01-15", CurpError::BadShape}));

}  // namespace
}  // namespace keycalc
