// The text of fields in a file's own encoding: decoded to read them, and
// text encoded to write it. UTF-16 files are read as UTF-8 (see
// Utf16Source), so only Windows-1252 needs more than UTF-8 here.
//
//     decode_field("P\xC9REZ", Windows1252)  ->  u"PÉREZ"
//     field_to_utf8("P\xC9REZ", Windows1252) ->  "PÉREZ"
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "csv_reader.h"
#include "encoding.h"

namespace delimited {

// Writes the UTF-16 of `bytes` into `out`, which has room for bytes.size()
// units, and sets `units`; false when `bytes` is not valid in `encoding`.
bool decode_field(std::string_view bytes, Encoding encoding, std::span<char16_t> out,
                  std::size_t& units);

// Appends the UTF-8 of `bytes`; false when they are not valid in `encoding`.
bool field_to_utf8(std::string_view bytes, Encoding encoding, std::string& out);

// The fields of a record in UTF-8, or nothing when it cannot be a header:
// read in pieces, badly quoted, or not valid text.
std::optional<std::vector<std::string>> record_text(const CsvRecord& record, Encoding encoding);

// Appends `utf8` as the output in `encoding` carries it.
void append_encoded(std::string_view utf8, Encoding encoding, std::string& out);

}  // namespace delimited
