#include "cell_date.h"

#include <variant>

#include "curp_date.h"
#include "invisible_space.h"

namespace convert {

std::optional<std::chrono::year_month_day> cell_birth_date(std::string_view cell, bool from_curp,
                                                           keycalc::DateOptions options,
                                                           RowReason& why) {
    // Asked only once the cell is no date: nearly every cell is one.
    const auto is_blank = [cell] { return keycalc::trim_spaces(cell, " \t").empty(); };
    if (from_curp) {
        const auto date = keycalc::birth_date_from_curp(keycalc::trim_spaces(cell, " \t"));
        if (const auto* error = std::get_if<keycalc::CurpError>(&date)) {
            why = is_blank() ? RowReason{.fault = RowFault::NoCurp}
                             : RowReason{.fault = RowFault::BadCurp, .curp = *error};
            return std::nullopt;
        }
        return std::get<std::chrono::year_month_day>(date);
    }
    const keycalc::BirthDate date = keycalc::parse_birth_date(cell, options);
    if (const auto* error = std::get_if<keycalc::DateError>(&date)) {
        why = is_blank() ? RowReason{.fault = RowFault::NoDate}
                         : RowReason{.fault = RowFault::BadDate, .date = *error};
        return std::nullopt;
    }
    return std::get<std::chrono::year_month_day>(date);
}

}  // namespace convert
