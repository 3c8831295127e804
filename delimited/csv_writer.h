// Writing delimited text that CsvReader, and any RFC 4180 reader, reads back
// as the same fields.
//
//     {"PEREZ", "fila ilegible: la fecha, sin forma"} with ','
//         ->  PEREZ,"fila ilegible: la fecha, sin forma"
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace delimited {

// Appends `field` to `out`, in double quotes (inner quotes doubled) when it
// holds the separator, a double quote, a carriage return or a line feed, or
// when `at_line_start` and it begins with U+FEFF, which a reader would
// otherwise take for a byte-order mark.
void append_csv_field(std::string_view field, char separator, std::string& out,
                      bool at_line_start = false);

// Appends `fields` separated by `separator`, each as append_csv_field writes
// it, the first one as at the start of a line.
void append_csv_fields(std::span<const std::string_view> fields, char separator, std::string& out);

}  // namespace delimited
