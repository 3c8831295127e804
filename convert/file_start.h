// Where the rows of a file start: the separator, and the lines above the
// header that are copied as they came, found in the first lines of the file:
//
//     sep=;                                   the separator, as spreadsheets name it
//     Nómina quincenal 2026                   a title
//                                             a blank line
//     Apellido Paterno;Apellido Materno;...   the header, on line 4
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "columns.h"
#include "csv_reader.h"
#include "encoding.h"

namespace convert {

struct FileStart {
    char separator = ',';
    // The records above the header (or above the first row, past a "sep="
    // line), copied as they are.
    std::size_t records_above = 0;
    // The header's layout, as find_layout gives it, when a header that
    // serves was found; its header_line is left for the reader to set.
    std::optional<ColumnLayout> layout;
};

// How the file is to be read, as the batch reads it.
struct FileReading {
    delimited::Encoding encoding = delimited::Encoding::Utf8;
    delimited::LineBreaks line_breaks = delimited::LineBreaks::LfOrCrLf;
    std::size_t record_limit = delimited::CsvReader::default_record_limit;
    std::optional<char> separator;  // the one the user names, if any
    ColumnRequest columns{};        // what --columns names
};

// Looks at `head`, the start of the text (all of it when `whole`): the
// separator is the one the user names, else the one a "sep=" line names,
// else the one that finds a header among the first lines, else the one
// detect_separator tells from the first line.
FileStart find_file_start(std::string_view head, bool whole, const FileReading& reading);

}  // namespace convert
