#include <gtest/gtest.h>

#include "outcome_words.h"

namespace words {
namespace {

using keycalc::CurpError;
using keycalc::DateError;

TEST(DateErrorText, SaysWhyForEveryError) {
    for (const DateError error :
         {DateError::NotADate, DateError::NoSuchDay, DateError::OutOfRange, DateError::TwoDigitYear,
          DateError::MonthFirst, DateError::February29Of1900}) {
        EXPECT_FALSE(date_error_text(error).empty());
    }
    EXPECT_NE(date_error_text(DateError::TwoDigitYear).find("cuatro"), std::string_view::npos);
}

TEST(CurpErrorText, NamesTheCurp) {
    for (const CurpError error : {CurpError::BadShape, CurpError::NoSuchDay}) {
        EXPECT_NE(curp_error_text(error).find("CURP"), std::string_view::npos);
    }
}

}  // namespace
}  // namespace words
