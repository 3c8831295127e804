// What a spreadsheet's cells are made of, whatever the file: references
// ("B12", "A1:F20", column letters), which number formats show dates, day
// numbers as dates, and the escapes Office writes in cell text.
//
//     "XFD"               ->  column 16383
//     "dd/mm/yyyy", 14    ->  a date format
//     "29235", 1900 days  ->  "1980-01-15"
//     "A_x000D_B"         ->  "A\rB"
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace convert {

// A sheet's bounds: columns A to XFD, rows 1 to 1,048,576.
inline constexpr std::size_t sheet_columns = 16384;
inline constexpr std::size_t sheet_rows = 1048576;

// The column that letters name, from 0 ("A" -> 0, "XFD" -> 16383); nothing
// for anything else, in either case.
std::optional<std::size_t> column_from_letters(std::string_view letters);
// Appends the letters of `column` (from 0): 27 -> "AB".
void append_column_letters(std::size_t column, std::string& out);

// A cell reference, "B12" or (in a range) "B" or "12" alone: `column` and
// `row` from 0, each absent when the reference leaves it out.
struct CellRef {
    std::optional<std::size_t> column;
    std::optional<std::size_t> row;
};
// Reads "B12", "$B$12", "B" or "12"; nothing when it is none or past the
// sheet's bounds.
std::optional<CellRef> parse_cell_ref(std::string_view text);

// "A1:F20", or "A1" for a range of one cell.
struct CellRange {
    CellRef first;
    CellRef last;
};
std::optional<CellRange> parse_range(std::string_view text);
// "A1:F20" from columns and rows counted from 0.
std::string range_text(std::size_t first_column, std::size_t first_row, std::size_t last_column,
                       std::size_t last_row);

// Whether the number format `id` (a built-in one) or `code` (its own,
// when the workbook gives one) shows a number as a date, as in "dd/mm/yyyy",
// "d-mmm-yy", "[$-80A]dddd, d \"de\" mmmm \"de\" yyyy" or "DD/MM/AAAA";
// times alone ("h:mm"), numbers ("0.00E+00") and text ("@") are no dates.
bool is_date_format(unsigned id, std::string_view code);

// The day that the day number `number` names, as "YYYY-MM-DD", in the 1900
// date system (1 is 1900-01-01, 61 is 1900-03-01: 60 stands for a
// 29 February 1900 that never was) or, when `date1904`, the 1904 one (0 is
// 1904-01-01). A fraction is a time of that day; 0 and below count back
// from 1899-12-30, as LibreOffice does. Nothing when it names no day: not a
// number, 60 in the 1900 system, or past 9999.
std::optional<std::string> day_number_date(std::string_view number, bool date1904);

// In the 1904 date system, day `number` in the 1900 system's count: 1462
// days on. Nothing when it is not a number.
std::optional<std::string> day_number_from_1904(std::string_view number);

// A number written otherwise ("2.9235E4", "29235.", "29235.0") as the
// digits of the whole number it is, "29235"; nothing for any other text, a
// fraction, or a number past 2^53.
std::optional<std::string> whole_number_text(std::string_view number);

// Appends `text` with Office's escapes undone: "_x000D_" is a carriage
// return, "_x005F_" a "_" that starts something that looks like one.
void append_unescaped(std::string_view text, std::string& out);

// Appends `text` as the content of an XML element of a workbook: "&", "<"
// and ">" as references, and characters XML cannot hold (controls other
// than tab and line end) and text that would look like an escape as
// Office's "_xHHHH_" escapes.
void append_cell_xml(std::string_view text, std::string& out);

}  // namespace convert
