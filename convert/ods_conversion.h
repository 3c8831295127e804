// The conversion of an OpenDocument spreadsheet (.ods): the same document
// back, part for part, with the table of people given two more columns, the
// key and what became of the row, as an .xlsx workbook's sheet is:
//
//     content.xml   <table:table-row><table:table-cell ...><text:p>PEREZ</text:p>...
//       ->  ...<table:table-cell office:value-type="string" calcext:value-type="string">
//           <text:p>PELJ8001152A0</text:p></table:table-cell>...<text:p>ok</text:p>...
//
// content.xml is read twice as it inflates, never held whole: once for the
// tables' first rows, widths and merges, once to write it. Repeated rows and
// cells stay repeated. Every other part is copied as it is stored, mimetype
// first as it came.
#pragma once

#include <string_view>

#include "byte_stream.h"
#include "cell_words.h"
#include "conversion.h"
#include "exit_status.h"
#include "options.h"

namespace convert {

// Converts the spreadsheet that `input` reads to `out`. Returns
// as convert_file does; IoError too when the document is damaged, after
// writing no whole document.
ExitStatus convert_ods(delimited::RandomAccess& input, delimited::ByteSink& out,
                       const ConversionOptions& options, const CellWords& words,
                       ConversionReport& report);

}  // namespace convert
