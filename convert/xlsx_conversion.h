// The conversion of an Office Open XML workbook: the same workbook back, part
// for part, with the sheet of people given two more columns, the key and what
// became of the row, as a delimited file's rows are:
//
//     xl/worksheets/sheet2.xml   <row r="4"><c r="A4" t="s"><v>7</v></c>...</row>
//       ->  <row r="4"><c r="A4" t="s"><v>7</v></c>...<c r="G4" t="inlineStr">
//           <is><t>PELJ8001152A0</t></is></c><c r="H4" t="inlineStr"><is><t>ok</t></is></c></row>
//
// Every other part is copied as it is stored, so that the workbook keeps its
// other sheets, styles, formulas, pictures and macros, and the output is the
// same bytes every run.
#pragma once

#include <string_view>

#include "byte_stream.h"
#include "cell_words.h"
#include "conversion.h"
#include "exit_status.h"
#include "options.h"

namespace convert {

// Converts the workbook that `input` reads to `out`. Returns as
// convert_file does; IoError too when the workbook is damaged, after
// writing no whole workbook.
ExitStatus convert_xlsx(delimited::RandomAccess& input, delimited::ByteSink& out,
                        const ConversionOptions& options, const CellWords& words,
                        ConversionReport& report);

}  // namespace convert
