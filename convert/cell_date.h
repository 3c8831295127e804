// The date of birth a file's cell holds: a date in any form people write,
// a spreadsheet's day number where the column is named as the date, or the
// date within a CURP.
//
//     "15/01/1980", "29235" in a date column, "PELJ800115HDFRPN09"  ->  1980-01-15
#pragma once

#include <chrono>
#include <optional>
#include <string_view>

#include "birth_date.h"
#include "row_reason.h"

namespace convert {

// The date `cell` holds, read with `options`, or when `from_curp` the date
// of the CURP it holds, which may have spaces around it. Else nothing, and
// `why` is NoDate, BadDate, NoCurp or BadCurp.
std::optional<std::chrono::year_month_day> cell_birth_date(std::string_view cell, bool from_curp,
                                                           keycalc::DateOptions options,
                                                           RowReason& why);

}  // namespace convert
