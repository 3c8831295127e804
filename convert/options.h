// How a conversion reads a file: its options, and its settings as a person
// gives them, as text: the command line's --columns, --delimiter and
// --encoding, the page's fields.
//
//     Columns "paterno=3,materno=4,nombre=2,fecha=7"  ->  options.columns
//     Delimiter "tab"                                 ->  options.separator = '\t'
//     Encoding "latin9"                               ->  {Encoding, "latin9"}: no such encoding
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "columns.h"
#include "csv_reader.h"
#include "encoding.h"

namespace convert {

struct ConversionOptions {
    // At most a few megabytes: rows are evaluated in blocks of a few hundred
    // kilobytes plus one record, with 32-bit positions.
    std::size_t record_limit = delimited::CsvReader::default_record_limit;
    // Threads computing keys while the calling thread reads and writes; 0 or
    // 1 computes them on the calling thread, starting no thread.
    std::size_t threads = default_threads();
    std::optional<delimited::EncodingChoice> encoding;  // found from the file when not set
    std::optional<char> separator;                      // likewise
    ColumnRequest columns{};                            // found by header when empty
    bool fold_accents = false;
    // A workbook's sheet, by its name or its place from 1; the first with a
    // header when not set.
    std::optional<std::string> sheet;
    // The most any part of a workbook may inflate to. Parts are read as
    // streams, so this bounds the time a zip bomb takes, not memory.
    std::uint64_t part_limit = std::uint64_t{4} << 30;
    // The most all the parts of a workbook may inflate to, as its directory
    // says (a part is never inflated past what it says).
    std::uint64_t workbook_limit = std::uint64_t{8} << 30;
    // In a workbook, the key column's empty cells take the computed keys.
    bool fill_empty = false;
    // The output is a terminal, to which no workbook is written.
    bool output_is_terminal = false;

    static std::size_t default_threads();
};

enum class Setting { Columns, Delimiter, Encoding, Sheet };

// Why a setting's value is not one it takes: `value` as given, and for
// columns that name something, what is wrong with them.
struct SettingProblem {
    Setting setting = Setting::Columns;
    std::string value;
    ColumnProblem columns;
};

// Sets `setting` in `options` from `value`; false, with `problem` set, when
// the value is not one the setting takes. An empty value of Columns names no
// column: a mistake, not "find them by header".
bool apply_setting(Setting setting, std::string_view value, ConversionOptions& options,
                   SettingProblem& problem);

}  // namespace convert
