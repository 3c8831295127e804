// Numbers written into messages with zeros in front, as dates and code points
// are shown, without printf and its formatting machinery:
//
//     append_digits(out, 7, 2)               ->  "07"
//     append_digits(out, 0xe9, 4, Hex::Capitals)  ->  "00E9"
//     date_text(1980y / 1 / 15)              ->  "1980-01-15"
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace words {

enum class Hex { No, Small, Capitals };

// `value` in decimal (or hexadecimal), at least `width` digits.
void append_digits(std::string& out, std::uint32_t value, std::size_t width = 1, Hex hex = Hex::No);

// A day as YYYY-MM-DD, the form dates are written in everywhere but a key's
// verdict, and the form of <input type="date">.
std::string date_text(std::chrono::year_month_day date);

// A day as DD/MM/YYYY, as a verdict reads a key's date back.
std::string day_first_date_text(std::chrono::year_month_day date);

}  // namespace words
