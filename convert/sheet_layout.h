// What every workbook's conversion does the same way, whatever its file
// format: cells as values, the first rows of a sheet scanned for its header,
// where its people are and where the added cells go, and a row's cells made
// the fields that a delimited file's row would give.
//
//     row 1: "Nómina 2026" merged over A:D       ->  a title
//     row 3: paterno | materno | nombre | fecha  ->  the header, people from row 4
//     widest row: 6 cells, a merge to G           ->  the added cells in H and I
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "columns.h"
#include "row_reason.h"
#include "sheet_cells.h"
#include "xlsx_package.h"

namespace convert {

enum class CellKind : unsigned char {
    Empty,      // no value: a style alone
    Text,       // a string, shared, inline or a formula's
    Number,     // as written, "29235" or "1.5E-3"; a date when date_style
    Boolean,    // "TRUE" or "FALSE"
    Date,       // an ISO 8601 date ("1980-01-15" or "1980-01-15T00:00:00")
    Error,      // an error value, "#N/A"
    NoValue,    // a formula whose value was never saved
    BadString,  // a shared string the workbook does not have
};

struct SheetCell {
    std::size_t column = 0;  // from 0
    std::size_t repeat = 1;  // the columns it stands for, from `column` on
    CellKind kind = CellKind::Empty;
    bool date_style = false;
    bool formula = false;
    std::string value;  // as the kind says
    std::string style;  // its style's name or number, as written
    // Where its XML is within its row's.
    std::size_t raw_begin = 0, raw_end = 0;

    // Whether it holds a value or a formula, and so takes room in the sheet.
    // A note or a drawing anchored in it, which an added cell must not take
    // the place of (.ods).
    bool occupied = false;

    bool used() const { return kind != CellKind::Empty || formula || occupied; }
};

// A row's XML is held whole while it is written back: at most this much.
inline constexpr std::size_t row_limit = std::size_t{64} << 20;

enum class RowReading {
    Read,
    XmlFault,        // the XML ends or is faulty before the row's end tag
    PastLastColumn,  // a cell past column XFD, or past row 1,048,576 (.xlsx)
    TooLarge,        // the row's XML is longer than row_limit
    OutOfOrder,      // a cell left of, or in, the column of the cell before it (.xlsx)
};

// The last column with a value or a formula among `cells`, plus one; 0
// when none.
std::size_t used_width(std::span<const SheetCell> cells);

// The text a cell shows, as the header is looked for in it.
std::string_view shown_text(const SheetCell& cell);

// What a first pass over a sheet finds: its first rows that hold anything
// (where its header is looked for), how wide its rows are, its merged cells.
struct SheetScan {
    struct HeadRow {
        std::size_t number = 0;  // from 0
        std::vector<std::string> cells;
        std::size_t width = 0;
    };
    std::vector<HeadRow> head;
    std::size_t width_after_head = 0;  // the widest row after them
    std::size_t last_row = 0;
    std::vector<CellRange> merges;  // every bound given

    // Row `number` (from 0) holding `cells`, in order.
    void add_row(std::size_t number, std::span<const SheetCell> cells);
    bool head_full() const { return head.size() == header_search_rows; }
};

// Where a sheet's people are.
struct SheetLayout {
    std::optional<std::size_t> header_row;  // from 0, when it has a header
    std::size_t first_row = 0;              // the first row that may hold a person
    ColumnLayout columns;
    std::size_t added_column = 0;  // the first added cell's, from 0
};

// The header among the sheet's first rows, as a delimited file's is found:
// a row that names the columns, below nothing but titles. Column letters in
// `request` ("paterno=C") name columns unless the header has a cell of that
// text. Nothing, with `problem` set, when the columns cannot be found.
std::optional<SheetLayout> find_sheet_layout(const SheetScan& scan, const ColumnRequest& request,
                                             ColumnProblem& problem);

// The first column right of every value, formula and merged cell from the
// header (or the first row) down.
std::size_t first_free_column(const SheetScan& scan, const SheetLayout& layout);

// The sheet asked for, by name (or, when no sheet has that name and it is a
// number, by place from 1); nothing when there is none.
const SheetEntry* sheet_asked(const std::vector<SheetEntry>& sheets, std::string_view asked);

// `tag` with attribute `name` (as written, prefix included) set to `value`,
// added before the tag's end when it has none.
std::string with_attribute(std::string_view tag, std::string_view name, std::string_view value);

// A row's cells as the fields a delimited row would give the evaluator:
// a number in a date style as the day it names, text as it is.
class RowFields {
  public:
    // Reads `cells` for `layout`, whose cells they are; `date1904`: the
    // workbook counts day numbers from 1904. Why the row cannot be read when
    // a column read holds an error, a formula without value or a string the
    // workbook lacks.
    std::optional<RowReason> read(std::span<const SheetCell> cells, const ColumnLayout& layout,
                                  bool date1904);
    std::span<const std::string_view> fields() const { return fields_; }

  private:
    std::vector<std::string> texts_;
    std::vector<std::string_view> fields_;
};

}  // namespace convert
