// What rfc batch says about a file, in Spanish: how it was read, and why a
// row could not be:
//
//     nomina.csv: UTF-8, separador «;», encabezado: paterno = «Apellido Paterno» (col. 3), ...
//     línea 12: fila ilegible: comilla sin cerrar al final del archivo
//     la línea 40 no es UTF-8 aunque el inicio del archivo sí lo es; si el archivo es
//     Windows-1252, léalo con --encoding windows-1252
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "columns.h"
#include "csv_reader.h"
#include "encoding.h"
#include "naming.h"

namespace words {

// "UTF-16 LE sin marca de orden de bytes, separador tabulador, encabezado: ...":
// the encoding, the separator and the columns a file is read with.
std::string file_description(const delimited::TextEncoding& encoding, char separator,
                             const convert::ColumnLayout& layout);

// The names of the two added columns: "rfc" and "resultado", or, when the
// file holds keys of its own, "rfc_calculado" and "resultado".
std::array<std::string_view, 2> added_column_names(bool checks_keys);

// The reader's problem with a record.
std::string_view csv_problem_text(delimited::CsvProblem problem);

// A UTF-16 file whose last byte is half a character.
inline constexpr std::string_view half_character_text =
    "el archivo termina en medio carácter UTF-16 (le sobra un byte)";

// Appends why a row of `count` fields is not read: too few ("se esperaban al
// menos 4 campos y hay 3"), or more than the row's width, the ones past it
// not empty.
void append_field_count_text(std::string& text, const convert::ColumnLayout& layout,
                             std::size_t count);

// "el campo 2 no es UTF-8 válido", with a pointer to Windows-1252 when UTF-8
// was only `guessed` from the file's start.
std::string invalid_field_text(std::size_t column, delimited::Encoding encoding, bool guessed);

// Why a record could not be read, as the "resultado" column says it:
// "fila ilegible: ...".
void append_unreadable_text(std::string& out, std::string_view why);

// "línea 12: <why>", the standard-error line of a row; appended to `out`
// for the many rows a file may have.
void append_line_text(std::string& out, std::size_t line, std::string_view why);

// The mistakes in the values of rfc batch's options, naming them as `naming` does.
std::string empty_columns_text(Naming naming = Naming::CommandLine);
std::string bad_delimiter_text(std::string_view value, Naming naming = Naming::CommandLine);
std::string bad_encoding_text(std::string_view value, Naming naming = Naming::CommandLine);

// Said once, of the first line that is not UTF-8 when UTF-8 was guessed.
std::string not_utf8_after_all_text(std::size_t line, Naming naming = Naming::CommandLine);
// The encoding asked for, `read_as`, is not the one whose byte-order mark,
// `marked`, starts the file.
std::string unheeded_byte_order_mark_text(delimited::Encoding marked, delimited::Encoding read_as,
                                          Naming naming = Naming::CommandLine);

}  // namespace words
