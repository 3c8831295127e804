// The date of birth inside a CURP, for files that carry a CURP and no date:
//
//     GOPJ800115HDFNRS09   ->   1980-01-15   (character 17, "0", is a digit: 1900s)
//     GOPJ050115HDFNRSA3   ->   2005-01-15   (character 17, "A", is a letter: 2000s)
#pragma once

#include <chrono>
#include <string_view>
#include <variant>

namespace keycalc {

// Why no date of birth could be read from a CURP.
enum class CurpError {
    BadShape,   // not 18 characters of the CURP's kinds in their places
    NoSuchDay,  // the shape is right, but yymmdd is not a calendar day
};

// The date of birth held in a CURP (18 characters: 4 letters, yymmdd, H/M, 5 letters, a homonym
// character, a check digit): characters 5-10 are yymmdd; character 17 is a digit for births up to
// 1999 and a letter from 2000 on.
//
// Spaces and tabs around the CURP are ignored and letters may be lower case;
// otherwise the shape is checked position by position: letters (A-Z) at
// 1-4 and 11-16, digits at 5-10 and 18, a digit or a letter at 17. The sex at
// 11 may be any letter, so that markers other than H and M still read.
std::variant<std::chrono::year_month_day, CurpError> birth_date_from_curp(std::string_view curp);

}  // namespace keycalc
