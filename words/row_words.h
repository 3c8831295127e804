// What a file's rows are told: why one was not read, and the words of the
// two cells a conversion adds to every row.
//
//     {BadDate, NoSuchDay}        ->  "la fecha no existe en el calendario"
//     {BadRecord, TooLong} + half ->  "fila demasiado larga; el archivo termina en medio carácter
//     UTF-16 ..."
#pragma once

#include <string>

#include "cell_words.h"
#include "columns.h"
#include "row_reason.h"

namespace words {

// Appends why a row was not read, as it follows "fila ilegible: ".
void append_row_reason_text(std::string& out, const convert::RowReason& reason,
                            const convert::ColumnLayout& layout);

// The cells' words, the same for every front end: the file written is the
// same wherever the conversion runs, so the hint to fold accents names the
// command line's option.
const convert::CellWords& cell_words();

}  // namespace words
