// Why a row of a file gets no key, as a value: the conversion finds it, and
// the words library says it.
//
//     PEREZ,LOPEZ,JUAN,31/02/1980   ->  {BadDate, date = NoSuchDay}
//     "PEREZ,LOPEZ                  ->  {BadRecord, record = UnterminatedQuote}
#pragma once

#include <cstddef>

#include "birth_date.h"
#include "csv_reader.h"
#include "curp_date.h"
#include "encoding.h"

namespace convert {

enum class RowFault : unsigned char {
    // The reader's `record` problem: a quote, or a row past the length limit.
    // The last piece of a long row may also end in half a UTF-16 character
    // (`half_character`), and a fault found at its end follows the length
    // that was told first (`too_long_first`).
    BadRecord,
    FieldCount,     // `count` fields, which the columns cannot be read from
    InvalidText,    // the cell in `column` is not valid text in `encoding`
    NoDate,         // the date cell is empty
    BadDate,        // the date cell holds no date: `date`
    NoCurp,         // the CURP cell, read for the date, is empty
    BadCurp,        // the CURP holds no date: `curp`
    HalfCharacter,  // the file ends in half a UTF-16 character
    // A workbook's cell in `column`:
    ErrorValue,           // holds an error value, "#N/A"
    FormulaWithoutValue,  // holds a formula whose value was never saved
    MissingString,        // names a shared string the workbook lacks
};

struct RowReason {
    RowFault fault = RowFault::BadRecord;
    delimited::CsvProblem record = delimited::CsvProblem::None;
    bool half_character = false;
    bool too_long_first = false;
    std::size_t count = 0;   // FieldCount
    std::size_t column = 0;  // InvalidText and a workbook's cells, from 0
    delimited::Encoding encoding = delimited::Encoding::Utf8;
    // InvalidText: UTF-8 was guessed from the start of the file, which may
    // be Windows-1252 all the same.
    bool guessed = false;
    keycalc::DateError date = keycalc::DateError::NotADate;
    keycalc::CurpError curp = keycalc::CurpError::BadShape;
};

}  // namespace convert
