// The rows of a worksheet part, one at a time, each with its XML as it
// stands (so that it can be written back with cells added) and its cells'
// values as a spreadsheet shows them:
//
//     <row r="3"><c r="A3" t="s"><v>0</v></c><c r="D3" s="2"><v>29235</v></c></row>
//       ->  row 2: A = shared string 0 ("PEREZ"), D = 29235 in a date style
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "sheet_layout.h"
#include "xlsx_package.h"
#include "xml_reader.h"

namespace convert {

struct SheetRow {
    std::size_t number = 0;  // from 0
    std::string raw;         // from its start tag to its end tag
    std::size_t start_tag_end = 0;
    bool empty_element = false;  // <row r="5"/>
    std::string prefix;          // the namespace prefix its elements use, "x:" or ""
    // Its cells in order; only the first `count` are this row's, the rest
    // are kept for their room.
    std::vector<SheetCell> cells;
    std::size_t count = 0;

    std::span<const SheetCell> row_cells() const { return {cells.data(), count}; }
    // The last column with a value or a formula, plus one; 0 when none.
    std::size_t used_width() const { return convert::used_width(row_cells()); }
};

// Reads the row whose start tag `reader` is on, with its cells, to its end
// tag, and its XML when `keep_raw`. `next_number` is its number when it does
// not say.
RowReading read_row(XmlReader& reader, const XlsxPackage& package, std::size_t next_number,
                    SheetRow& row, bool keep_raw = true);

}  // namespace convert
