// Writing comma-separated values that CsvReader, and any RFC 4180 reader,
// reads back as the same fields.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace rfc_cli {

// Appends `field` to `out`, in double quotes (inner quotes doubled) when it
// holds a comma, a double quote, a carriage return or a line feed.
void append_csv_field(std::string_view field, std::string& out);

// Appends `fields` separated by commas, each as append_csv_field writes it.
void append_csv_fields(std::span<const std::string_view> fields, std::string& out);

// Appends `part` of a field that is always written in quotes, doubling its
// quotes; the caller writes the opening and closing quote.
void append_quoted_part(std::string_view part, std::string& out);

}  // namespace rfc_cli
