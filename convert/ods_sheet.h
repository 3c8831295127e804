// The rows of an OpenDocument spreadsheet's table (content.xml), one
// `table:table-row` at a time, each with its XML as it stands and its cells'
// values as the spreadsheet shows them, repeats kept as counts:
//
//     <table:table-row table:number-rows-repeated="3">
//       <table:table-cell office:value-type="string"><text:p>PEREZ</text:p></table:table-cell>
//       <table:table-cell table:number-columns-repeated="1023"/></table:table-row>
//       ->  rows n to n+2: A = "PEREZ", B to AMJ empty
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sheet_layout.h"
#include "xml_reader.h"

namespace convert {

inline constexpr std::string_view ods_office_ns =
    "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
inline constexpr std::string_view ods_table_ns = "urn:oasis:names:tc:opendocument:xmlns:table:1.0";
inline constexpr std::string_view ods_text_ns = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";
inline constexpr std::string_view ods_draw_ns = "urn:oasis:names:tc:opendocument:xmlns:drawing:1.0";
inline constexpr std::string_view ods_style_ns = "urn:oasis:names:tc:opendocument:xmlns:style:1.0";
inline constexpr std::string_view ods_calcext_ns =
    "urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0";

// A cell's place in its row's XML, besides its value.
struct OdsCellPlace {
    std::size_t tag_end = 0;  // past its start tag, within the row's XML
    bool covered = false;     // a covered-table-cell: part of a merged one
    std::size_t columns_spanned = 1, rows_spanned = 1;
};

struct OdsRow {
    std::size_t number = 0;  // from 0
    std::size_t repeat = 1;  // the rows it stands for
    std::string raw;         // from its start tag to its end tag
    std::size_t start_tag_end = 0;
    // Its cells in order; only the first `count` are this row's.
    std::vector<SheetCell> cells;
    std::vector<OdsCellPlace> places;
    std::size_t count = 0;
    // The names its repeats are written with, prefix included, when it
    // writes them.
    std::string rows_repeated_name, columns_repeated_name;

    std::span<const SheetCell> row_cells() const { return {cells.data(), count}; }
};

// Reads the row whose start tag `reader` is on, with its cells, to its end
// tag. `number` is its number in its table.
RowReading read_ods_row(XmlReader& reader, std::size_t number, OdsRow& row);

// Appends `text` as the content of a text:p element whose namespace's
// prefix is `t` ("text:"): runs of spaces as t:s (which XML readers would
// otherwise fold), tabs and line ends as their elements, &, < and > as
// references, and controls, which XML cannot hold, as U+FFFD.
void append_paragraph_xml(std::string_view text, std::string_view t, std::string& out);

// A repeat count as written: 1 when it is missing or no count.
std::size_t repeat_count(std::string_view text);

}  // namespace convert
